// A reader's everyday tools through the real window: the books read last in the File
// menu across runs, bookmarks (made, chosen, organized, kept or not), full screen.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <string>
#include <tuple>
#include <vector>

#include "app/main_window.h"
#include "app/book_view.h"
#include "res/resource_ids.h"
#include "tests/support/book_writer.h"
#include "tests/ui/viewer_harness.h"

namespace tomelet::test {
namespace {

// The row, first visible character and selection shown.
using Spot = std::tuple<LRESULT, LRESULT, LONG, LONG>;
Spot Now(ViewerRun& viewer) {
  Spot spot;
  viewer.OnViewerThread([&] {
    CHARRANGE s{};
    SendMessageW(viewer.text(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&s));
    const LRESULT line = SendMessageW(viewer.text(), EM_GETFIRSTVISIBLELINE, 0, 0);
    spot = {SendMessageW(viewer.contents(), LB_GETCURSEL, 0, 0), SendMessageW(viewer.text(), EM_LINEINDEX, line, 0), s.cpMin, s.cpMax};
  });
  return spot;
}

// A pop-up as the user opens it (its items filled then): the text of each item, "-" for
// a separator, and the command ids.
struct Items {
  std::vector<std::wstring> texts;
  std::vector<UINT> ids;
};
Items OpenMenu(ViewerRun& viewer, bool bookmarks) {
  Items items;
  viewer.OnViewerThread([&] {
    HMENU popup = GetSubMenu(GetMenu(viewer.window()), bookmarks ? 2 : 0);
    if (bookmarks) popup = GetSubMenu(popup, GetMenuItemCount(popup) - 1);
    SendMessageW(viewer.window(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0);
    for (int i = 0; i < GetMenuItemCount(popup); ++i) {
      wchar_t text[300] = {};
      GetMenuStringW(popup, static_cast<UINT>(i), text, 300, MF_BYPOSITION);
      const bool separator = (GetMenuState(popup, static_cast<UINT>(i), MF_BYPOSITION) & MF_SEPARATOR) != 0;
      items.texts.push_back(separator ? L"-" : text);
      items.ids.push_back(GetMenuItemID(popup, i));
    }
  });
  return items;
}

const std::vector<std::wstring> kFileMenu = {L"&Open...\tCtrl+O", L"&Save chapter as...\tCtrl+S",
                                             L"&Export book as KeyNote file...", L"-", L"&Print...\tCtrl+P", L"-",
                                             L"&Settings...", L"-"};

std::vector<std::wstring> With(std::vector<std::wstring> items, const std::vector<std::wstring>& books) {
  items.insert(items.end(), books.begin(), books.end());
  if (!books.empty()) items.push_back(L"-");
  items.push_back(L"E&xit\tAlt+F4");
  return items;
}

TEST(RecentBooksStory, TheBooksReadLastAcrossThreeRunsAndOneThatWentAway) {
  ClearRegistry();
  TempDir dir;
  ASSERT_TRUE(CreateDirectoryW(WinPath(dir.File("Old")).c_str(), nullptr));
  for (const char* name : {"a.tmk", "R&D.tmk", "Old/a.tmk"}) ASSERT_TRUE(WriteLongBook(dir.File(name)));
  ASSERT_TRUE(BookWriter().Add("01 One.rtf", Rtf("one")).Add("02 Two.rtf", Rtf("two")).Write(dir.File("two.tmk")));
  const std::wstring a = WinPath(dir.File("a.tmk")), rd = WinPath(dir.File("R&D.tmk")), old = WinPath(dir.File("Old/a.tmk"));
  const std::wstring folder = WinPath(dir.path()).substr(WinPath(dir.path()).rfind(L'\\') + 1);
  const auto open = [](ViewerRun& viewer, const std::wstring& path) {
    viewer.OnViewerThread([&] { Session().bookPath = path; });
    viewer.Command(CMD_OPEN_BOOK_COMMAND);
  };
  {
    ViewerRun viewer;
    EXPECT_EQ(OpenMenu(viewer, false).texts, With(kFileMenu, {}));  // nothing read yet: no items, no separator
    open(viewer, a);
    viewer.SelectRow(2);
    open(viewer, rd);
    open(viewer, old);
    viewer.SelectRow(2);  // the row number remembered for the next start
    EXPECT_EQ(OpenMenu(viewer, false).texts, With(kFileMenu, {L"&1 Old\\a.tmk", L"&2 R&&D.tmk", L"&3 " + folder + L"\\a.tmk"}));
    viewer.Command(CMD_SAVE_SETTINGS);
  }
  ASSERT_TRUE(DeleteFileW(rd.c_str()));
  {
    ViewerRun viewer;  // the last book comes back; the gone one answers as File > Open would, and leaves the list
    const Items items = OpenMenu(viewer, false);
    ASSERT_EQ(items.texts.size(), kFileMenu.size() + 5);
    viewer.Command(static_cast<int>(items.ids[kFileMenu.size() + 1]));
    EXPECT_EQ(viewer.AnswerMessageBox(), L"Error opening file\r" + rd);
    EXPECT_EQ(OpenMenu(viewer, false).texts, With(kFileMenu, {L"&1 Old\\a.tmk", L"&2 " + folder + L"\\a.tmk"}));
    // A book of fewer rows than the row number remembered shows its first row.
    open(viewer, WinPath(dir.File("two.tmk")));
    EXPECT_EQ(std::get<0>(Now(viewer)), 0);
    EXPECT_TRUE(viewer.Shows(L"one"));
    viewer.Command(CMD_SAVE_SETTINGS);
  }
  {
    ViewerRun viewer;
    const Items items = OpenMenu(viewer, false);
    ASSERT_EQ(items.texts[kFileMenu.size() + 2], L"&3 " + folder + L"\\a.tmk");
    viewer.Command(static_cast<int>(items.ids[kFileMenu.size() + 2]));  // at the row it was left
    EXPECT_EQ(WindowText(viewer.window()), L"Tomelet: a.tmk");
    EXPECT_EQ(std::get<0>(Now(viewer)), 2);
    viewer.Command(CMD_DONT_SAVE_SETTINGS);
  }
  ViewerRun viewer;  // not kept: no trace
  EXPECT_EQ(OpenMenu(viewer, false).texts, With(kFileMenu, {}));
  viewer.Command(CMD_EXIT);
  ClearRegistry();
}

// The Add bookmark dialog, its name set and answered.
std::wstring AddBookmark(ViewerRun& viewer, const std::wstring& name, std::wstring* note = nullptr) {
  viewer.Key('D', true);
  const HWND dialog = viewer.WaitForDialog();
  const std::wstring proposal = WindowText(dialog, IDE_BOOKMARK_NAME);
  if (note) *note = WindowText(dialog, IDC_BOOKMARK_NOTE);
  viewer.Screenshot(ScreenshotPath(L"bookmark-add.png"), dialog);
  if (name.empty()) {
    viewer.Answer(dialog, IDCANCEL);
  } else {
    SetDlgItemTextW(dialog, IDE_BOOKMARK_NAME, name.c_str());
    viewer.Answer(dialog, IDOK);
  }
  return proposal;
}

TEST(BookmarksStory, MadeChosenOrganizedAndKeptOnlyWithSaveSettings) {
  ClearRegistry();
  TempDir dir;
  ASSERT_TRUE(WriteLongBook(dir.File("a.tmk")));
  const std::wstring a = WinPath(dir.File("a.tmk"));
  Spot marked;
  {
    ViewerRun viewer(a);
    viewer.SelectRow(1);
    viewer.OnViewerThread([&] { SendMessageW(viewer.text(), EM_SETSEL, 2000, 2010), SendMessageW(viewer.text(), EM_LINESCROLL, 0, 60); });
    marked = Now(viewer);
    std::wstring note;
    EXPECT_EQ(AddBookmark(viewer, L"First & best", &note), L"Chapter 2");  // the row's title proposed
    EXPECT_EQ(note, L"Bookmarks are kept only with Save settings.");
    viewer.SelectRow(2);
    const Spot elsewhere = Now(viewer);
    const Items items = OpenMenu(viewer, true);
    EXPECT_EQ(items.texts, (std::vector<std::wstring>{L"&Add bookmark...\tCtrl+D", L"&Organize bookmarks...", L"-", L"&1 First && best"}));
    viewer.Command(static_cast<int>(items.ids[3]));
    EXPECT_EQ(Now(viewer), marked);  // row, scroll place and selection exactly
    viewer.Key(VK_LEFT, false, true);
    EXPECT_EQ(Now(viewer), elsewhere);  // a place of back and forward
    viewer.Command(CMD_SAVE_SETTINGS);
    EXPECT_EQ(AddBookmark(viewer, L"Second"), L"Chapter 3");
  }
  {
    ViewerRun viewer(a);
    viewer.Command(static_cast<int>(OpenMenu(viewer, true).ids[3]));
    EXPECT_EQ(Now(viewer), marked);  // kept by the run before
    // Organize, by keyboard: the first moved down, renamed with F2, the other deleted with Del.
    PostMessageW(viewer.window(), WM_COMMAND, CMD_ORGANIZE_BOOKMARKS, 0);
    const HWND organize = viewer.WaitForDialog();
    const HWND list = GetDlgItem(organize, IDL_BOOKMARKS);
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 2);
    PressButton(organize, IDB_BOOKMARK_DOWN);
    const auto key = [&](UINT vk) { PostMessageW(list, WM_KEYDOWN, vk, 1), PostMessageW(list, WM_KEYUP, vk, 1u << 31 | 1u << 30 | 1); };
    key(VK_F2);
    const HWND rename = viewer.WaitForDialog(10000, organize);
    EXPECT_EQ(WindowText(rename), L"Rename bookmark");
    SetDlgItemTextW(rename, IDE_BOOKMARK_NAME, L"Renamed");
    PressButton(rename, IDOK);
    for (int i = 0; i < 100 && IsWindow(rename); ++i) Sleep(20);
    key(VK_UP);
    key(VK_DELETE);
    for (int i = 0; i < 100 && SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) != 1; ++i) Sleep(20);
    viewer.Screenshot(ScreenshotPath(L"bookmarks-organize.png"), organize);
    viewer.Answer(organize, IDCANCEL);
    EXPECT_EQ(OpenMenu(viewer, true).texts, (std::vector<std::wstring>{L"&Add bookmark...\tCtrl+D", L"&Organize bookmarks...", L"-", L"&1 Renamed"}));
    viewer.Command(CMD_LANGUAGE_GERMAN);
    std::wstring note;
    viewer.Key('D', true);
    const HWND german = viewer.WaitForDialog();
    EXPECT_EQ(WindowText(german), L"Lesezeichen hinzuf\u00fcgen");
    viewer.Screenshot(ScreenshotPath(L"bookmark-add-german.png"), german);
    viewer.Answer(german, IDCANCEL);
    viewer.Command(CMD_DONT_SAVE_SETTINGS);
  }
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, std::wstring(kSettingsPath) + L"\\Bookmarks"));
  ViewerRun viewer(a);  // gone with everything else
  EXPECT_EQ(OpenMenu(viewer, true).texts.size(), 2u);
  viewer.Command(CMD_EXIT);
  ClearRegistry();
}

