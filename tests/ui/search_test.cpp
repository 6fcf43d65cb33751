// Quick search in both panes, the text pane's context menu, and the Search dialog's
// walks through a book, against the real window.
#include <gtest/gtest.h>
#include <richedit.h>

#include <atomic>
#include <tuple>
#include <utility>

#include "app/main_window.h"
#include "base/wide.h"
#include "res/resource_ids.h"
#include "tests/support/book_writer.h"
#include "tests/ui/viewer_harness.h"
#include "view/quick_search.h"

namespace tomelet::test {
namespace {

std::string ColourRtf(const std::string& body) {
  return "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red128\\green128\\blue128;\\red0\\green0\\blue0;}" +
         body + "\\par}";
}

class SearchTest : public testing::Test {
 protected:
  std::wstring Write(const BookWriter& book) {
    const std::string path = dir_.File("search.tmk");
    EXPECT_TRUE(book.Write(path));
    return WinPath(path);
  }
  // Quick search with a clock the test moves on.
  void UseTestClock(ViewerRun& viewer) {
    viewer.OnViewerThread([&] {
      const MainWindowState& m = Main();
      InstallQuickSearch({m.window, m.contentsList, m.textPane, IDW_CONTENTS_LIST, [this] { return clock_.load(); }, {}});
    });
  }
  // Keys typed after a pause (a new term) or not, or F3 (L"F3": the pane's term again);
  // then the chapter load a hit in the list posts.
  void Type(ViewerRun& viewer, HWND pane, const std::wstring& keys, bool pause) {
    if (pause) clock_ += 1001;
    if (keys == L"F3") viewer.Key(VK_F3);
    else
      for (wchar_t key : keys) PostMessageW(pane, WM_CHAR, key, 1);
    viewer.Settle();
    viewer.Settle();
  }

