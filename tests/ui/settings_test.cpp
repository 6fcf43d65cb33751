// The settings key of the current user in the real registry of the test prefix: what a
// start reads from it, what the end of a run writes or deletes, the running mark, and
// damaged values.
#include <gtest/gtest.h>
#include <richedit.h>

#include <algorithm>

#include "app/main_window.h"
#include "app/viewer.h"
#include "book/book_session.h"
#include "res/resource_ids.h"
#include "tests/support/book_writer.h"
#include "tests/ui/settings_support.h"
#include "tests/ui/viewer_harness.h"

namespace tomelet::test {
namespace {

const int kScreenW = GetSystemMetrics(SM_CXSCREEN);
const int kScreenH = GetSystemMetrics(SM_CYSCREEN);

RECT Frame(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}

std::wstring Title(HWND window) {
  wchar_t title[300] = {};
  GetWindowTextW(window, title, 300);
  return title;
}

std::wstring BarText(HWND window, UINT position) {
  wchar_t text[64] = {};
  GetMenuStringW(GetMenu(window), position, text, 64, MF_BYPOSITION);
  return text;
}

int Selected(HWND list) { return static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0)); }

// A snapshot of the viewer's values, taken on its thread.
Program ProgramOf(ViewerRun& viewer) {
  Program copy;
  viewer.OnViewerThread([&copy] { copy = TheProgram(); });
  return copy;
}

std::vector<std::wstring> ValueNames() {
  std::vector<std::wstring> names;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return names;
  wchar_t name[256];
  for (DWORD i = 0;; ++i) {
    DWORD length = 256;
    if (RegEnumValueW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  RegCloseKey(key);
  std::sort(names.begin(), names.end());
  return names;
}

std::string LongChapter(const std::string& label) {
  std::string rtf = "{\\rtf1\\ansi ";
  for (int i = 1; i <= 300; ++i) rtf += label + " line " + std::to_string(i) + "\\par ";
  return rtf + "}";
}

class SettingsTest : public CleanRegistryTest {
 protected:
  std::wstring WriteBook(const std::string& name, int chapters = 3) {
    BookWriter book;
    for (int i = 1; i <= chapters; ++i)
      book.Add("00" + std::to_string(i) + " Chapter " + std::to_string(i) + ".rtf", LongChapter("c" + std::to_string(i)));
    const std::string path = dir_.File(name);
    EXPECT_TRUE(book.Write(path));
    return WinPath(path);
  }
  TempDir dir_;
};

TEST_F(SettingsTest, FirstStartTakesItsDefaultsFromTheScreenAndLeavesNothingBehind) {
  {
    ViewerRun viewer;
    ASSERT_TRUE(viewer.window());
    const RECT frame = Frame(viewer.window());
    EXPECT_EQ(frame.left, kScreenW / 2 - 20);
    EXPECT_EQ(frame.top, 0);
    EXPECT_EQ(frame.right - frame.left, kScreenW / 2 + 20);
    EXPECT_EQ(frame.bottom - frame.top, kScreenH);
    EXPECT_EQ(ChildRect(viewer.contents()).right, 250);
    const Program program = ProgramOf(viewer);
    EXPECT_EQ(program.settings.zoomLevel, 20);
    EXPECT_EQ(program.settings.storeSettings, 0);
    EXPECT_EQ(program.settings.autoLanguage, 0xFFFF);
    EXPECT_EQ(program.settings.languageId, PrimaryLanguage(GetUserDefaultUILanguage()));
    EXPECT_EQ(program.place.lastArchiveFile, L"");
    EXPECT_EQ(Title(viewer.window()), L"Tomelet viewer");
    // A start without a key creates none.
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kSettingsPath));
  }
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kSettingsPath));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, L".tmk"));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, L"Tomelet viewer"));
}

