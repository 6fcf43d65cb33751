// The reader's story: open a book, see the contents as drawn, step through pages of every
// kind, zoom, open another book through the Open dialog; a file that is no book; a book of
// one entry, which gives the whole window to its text.
#include <gtest/gtest.h>
#include <richedit.h>

#include "app/book_view.h"
#include "app/main_window.h"
#include "app/viewer.h"
#include "res/resource_ids.h"
#include "tests/support/book_writer.h"
#include "tests/support/png_writer.h"
#include "tests/ui/viewer_harness.h"

namespace tomelet::test {
namespace {

constexpr COLORREF kCream = RGB(255, 239, 192), kLightOrange = RGB(255, 207, 160);
// Menu-bar positions of the zoom and chapter buttons (in the Window menu: 0, 2, 4, 5).
constexpr UINT kSmaller = 3, kBigger = 5, kUp = 6, kDown = 7;

std::string RedPicture() {
  PngImage image{24, 16, 8, 2, {}, {}};
  std::vector<std::uint8_t> row;
  for (int x = 0; x < 24; ++x) row.insert(row.end(), {220, 30, 30});
  image.rows.assign(16, row);
  return EncodePng(image);
}

int Selected(const ViewerRun& viewer) { return static_cast<int>(SendMessageW(viewer.contents(), LB_GETCURSEL, 0, 0)); }

// Whether a zoom or chapter button of the menu bar is greyed.
bool Greyed(const ViewerRun& viewer, UINT barPosition) {
  return GetMenuState(GetMenu(viewer.window()), barPosition, MF_BYPOSITION) & MF_GRAYED;
}

int PaneZoom(const ViewerRun& viewer) {
  int numerator = 0, denominator = 0;
  SendMessageW(viewer.text(), EM_GETZOOM, reinterpret_cast<WPARAM>(&numerator), reinterpret_cast<LPARAM>(&denominator));
  return denominator == 20 ? numerator : -denominator;
}

// Dark pixels of a menu-bar button (owner drawn), in its upper and its lower half.
std::pair<int, int> ButtonInk(const ViewerRun& viewer, UINT barPosition) {
  RECT r{};
  GetMenuItemRect(viewer.window(), GetMenu(viewer.window()), barPosition, &r);
  HDC screen = GetDC(nullptr);
  std::pair<int, int> ink{0, 0};
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) {
      const COLORREF c = GetPixel(screen, x, y);
      if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 240) ++(2 * y < r.top + r.bottom ? ink.first : ink.second);
    }
  ReleaseDC(nullptr, screen);
  return ink;
}