TEST(FullScreenStory, AltEnterCoversTheMonitorAndEscGivesTheWindowBackAsItWas) {
  ClearRegistry();
  TempDir dir;
  ASSERT_TRUE(WriteLongBook(dir.File("a.tmk")));
  const auto rect = [](ViewerRun& viewer) { RECT r{}; GetWindowRect(viewer.window(), &r); return r; };
  const auto same = [](const RECT& x, const RECT& y) { return EqualRect(&x, &y) != 0; };
  RECT before{};
  {
    ViewerRun viewer(WinPath(dir.File("a.tmk")));
    before = rect(viewer);
    const LONG_PTR style = GetWindowLongPtrW(viewer.window(), GWL_STYLE);
    const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    viewer.Key(VK_RETURN, false, true);
    EXPECT_TRUE(same(rect(viewer), screen));
    EXPECT_EQ(GetWindowLongPtrW(viewer.window(), GWL_STYLE) & WS_CAPTION, 0);
    EXPECT_NE(GetMenu(viewer.window()), nullptr);  // the menu bar with its buttons stays
    const RECT text = ChildRect(viewer.text());
    EXPECT_GT(text.right, before.right - before.left);  // laid out as always, over the larger area
    Sleep(300);  // for the picture only: the list repaints after the move
    viewer.Screenshot(ScreenshotPath(L"full-screen.png"));
    viewer.Key(VK_ESCAPE);
    EXPECT_TRUE(same(rect(viewer), before));
    EXPECT_EQ(GetWindowLongPtrW(viewer.window(), GWL_STYLE), style);
    // Maximised, it comes back maximised; closed in full screen, the place from before is kept.
    viewer.OnViewerThread([&] { ShowWindow(viewer.window(), SW_MAXIMIZE); });
    viewer.Command(CMD_FULL_SCREEN);
    viewer.Command(CMD_FULL_SCREEN);
    EXPECT_TRUE(IsZoomed(viewer.window()));
    viewer.OnViewerThread([&] { ShowWindow(viewer.window(), SW_RESTORE); });
    viewer.Command(CMD_FULL_SCREEN);
    viewer.Command(CMD_SAVE_SETTINGS);
  }
  {
    ViewerRun again;
    EXPECT_TRUE(same(rect(again), before));
    again.Command(CMD_DONT_SAVE_SETTINGS);
  }
  ClearRegistry();
}

}  // namespace
}  // namespace tomelet::test