TEST_F(SettingsTest, AKeyWithoutTheRecordGivesASmallEnglishWindowAtTheCorner) {
  WriteSettingsDword(L"StoreSettings", -1);
  ViewerOptions german;
  german.userUiLanguage = MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN);
  ViewerRun viewer(L"", german);
  ASSERT_TRUE(viewer.window());
  const Program program = ProgramOf(viewer);
  EXPECT_EQ(program.settings.windowLeft, 0);
  EXPECT_EQ(program.settings.windowTop, 0);
  EXPECT_EQ(program.settings.windowWidth, 100);
  EXPECT_EQ(program.settings.windowHeight, 100);
  EXPECT_EQ(program.settings.showState, 1);
  EXPECT_EQ(program.settings.zoomLevel, 20);
  EXPECT_EQ(program.settings.autoLanguage, 0);
  EXPECT_EQ(program.settings.languageId, 0);  // fixed English, whatever the UI says
  EXPECT_EQ(program.settings.storeSettings, -1);
  const RECT frame = Frame(viewer.window());
  EXPECT_EQ(frame.left, 0);
  EXPECT_EQ(frame.top, 0);
  EXPECT_EQ(frame.bottom - frame.top, 100);
  // The system may widen a window to its smallest tracking size.
  EXPECT_EQ(frame.right - frame.left, std::max(100, GetSystemMetrics(SM_CXMINTRACK)));
  EXPECT_EQ(ChildRect(viewer.contents()).right, 100 / 6);
  EXPECT_EQ(BarText(viewer.window(), 0), L"&File");
  // The running mark is set at once.
  EXPECT_EQ(SettingsDword(L"IgnoreFile"), -1);
}

TEST_F(SettingsTest, StoredZoomAndContentsWidthAreBroughtIntoRange) {
  WindowSettings s = KeptDefaults();
  s.windowWidth = 600;
  s.contentsWidth = 700;  // wider than the window
  s.zoomLevel = 60;       // the commands reach 80, a start takes at most 50
  WriteKeptSettings(s);
  ViewerRun viewer;
  const Program program = ProgramOf(viewer);
  EXPECT_EQ(program.settings.zoomLevel, 20);
  EXPECT_EQ(program.settings.contentsWidth, 100);
  EXPECT_EQ(ChildRect(viewer.contents()).right, 100);
  EXPECT_EQ(Frame(viewer.window()).right - Frame(viewer.window()).left, 600);
}

TEST_F(SettingsTest, SaveSettingsCreatesTheKeyWithEveryValueOnlyAtTheEnd) {
  const std::wstring book = WriteBook("kept.tmk");
  {
    ViewerRun viewer(book);
    viewer.Key(VK_NEXT, true);
    viewer.Command(CMD_SAVE_SETTINGS);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kSettingsPath));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, L".tmk"));
    PostMessageW(viewer.window(), WM_CLOSE, 0, 0);
    ASSERT_EQ(viewer.WaitForExit(), 0);
  }
  const Program& program = TheProgram();
  const std::vector<std::wstring> names = {L"IgnoreFile",          L"LastArchiveFile", L"LastChapterFile",
                                           L"LastChapterPosition", L"NoFileAssociation", L"StoreSettings",
                                           L"Windows"};
  EXPECT_EQ(ValueNames(), names);
  for (const wchar_t* name : {L"IgnoreFile", L"StoreSettings", L"NoFileAssociation", L"LastChapterFile",
                              L"LastChapterPosition"}) {
    const auto value = SettingsValue(name);
    ASSERT_TRUE(value) << name;
    EXPECT_EQ(value->type, static_cast<DWORD>(REG_DWORD)) << name;
    EXPECT_EQ(value->bytes.size(), 4u) << name;
  }
  EXPECT_EQ(SettingsDword(L"IgnoreFile"), 0);
  EXPECT_EQ(SettingsDword(L"StoreSettings"), -1);
  EXPECT_EQ(SettingsDword(L"NoFileAssociation"), 0);
  EXPECT_EQ(SettingsDword(L"LastChapterFile"), 1);
  EXPECT_EQ(SettingsDword(L"LastChapterPosition"), program.place.lastChapterPosition);
  const auto windows = SettingsValue(L"Windows");
  ASSERT_TRUE(windows);
  EXPECT_EQ(windows->type, static_cast<DWORD>(REG_BINARY));
  ASSERT_EQ(windows->bytes.size(), 76u);
  EXPECT_EQ(UnpackSettings(windows->bytes), program.settings);
  EXPECT_EQ(program.settings.storeSettings, -1);
  // The book path: REG_SZ of the characters and one terminator; read back exactly.
  const auto path = SettingsValue(L"LastArchiveFile");
  ASSERT_TRUE(path);
  EXPECT_EQ(path->type, static_cast<DWORD>(REG_SZ));
  ASSERT_EQ(path->bytes.size(), book.size() * 2 + 2);
  EXPECT_EQ(path->bytes[book.size() * 2], 0);
  EXPECT_EQ(path->bytes[book.size() * 2 + 1], 0);
  EXPECT_EQ(PathValue(path), std::u16string(book.begin(), book.end()));
  // Kept settings bring the file association along.
  EXPECT_EQ(DefaultValue(HKEY_CLASSES_ROOT, L".tmk"), L"Tomelet viewer");
}

