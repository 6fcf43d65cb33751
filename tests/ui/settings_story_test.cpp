// Settings kept and removed in the real registry of the test prefix: the reading place
// brought back by the next start, the running mark after a forced end, and the ".tmk"
// association (written from a fixed drive only, removed with the settings); back and
// forward through a book's places, books reopened where they were left, dropped books.
#include <gtest/gtest.h>
#include <richedit.h>
#include <shlobj.h>

#include <cstring>
#include <tuple>

#include "app/main_window.h"
#include "app/viewer.h"
#include "app/book_view.h"
#include "res/resource_ids.h"
#include "tests/support/book_writer.h"
#include "tests/ui/viewer_harness.h"

namespace tomelet::test {
namespace {


TEST(SettingsStory, KeptSettingsBringBackTheReadingPlaceUnlessEndedByForceAndDontSaveLeavesNoTrace) {
  TempDir dir;
  ASSERT_TRUE(WriteLongBook(dir.File("reading.tmk")));
  const std::wstring book = WinPath(dir.File("reading.tmk"));
  int32_t position = 0;
  {
    ViewerRun viewer(book);
    viewer.OnViewerThread([&] { SetWindowPos(viewer.window(), nullptr, 100, 50, 800, 600, SWP_NOZORDER); });
    for (UINT key : {VK_F9, VK_F9, VK_F12, VK_F12}) viewer.Key(key);
    viewer.Key(VK_NEXT, true);
    viewer.Command(CMD_LANGUAGE_GERMAN);
    viewer.OnViewerThread([&] { SendMessageW(viewer.text(), EM_LINESCROLL, 0, 40); });
    viewer.Command(CMD_SAVE_SETTINGS);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kSettingsPath));  // written at the end only
    PostMessageW(viewer.window(), WM_COMMAND, CMD_EXIT, 0);
    ASSERT_EQ(viewer.WaitForExit(), 0);
    position = TheProgram().place.lastChapterPosition;
  }
  EXPECT_GT(position, 100);  // well into the chapter
  SetDefaultValue(HKEY_CURRENT_USER, std::wstring(kSettingsPath) + L"\\Added by hand", L"x");
  {
    ViewerRun viewer;  // no book named: the last one comes back as it was left
    EXPECT_EQ(WindowText(viewer.window()), L"Tomelet: reading.tmk");
    RECT frame{};
    GetWindowRect(viewer.window(), &frame);
    EXPECT_TRUE(frame.left == 100 && frame.top == 50 && frame.right == 900 && frame.bottom == 650);
    EXPECT_EQ(ChildRect(viewer.contents()).right, 270);
    EXPECT_EQ(SendMessageW(viewer.contents(), LB_GETCURSEL, 0, 0), 1);
    CHARRANGE caret{};
    SendMessageW(viewer.text(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&caret));
    EXPECT_EQ(caret.cpMin, position);
    int numerator = 0, denominator = 0;
    SendMessageW(viewer.text(), EM_GETZOOM, reinterpret_cast<WPARAM>(&numerator), reinterpret_cast<LPARAM>(&denominator));
    EXPECT_EQ(numerator * 20, 22 * denominator);
    wchar_t file[32] = {};
    GetMenuStringW(GetMenu(viewer.window()), 0, file, 32, MF_BYPOSITION);
    EXPECT_STREQ(file, L"&Datei");
    viewer.Key(VK_NEXT, true);  // the caret comes back once: the next chapter starts at the top
    SendMessageW(viewer.text(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&caret));
    EXPECT_EQ(caret.cpMin, 0);
  }
  // A book open when the program was ended by force is not reopened by itself; a book
  // named on the command line is opened all the same.
  {
    ViewerProcess crashed(ViewerExePath(), L"");
    ASSERT_TRUE(crashed.window());
    for (int i = 0; i < 100 && WindowText(crashed.window()) != L"Tomelet: reading.tmk"; ++i) Sleep(50);
    EXPECT_EQ(WindowText(crashed.window()), L"Tomelet: reading.tmk");
    crashed.Kill();
  }
  EXPECT_EQ(WindowText(ViewerRun().window()), L"Tomelet viewer");
  // Settings not kept: our keys go, another program's ".tmk" stays.
  SetDefaultValue(HKEY_CURRENT_USER, kExtensionKey, L"Other.Book");
  SetDefaultValue(HKEY_CURRENT_USER, kCommandKey, L"\"" + TestProgramPath() + L"\" \"%1\"");
  ViewerRun named(book);
  EXPECT_EQ(WindowText(named.window()), L"Tomelet: reading.tmk");
  named.Command(CMD_DONT_SAVE_SETTINGS);
  PostMessageW(named.window(), WM_CLOSE, 0, 0);
  named.WaitForExit();
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kSettingsPath));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kTypeKey));
  EXPECT_EQ(DefaultValue(HKEY_CURRENT_USER, kExtensionKey), L"Other.Book");
}