RECT Row(const ViewerRun& viewer, int row) {
  RECT r{};
  SendMessageW(viewer.contents(), LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
  return r;
}

TEST(BookStory, OpenStepZoomAndEveryKindOfPage) {
  TempDir dir;
  std::string chapter = "{\\rtf1\\ansi ";
  for (int i = 1; i <= 200; ++i) chapter += "Text of chapter one, line " + std::to_string(i) + "\\par ";
  ASSERT_TRUE(BookWriter().Add("#META.TXT", "Title: A story\r\nAuthor: A. Writer\r\n")
                  .Add("01 Chapter one.rtf", chapter + "}").Add("02-1 Red.png", RedPicture())
                  .Add("03-2 Data.bin", std::string(2048, 'd')).Add("04 Tiny.rtf", "abc")
                  .AddStored("05 Damaged.rtf", Rtf("checksum will not match")).Write(dir.File("story.tmk")));
  std::string bytes = ReadFileBytes(dir.File("story.tmk"));
  bytes[bytes.find("checksum will")] = 'C';  // the stored bytes no longer match their CRC
  WriteFileBytes(dir.File("story.tmk"), bytes);

  ViewerRun viewer(WinPath(dir.File("story.tmk")));
  ASSERT_TRUE(viewer.window());
  EXPECT_TRUE(viewer.Shows(L"A. Writer"));  // the information page
  EXPECT_EQ(viewer.Focus(), viewer.text());
  EXPECT_EQ(std::pair(Greyed(viewer, kUp), Greyed(viewer, kDown)), std::pair(true, false));

  // The contents as drawn: icons by kind, indented one row height per level, on cream; the
  // selected row light orange while the text has the focus and black while the list has it.
  const int h = Row(viewer, 0).bottom - Row(viewer, 0).top;
  const RECT picture = Row(viewer, 2), attachment = Row(viewer, 3);
  const auto redraw = [&] { RedrawWindow(viewer.contents(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW); };
  redraw();
  viewer.Screenshot(ScreenshotPath(L"book-story-contents.png"));
  const COLORREF red = ClientPixel(viewer.contents(), h + 3 * h / 4, picture.top + 2 + h / 4);
  EXPECT_TRUE(GetRValue(red) > 150 && GetGValue(red) < 110 && GetBValue(red) < 110) << std::hex << red;
  EXPECT_EQ(ClientPixel(viewer.contents(), h / 2, picture.top + 2 + h / 2), kCream);
  const COLORREF yellow = ClientPixel(viewer.contents(), 2 * h + h / 4, attachment.top + 2 + h / 2 + 2);
  EXPECT_TRUE(GetRValue(yellow) > 200 && GetGValue(yellow) > 200 && GetBValue(yellow) < 100) << std::hex << yellow;
  const RECT titleCell{h, Row(viewer, 0).top + 2, h + 30, Row(viewer, 0).bottom};
  EXPECT_GT(CountPixels(viewer.contents(), titleCell, kLightOrange), 30 * (h - 2) / 2);
  viewer.Key(VK_TAB);
  ASSERT_EQ(viewer.Focus(), viewer.contents());
  redraw();
  EXPECT_GT(CountPixels(viewer.contents(), titleCell, RGB(0, 0, 0)), 30 * (h - 2) / 2);
  viewer.Key(VK_TAB);
  EXPECT_EQ(viewer.Focus(), viewer.text());

  // A chapter: select all and copy; a click on an overlong link range reads nothing.
  viewer.Key(VK_NEXT, true);
  EXPECT_TRUE(viewer.Shows(L"Text of chapter one, line 200"));
  viewer.Key('A', true);
  viewer.Key('C', true);
  ASSERT_TRUE(OpenClipboard(nullptr));
  const HANDLE copied = GetClipboardData(CF_UNICODETEXT);
  const auto* copiedText = copied ? static_cast<const wchar_t*>(GlobalLock(copied)) : nullptr;
  EXPECT_TRUE(copiedText && wcsstr(copiedText, L"line 199"));
  if (copied) GlobalUnlock(copied);
  CloseClipboard();
  ENLINK link{{viewer.text(), IDW_TEXT_PANE, EN_LINK}, WM_LBUTTONDOWN, 0, 0, {0, 6000}};
  SendMessageW(viewer.window(), WM_NOTIFY, IDW_TEXT_PANE, reinterpret_cast<LPARAM>(&link));

  // The chapter buttons are triangles (down: the flat side on top); plus has more ink than minus.
  const auto up = ButtonInk(viewer, kUp), down = ButtonInk(viewer, kDown), smaller = ButtonInk(viewer, kSmaller);
  EXPECT_GT(down.first, down.second + 5);
  EXPECT_GT(up.second, up.first + 5);
  EXPECT_GT(ButtonInk(viewer, kBigger).first, smaller.first);

  // Zoom: level 1 keeps the text at 2/20 and level 80 at 79/20; each end greys its command,
  // and a greyed button is drawn as an enabled one.
  const struct { UINT key; int times, zoom; bool smallerGreyed, biggerGreyed; } zooms[] = {
      {VK_F10, 19, 2, true, false}, {VK_F12, 1, 2, false, false}, {VK_F11, 1, 20, false, false},
      {VK_F12, 60, 79, false, true}, {VK_F11, 1, 20, false, false}};
  for (const auto& z : zooms) {
    for (int i = 0; i < z.times; ++i) viewer.Key(z.key);
    EXPECT_EQ(PaneZoom(viewer), z.zoom) << z.times;
    EXPECT_EQ(std::pair(Greyed(viewer, kSmaller), Greyed(viewer, kBigger)), std::pair(z.smallerGreyed, z.biggerGreyed));
    if (z.smallerGreyed) EXPECT_EQ(ButtonInk(viewer, kSmaller), smaller);
  }

  // The picture, centred below some space; the attachment; the failures.
  viewer.Key(VK_NEXT, true);
  PARAFORMAT2 format{};
  format.cbSize = sizeof(format);
  SendMessageW(viewer.text(), EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
  EXPECT_EQ(format.wAlignment, PFA_CENTER);
  EXPECT_EQ(format.dySpaceBefore, 100);
  EXPECT_EQ(PaneText(viewer.text()).size(), 1u);  // one object: the picture
  viewer.Screenshot(ScreenshotPath(L"book-story-picture.png"));
  viewer.Key(VK_NEXT, true);
  EXPECT_TRUE(viewer.Shows(L"(2 KB)"));
  viewer.Key(VK_NEXT, true);
  EXPECT_EQ(PaneText(viewer.text()), L"Could not load the chapter's text.");
  viewer.Key(VK_NEXT, true);
  EXPECT_EQ(PaneText(viewer.text()).rfind(L"Could not read chapter.\r(\"", 0), 0u) << PaneText(viewer.text());
  EXPECT_EQ(std::pair(Greyed(viewer, kUp), Greyed(viewer, kDown)), std::pair(false, true));
  viewer.Key(VK_NEXT, true);  // at the end: nothing moves
  EXPECT_EQ(Selected(viewer), 5);
  viewer.SelectRow(1);
  EXPECT_TRUE(viewer.Shows(L"line 1"));

  // Another book through the Open dialog, whose file type box follows the current path
  // (Tomelet, then ZIP).
  ASSERT_TRUE(BookWriter().Add("01 X.rtf", Rtf("x2")).Add("02 Y.rtf", Rtf("y2")).Write(dir.File("second.zip")));
  for (const LRESULT type : {0, 1}) {
    viewer.Key('O', true);
    const HWND dialog = viewer.WaitForDialog();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(SendDlgItemMessageW(dialog, 0x470, CB_GETCURSEL, 0, 0), type);
    SetWindowTextW(FileNameBox(dialog), WinPath(dir.File("second.zip")).c_str());
    viewer.Answer(dialog, type ? IDCANCEL : IDOK);
    for (int i = 0; i < 100 && WindowText(viewer.window()) != L"Tomelet: second.zip"; ++i) Sleep(20);
    viewer.Settle();
    EXPECT_EQ(Selected(viewer), 0);  // the row remembered at the start, not the row just read
    EXPECT_TRUE(viewer.Shows(L"x2"));
  }
  PostMessageW(viewer.window(), WM_SYSCOMMAND, SC_CLOSE, 0);  // Alt+F4
  EXPECT_EQ(viewer.WaitForExit(), 0);
}

TEST(BookStory, NoRichEditAFileThatIsNoBookAndABookOfOneEntry) {
  {  // Without the rich-edit library: a message, and the run ends with its own exit code.
    ViewerOptions options;
    options.richEditLibrary = L"NoSuchRichEdit.dll";
    ViewerRun viewer(L"", options);
    EXPECT_FALSE(viewer.window());
    EXPECT_EQ(viewer.AnswerMessageBox().rfind(L"The rich text library (Msftedit.dll) could not be loaded", 0), 0u);
    EXPECT_EQ(viewer.WaitForExit(), kExitRichEditMissing);
  }
  TempDir dir;
  WriteFileBytes(dir.File("empty.tmk"), std::string("PK\x05\x06", 4) + std::string(18, '\0'));
  {
    ViewerRun viewer(WinPath(dir.File("empty.tmk")));
    EXPECT_EQ(viewer.AnswerMessageBox(), L"The file is empty!\r\r" + WinPath(dir.File("empty.tmk")));
    EXPECT_EQ(SendMessageW(viewer.contents(), LB_GETCOUNT, 0, 0), 0);
  }
  ASSERT_TRUE(BookWriter().Add("01 Only.rtf", Rtf("The only chapter")).Write(dir.File("one.tmk")));
  ViewerRun viewer(WinPath(dir.File("one.tmk")));
  RECT client{};
  GetClientRect(viewer.window(), &client);
  const RECT pane = ChildRect(viewer.text());
  EXPECT_TRUE(pane.left == 0 && pane.top == 0 && pane.right == client.right && pane.bottom == client.bottom);
  EXPECT_FALSE(IsWindowEnabled(viewer.contents()));
  viewer.Key(VK_F9);
  EXPECT_EQ(ChildRect(viewer.text()).left, 0);
  EXPECT_TRUE(viewer.Shows(L"The only chapter"));
}

}  // namespace
}  // namespace tomelet::test
