// The interface language: chosen from the user's UI language or fixed, switched while the
// viewer runs, and followed by the menus and by every text shown so far; the owner-drawn
// zoom and chapter items as they appear on the screen.
#include <gtest/gtest.h>
#include <richedit.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "app/main_window.h"
#include "app/viewer.h"
#include "app/book_view.h"
#include "res/resource_ids.h"
#include "tests/support/book_writer.h"
#include "tests/support/zip_patch.h"
#include "tests/ui/settings_support.h"
#include "tests/ui/viewer_harness.h"

namespace tomelet::test {
namespace {

constexpr LANGID kEnglishUs = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
constexpr LANGID kGermanGermany = MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN);

ViewerOptions WithUiLanguage(LANGID language) {
  ViewerOptions options;
  options.userUiLanguage = language;
  return options;
}

std::wstring MenuText(HMENU menu, UINT position) {
  wchar_t text[128] = {};
  GetMenuStringW(menu, position, text, 128, MF_BYPOSITION);
  return text;
}

// The bar's pop-ups and its Help item, which tell the two menus apart.
std::vector<std::wstring> BarTexts(HWND window) {
  const HMENU bar = GetMenu(window);
  return {MenuText(bar, 0), MenuText(bar, 1), MenuText(bar, 2), MenuText(bar, 8)};
}
const std::vector<std::wstring> kEnglishBar = {L"&File", L"&Edit", L"&Window", L"&Help"};
const std::vector<std::wstring> kGermanBar = {L"&Datei", L"&Bearbeiten", L"&Fenster", L"&Hilfe"};

HMENU SettingsMenu(HWND window) { return GetSubMenu(GetSubMenu(GetMenu(window), 0), 6); }

bool Checked(HMENU menu, UINT id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0; }
bool Greyed(HMENU menu, UINT id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0; }

// The radio marks as the Settings sub-menu shows them when it opens.
std::vector<UINT> MarksWhenOpened(ViewerRun& viewer) {
  const HMENU settings = SettingsMenu(viewer.window());
  SendMessageW(viewer.window(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(settings), MAKELPARAM(6, 0));
  std::vector<UINT> marks;
  for (UINT id : {CMD_LANGUAGE_ENGLISH, CMD_LANGUAGE_GERMAN, CMD_LANGUAGE_AUTOMATIC, CMD_SAVE_SETTINGS,
                  CMD_DONT_SAVE_SETTINGS})
    if (Checked(settings, id)) marks.push_back(id);
  return marks;
}

std::string Rtf(const std::string& text) { return "{\\rtf1\\ansi " + text + "\\par}"; }

class LanguageTest : public CleanRegistryTest {
 protected:
  TempDir dir_;
};

TEST_F(LanguageTest, AutomaticChoiceIsGermanForEveryGermanVariantAndEnglishOtherwise) {
  const struct {
    LANGID ui;
    bool german;
  } cases[] = {
      {kGermanGermany, true},
      {MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN_AUSTRIAN), true},
      {MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN_SWISS), true},
      {MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN_LUXEMBOURG), true},
      {MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH), false},
      {kEnglishUs, false},
      {MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK), false},
  };
  for (const auto& c : cases) {
    ViewerRun viewer(L"", WithUiLanguage(c.ui));
    ASSERT_TRUE(viewer.window());
    EXPECT_EQ(BarTexts(viewer.window()), c.german ? kGermanBar : kEnglishBar) << std::hex << c.ui;
    int languageId = -1;
    viewer.OnViewerThread([&] { languageId = TheProgram().settings.languageId; });
    EXPECT_EQ(languageId, c.ui & 0xFF) << std::hex << c.ui;
    EXPECT_EQ(MarksWhenOpened(viewer), (std::vector<UINT>{CMD_LANGUAGE_AUTOMATIC, CMD_DONT_SAVE_SETTINGS}));
  }
}