TEST_F(SettingsTest, DontSaveSettingsDeletesTheKeyAndTheAssociation) {
  {
    ViewerRun first;
    first.Command(CMD_SAVE_SETTINGS);
  }
  ASSERT_TRUE(KeyExists(HKEY_CURRENT_USER, kSettingsPath));
  ASSERT_TRUE(KeyExists(HKEY_CLASSES_ROOT, L".tmk"));
  // Something added below the key by hand goes with it.
  WriteValue(HKEY_CURRENT_USER, std::wstring(kSettingsPath) + L"\\Added by hand", L"x", REG_DWORD, DwordBytes(1));
  {
    ViewerRun second;
    EXPECT_EQ(ProgramOf(second).settings.storeSettings, -1);
    second.Command(CMD_DONT_SAVE_SETTINGS);
  }
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kSettingsPath));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, L".tmk"));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, L"Tomelet viewer"));
}

TEST_F(SettingsTest, TheRecordDecidesWhenStoreSettingsDisagreesWithIt) {
  // Only -1 keeps the settings; the menu marks what the end of the run will do.
  for (const int32_t record : {-1, 0, 5}) {
    WindowSettings s = KeptDefaults();
    s.storeSettings = record;
    WriteKeptSettings(s);
    WriteSettingsDword(L"StoreSettings", record == -1 ? 0 : -1);
    {
      ViewerRun viewer;
      EXPECT_EQ(ProgramOf(viewer).settings.storeSettings, record);
      const HMENU settings = GetSubMenu(GetSubMenu(GetMenu(viewer.window()), 0), 6);
      SendMessageW(viewer.window(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(settings), MAKELPARAM(6, 0));
      const UINT marked = record == -1 ? CMD_SAVE_SETTINGS : CMD_DONT_SAVE_SETTINGS;
      const UINT unmarked = record == -1 ? CMD_DONT_SAVE_SETTINGS : CMD_SAVE_SETTINGS;
      EXPECT_TRUE(GetMenuState(settings, marked, MF_BYCOMMAND) & MF_CHECKED) << record;
      EXPECT_FALSE(GetMenuState(settings, unmarked, MF_BYCOMMAND) & MF_CHECKED) << record;
    }
    EXPECT_EQ(KeyExists(HKEY_CURRENT_USER, kSettingsPath), record == -1) << record;
    if (record == -1) {
      EXPECT_EQ(SettingsDword(L"StoreSettings"), -1);
    }
  }
}

TEST_F(SettingsTest, TwoRunsBringBackTheWindowTheBookTheRowAndTheCaret) {
  const std::wstring book = WriteBook("reading.tmk");
  int32_t position = 0;
  {
    ViewerRun viewer(book);
    viewer.OnViewerThread([&] {
      SetWindowPos(viewer.window(), nullptr, 100, 50, 800, 600, SWP_NOZORDER);
      TheProgram().settings.showPassword = 1;  // as the password dialog leaves it
    });
    viewer.Key(VK_NEXT, true);
    viewer.Key(VK_F9);
    viewer.Key(VK_F9);
    viewer.Key(VK_F12);
    viewer.Key(VK_F12);
    viewer.Command(CMD_LANGUAGE_GERMAN);
    viewer.OnViewerThread([&] { SendMessageW(viewer.text(), EM_LINESCROLL, 0, 40); });
    viewer.Command(CMD_SAVE_SETTINGS);
    PostMessageW(viewer.window(), WM_CLOSE, 0, 0);
    ASSERT_EQ(viewer.WaitForExit(), 0);
    position = TheProgram().place.lastChapterPosition;
  }
  EXPECT_GT(position, 100);  // well into the chapter
  ASSERT_EQ(SettingsDword(L"IgnoreFile"), 0);

  ViewerRun viewer;  // no book named: the last one comes back
  ASSERT_TRUE(viewer.window());
  EXPECT_EQ(Title(viewer.window()), L"Tomelet: reading.tmk");
  const RECT frame = Frame(viewer.window());
  EXPECT_EQ(frame.left, 100);
  EXPECT_EQ(frame.top, 50);
  EXPECT_EQ(frame.right - frame.left, 800);
  EXPECT_EQ(frame.bottom - frame.top, 600);
  EXPECT_EQ(ChildRect(viewer.contents()).right, 270);
  EXPECT_EQ(Selected(viewer.contents()), 1);
  EXPECT_NE(PaneText(viewer.text()).find(L"c2 line 1"), std::wstring::npos);
  CHARRANGE caret{};
  SendMessageW(viewer.text(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&caret));
  EXPECT_EQ(caret.cpMin, position);
  EXPECT_EQ(caret.cpMax, position);
  int numerator = 0, denominator = 0;
  SendMessageW(viewer.text(), EM_GETZOOM, reinterpret_cast<WPARAM>(&numerator), reinterpret_cast<LPARAM>(&denominator));
  EXPECT_EQ(numerator, 22);
  EXPECT_EQ(denominator, 20);
  EXPECT_EQ(BarText(viewer.window(), 0), L"&Datei");
  const Program program = ProgramOf(viewer);
  EXPECT_EQ(program.settings.showPassword, 1);
  EXPECT_EQ(program.settings.languageId, 7);
  EXPECT_EQ(program.settings.autoLanguage, 0);
  // The caret comes back once: the next chapter starts at the top.
  EXPECT_EQ(program.place.lastArchiveFile, L"");
  viewer.Key(VK_NEXT, true);
  SendMessageW(viewer.text(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&caret));
  EXPECT_EQ(caret.cpMin, 0);
}

TEST_F(SettingsTest, TheRunningMarkKeepsABookThatEndedARunAbnormallyFromReopening) {
  const std::wstring book = WriteBook("marked.tmk");
  const auto reopens = [&](const std::wstring& arguments = L"") {
    ViewerRun viewer(arguments);
    return Title(viewer.window()) == L"Tomelet: marked.tmk";
  };
  WriteKeptSettings(KeptDefaults(), book, 2);
  EXPECT_TRUE(reopens());  // a normal end; the run ends normally again

  DeleteValue(HKEY_CURRENT_USER, kSettingsPath, L"IgnoreFile");  // removed by hand
  EXPECT_FALSE(reopens());
  EXPECT_EQ(SettingsDword(L"IgnoreFile"), 0);

  // The real program, ended by force while the book is open, as a crash would end it.
  WriteKeptSettings(KeptDefaults(), book, 2);
  {
    ViewerProcess crashed(ViewerExePath(), L"");
    ASSERT_TRUE(crashed.window());
    for (int i = 0; i < 100 && crashed.Title() != L"Tomelet: marked.tmk"; ++i) Sleep(50);
    EXPECT_EQ(crashed.Title(), L"Tomelet: marked.tmk");
    crashed.Kill();
  }
  EXPECT_EQ(SettingsDword(L"IgnoreFile"), -1);
  EXPECT_FALSE(reopens());
  // A book named on the command line is still opened.
  WriteSettingsDword(L"IgnoreFile", -1);
  EXPECT_TRUE(reopens(book));
}

TEST_F(SettingsTest, TheBookPathIsReadExactlyWithOrWithoutATerminator) {
  const std::string name = "B\xC3\xBC" "cher \xD0\x9A\xD0\xBD\xD0\xB8\xD0\xB3\xD0\xB0.tmk";  // "Bücher Книга.tmk"
  const std::wstring book = WriteBook(name);
  for (bool terminated : {false, true}) {
    WriteKeptSettings(KeptDefaults());
    WriteSettingsPath(L"LastArchiveFile", book, terminated);
    ViewerRun viewer;
    EXPECT_EQ(Title(viewer.window()), L"Tomelet: B\u00fccher \u041a\u043d\u0438\u0433\u0430.tmk") << terminated;
  }
  // The value really was unterminated in the first round.
  WriteSettingsPath(L"LastArchiveFile", book, false);
  const auto value = SettingsValue(L"LastArchiveFile");
  ASSERT_TRUE(value);
  EXPECT_EQ(value->bytes.size(), 2 * book.size());
}

// Damaged keys: the viewer starts with sound values and writes sound values back.
TEST_F(SettingsTest, DamagedValuesNeverCrashTheViewerNorGoBackIntoTheKey) {
  const std::wstring book = WriteBook("damaged.tmk");
  struct Case {
    const char* what;
    void (*damage)();
  };
  const Case cases[] = {
      {"record of 75 bytes",
       [] {
         WriteValue(HKEY_CURRENT_USER, kSettingsPath, L"Windows", REG_BINARY, std::vector<uint8_t>(75, 0x7F));
       }},
      {"record of 200 bytes",
       [] {
         WriteValue(HKEY_CURRENT_USER, kSettingsPath, L"Windows", REG_BINARY, std::vector<uint8_t>(200, 0x7F));
       }},
      {"REG_SZ where REG_DWORD belongs",
       [] {
         const std::vector<uint8_t> text = {'-', 0, '1', 0, 0, 0};
         for (const wchar_t* name : {L"IgnoreFile", L"LastChapterFile", L"LastChapterPosition", L"NoFileAssociation"})
           WriteValue(HKEY_CURRENT_USER, kSettingsPath, name, REG_SZ, text);
       }},
      {"DWORD of eight bytes",
       [] {
         WriteValue(HKEY_CURRENT_USER, kSettingsPath, L"LastChapterFile", REG_DWORD, std::vector<uint8_t>(8, 0x7F));
       }},
      {"book path of 5,000 characters",
       [] { WriteSettingsPath(L"LastArchiveFile", std::wstring(5000, L'a'), true); }},
      {"book path of 260 characters without terminator",
       [] { WriteSettingsPath(L"LastArchiveFile", std::wstring(260, L'b'), false); }},
      {"negative geometry",
       [] {
         WindowSettings s = KeptDefaults();
         s.windowLeft = INT32_MIN, s.windowTop = -400, s.windowWidth = -5, s.windowHeight = INT32_MIN;
         s.contentsWidth = INT32_MIN, s.zoomLevel = -20;
         WriteSettingsRecord(s);
       }},
      {"huge geometry",
       [] {
         WindowSettings s = KeptDefaults();
         s.windowLeft = INT32_MAX, s.windowTop = INT32_MAX, s.windowWidth = INT32_MAX, s.windowHeight = INT32_MAX;
         s.contentsWidth = INT32_MAX, s.zoomLevel = INT32_MAX, s.showState = INT32_MAX;
         WriteSettingsRecord(s);
       }},
      {"help tab -1 and help geometry out of range",
       [] {
         WindowSettings s = KeptDefaults();
         s.helpTab = -1, s.helpLeft = -5, s.helpHeight = 10, s.helpTopChar = -7, s.helpScrollY = INT32_MIN;
         WriteSettingsRecord(s);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ClearSettingsKey();
    WriteKeptSettings(KeptDefaults(), book, 1, 20);
    c.damage();
    // The help window corrects its own fields when it opens; until then they go back
    // into the key exactly as they were read (a record that is no record reads as zero).
    const WindowSettings help = SettingsRecord().value_or(ZeroSettings());
    {
      ViewerRun viewer;
      ASSERT_TRUE(viewer.window());
      const RECT frame = Frame(viewer.window());
      EXPECT_GE(frame.left, 0);
      EXPECT_GE(frame.top, 0);
      EXPECT_LE(frame.right, 2 * kScreenW);
      EXPECT_LE(frame.bottom - frame.top, kScreenH);
      const Program program = ProgramOf(viewer);
      EXPECT_GE(program.settings.zoomLevel, 1);
      EXPECT_LE(program.settings.zoomLevel, 50);
      EXPECT_GE(program.settings.contentsWidth, 2);
      EXPECT_LE(program.place.lastArchiveFile.size(), 259u);
      viewer.Command(CMD_SAVE_SETTINGS);
    }
    // Written back: every value of its own type and size, the record in range.
    for (const wchar_t* name : {L"IgnoreFile", L"StoreSettings", L"NoFileAssociation", L"LastChapterFile",
                                L"LastChapterPosition"})
      EXPECT_TRUE(SettingsDword(name)) << name;
    EXPECT_GE(*SettingsDword(L"LastChapterFile"), -1);
    EXPECT_GE(*SettingsDword(L"LastChapterPosition"), 0);
    const auto path = PathValue(SettingsValue(L"LastArchiveFile"));
    ASSERT_TRUE(path);
    EXPECT_LE(path->size(), 259u);
    const auto record = SettingsRecord();
    ASSERT_TRUE(record);
    EXPECT_GE(record->windowLeft, -8);  // a frame may stick out a little at the corner
    EXPECT_LE(record->windowLeft, kScreenW);
    EXPECT_LE(record->windowHeight, kScreenH + 16);
    EXPECT_GE(record->zoomLevel, 1);
    EXPECT_LE(record->zoomLevel, 50);
    const PackedSettings read = PackSettings(help), written = PackSettings(*record);
    EXPECT_TRUE(std::equal(read.begin() + 44, read.end(), written.begin() + 44));  // HelpShowState on
    EXPECT_TRUE(record->showState == 1 || record->showState == 3);
  }
}

}  // namespace
}  // namespace tomelet::test
