// Quick search in both panes, the text pane's context menu, and the Search dialog's
// walks through a book, against the real window.
#include <gtest/gtest.h>
#include <richedit.h>

#include <atomic>
#include <tuple>

#include "app/main_window.h"
#include "res/resource_ids.h"
#include "tests/support/book_writer.h"
#include "tests/ui/viewer_harness.h"
#include "view/quick_search.h"

namespace tomelet::test {
namespace {

std::string Rtf(const std::string& body) {
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
  void Type(ViewerRun& viewer, HWND pane, const std::wstring& keys) {
    for (wchar_t key : keys) PostMessageW(pane, WM_CHAR, key, 1);
    viewer.Settle();
    viewer.Settle();  // and the chapter load a hit in the list posts
  }
  void F3(ViewerRun& viewer) {
    viewer.Key(VK_F3);
    viewer.Settle();
  }
  void Pause() { clock_ += 1001; }

  TempDir dir_;
  std::atomic<std::uint32_t> clock_{5000};
};

int Row(HWND list) { return static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0)); }

CHARRANGE Selection(ViewerRun& viewer) {
  CHARRANGE range{-9, -9};
  viewer.OnViewerThread([&] { SendMessageW(viewer.text(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range)); });
  return range;
}
#define EXPECT_SELECTION(viewer, from, to)         \
  do {                                             \
    const CHARRANGE r = Selection(viewer);         \
    EXPECT_EQ(r.cpMin, from);                      \
    EXPECT_EQ(r.cpMax, to);                        \
  } while (0)

TEST_F(SearchTest, QuickSearchInTheContentsListSearchesTheWholeRowText) {
  BookWriter book;
  book.Add("01 Alpha.rtf", Rtf("alpha text")).Add("02 Beta.rtf", Rtf("beta text")).Add("03 Gamma.rtf", Rtf("gamma"));
  ViewerRun viewer(Write(book));
  UseTestClock(viewer);
  const HWND list = viewer.contents();
  viewer.OnViewerThread([&] { SetFocus(list); });
  ASSERT_EQ(Row(list), 0);

  Type(viewer, list, L"2");  // the kind code of every row: the next row
  EXPECT_EQ(Row(list), 1);
  EXPECT_NE(PaneText(viewer.text()).find(L"beta text"), std::wstring::npos);
  F3(viewer);
  EXPECT_EQ(Row(list), 2);
  F3(viewer);  // second pass from the top
  EXPECT_EQ(Row(list), 0);
  EXPECT_NE(PaneText(viewer.text()).find(L"alpha text"), std::wstring::npos);

  Pause();
  Type(viewer, list, L"Gam");
  EXPECT_EQ(Row(list), 2);
  Type(viewer, list, L"ma");  // only the selected row holds it: selected and shown again
  EXPECT_EQ(Row(list), 2);
  Pause();
  Type(viewer, list, L"gamma");  // case-sensitive
  EXPECT_EQ(Row(list), 2);
  Pause();
  Type(viewer, list, std::wstring(511, L'\r'));  // control characters are part of the term
  EXPECT_EQ(Row(list), 2);
}

TEST_F(SearchTest, QuickSearchInTheTextPaneAndItsEditMenu) {
  BookWriter book;
  book.Add("01 Letters.rtf", Rtf("abc abd"))
      .Add("02 Cyrillic.rtf", Rtf("\\u1078?\\u1091?\\u1082? \\u1078?"))
      .Add("03 Long.rtf", Rtf(std::string(260, 'x')));
  ViewerRun viewer(Write(book));
  UseTestClock(viewer);
  const HWND pane = viewer.text();
  ASSERT_EQ(viewer.Focus(), pane);

  Type(viewer, pane, L"a");
  EXPECT_SELECTION(viewer, 0, 1);
  Type(viewer, pane, L"b");  // the longer term, beyond the first hit
  EXPECT_SELECTION(viewer, 4, 6);
  F3(viewer);  // from the top again
  EXPECT_SELECTION(viewer, 0, 2);
  Pause();
  Type(viewer, pane, L"Abc");  // case-sensitive: nothing changes
  EXPECT_SELECTION(viewer, 0, 2);

  viewer.Key(VK_NEXT, true);
  viewer.OnViewerThread([&] { SetFocus(pane); });
  Pause();
  Type(viewer, pane, L"\u0436");  // typed as itself, not as the code page's "?"
  EXPECT_SELECTION(viewer, 0, 1);
  F3(viewer);
  EXPECT_SELECTION(viewer, 4, 5);

  viewer.Key(VK_NEXT, true);
  viewer.OnViewerThread([&] { SetFocus(pane); });
  Pause();
  Type(viewer, pane, std::wstring(300, L'x'));  // cut to what the pane searches
  EXPECT_SELECTION(viewer, 0, 254);

  // A right click shows the Edit menu; its Select all works there.
  PostMessageW(pane, WM_RBUTTONUP, 0, MAKELPARAM(30, 30));
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  const DWORD thread = GetWindowThreadProcessId(viewer.window(), nullptr);
  for (int i = 0; i < 100 && !info.hwndMenuOwner; ++i) {
    Sleep(20);
    GetGUIThreadInfo(thread, &info);
  }
  ASSERT_TRUE(info.hwndMenuOwner);
  viewer.Screenshot(L"screenshots\\text-pane-edit-menu.png");
  for (UINT key : {VK_DOWN, VK_DOWN, VK_RETURN}) {
    PostMessageW(pane, WM_KEYDOWN, key, 1);
    Sleep(50);
  }
  Sleep(100);
  viewer.Settle();
  viewer.Settle();
  const CHARRANGE all = Selection(viewer);
  EXPECT_EQ(all.cpMin, 0);
  EXPECT_GT(all.cpMax, 260);
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
  auto state = [&] {
    const CHARRANGE r = Selection(viewer);
    return std::tuple(Row(viewer.contents()), r.cpMin, r.cpMax);
  };
  for (int still = 0, round = 0; still < 3 && round < 200; ++round) {
    const auto before = state();
    Sleep(20);
    still = state() == before ? still + 1 : 0;
  }
}