  TempDir dir_;
  std::atomic<std::uint32_t> clock_{5000};
};

using Range = std::pair<long, long>;
Range Selection(ViewerRun& viewer) {
  CHARRANGE r{-9, -9};
  viewer.OnViewerThread([&] { SendMessageW(viewer.text(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r)); });
  return {r.cpMin, r.cpMax};
}
// The row shown and the selection in it.
using Place = std::pair<int, Range>;
Place At(ViewerRun& viewer) { return {static_cast<int>(SendMessageW(viewer.contents(), LB_GETCURSEL, 0, 0)), Selection(viewer)}; }

TEST_F(SearchTest, QuickSearchInBothPanesAndTheTextPanesEditMenu) {
  ViewerRun viewer(Write(BookWriter().Add("01 Letters.rtf", ColourRtf("abc abd"))
                             .Add("02 Cyrillic.rtf", ColourRtf("\\u1078?\\u1091?\\u1082? \\u1078?"))
                             .Add("03 Gamma.rtf", ColourRtf("gamma"))));
  UseTestClock(viewer);
  const HWND pane = viewer.text(), list = viewer.contents();
  ASSERT_EQ(viewer.Focus(), pane);
  // Keys typed into a pane; then the row and the selection in it.
  struct Step { std::wstring keys; bool pause; Place at; };
  const auto steps = [&](HWND into, std::initializer_list<Step> list) {
    for (const Step& step : list) {
      Type(viewer, into, step.keys, step.pause);
      EXPECT_EQ(At(viewer), step.at) << WideToUtf8(step.keys.substr(0, 5));
    }
  };
  steps(pane, {{L"a", true, {0, {0, 1}}},
               {L"b", false, {0, {4, 6}}},  // the longer term, beyond the first hit
               {L"F3", true, {0, {0, 2}}},  // from the top again
               {L"Abc", true, {0, {0, 2}}}});  // case-sensitive: nothing changes
  viewer.Key(VK_NEXT, true);
  viewer.OnViewerThread([&] { SetFocus(pane); });
  steps(pane, {{L"\u0436", true, {1, {0, 1}}},  // typed as itself, not as the code page's "?"
               {std::wstring(511, L'x'), true, {1, {0, 1}}}});  // longer than the pane searches: no harm

  // A right click shows the Edit menu; its Select all works there.
  PostMessageW(pane, WM_RBUTTONUP, 0, MAKELPARAM(30, 30));
  GUITHREADINFO menu{};
  menu.cbSize = sizeof(menu);
  for (int i = 0; i < 100 && !menu.hwndMenuOwner; ++i, Sleep(20))
    GetGUIThreadInfo(GetWindowThreadProcessId(viewer.window(), nullptr), &menu);
  ASSERT_TRUE(menu.hwndMenuOwner);
  for (UINT key : {VK_DOWN, VK_DOWN, VK_RETURN}) PostMessageW(pane, WM_KEYDOWN, key, 1), Sleep(50);
  Sleep(100);
  EXPECT_EQ(Selection(viewer), Range(0, 6));

  // The contents list searches the whole row text (the shown chapter's selection is empty).
  viewer.SelectRow(0);
  viewer.OnViewerThread([&] { SetFocus(list); });
  steps(list, {{L"2", true, {1, {0, 0}}},  // the kind code of every row: the next row
               {L"F3", true, {2, {0, 0}}},
               {L"F3", true, {0, {0, 0}}},  // second pass from the top
               {L"Gam", true, {2, {0, 0}}},
               {L"ma", false, {2, {0, 0}}},  // only the selected row holds it: selected and shown again
               {std::wstring(511, L'\r'), true, {2, {0, 0}}}});  // control characters are part of the term
  EXPECT_TRUE(viewer.Shows(L"gamma"));  // a hit in the list shows its chapter
}

HWND OpenSearch(ViewerRun& viewer) {
  viewer.Command(CMD_SEARCH);
  HWND dialog = nullptr;
  viewer.OnViewerThread([&] { dialog = Main().searchDialog; });
  return dialog;
}

void Search(ViewerRun& viewer, HWND dialog, const wchar_t* term, int kind) {
  SetDlgItemTextW(dialog, IDE_SEARCH_TERM, term);
  SendDlgItemMessageW(dialog, IDC_SEARCH_KIND, CB_SETCURSEL, static_cast<WPARAM>(kind), 0);
  PressButton(dialog, IDOK);
  // Steps wait behind input and paint now and then: the walk is over when nothing moves.
  for (int still = 0, round = 0; still < 3 && round < 200; ++round) {
    const Place before = At(viewer);
    Sleep(20);
    still = At(viewer) == before ? still + 1 : 0;
  }
}

int Kind(HWND dialog) { return static_cast<int>(SendDlgItemMessageW(dialog, IDC_SEARCH_KIND, CB_GETCURSEL, 0, 0)); }

// Searches for a term with a kind (0 up in the book ... 4 whole book from the top); where
// each ends, and the kind the dialog offers next.
struct Walk { const wchar_t* term; int kind; Place at; int kindAfter; };
void Walks(ViewerRun& viewer, HWND dialog, std::initializer_list<Walk> walks) {
  for (const Walk& walk : walks) {
    Search(viewer, dialog, walk.term, walk.kind);
    EXPECT_EQ(At(viewer), walk.at) << WideToUtf8(walk.term);
    EXPECT_EQ(Kind(dialog), walk.kindAfter) << WideToUtf8(walk.term);
  }
}

TEST_F(SearchTest, TheSearchDialogWalksTheBookAndRemembersItsState) {
  ViewerRun viewer(Write(BookWriter().Add("01 One.rtf", ColourRtf("alpha"))
                             .Add("02 Two.rtf", ColourRtf("beta one beta two"))
                             .Add("03 Short.rtf", "ab")  // too short: its message page is searched like any page
                             .Add("04 Black.rtf", ColourRtf("\\cf2 key key\\cf0  and key"))
                             .Add("05 Gray.rtf", ColourRtf("a \\cf1 key\\cf2  then key"))
                             .Add("06 Four.rtf", ColourRtf("target here and target"))));
  const HWND dialog = OpenSearch(viewer);
  ASSERT_TRUE(dialog);
  EXPECT_EQ(Kind(dialog), 2);  // first opening: down in chapter
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDOK)));
  Walks(viewer, dialog,
        {{L"target", 4, {5, {0, 6}}, 3},  // whole book from the top, across the chapters; then on down
         {L"target", 3, {5, {16, 22}}, 3},
         {L"target", 3, {5, {16, 22}}, 3},  // nothing after it in the last chapter: stays
         {L"beta", 0, {1, {9, 13}}, 0},  // upwards into earlier chapters, each from its end
         {L"nowhere", 0, {0, {5, 5}}, 0}});  // up to the first row, then it stops there (at its end)
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDOK)));

  SetDlgItemTextW(dialog, IDE_SEARCH_TERM, L"");
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDOK)));
  SetDlgItemTextW(dialog, IDE_SEARCH_TERM, L"Alpha");
  CheckDlgButton(dialog, IDB_MATCH_CASE, BST_CHECKED);
  CheckDlgButton(dialog, IDB_DARK_GRAY, BST_CHECKED);
  SendDlgItemMessageW(dialog, IDC_SEARCH_KIND, CB_SETCURSEL, 5, 0);
  MoveWindow(dialog, 150, 120, 400, 130, TRUE);
  RECT placed{};
  GetWindowRect(dialog, &placed);
  PostMessageW(dialog, WM_KEYDOWN, VK_ESCAPE, 0);  // Esc closes it, through the message loop
  viewer.Settle();
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_EQ(viewer.Focus(), viewer.text());

  const HWND again = OpenSearch(viewer);
  ASSERT_TRUE(again);
  EXPECT_EQ(std::tuple(WindowText(again, IDE_SEARCH_TERM), Kind(again), IsDlgButtonChecked(again, IDB_MATCH_CASE),
                       IsDlgButtonChecked(again, IDB_WHOLE_WORD), IsDlgButtonChecked(again, IDB_DARK_GRAY)),
            std::tuple(std::wstring(L"Alpha"), 5, 1u, 0u, 1u));
  RECT reopened{};
  GetWindowRect(again, &reopened);
  EXPECT_TRUE(EqualRect(&placed, &reopened));

  // Dark gray (kept checked) takes only gray hits, across chapters; when only black ones
  // are left, the walk ends in the last row.
  CheckDlgButton(again, IDB_MATCH_CASE, BST_UNCHECKED);
  Walks(viewer, again, {{L"key", 4, {4, {2, 5}}, 3}, {L"key", 3, {5, {0, 0}}, 3}});
  viewer.OnViewerThread([&] { RedrawWindow(again, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN); });
  viewer.Screenshot(ScreenshotPath(L"search-dialog.png"));

  // Of two open dialogs, each keeps its keys, also after the newer one closed.
  const HWND newer = OpenSearch(viewer);
  PostMessageW(GetDlgItem(newer, IDE_SEARCH_TERM), WM_KEYDOWN, VK_ESCAPE, 0);
  viewer.Settle();
  EXPECT_FALSE(IsWindow(newer));
  PostMessageW(GetDlgItem(again, IDE_SEARCH_TERM), WM_KEYDOWN, VK_ESCAPE, 0);
  viewer.Settle();
  EXPECT_FALSE(IsWindow(again));
}

}  // namespace
}  // namespace tomelet::test
