// Back and forward through the places of a book, a book reopened where it was left after a
// restart, and books dropped onto the window, through the real window and registry.
#include <gtest/gtest.h>
#include <richedit.h>
#include <shlobj.h>

#include <cstring>
#include <tuple>

#include "app/main_window.h"
#include "res/resource_ids.h"
#include "tests/support/book_writer.h"
#include "tests/ui/viewer_harness.h"

namespace tomelet::test {
namespace {

// Row, first visible character and selection of what the window shows.
using Spot = std::tuple<LRESULT, LRESULT, LONG, LONG>;
Spot Now(ViewerRun& viewer) {
  CHARRANGE s{};
  SendMessageW(viewer.text(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&s));
  const LRESULT line = SendMessageW(viewer.text(), EM_GETFIRSTVISIBLELINE, 0, 0);
  return {SendMessageW(viewer.contents(), LB_GETCURSEL, 0, 0), SendMessageW(viewer.text(), EM_LINEINDEX, line, 0), s.cpMin, s.cpMax};
}

// Files dragged from Explorer, as the shell hands them over.
void Drop(ViewerRun& viewer, std::wstring paths) {
  const HGLOBAL drop = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + (paths.size() + 2) * sizeof(wchar_t));
  auto* files = static_cast<DROPFILES*>(GlobalLock(drop));
  *files = {sizeof(DROPFILES), {}, FALSE, TRUE};
  std::memcpy(files + 1, paths.c_str(), paths.size() * sizeof(wchar_t));
  GlobalUnlock(drop);
  PostMessageW(viewer.window(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
}

TEST(PlacesStory, BackAndForwardThenBooksReopenWhereTheyWereLeftAndDroppedBooksOpen) {
  TempDir dir;
  BookWriter a;
  for (int c = 1; c <= 4; ++c) {
    std::string rtf = "{\\rtf1\\ansi ";
    for (int i = 1; i <= 300; ++i) rtf += "c" + std::to_string(c) + " line " + std::to_string(i) + "\\par ";
    a.Add("00" + std::to_string(c) + " Chapter.rtf", rtf + "}");
  }
  ASSERT_TRUE(a.Write(dir.File("a.tmk")) && BookWriter().Add("01 B.rtf", Rtf("book b")).Write(dir.File("b.tmk")));
  const std::wstring bookA = WinPath(dir.File("a.tmk"));
  Spot leftA;
  {
    ViewerRun viewer(bookA);
    viewer.OnViewerThread([&] {
      SendMessageW(viewer.text(), EM_SETSEL, 500, 505);
      SendMessageW(viewer.text(), EM_LINESCROLL, 0, 40);
    });
    const Spot scrolled = Now(viewer);
    ASSERT_GT(std::get<1>(scrolled), 0);
    viewer.SelectRow(2);                        // the contents
    const Spot chosen = Now(viewer);
    viewer.Key(VK_NEXT, true);                  // chapter down
    const Spot stepped = Now(viewer);
    for (wchar_t key : std::wstring(L"c4 line 250")) PostMessageW(viewer.text(), WM_CHAR, key, 1);
    viewer.Settle();                            // quick search: one jump however many keys
    const Spot found = Now(viewer);
    EXPECT_EQ(std::tuple(std::get<0>(found), std::get<2>(found)), std::tuple(3L, 9 * 10 + 90 * 11 + 150 * 12L));
    viewer.Command(CMD_SEARCH);
    HWND dialog = nullptr;
    viewer.OnViewerThread([&] { dialog = Main().searchDialog; });
    SetDlgItemTextW(dialog, IDE_SEARCH_TERM, L"c2 line 100");
    SendDlgItemMessageW(dialog, IDC_SEARCH_KIND, CB_SETCURSEL, 0, 0);  // up to the top of the book
    PressButton(dialog, IDOK);
    for (int i = 0; i < 100 && std::get<0>(Now(viewer)) != 1; ++i) Sleep(20);
    EXPECT_EQ(std::get<0>(Now(viewer)), 1);
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);

    // Back by menu command, key and mouse button; each place comes back whole.
    const auto back = [&](int how) {
      if (how == 0) viewer.Command(CMD_BACK);
      else if (how == 1) viewer.Key(VK_LEFT, false, true);
      else SendMessageW(viewer.window(), WM_APPCOMMAND, 0, MAKELPARAM(0, APPCOMMAND_BROWSER_BACKWARD));
      return Now(viewer);
    };
    EXPECT_EQ(back(0), found);
    EXPECT_EQ(back(1), stepped);
    EXPECT_EQ(back(2), chosen);
    EXPECT_EQ(back(0), scrolled);
    EXPECT_EQ(back(1), scrolled);               // nothing left behind: stays
    viewer.Key(VK_RIGHT, false, true);
    EXPECT_EQ(Now(viewer), chosen);
    viewer.Command(CMD_CHAPTER_UP);             // a new step drops the forward part
    viewer.Command(CMD_FORWARD);
    EXPECT_EQ(std::get<0>(Now(viewer)), 1);
    EXPECT_EQ(back(0), chosen);
    viewer.OnViewerThread([&] { SendMessageW(viewer.text(), EM_LINESCROLL, 0, 25); });
    leftA = Now(viewer);

    // Dropped: a folder is no book; of several files the first opens, with a history of its own.
    Drop(viewer, WinPath(dir.path()));
    EXPECT_EQ(viewer.AnswerMessageBox(), L"Error opening file\r" + WinPath(dir.path()));
    Drop(viewer, WinPath(dir.File("b.tmk")) + L'\0' + bookA);
    viewer.Settle();
    EXPECT_EQ(WindowText(viewer.window()), L"Tomelet: b.tmk");
    viewer.Command(CMD_BACK);
    EXPECT_TRUE(viewer.Shows(L"book b"));
    viewer.Command(CMD_SAVE_SETTINGS);
  }
  {
    ViewerRun viewer(bookA);  // named on the command line, not the last book: where it was left
    EXPECT_EQ(std::pair(std::get<0>(Now(viewer)), std::get<1>(Now(viewer))), std::pair(std::get<0>(leftA), std::get<1>(leftA)));
  }
}

}  // namespace
}  // namespace tomelet::test