// The real program in Wine with LANG set: Wine's UI language, not a stand-in.
TEST_F(LanguageTest, TheRealProgramSpeaksTheLanguageOfTheUserInterface) {
  const struct {
    const char* lang;
    int languageId;
    std::wstring message;
  } cases[] = {
      {"de_DE.UTF-8", 7, L"Fehler beim \u00d6ffnen der Datei\r"},
      {"fr_FR.UTF-8", 12, L"Error opening file\r"},
  };
  const std::wstring missing = WinPath(dir_.File("no such book.tmk"));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lang);
    ClearSettingsKey();
    ViewerProcess viewer(ViewerExePath(), L"\"" + missing + L"\"", c.lang);
    ASSERT_TRUE(viewer.window());
    HWND box = viewer.WaitForDialog();
    ASSERT_TRUE(box);
    const MessageBoxText text = ReadMessageBox(box);
    EXPECT_EQ(text.caption, L"Tomelet viewer");
    EXPECT_EQ(text.message, c.message + missing);
    PressButton(box, IDOK);
    viewer.Command(CMD_SAVE_SETTINGS);
    ASSERT_TRUE(viewer.Close());
    const auto record = SettingsRecord();
    ASSERT_TRUE(record);
    EXPECT_EQ(record->autoLanguage, 0xFFFF);
    EXPECT_EQ(record->languageId, c.languageId);
  }
  // Automatic: the next start takes the language from the system again (here English).
  ViewerRun viewer(L"", WithUiLanguage(kEnglishUs));
  EXPECT_EQ(BarTexts(viewer.window()), kEnglishBar);
}

TEST_F(LanguageTest, AFixedChoiceOutlastsTheSystemLanguage) {
  const struct {
    int32_t languageId;
    bool german;
    UINT mark;
  } cases[] = {{7, true, CMD_LANGUAGE_GERMAN}, {0, false, CMD_LANGUAGE_ENGLISH}, {12, false, CMD_LANGUAGE_ENGLISH}};
  for (const auto& c : cases) {
    WindowSettings s = KeptDefaults();
    s.autoLanguage = 0;
    s.languageId = c.languageId;
    WriteKeptSettings(s);
    {
      ViewerRun viewer(L"", WithUiLanguage(c.german ? kEnglishUs : kGermanGermany));
      EXPECT_EQ(BarTexts(viewer.window()), c.german ? kGermanBar : kEnglishBar) << c.languageId;
      // The mark shows the language in effect: a stored 12 is English.
      EXPECT_EQ(MarksWhenOpened(viewer), (std::vector<UINT>{c.mark, CMD_SAVE_SETTINGS})) << c.languageId;
    }
    EXPECT_EQ(SettingsRecord()->languageId, c.languageId);  // kept as it was
  }
}

TEST_F(LanguageTest, SwitchingWhileRunningChangesTheMenuAtOnceAndLaterTextsOnly) {
  const std::string path = dir_.File("switch.tmk");
  ASSERT_TRUE(BookWriter().Add("#META.TXT", "Title: T").Add("01 A.rtf", Rtf("a")).Add("02 B.rtf", Rtf("b")).Write(path));
  ViewerRun viewer(WinPath(path), WithUiLanguage(kEnglishUs));
  EXPECT_EQ(BarTexts(viewer.window()), kEnglishBar);
  EXPECT_EQ(ListRowText(viewer.contents(), 0), L"01[About...]");
  viewer.OnViewerThread([] {
    Main().zoomLevel = 1;
    UpdateMenuState();
  });

  const HMENU before = GetMenu(viewer.window());
  viewer.Command(CMD_LANGUAGE_GERMAN);
  const HMENU german = GetMenu(viewer.window());
  EXPECT_NE(german, before);
  EXPECT_FALSE(IsMenu(before));  // the old menu is gone, not leaked
  EXPECT_EQ(BarTexts(viewer.window()), kGermanBar);
  HMENU stateMenu = nullptr;
  viewer.OnViewerThread([&] { stateMenu = Main().menuBar; });
  EXPECT_EQ(stateMenu, german);
  // The enable states are put on the fresh menu: zoom smaller stays greyed.
  EXPECT_TRUE(Greyed(german, CMD_ZOOM_SMALLER));
  EXPECT_TRUE(Greyed(GetSubMenu(german, 2), CMD_ZOOM_SMALLER));
  EXPECT_FALSE(Greyed(german, CMD_ZOOM_BIGGER));
  EXPECT_EQ(MarksWhenOpened(viewer), (std::vector<UINT>{CMD_LANGUAGE_GERMAN, CMD_DONT_SAVE_SETTINGS}));
  // The row built before keeps its label until the book is opened again.
  EXPECT_EQ(ListRowText(viewer.contents(), 0), L"01[About...]");
  viewer.Command(CMD_OPEN_BOOK_COMMAND);
  EXPECT_EQ(ListRowText(viewer.contents(), 0), L"01[\u00dcber...]");

  viewer.Command(CMD_LANGUAGE_AUTOMATIC);  // the system is English
  EXPECT_EQ(BarTexts(viewer.window()), kEnglishBar);
  EXPECT_EQ(MarksWhenOpened(viewer), (std::vector<UINT>{CMD_LANGUAGE_AUTOMATIC, CMD_DONT_SAVE_SETTINGS}));
  viewer.Command(CMD_LANGUAGE_GERMAN);
  viewer.Command(CMD_LANGUAGE_ENGLISH);
  EXPECT_EQ(BarTexts(viewer.window()), kEnglishBar);
  viewer.Command(CMD_SAVE_SETTINGS);
  EXPECT_EQ(MarksWhenOpened(viewer), (std::vector<UINT>{CMD_LANGUAGE_ENGLISH, CMD_SAVE_SETTINGS}));

  // A message shown after a switch speaks the new language.
  viewer.Command(CMD_LANGUAGE_GERMAN);
  const std::wstring missing = WinPath(dir_.File("gone.tmk"));
  viewer.OnViewerThread([&] { Session().bookPath = missing; });
  PostMessageW(viewer.window(), WM_COMMAND, CMD_OPEN_BOOK_COMMAND, 0);
  HWND box = viewer.WaitForDialog();
  ASSERT_TRUE(box);
  EXPECT_EQ(ReadMessageBox(box).message, L"Fehler beim \u00d6ffnen der Datei\r" + missing);
  PressButton(box, IDOK);
  viewer.Settle();
}