int Kind(HWND dialog) { return static_cast<int>(SendDlgItemMessageW(dialog, IDC_SEARCH_KIND, CB_GETCURSEL, 0, 0)); }

TEST_F(SearchTest, TheSearchDialogWalksTheBookAndRemembersItsState) {
  BookWriter book;
  book.Add("01 One.rtf", Rtf("alpha"))
      .Add("02 Two.rtf", Rtf("beta one beta two"))
      .Add("03 Short.rtf", "ab")  // too short: its message page is searched like any page
      .Add("04 Four.rtf", Rtf("target here and target"));
  ViewerRun viewer(Write(book));
  const HWND list = viewer.contents();
  const HWND dialog = OpenSearch(viewer);
  ASSERT_TRUE(dialog);
  EXPECT_EQ(DialogText(dialog), L"Search...");
  EXPECT_EQ(Kind(dialog), 2);  // first opening: down in chapter
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDOK)));

  Search(viewer, dialog, L"target", 4);  // whole book from the top, across the chapters
  EXPECT_EQ(Row(list), 3);
  EXPECT_SELECTION(viewer, 0, 6);
  EXPECT_EQ(Kind(dialog), 3);
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDOK)));
  Search(viewer, dialog, L"target", 3);
  EXPECT_SELECTION(viewer, 16, 22);
  Search(viewer, dialog, L"target", 3);  // nothing after it in the last chapter: stays
  EXPECT_EQ(Row(list), 3);
  EXPECT_SELECTION(viewer, 16, 22);

  Search(viewer, dialog, L"beta", 0);  // upwards into earlier chapters, each from its end
  EXPECT_EQ(Row(list), 1);
  EXPECT_SELECTION(viewer, 9, 13);
  Search(viewer, dialog, L"nowhere", 0);  // up to the first row, then it stops there
  EXPECT_EQ(Row(list), 0);
  const CHARRANGE caret = Selection(viewer);
  EXPECT_EQ(caret.cpMin, caret.cpMax);  // nothing selected

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
  EXPECT_EQ(DialogText(again, IDE_SEARCH_TERM), L"Alpha");
  EXPECT_EQ(Kind(again), 5);
  EXPECT_EQ(IsDlgButtonChecked(again, IDB_MATCH_CASE), BST_CHECKED);
  EXPECT_EQ(IsDlgButtonChecked(again, IDB_WHOLE_WORD), BST_UNCHECKED);
  EXPECT_EQ(IsDlgButtonChecked(again, IDB_DARK_GRAY), BST_CHECKED);
  RECT reopened{};
  GetWindowRect(again, &reopened);
  EXPECT_TRUE(EqualRect(&placed, &reopened));
}

TEST_F(SearchTest, DarkGrayTakesOnlyGrayHitsAcrossChapters) {
  BookWriter book;
  book.Add("01 Start.rtf", Rtf("start"))
      .Add("02 Black.rtf", Rtf("\\cf2 key key\\cf0  and key"))
      .Add("03 Gray.rtf", Rtf("a \\cf1 key\\cf2  then key"));
  ViewerRun viewer(Write(book));
  const HWND dialog = OpenSearch(viewer);
  ASSERT_TRUE(dialog);
  CheckDlgButton(dialog, IDB_DARK_GRAY, BST_CHECKED);
  Search(viewer, dialog, L"key", 4);
  EXPECT_EQ(Row(viewer.contents()), 2);
  EXPECT_SELECTION(viewer, 2, 5);
  Search(viewer, dialog, L"key", 3);  // only a black one is left: the gray hit stays selected
  EXPECT_EQ(Row(viewer.contents()), 2);
  EXPECT_SELECTION(viewer, 2, 5);
  viewer.OnViewerThread([&] { RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN); });
  viewer.Screenshot(L"screenshots\\search-dialog.png");
}

}  // namespace
}  // namespace tomelet::test
