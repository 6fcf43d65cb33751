// The main window: layout, splitter, focus, zoom, chapter commands, menus, Open dialog,
// and the ways the program ends.
#include <gtest/gtest.h>
#include <richedit.h>

#include "app/main_window.h"
#include "app/viewer.h"
#include "app/book_view.h"
#include "res/resource_ids.h"
#include "tests/support/book_writer.h"
#include "tests/ui/viewer_harness.h"

namespace tomelet::test {
namespace {

std::string Rtf(const std::string& text) { return "{\\rtf1\\ansi " + text + "\\par}"; }

// A book of `chapters` RTF chapters named 001 Chapter 1.rtf ...
std::string WriteBook(const TempDir& dir, const std::string& name, int chapters) {
  BookWriter book;
  for (int i = 1; i <= chapters; ++i) {
    char entry[64];
    snprintf(entry, sizeof entry, "%03d Chapter %d.rtf", i, i);
    book.Add(entry, Rtf("Text of chapter " + std::to_string(i)));
  }
  const std::string path = dir.File(name);
  EXPECT_TRUE(book.Write(path));
  return path;
}

RECT ClientOf(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  return r;
}

struct Zoom {
  int numerator = 0, denominator = 0;
};
Zoom PaneZoom(HWND pane) {
  Zoom z;
  SendMessageW(pane, EM_GETZOOM, reinterpret_cast<WPARAM>(&z.numerator), reinterpret_cast<LPARAM>(&z.denominator));
  return z;
}

bool Greyed(HMENU menu, UINT position) { return (GetMenuState(menu, position, MF_BYPOSITION) & MF_GRAYED) != 0; }

// Positions of the zoom and chapter buttons on the menu bar and in the Window menu.
constexpr UINT kBarZoomSmaller = 3, kBarZoomBigger = 5, kBarChapterUp = 6, kBarChapterDown = 7;
constexpr UINT kMenuZoomSmaller = 0, kMenuZoomBigger = 2, kMenuChapterUp = 4, kMenuChapterDown = 5;

TEST(MainWindow, StartsWithTheDefaultGeometryAndLayout) {
  ViewerRun viewer;
  ASSERT_TRUE(viewer.window());
  RECT frame{};
  GetWindowRect(viewer.window(), &frame);
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  EXPECT_EQ(frame.left, w / 2 - 20);
  EXPECT_EQ(frame.top, 0);
  EXPECT_EQ(frame.right - frame.left, w / 2 + 20);
  EXPECT_EQ(frame.bottom - frame.top, h);

  const RECT client = ClientOf(viewer.window());
  const RECT list = ChildRect(viewer.contents()), bar = ChildRect(viewer.splitter()), pane = ChildRect(viewer.text());
  EXPECT_EQ(list.left, 0);
  EXPECT_EQ(list.top, 1);
  EXPECT_EQ(list.right, 250);
  EXPECT_EQ(list.bottom, client.bottom);
  EXPECT_EQ(bar.left, 251);
  EXPECT_EQ(bar.right, 256);
  EXPECT_EQ(pane.left, 256);
  EXPECT_EQ(pane.top, 1);
  EXPECT_EQ(pane.right - pane.left, client.right - 255);
  EXPECT_EQ(pane.bottom - pane.top, client.bottom);
  EXPECT_EQ(viewer.Focus(), viewer.text());
  wchar_t title[64] = {};
  GetWindowTextW(viewer.window(), title, 64);
  EXPECT_STREQ(title, L"Tomelet viewer");
}

TEST(MainWindow, ContentsWidthKeysStopAtTwoPixels) {
  ViewerRun viewer;
  viewer.Key(VK_F9);
  EXPECT_EQ(ChildRect(viewer.contents()).right, 260);
  for (int i = 0; i < 30; ++i) viewer.Key(VK_F8);
  EXPECT_EQ(ChildRect(viewer.contents()).right, 2);
  EXPECT_EQ(ChildRect(viewer.text()).left, 8);
  EXPECT_EQ(Main().contentsWidth, 2);
}

TEST(MainWindow, DraggingTheSplitterMovesTheChildren) {
  ViewerRun viewer;
  POINT grab{252, 100};
  ClientToScreen(viewer.window(), &grab);
  SetCursorPos(grab.x, grab.y);
  PostMessageW(viewer.window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(252, 100));
  viewer.Settle();
  POINT to{400, 100};
  ClientToScreen(viewer.window(), &to);
  SetCursorPos(to.x, to.y);
  SendMessageW(viewer.window(), WM_SETCURSOR, reinterpret_cast<WPARAM>(viewer.window()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  PostMessageW(viewer.window(), WM_LBUTTONUP, 0, MAKELPARAM(400, 100));
  viewer.Settle();
  EXPECT_EQ(ChildRect(viewer.contents()).right, 400);
  EXPECT_EQ(ChildRect(viewer.splitter()).left, 401);
  EXPECT_EQ(ChildRect(viewer.text()).left, 406);
  EXPECT_FALSE(Main().draggingSplitter);
  // Without a button pressed, the pointer alone changes nothing.
  SetCursorPos(grab.x, grab.y);
  SendMessageW(viewer.window(), WM_SETCURSOR, reinterpret_cast<WPARAM>(viewer.window()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(ChildRect(viewer.contents()).right, 400);
}

TEST(MainWindow, TabSwitchesBetweenContentsAndText) {
  ViewerRun viewer;
  ASSERT_EQ(viewer.Focus(), viewer.text());
  viewer.Key(VK_TAB);
  EXPECT_EQ(viewer.Focus(), viewer.contents());
  viewer.Key(VK_TAB);
  EXPECT_EQ(viewer.Focus(), viewer.text());
}

TEST(MainWindow, ZoomStopsAtItsLimitsAndGreysTheCommand) {
  TempDir dir;
  ViewerRun viewer(WinPath(WriteBook(dir, "zoom.tmk", 3)));
  const HMENU bar = GetMenu(viewer.window());
  const HMENU windowMenu = GetSubMenu(bar, 2);
  viewer.Key(VK_F10);
  EXPECT_EQ(Main().zoomLevel, 19);
  EXPECT_EQ(PaneZoom(viewer.text()).numerator, 19);
  EXPECT_EQ(PaneZoom(viewer.text()).denominator, 20);

  for (int i = 0; i < 17; ++i) viewer.Key(VK_F10);
  EXPECT_EQ(Main().zoomLevel, 2);
  viewer.Key(VK_F10);  // level 1: the text stays at 2/20
  EXPECT_EQ(Main().zoomLevel, 1);
  EXPECT_EQ(PaneZoom(viewer.text()).numerator, 2);
  EXPECT_TRUE(Greyed(bar, kBarZoomSmaller));
  EXPECT_TRUE(Greyed(windowMenu, kMenuZoomSmaller));
  EXPECT_FALSE(Greyed(bar, kBarZoomBigger));
  viewer.Key(VK_F12);
  EXPECT_EQ(Main().zoomLevel, 2);
  EXPECT_EQ(PaneZoom(viewer.text()).numerator, 2);
  EXPECT_FALSE(Greyed(bar, kBarZoomSmaller));

  viewer.Key(VK_F11);
  EXPECT_EQ(Main().zoomLevel, 20);
  EXPECT_EQ(PaneZoom(viewer.text()).numerator, 20);
  for (int i = 0; i < 59; ++i) viewer.Key(VK_F12);
  EXPECT_EQ(Main().zoomLevel, 79);
  viewer.Key(VK_F12);
  EXPECT_EQ(Main().zoomLevel, 80);
  EXPECT_EQ(PaneZoom(viewer.text()).numerator, 79);
  EXPECT_TRUE(Greyed(bar, kBarZoomBigger));
  EXPECT_TRUE(Greyed(windowMenu, kMenuZoomBigger));
  EXPECT_FALSE(Greyed(bar, kBarZoomSmaller));
}

TEST(MainWindow, ChapterKeysStepThroughTheContentsAndGreyAtTheEnds) {
  TempDir dir;
  ViewerRun viewer(WinPath(WriteBook(dir, "steps.tmk", 3)));
  const HMENU bar = GetMenu(viewer.window());
  const HMENU windowMenu = GetSubMenu(bar, 2);
  const auto selected = [&] { return static_cast<int>(SendMessageW(viewer.contents(), LB_GETCURSEL, 0, 0)); };
  ASSERT_EQ(selected(), 0);
  EXPECT_TRUE(Greyed(bar, kBarChapterUp));
  EXPECT_TRUE(Greyed(windowMenu, kMenuChapterUp));
  EXPECT_FALSE(Greyed(bar, kBarChapterDown));
  viewer.Key(VK_NEXT, true);
  viewer.Key(VK_NEXT, true);
  EXPECT_EQ(selected(), 2);
  EXPECT_NE(PaneText(viewer.text()).find(L"chapter 3"), std::wstring::npos);
  EXPECT_TRUE(Greyed(bar, kBarChapterDown));
  EXPECT_TRUE(Greyed(windowMenu, kMenuChapterDown));
  viewer.Key(VK_NEXT, true);  // at the end: nothing moves
  EXPECT_EQ(selected(), 2);
  viewer.Key(VK_PRIOR, true);
  EXPECT_EQ(selected(), 1);
  EXPECT_FALSE(Greyed(bar, kBarChapterUp));
  EXPECT_FALSE(Greyed(bar, kBarChapterDown));
  EXPECT_NE(PaneText(viewer.text()).find(L"chapter 2"), std::wstring::npos);
}

TEST(MainWindow, EmptyContentsGreyChapterUpOnly) {
  ViewerRun viewer;
  viewer.Command(CMD_CHAPTER_DOWN);  // does nothing without rows
  const HMENU bar = GetMenu(viewer.window());
  EXPECT_TRUE(Greyed(bar, kBarChapterUp));
  EXPECT_FALSE(Greyed(bar, kBarChapterDown));
  EXPECT_EQ(SendMessageW(viewer.contents(), LB_GETCURSEL, 0, 0), LB_ERR);
}

TEST(MainWindow, CopyAndSelectAllWorkOnTheText) {
  TempDir dir;
  ViewerRun viewer(WinPath(WriteBook(dir, "copy.tmk", 2)));
  viewer.Key('A', true);
  CHARRANGE range{};
  SendMessageW(viewer.text(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
  EXPECT_EQ(range.cpMin, 0);
  EXPECT_GT(range.cpMax, 10);
  viewer.Key('C', true);
  ASSERT_TRUE(OpenClipboard(nullptr));
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  std::wstring copied = data ? static_cast<const wchar_t*>(GlobalLock(data)) : L"";
  if (data) GlobalUnlock(data);
  CloseClipboard();
  EXPECT_NE(copied.find(L"Text of chapter 1"), std::wstring::npos);
}

TEST(MainWindow, OpenDialogChoosesItsFilterByTheCurrentPath) {
  const struct {
    const wchar_t* path;
    LRESULT filter;  // 0-based selection of the file type box
  } cases[] = {{L"", 0}, {L"C:\\books\\a.TMK", 0}, {L"C:\\books\\b.zip", 1}, {L"C:\\books\\c.txt", 2}};
  for (const auto& c : cases) {
    ViewerRun viewer;
    viewer.OnViewerThread([&] { Session().bookPath = c.path; });
    PostMessageW(viewer.window(), WM_COMMAND, CMD_OPEN, 0);
    HWND dialog = viewer.WaitForDialog();
    ASSERT_TRUE(dialog) << "no Open dialog";
    EXPECT_EQ(SendDlgItemMessageW(dialog, 0x470 /* file type box */, CB_GETCURSEL, 0, 0), c.filter) << c.path;
    EXPECT_EQ(SendDlgItemMessageW(dialog, 0x470, CB_GETCOUNT, 0, 0), 3);
    PressButton(dialog, IDCANCEL);
    viewer.Settle();
    EXPECT_EQ(Session().bookPath, c.path);  // cancel changes nothing
  }
}

TEST(MainWindow, ExitAndCloseBothRecordTheReadingPlace) {
  TempDir dir;
  const std::wstring book = WinPath(WriteBook(dir, "place.tmk", 4));
  for (bool useExitCommand : {true, false}) {
    ViewerRun viewer(book);
    viewer.Key(VK_NEXT, true);
    viewer.Key(VK_NEXT, true);
    viewer.Key(VK_F9);
    if (useExitCommand) PostMessageW(viewer.window(), WM_COMMAND, CMD_EXIT, 0);
    else PostMessageW(viewer.window(), WM_SYSCOMMAND, SC_CLOSE, 0);  // Alt+F4
    EXPECT_EQ(viewer.WaitForExit(), 0);
    const Program& program = TheProgram();
    EXPECT_EQ(program.place.lastArchiveFile, book);
    EXPECT_EQ(program.place.lastChapterFile, 2);
    EXPECT_EQ(program.settings.contentsWidth, 260);
    EXPECT_EQ(program.settings.showState, 1);
  }
}

TEST(MainWindow, MissingRichEditLibraryIsReportedAndEndsWithAnError) {
  ViewerOptions options;
  options.richEditLibrary = L"NoSuchRichEdit.dll";
  ViewerRun viewer(L"", options);
  EXPECT_FALSE(viewer.window());
  HWND box = viewer.WaitForDialog();
  ASSERT_TRUE(box);
  const MessageBoxText text = ReadMessageBox(box);
  EXPECT_EQ(text.caption, L"Tomelet viewer");
  EXPECT_NE(text.message.find(L"Msftedit.dll"), std::wstring::npos);
  PressButton(box, IDOK);
  EXPECT_EQ(viewer.WaitForExit(), kExitRichEditMissing);
}

TEST(MainWindow, ALongLinkClickNeverReadsPastTheLinkWord) {
  TempDir dir;
  ViewerRun viewer(WinPath(WriteBook(dir, "link.tmk", 2)));
  ENLINK link{};
  link.nmhdr.hwndFrom = viewer.text();
  link.nmhdr.idFrom = IDW_TEXT_PANE;
  link.nmhdr.code = EN_LINK;
  link.msg = WM_LBUTTONDOWN;
  link.chrg = {0, 5000};  // far longer than any buffer for the link word
  EXPECT_EQ(SendMessageW(viewer.window(), WM_NOTIFY, IDW_TEXT_PANE, reinterpret_cast<LPARAM>(&link)), 0);
  EXPECT_TRUE(viewer.running());
}

}  // namespace
}  // namespace tomelet::test