TEST(SettingsStory, TheAssociationIsWrittenFromAFixedDriveOnly) {
  const std::wstring program = TestProgramPath(), ours = L"\"" + program + L"\" \"%1\"";
  // Settings kept, from a registry that holds our type and a command: ours already is left
  // as it is, the unquoted one older versions wrote is written anew, with the icon.
  for (const std::wstring& before : {ours + L" /before", program + L" %1"}) {
    if (!OnFixedDrive(program)) break;
    SetDefaultValue(HKEY_CURRENT_USER, kExtensionKey, L"Tomelet viewer");
    SetDefaultValue(HKEY_CURRENT_USER, kCommandKey, before);
    SetDefaultValue(HKEY_CURRENT_USER, kIconKey, L"icon before");
    ViewerRun().Command(CMD_SAVE_SETTINGS);
    const bool kept = before.ends_with(L"/before");
    EXPECT_EQ(DefaultValue(HKEY_CURRENT_USER, kCommandKey), kept ? before : ours);
    EXPECT_EQ(DefaultValue(HKEY_CURRENT_USER, kIconKey), kept ? L"icon before" : program);
    for (const wchar_t* key : {kExtensionKey, kTypeKey}) EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, key));  // the user's own
  }
  // The program on a removable drive keeps its settings but never registers itself.
  TempDir dir;
  RemovableDrive stick(dir.path());
  if (!stick.ready()) GTEST_SKIP() << "no Wine mount manager to map a removable drive";
  const std::wstring exe = stick.root() + L"TomeletViewer.exe";
  ASSERT_TRUE(CopyFileW(ViewerExePath().c_str(), exe.c_str(), FALSE));
  ClearRegistry();
  ViewerProcess viewer(exe, L"");
  ASSERT_TRUE(viewer.window());
  viewer.Command(CMD_SAVE_SETTINGS);
  ASSERT_TRUE(viewer.Close());  // ended
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kSettingsPath));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kExtensionKey));
}

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