TEST_F(LanguageTest, ExportFollowsTheOpenBookAndTheSystemMenuIsLeftAlone) {
  const std::string path = dir_.File("export.tmk");
  ASSERT_TRUE(BookWriter().Add("01 A.rtf", Rtf("a")).Add("02 B.rtf", Rtf("b")).Write(path));
  ViewerRun viewer;
  const auto fileMenu = [&] { return GetSubMenu(GetMenu(viewer.window()), 0); };
  SendMessageW(viewer.window(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(fileMenu()), MAKELPARAM(0, 0));
  EXPECT_TRUE(Greyed(fileMenu(), CMD_EXPORT));
  viewer.OnViewerThread([&] { Session().bookPath = WinPath(path); });
  viewer.Command(CMD_OPEN_BOOK_COMMAND);
  // The system menu opening (high word set) touches nothing.
  SendMessageW(viewer.window(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(fileMenu()), MAKELPARAM(0, 1));
  EXPECT_TRUE(Greyed(fileMenu(), CMD_EXPORT));
  SendMessageW(viewer.window(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(SettingsMenu(viewer.window())),
               MAKELPARAM(6, 1));
  EXPECT_FALSE(Checked(SettingsMenu(viewer.window()), CMD_DONT_SAVE_SETTINGS));
  SendMessageW(viewer.window(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(fileMenu()), MAKELPARAM(0, 0));
  EXPECT_FALSE(Greyed(fileMenu(), CMD_EXPORT));
}

// Every message and label of the features so far, in both languages, as the user sees it.
TEST_F(LanguageTest, EveryMessageSoFarSpeaksBothLanguages) {
  BookWriter book;
  book.Add("#META.TXT", "Title: Both languages")
      .Add("01 Tiny.rtf", "ab")
      .AddStored("02 Odd method.rtf", Rtf("compressed in a way the viewer cannot read"))
      .AddStored("03 Damaged.rtf", Rtf("the checksum of this chapter is wrong"))
      .Add("04 Data.bin", std::string(2048, 'd'));
  const std::string path = dir_.File("messages.tmk");
  ASSERT_TRUE(book.Write(path));
  std::string bytes = ReadFileBytes(path);
  PatchField(bytes, FindEntry(bytes, "02 Odd method.rtf"), Field::Method, 12);  // bzip2: not built in
  PatchField(bytes, FindEntry(bytes, "03 Damaged.rtf"), Field::Crc, 0x12345678);
  WriteFileBytes(path, bytes);
  WriteFileBytes(dir_.File("text.tmk"), "This is not a ZIP archive.");
  WriteFileBytes(dir_.File("empty.tmk"), std::string("PK\x05\x06", 4) + std::string(18, '\0'));

  struct Texts {
    LANGID ui;
    std::wstring errorOpening, empty, infoRow, tooShort, cannotOpen, cannotRead, attachment, richEdit;
  };
  const Texts languages[] = {
      {kEnglishUs, L"Error opening file\r", L"The file is empty!\r\r", L"01[About...]",
       L"Could not load the chapter's text.", L"Could not open chapter.\r(\"", L"Could not read chapter.\r(\"",
       L"Binary Attachemnt. To extract the file to disc please click the following link:",
       L"The rich text library (Msftedit.dll) could not be loaded"},
      {kGermanGermany, L"Fehler beim \u00d6ffnen der Datei\r", L"Die Datei ist leer!\r\r", L"01[\u00dcber...]",
       L"Konnte Text des Kapitels nicht laden.", L"Konnte Kapitel nicht \u00f6ffnen.\r(\"",
       L"Konnte Kapitel nicht lesen.\r(\"",
       L"Bin\u00e4r-Attachement. Zum Extrahieren der Datei bitte den folgenden Link anklicken:",
       L"Die Rich-Text-Bibliothek (Msftedit.dll) konnte nicht"},
  };
  for (const Texts& t : languages) {
    SCOPED_TRACE(t.ui == kGermanGermany ? "German" : "English");
    const std::pair<std::string, std::wstring> failures[] = {
        {"missing.tmk", t.errorOpening}, {"text.tmk", t.errorOpening}, {"empty.tmk", t.empty}};
    for (const auto& [name, message] : failures) {
      ViewerRun viewer(WinPath(dir_.File(name)), WithUiLanguage(t.ui));
      HWND box = viewer.WaitForDialog();
      ASSERT_TRUE(box) << name;
      const MessageBoxText text = ReadMessageBox(box);
      EXPECT_EQ(text.caption, L"Tomelet viewer");
      EXPECT_EQ(text.message, message + WinPath(dir_.File(name)));
      PressButton(box, IDOK);
      viewer.Settle();
    }

    ViewerRun viewer(WinPath(path), WithUiLanguage(t.ui));
    EXPECT_EQ(ListRowText(viewer.contents(), 0), t.infoRow);
    const auto show = [&](int row) {
      SendMessageW(viewer.contents(), LB_SETCURSEL, static_cast<WPARAM>(row), 0);
      PostMessageW(viewer.window(), WM_COMMAND, MAKEWPARAM(IDW_CONTENTS_LIST, LBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(viewer.contents()));
      viewer.Settle();
      return PaneText(viewer.text());
    };
    EXPECT_EQ(show(1), t.tooShort);
    const std::wstring cannotOpen = show(2), cannotRead = show(3);
    EXPECT_EQ(cannotOpen.rfind(t.cannotOpen, 0), 0u);  // then libzip's own text
    EXPECT_EQ(cannotRead.rfind(t.cannotRead, 0), 0u);
    EXPECT_NE(show(4).find(t.attachment), std::wstring::npos);
  }
  for (const Texts& t : languages) {
    ViewerOptions options = WithUiLanguage(t.ui);
    options.richEditLibrary = L"NoSuchRichEdit.dll";
    ViewerRun viewer(L"", options);
    HWND box = viewer.WaitForDialog();
    ASSERT_TRUE(box);
    EXPECT_EQ(ReadMessageBox(box).message.rfind(t.richEdit, 0), 0u);
    PressButton(box, IDOK);
    viewer.WaitForExit();
  }
}

// --- the owner-drawn items on the screen --------------------------------------------

// A block of screen pixels.
class ScreenBlock {
 public:
  explicit ScreenBlock(const RECT& r) : left_(r.left), top_(r.top), width_(r.right - r.left), height_(r.bottom - r.top) {
    pixels_.resize(static_cast<std::size_t>(std::max(0, width_ * height_)));
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width_, -height_, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width_, height_, screen, left_, top_, SRCCOPY);
    GdiFlush();
    std::memcpy(pixels_.data(), bits, pixels_.size() * 4);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
  }
  int width() const { return width_; }
  int height() const { return height_; }
  bool Dark(int x, int y) const {
    const uint32_t p = pixels_[static_cast<std::size_t>(y * width_ + x)];
    return ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) < 240;
  }
  // Dark pixels of a row or column, within [from, to).
  int DarkInRow(int y, int from, int to) const {
    int n = 0;
    for (int x = from; x < to; ++x) n += Dark(x, y);
    return n;
  }
  int DarkInColumn(int x, int from, int to) const {
    int n = 0;
    for (int y = from; y < to; ++y) n += Dark(x, y);
    return n;
  }
  // Bounding box of the dark pixels within columns [from, to); empty when there are none.
  RECT DarkBox(int from, int to) const {
    RECT box{to, height_, from, 0};
    for (int y = 0; y < height_; ++y)
      for (int x = from; x < to; ++x)
        if (Dark(x, y)) box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y), std::max<LONG>(box.right, x + 1),
                               std::max<LONG>(box.bottom, y + 1)};
    return box;
  }
  bool operator==(const ScreenBlock& other) const { return pixels_ == other.pixels_; }

 private:
  int left_, top_, width_, height_;
  std::vector<uint32_t> pixels_;
};

// Checks that the dark pixels in the columns [from, to) of a block form the symbol of
// the command: a circle with a minus, a dot or a plus, or a triangle down or up.
void ExpectSymbol(const ScreenBlock& block, int from, int to, UINT id) {
  SCOPED_TRACE(testing::Message() << "symbol of " << id);
  const RECT box = block.DarkBox(from, to);
  const int w = box.right - box.left, h = box.bottom - box.top;
  ASSERT_GE(w, 7);
  ASSERT_GE(h, 7);
  EXPECT_LE(std::abs(w - h), 2);  // as high as wide
  const int cx = box.left + w / 2, cy = box.top + h / 2;
  const int rowThroughCentre = std::max(block.DarkInRow(cy, box.left, box.right), block.DarkInRow(cy - 1, box.left, box.right));
  const int columnThroughCentre =
      std::max(block.DarkInColumn(cx, box.top, box.bottom), block.DarkInColumn(cx - 1, box.top, box.bottom));
  const int topRow = block.DarkInRow(box.top, box.left, box.right);
  const int bottomRow = block.DarkInRow(box.bottom - 1, box.left, box.right);
  switch (id) {
    case CMD_ZOOM_SMALLER:  // circle with a horizontal line
      EXPECT_GE(rowThroughCentre, w / 2);
      EXPECT_LE(columnThroughCentre, 6);
      break;
    case CMD_ZOOM_BIGGER:  // circle with a plus
      EXPECT_GE(rowThroughCentre, w / 2);
      EXPECT_GE(columnThroughCentre, h / 2);
      break;
    case CMD_ZOOM_NORMAL:  // circle with a dot in the middle
      EXPECT_LE(rowThroughCentre, 8);
      EXPECT_LE(columnThroughCentre, 8);
      EXPECT_TRUE(block.Dark(cx, cy) || block.Dark(cx - 1, cy) || block.Dark(cx, cy - 1) || block.Dark(cx + 1, cy));
      EXPECT_FALSE(block.Dark(cx - w / 4, cy));  // white between the dot and the rim
      break;
    case CMD_CHAPTER_DOWN:  // the flat side on top
      EXPECT_GE(topRow, w * 3 / 4);
      EXPECT_LE(bottomRow, 4);
      break;
    case CMD_CHAPTER_UP:  // the flat side at the bottom
      EXPECT_GE(bottomRow, w * 3 / 4);
      EXPECT_LE(topRow, 4);
      break;
    default:
      ADD_FAILURE() << "not an owner-drawn item";
  }
  // Outlines on a light fill, not black shapes.
  int dark = 0;
  for (int y = box.top; y < box.bottom; ++y) dark += block.DarkInRow(y, box.left, box.right);
  EXPECT_LT(dark, w * h / 2);
}

std::wstring ShotPath(const std::wstring& name) {
  wchar_t folder[MAX_PATH] = L"screenshots";
  GetEnvironmentVariableW(L"TOMELET_SCREENSHOTS", folder, MAX_PATH);
  CreateDirectoryW(folder, nullptr);
  return std::wstring(folder) + L"\\" + name;
}

HWND OpenPopup() {
  for (int i = 0; i < 100; ++i) {
    if (HWND popup = FindWindowW(L"#32768", nullptr); popup && IsWindowVisible(popup)) {
      Sleep(200);  // drawn
      return popup;
    }
    Sleep(20);
  }
  return nullptr;
}

void ClosePopup(ViewerRun& viewer) {
  for (int i = 0; i < 3; ++i) {
    if (HWND popup = FindWindowW(L"#32768", nullptr); popup && IsWindowVisible(popup))
      PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
    Sleep(100);
  }
  viewer.Settle();
}

TEST_F(LanguageTest, ZoomAndChapterItemsAreSymbolButtonsOnTheBarAndLabelledInTheWindowMenu) {
  const std::string path = dir_.File("symbols.tmk");
  ASSERT_TRUE(BookWriter().Add("01 A.rtf", Rtf("a")).Add("02 B.rtf", Rtf("b")).Add("03 C.rtf", Rtf("c")).Write(path));
  // Bar positions 3 to 7 and Window menu positions of the five items.
  const std::pair<UINT, UINT> items[] = {{CMD_ZOOM_SMALLER, 0}, {CMD_ZOOM_NORMAL, 1}, {CMD_ZOOM_BIGGER, 2},
                                         {CMD_CHAPTER_UP, 4},   {CMD_CHAPTER_DOWN, 5}};
  std::vector<std::unique_ptr<ScreenBlock>> labels[2];
  for (const bool german : {false, true}) {
    SCOPED_TRACE(german ? "German" : "English");
    ViewerRun viewer(WinPath(path), WithUiLanguage(german ? kGermanGermany : kEnglishUs));
    viewer.OnViewerThread([&] { SetWindowPos(viewer.window(), nullptr, 0, 0, 640, 420, SWP_NOZORDER); });
    viewer.Settle();
    Sleep(100);
    const HMENU bar = GetMenu(viewer.window());
    viewer.Screenshot(ShotPath(german ? L"menu-bar-de.png" : L"menu-bar-en.png"));

    // On the bar: the symbol alone, one per button, in order.
    for (UINT i = 0; i < 5; ++i) {
      RECT r{};
      ASSERT_TRUE(GetMenuItemRect(viewer.window(), bar, 3 + i, &r));
      EXPECT_EQ(GetMenuItemID(bar, static_cast<int>(3 + i)), items[i].first);
      const ScreenBlock block(r);
      ExpectSymbol(block, 0, block.width(), items[i].first);
      const RECT box = block.DarkBox(0, block.width());
      EXPECT_LE(box.right - box.left, GetSystemMetrics(SM_CYMENU)) << "no label on the bar";
    }

    // A greyed button looks like an enabled one.
    RECT smaller{};
    GetMenuItemRect(viewer.window(), bar, 3, &smaller);
    const ScreenBlock enabled(smaller);
    viewer.OnViewerThread([] {
      Main().zoomLevel = 1;
      UpdateMenuState();
    });
    ASSERT_TRUE(GetMenuState(GetMenu(viewer.window()), 3, MF_BYPOSITION) & MF_GRAYED);
    RedrawWindow(viewer.window(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    viewer.Settle();
    Sleep(100);
    EXPECT_TRUE(ScreenBlock(smaller) == enabled);

    // The Window menu: symbol and label, the greyed zoom-smaller item drawn as the others.
    PostMessageW(viewer.window(), WM_SYSCOMMAND, SC_KEYMENU, german ? 'f' : 'w');
    HWND popup = OpenPopup();
    ASSERT_TRUE(popup);
    viewer.Screenshot(ShotPath(german ? L"window-menu-de.png" : L"window-menu-en.png"));
    const HMENU windowMenu = GetSubMenu(GetMenu(viewer.window()), 2);
    for (const auto& [id, position] : items) {
      RECT r{};
      ASSERT_TRUE(GetMenuItemRect(nullptr, windowMenu, position, &r));
      const ScreenBlock block(r);
      const int h = block.height();
      ExpectSymbol(block, 0, h - 2, id);
      // The label starts one item height to the right, its key name further on.
      const RECT label = block.DarkBox(h, block.width());
      EXPECT_GE(label.right - label.left, 60) << id;
      EXPECT_GE(label.left, h) << id;
      labels[german].push_back(std::make_unique<ScreenBlock>(r));
    }
    ClosePopup(viewer);
  }
  // The labels differ between the two languages.
  for (std::size_t i = 0; i < 5; ++i) EXPECT_FALSE(*labels[0][i] == *labels[1][i]) << i;
}

}  // namespace
}  // namespace tomelet::test
