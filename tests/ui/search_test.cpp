// Quick search in both panes, the text pane's context menu, and the Search dialog's
// walks through a book, against the real window.
#include <gtest/gtest.h>
#include <richedit.h>

#include <atomic>
#include <tuple>
#include <utility>

#include "app/main_window.h"
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
      InstallQuickSearch({m.window, m.contentsList, m.textPane, IDW_CONTENTS_LIST, [this] { return clock_.load(); }});
    });
  }
  // Keys typed after a pause (a new term); then the chapter load a hit in the list posts.
  void Type(ViewerRun& viewer, HWND pane, const std::wstring& keys, bool pause = true) {
    if (pause) clock_ += 1001;
    for (wchar_t key : keys) PostMessageW(pane, WM_CHAR, key, 1);
    viewer.Settle();
    viewer.Settle();
  }
  void F3(ViewerRun& viewer) {
    viewer.Key(VK_F3);
    viewer.Settle();
  }

  TempDir dir_;
  std::atomic<std::uint32_t> clock_{5000};
};

int Row(HWND list) { return static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0)); }

using Range = std::pair<long, long>;
Range Selection(ViewerRun& viewer) {
  CHARRANGE r{-9, -9};
  viewer.OnViewerThread([&] { SendMessageW(viewer.text(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r)); });
  return {r.cpMin, r.cpMax};
}
// The row shown and the selection in it.
using Place = std::pair<int, Range>;
Place At(ViewerRun& viewer) { return {Row(viewer.contents()), Selection(viewer)}; }

TEST_F(SearchTest, QuickSearchInBothPanesAndTheTextPanesEditMenu) {
  BookWriter book;
  book.Add("01 Letters.rtf", ColourRtf("abc abd"))
      .Add("02 Cyrillic.rtf", ColourRtf("\\u1078?\\u1091?\\u1082? \\u1078?"))
      .Add("03 Gamma.rtf", ColourRtf("gamma"));
  ViewerRun viewer(Write(book));
  UseTestClock(viewer);
  const HWND pane = viewer.text();
  ASSERT_EQ(viewer.Focus(), pane);

  Type(viewer, pane, L"a");
  EXPECT_EQ(Selection(viewer), Range(0, 1));
  Type(viewer, pane, L"b", false);  // the longer term, beyond the first hit
  EXPECT_EQ(Selection(viewer), Range(4, 6));
  F3(viewer);  // from the top again
  EXPECT_EQ(Selection(viewer), Range(0, 2));
  Type(viewer, pane, L"Abc");  // case-sensitive: nothing changes
  EXPECT_EQ(Selection(viewer), Range(0, 2));

  viewer.Key(VK_NEXT, true);
  viewer.OnViewerThread([&] { SetFocus(pane); });
  Type(viewer, pane, L"\u0436");  // typed as itself, not as the code page's "?"
  EXPECT_EQ(Selection(viewer), Range(0, 1));

  Type(viewer, pane, std::wstring(511, L'x'));  // longer than the pane searches: no hit, no harm
  EXPECT_EQ(Selection(viewer), Range(0, 1));

  // A right click shows the Edit menu; its Select all works there.
  PostMessageW(pane, WM_RBUTTONUP, 0, MAKELPARAM(30, 30));
  GUITHREADINFO menu{};
  menu.cbSize = sizeof(menu);
  for (int i = 0; i < 100 && !menu.hwndMenuOwner; ++i, Sleep(20))
    GetGUIThreadInfo(GetWindowThreadProcessId(viewer.window(), nullptr), &menu);
  ASSERT_TRUE(menu.hwndMenuOwner);
  viewer.Screenshot(ScreenshotPath(L"text-pane-edit-menu.png"));
  for (UINT key : {VK_DOWN, VK_DOWN, VK_RETURN}) PostMessageW(pane, WM_KEYDOWN, key, 1), Sleep(50);
  Sleep(100);
  viewer.Settle();
  EXPECT_EQ(Selection(viewer).first, 0);
  EXPECT_GT(Selection(viewer).second, 5);

  // The contents list searches the whole row text.
  viewer.SelectRow(0);
  const HWND list = viewer.contents();
  viewer.OnViewerThread([&] { SetFocus(list); });
  Type(viewer, list, L"2");  // the kind code of every row: the next row
  EXPECT_EQ(Row(list), 1);
  EXPECT_TRUE(viewer.Shows(L"\u0436\u0443\u043a"));
  F3(viewer);
  EXPECT_EQ(Row(list), 2);
  F3(viewer);  // second pass from the top
  EXPECT_EQ(Row(list), 0);
  Type(viewer, list, L"Gam");
  EXPECT_EQ(Row(list), 2);
  Type(viewer, list, L"ma", false);  // only the selected row holds it: selected and shown again
  EXPECT_EQ(Row(list), 2);
  Type(viewer, list, std::wstring(511, L'\r'));  // control characters are part of the term
  EXPECT_EQ(Row(list), 2);
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

TEST_F(SearchTest, TheSearchDialogWalksTheBookAndRemembersItsState) {
  BookWriter book;
  book.Add("01 One.rtf", ColourRtf("alpha"))
      .Add("02 Two.rtf", ColourRtf("beta one beta two"))
      .Add("03 Short.rtf", "ab")  // too short: its message page is searched like any page
      .Add("04 Black.rtf", ColourRtf("\\cf2 key key\\cf0  and key"))
      .Add("05 Gray.rtf", ColourRtf("a \\cf1 key\\cf2  then key"))
      .Add("06 Four.rtf", ColourRtf("target here and target"));
  ViewerRun viewer(Write(book));
  const HWND dialog = OpenSearch(viewer);
  ASSERT_TRUE(dialog);
  EXPECT_EQ(WindowText(dialog), L"Search...");
  EXPECT_EQ(Kind(dialog), 2);  // first opening: down in chapter
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDOK)));

  Search(viewer, dialog, L"target", 4);  // whole book from the top, across the chapters
  EXPECT_EQ(At(viewer), Place(5, {0, 6}));
  EXPECT_EQ(Kind(dialog), 3);
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDOK)));
  Search(viewer, dialog, L"target", 3);
  EXPECT_EQ(At(viewer), Place(5, {16, 22}));
  Search(viewer, dialog, L"target", 3);  // nothing after it in the last chapter: stays
  EXPECT_EQ(At(viewer), Place(5, {16, 22}));
  Search(viewer, dialog, L"beta", 0);  // upwards into earlier chapters, each from its end
  EXPECT_EQ(At(viewer), Place(1, {9, 13}));
  Search(viewer, dialog, L"nowhere", 0);  // up to the first row, then it stops there
  const Place end = At(viewer);
  EXPECT_EQ(end.first, 0);
  EXPECT_EQ(end.second.first, end.second.second);  // nothing selected

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

  // Dark gray (kept checked) takes only gray hits, across chapters.
  CheckDlgButton(again, IDB_MATCH_CASE, BST_UNCHECKED);
  Search(viewer, again, L"key", 4);
  EXPECT_EQ(At(viewer), Place(4, {2, 5}));
  Search(viewer, again, L"key", 3);  // only black ones are left: the walk ends in the last row
  const Place last = At(viewer);
  EXPECT_EQ(last.first, 5);
  EXPECT_EQ(last.second.first, last.second.second);
  viewer.OnViewerThread([&] { RedrawWindow(again, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN); });
  viewer.Screenshot(ScreenshotPath(L"search-dialog.png"));
}

}  // namespace
}  // namespace tomelet::test