TEST(SettingsStory, BackAndForwardThenBooksReopenWhereTheyWereLeftAndDroppedBooksOpen) {
  TempDir dir;
  ASSERT_TRUE(WriteLongBook(dir.File("a.tmk")) && BookWriter().Add("01 B.rtf", Rtf("book b")).Write(dir.File("b.tmk")));
  const std::wstring bookA = WinPath(dir.File("a.tmk"));
  Spot leftA;
  {
    ViewerRun viewer(bookA);
    viewer.OnViewerThread([&] { SendMessageW(viewer.text(), EM_SETSEL, 500, 505), SendMessageW(viewer.text(), EM_LINESCROLL, 0, 40); });
    const Spot scrolled = Now(viewer);
    ASSERT_GT(std::get<1>(scrolled), 0);
    viewer.SelectRow(1);                        // the contents
    const Spot chosen = Now(viewer);
    viewer.Key(VK_NEXT, true);                  // chapter down
    const Spot stepped = Now(viewer);
    for (wchar_t key : std::wstring(L"c3 line 250")) PostMessageW(viewer.text(), WM_CHAR, key, 1);
    viewer.Settle();                            // quick search: one jump however many keys
    const Spot found = Now(viewer);
    EXPECT_EQ(std::get<2>(found), 9 * 10 + 90 * 11 + 150 * 12);  // "c3 line 250"
    viewer.Command(CMD_SEARCH);
    HWND dialog = nullptr;
    viewer.OnViewerThread([&] { dialog = Main().searchDialog; });
    SetDlgItemTextW(dialog, IDE_SEARCH_TERM, L"c1 line 100");
    SendDlgItemMessageW(dialog, IDC_SEARCH_KIND, CB_SETCURSEL, 0, 0);  // up to the top of the book
    PressButton(dialog, IDOK);
    for (int i = 0; i < 100 && std::get<0>(Now(viewer)) != 0; ++i) Sleep(20);  // the walk up to row 0
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
    EXPECT_EQ(std::get<0>(Now(viewer)), 0);
    EXPECT_EQ(back(0), chosen);
    viewer.OnViewerThread([&] { SendMessageW(viewer.text(), EM_LINESCROLL, 0, 25); });
    leftA = Now(viewer);

    // Dropped: a folder is no book; of several files the first opens, with a history of its own.
    Drop(viewer, WinPath(dir.path()));
    EXPECT_EQ(viewer.AnswerMessageBox(), L"Error opening file\r" + WinPath(dir.path()));
    Drop(viewer, WinPath(dir.File("b.tmk")) + L'\0' + bookA);
    viewer.Settle();
    EXPECT_EQ(WindowText(viewer.window()), L"Tomelet: b.tmk");
    viewer.Command(CMD_BACK);  // nothing: another book's history starts empty
    EXPECT_TRUE(viewer.Shows(L"book b"));
    viewer.Command(CMD_SAVE_SETTINGS);
  }
  const auto rowAndTop = [](ViewerRun& viewer) { return std::pair(std::get<0>(Now(viewer)), std::get<1>(Now(viewer))); };
  {
    ViewerRun viewer(bookA);  // named on the command line, not the last book: where it was left
    EXPECT_EQ(rowAndTop(viewer), std::pair(std::get<0>(leftA), std::get<1>(leftA)));
  }
  // The book by a relative name in other letters is the same book; a copy of the same name in
  // another folder is another, and starts at its top.
  ASSERT_TRUE(CreateDirectoryW(WinPath(dir.File("other")).c_str(), nullptr));
  ASSERT_TRUE(CopyFileW(bookA.c_str(), WinPath(dir.File("other/a.tmk")).c_str(), FALSE));
  wchar_t before[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, before);
  SetCurrentDirectoryW(WinPath(dir.File("other")).c_str());
  {
    ViewerRun viewer(L"..\\A.TMK");  // the last book: its row comes back
    EXPECT_EQ(std::get<0>(Now(viewer)), std::get<0>(leftA));
    EXPECT_GT(std::get<1>(Now(viewer)), 0);
    viewer.OnViewerThread([&] { Session().bookPath = L"a.tmk"; });
    viewer.Command(CMD_OPEN_BOOK_COMMAND);
    EXPECT_EQ(WindowText(viewer.window()), L"Tomelet: a.tmk");
    EXPECT_EQ(std::get<1>(Now(viewer)), 0);
    viewer.Key(VK_LEFT, false, true);  // another book's history starts empty
    EXPECT_EQ(std::get<1>(Now(viewer)), 0);
    viewer.Command(CMD_DONT_SAVE_SETTINGS);
  }
  SetCurrentDirectoryW(before);
}

}  // namespace
}  // namespace tomelet::test
