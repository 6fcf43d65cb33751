// The 76-byte settings record, its defaults and range rules, and how the values of the
// settings key are read: which values count, the running mark, and damaged input.
#include "app/settings_record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

namespace tomelet {
namespace {

constexpr int kW = 1280, kH = 1024;  // the screen of these tests
constexpr int kEnglishUi = 9, kGermanUi = 7, kFrenchUi = 12;

StoredValue Dword(int32_t value) { return {kRegDword, DwordBytes(value)}; }
StoredValue Binary(std::vector<uint8_t> bytes) { return {kRegBinary, std::move(bytes)}; }
StoredValue Sz(const std::u16string& text, bool terminated) {
  std::vector<uint8_t> bytes = PathBytes(text);
  if (terminated) bytes.insert(bytes.end(), {0, 0});
  return {kRegSz, bytes};
}
StoredValue Record(const WindowSettings& s) {
  const PackedSettings packed = PackSettings(s);
  return Binary({packed.begin(), packed.end()});
}

// A record whose every field is distinct, negative values included.
WindowSettings Distinct() {
  WindowSettings s;
  s.storeSettings = -1;
  s.autoLanguage = 0x1234;
  s.reserved = 0xBEEF;
  int32_t value = -3;
  for (int32_t* field : {&s.languageId, &s.showState, &s.windowLeft, &s.windowTop, &s.windowWidth, &s.windowHeight,
                         &s.contentsWidth, &s.zoomLevel, &s.showPassword, &s.helpShowState, &s.helpLeft, &s.helpTop,
                         &s.helpWidth, &s.helpHeight, &s.helpTab, &s.helpScrollY, &s.helpTopChar})
    *field = value += 1001;
  return s;
}

int32_t At(const PackedSettings& p, std::size_t offset) {
  return static_cast<int32_t>(p[offset] | p[offset + 1] << 8 | p[offset + 2] << 16 | static_cast<uint32_t>(p[offset + 3]) << 24);
}

TEST(SettingsRecord, PacksEveryFieldAtItsOffsetLittleEndianAndBack) {
  const WindowSettings s = Distinct();
  const PackedSettings p = PackSettings(s);
  EXPECT_EQ(At(p, 0), -1);
  EXPECT_EQ(p[4], 0x34);
  EXPECT_EQ(p[5], 0x12);
  EXPECT_EQ(p[6], 0xEF);  // reserved bytes go back as they came
  EXPECT_EQ(p[7], 0xBE);
  const std::pair<std::size_t, int32_t> fields[] = {
      {8, s.languageId},     {12, s.showState},     {16, s.windowLeft},   {20, s.windowTop},   {24, s.windowWidth},
      {28, s.windowHeight},  {32, s.contentsWidth}, {36, s.zoomLevel},    {40, s.showPassword}, {44, s.helpShowState},
      {48, s.helpLeft},      {52, s.helpTop},       {56, s.helpWidth},    {60, s.helpHeight},  {64, s.helpTab},
      {68, s.helpScrollY},   {72, s.helpTopChar}};
  for (const auto& [offset, value] : fields) EXPECT_EQ(At(p, offset), value) << "offset " << offset;
  EXPECT_EQ(UnpackSettings(p), s);
}

TEST(SettingsRecord, OnlyARecordOfExactly76BytesIsOne) {
  const PackedSettings p = PackSettings(Distinct());
  std::vector<uint8_t> bytes(p.begin(), p.end());
  EXPECT_TRUE(UnpackSettings(bytes));
  for (std::size_t size : {0u, 4u, 75u, 77u, 200u}) {
    bytes.resize(size, 0x55);
    EXPECT_FALSE(UnpackSettings(bytes)) << size << " bytes";
  }
}

TEST(SettingsRecord, FirstStartDefaultsComeFromTheScreen) {
  const WindowSettings s = DefaultSettings(kW, kH, kGermanUi);
  EXPECT_EQ(s.storeSettings, 0);
  EXPECT_EQ(s.autoLanguage, 0xFFFF);
  EXPECT_EQ(s.languageId, kGermanUi);
  EXPECT_EQ(s.showState, 1);
  EXPECT_EQ(s.windowLeft, kW / 2 - 20);
  EXPECT_EQ(s.windowTop, 0);
  EXPECT_EQ(s.windowWidth, kW / 2 + 20);
  EXPECT_EQ(s.windowHeight, kH);
  EXPECT_EQ(s.contentsWidth, 250);
  EXPECT_EQ(s.zoomLevel, 20);
  EXPECT_EQ(s.showPassword, 0);
  EXPECT_EQ(s.helpLeft, kW / 2);
  EXPECT_EQ(s.helpTop, 0);
  EXPECT_EQ(s.helpWidth, kW / 2);
  EXPECT_EQ(s.helpHeight, kH);
  EXPECT_EQ(s.helpTab, 0);
  // Defaults are already in range: loading them again changes nothing.
  WindowSettings clamped = s;
  ClampSettings(clamped, kW, kH, kGermanUi);
  EXPECT_EQ(clamped, s);
}

TEST(SettingsRecord, AZeroRecordBecomesASmallEnglishWindowAtTheCorner) {
  WindowSettings s = ZeroSettings();
  EXPECT_EQ(s.autoLanguage, 0);
  EXPECT_EQ(s.contentsWidth, 0);
  ClampSettings(s, kW, kH, kGermanUi);
  EXPECT_EQ(s.windowLeft, 0);
  EXPECT_EQ(s.windowTop, 0);
  EXPECT_EQ(s.windowWidth, 100);
  EXPECT_EQ(s.windowHeight, 100);
  EXPECT_EQ(s.contentsWidth, 16);
  EXPECT_EQ(s.showState, 1);
  EXPECT_EQ(s.zoomLevel, 20);
  EXPECT_EQ(s.languageId, 0);  // fixed, so the German UI does not count
}

TEST(SettingsRecord, GeometryZoomAndFlagsAreBroughtIntoRange) {
  struct Case {
    const char* what;
    void (*set)(WindowSettings&);
    void (*check)(const WindowSettings&);
  };
  const Case cases[] = {
      {"zoom 60 comes back as 20", [](WindowSettings& s) { s.zoomLevel = 60; },
       [](const WindowSettings& s) { EXPECT_EQ(s.zoomLevel, 20); }},
      {"zoom 50 stays", [](WindowSettings& s) { s.zoomLevel = 50; },
       [](const WindowSettings& s) { EXPECT_EQ(s.zoomLevel, 50); }},
      {"zoom 0 is 20", [](WindowSettings& s) { s.zoomLevel = 0; },
       [](const WindowSettings& s) { EXPECT_EQ(s.zoomLevel, 20); }},
      {"contents wider than the window", [](WindowSettings& s) { s.windowWidth = 600, s.contentsWidth = 581; },
       [](const WindowSettings& s) { EXPECT_EQ(s.contentsWidth, 100); }},
      {"contents just fit", [](WindowSettings& s) { s.windowWidth = 600, s.contentsWidth = 580; },
       [](const WindowSettings& s) { EXPECT_EQ(s.contentsWidth, 580); }},
      {"contents below two pixels", [](WindowSettings& s) { s.windowWidth = 600, s.contentsWidth = 1; },
       [](const WindowSettings& s) { EXPECT_EQ(s.contentsWidth, 100); }},
      {"contents width at INT_MIN",
       [](WindowSettings& s) { s.windowWidth = 600, s.contentsWidth = INT32_MIN; },
       [](const WindowSettings& s) { EXPECT_EQ(s.contentsWidth, 100); }},
      {"contents width at INT_MAX",
       [](WindowSettings& s) { s.windowWidth = 600, s.contentsWidth = INT32_MAX; },
       [](const WindowSettings& s) { EXPECT_EQ(s.contentsWidth, 100); }},
      {"negative geometry",
       [](WindowSettings& s) { s.windowLeft = -500, s.windowTop = -7, s.windowWidth = -1, s.windowHeight = INT32_MIN; },
       [](const WindowSettings& s) {
         EXPECT_EQ(s.windowLeft, 0);
         EXPECT_EQ(s.windowTop, 0);
         EXPECT_EQ(s.windowWidth, 100);
         EXPECT_EQ(s.windowHeight, 100);
       }},
      {"huge geometry",
       [](WindowSettings& s) { s.windowLeft = INT32_MAX, s.windowTop = 99999, s.windowWidth = INT32_MAX, s.windowHeight = 5000; },
       [](const WindowSettings& s) {
         EXPECT_EQ(s.windowLeft, kW - 20);
         EXPECT_EQ(s.windowTop, kH - 20);
         EXPECT_EQ(s.windowWidth, kW);
         EXPECT_EQ(s.windowHeight, kH);
       }},
      {"left 1 stays", [](WindowSettings& s) { s.windowLeft = 1; },
       [](const WindowSettings& s) { EXPECT_EQ(s.windowLeft, 1); }},
      {"maximized stays", [](WindowSettings& s) { s.showState = 3; },
       [](const WindowSettings& s) { EXPECT_EQ(s.showState, 3); }},
      {"show state 2", [](WindowSettings& s) { s.showState = 2; },
       [](const WindowSettings& s) { EXPECT_EQ(s.showState, 1); }},
      {"automatic language follows the UI", [](WindowSettings& s) { s.autoLanguage = 0xFFFF, s.languageId = 7; },
       [](const WindowSettings& s) { EXPECT_EQ(s.languageId, kFrenchUi); }},
      {"any non-zero AutoLanguage is automatic", [](WindowSettings& s) { s.autoLanguage = 1, s.languageId = 7; },
       [](const WindowSettings& s) { EXPECT_EQ(s.languageId, kFrenchUi); }},
      {"fixed language stays", [](WindowSettings& s) { s.autoLanguage = 0, s.languageId = 7; },
       [](const WindowSettings& s) { EXPECT_EQ(s.languageId, 7); }},
      {"show-password is 0 or 1", [](WindowSettings& s) { s.showPassword = -1; },
       [](const WindowSettings& s) { EXPECT_EQ(s.showPassword, 0); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WindowSettings s = DefaultSettings(kW, kH, kEnglishUi);
    c.set(s);
    ClampSettings(s, kW, kH, kFrenchUi);
    c.check(s);
  }
}

TEST(SettingsValues, ADwordMustBeARegDwordOfFourBytes) {
  EXPECT_EQ(DwordValue(Dword(-1)), -1);
  EXPECT_EQ(DwordValue(Dword(123456)), 123456);
  EXPECT_FALSE(DwordValue(std::nullopt));
  EXPECT_FALSE(DwordValue(StoredValue{kRegSz, {'1', 0, 0, 0}}));        // REG_SZ of four bytes
  EXPECT_FALSE(DwordValue(StoredValue{kRegBinary, DwordBytes(5)}));
  EXPECT_FALSE(DwordValue(StoredValue{kRegDword, {1, 0}}));            // too short
  EXPECT_FALSE(DwordValue(StoredValue{kRegDword, {1, 0, 0, 0, 0, 0, 0, 0}}));
}

TEST(SettingsValues, APathIsReadExactlyWithOrWithoutItsTerminator) {
  const std::u16string path = u"C:\\B\u00fccher\\My book.tmk";
  EXPECT_EQ(PathValue(Sz(path, false)), path);
  EXPECT_EQ(PathValue(Sz(path, true)), path);
  EXPECT_EQ(PathValue(Sz(u"", false)), u"");
  const StoredValue embedded{kRegSz, PathBytes(std::u16string(u"C:\\a.tmk\0junk", 13))};
  EXPECT_EQ(PathValue(embedded), u"C:\\a.tmk");

  const std::u16string longest(kMaxPathChars, u'x');
  EXPECT_EQ(PathValue(Sz(longest, false)), longest);
  EXPECT_EQ(PathValue(Sz(longest, true)), longest);
  // 260 characters do not fit, with or without a terminator; nor do 5,000.
  EXPECT_FALSE(PathValue(Sz(longest + u"x", false)));
  EXPECT_FALSE(PathValue(Sz(longest + u"x", true)));
  EXPECT_FALSE(PathValue(Sz(std::u16string(5000, u'x'), true)));
  // Another type, or half a character.
  EXPECT_FALSE(PathValue(StoredValue{kRegBinary, PathBytes(path)}));
  EXPECT_FALSE(PathValue(StoredValue{kRegDword, DwordBytes(0)}));
  std::vector<uint8_t> odd = PathBytes(u"C:\\a");
  odd.push_back('b');
  EXPECT_FALSE(PathValue(StoredValue{kRegSz, odd}));
}

TEST(SettingsValues, WrittenBytesReadBackUnchanged) {
  EXPECT_EQ(DwordBytes(-1), (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(DwordBytes(0x01020304), (std::vector<uint8_t>{4, 3, 2, 1}));
  const std::u16string path = u"Z:\\tmp\\\u041a\u043d\u0438\u0433\u0430 \u672c.tmk";
  EXPECT_EQ(PathBytes(path).size(), 2 * path.size());  // no terminator counted
  EXPECT_EQ(PathValue(StoredValue{kRegSz, PathBytes(path)}), path);
}

// A key as a run that kept its settings leaves it.
StoredSettings KeptKey() {
  WindowSettings s = DefaultSettings(kW, kH, kEnglishUi);
  s.storeSettings = -1;
  s.autoLanguage = 0;
  s.languageId = 7;
  s.windowLeft = 40;
  s.windowTop = 30;
  s.windowWidth = 700;
  s.windowHeight = 500;
  s.contentsWidth = 180;
  s.zoomLevel = 24;
  s.showPassword = 1;
  StoredSettings key;
  key.ignoreFile = Dword(0);
  key.storeSettings = Dword(-1);
  key.noFileAssociation = Dword(5);
  key.lastArchiveFile = Sz(u"C:\\books\\a.tmk", false);
  key.lastChapterFile = Dword(3);
  key.lastChapterPosition = Dword(1234);
  key.windows = Record(s);
  return key;
}

TEST(SettingsFromKey, AKeptKeyGivesBackEverything) {
  const LoadedSettings loaded = SettingsFromKey(KeptKey(), kW, kH, kEnglishUi);
  EXPECT_EQ(loaded.settings.storeSettings, -1);
  EXPECT_EQ(loaded.settings.languageId, 7);
  EXPECT_EQ(loaded.settings.windowLeft, 40);
  EXPECT_EQ(loaded.settings.windowTop, 30);
  EXPECT_EQ(loaded.settings.windowWidth, 700);
  EXPECT_EQ(loaded.settings.windowHeight, 500);
  EXPECT_EQ(loaded.settings.contentsWidth, 180);
  EXPECT_EQ(loaded.settings.zoomLevel, 24);
  EXPECT_EQ(loaded.settings.showPassword, 1);
  EXPECT_EQ(loaded.lastArchiveFile, u"C:\\books\\a.tmk");
  EXPECT_EQ(loaded.lastChapterFile, 3);
  EXPECT_EQ(loaded.lastChapterPosition, 1234);
  EXPECT_EQ(loaded.noFileAssociation, 5);
}

TEST(SettingsFromKey, TheRunningMarkKeepsTheLastBookFromComingBackByItself) {
  struct Case {
    const char* what;
    std::optional<StoredValue> ignoreFile;
    bool reopened;
  };
  const Case cases[] = {
      {"normal end", Dword(0), true},
      {"run in progress or crashed", Dword(-1), false},
      {"mark deleted by hand", std::nullopt, false},
      {"mark of the wrong type", StoredValue{kRegSz, {'0', 0, 0, 0}}, false},
  };
  for (const Case& c : cases) {
    StoredSettings key = KeptKey();
    key.ignoreFile = c.ignoreFile;
    const LoadedSettings loaded = SettingsFromKey(key, kW, kH, kEnglishUi);
    EXPECT_EQ(loaded.lastArchiveFile.empty(), !c.reopened) << c.what;
    EXPECT_EQ(loaded.lastChapterFile, 3) << c.what;  // row and position are still read
  }
}

TEST(SettingsFromKey, TheRecordDecidesStoreSettingsWhenItIsUsable) {
  StoredSettings key = KeptKey();
  key.storeSettings = Dword(0);  // disagrees with the record's -1
  EXPECT_EQ(SettingsFromKey(key, kW, kH, kEnglishUi).settings.storeSettings, -1);

  // Without a usable record the separate value is all there is, over a zero record.
  for (std::optional<StoredValue> windows :
       {std::optional<StoredValue>(), std::optional<StoredValue>(Binary(std::vector<uint8_t>(75, 0x11))),
        std::optional<StoredValue>(Binary(std::vector<uint8_t>(200, 0x11))),
        std::optional<StoredValue>(StoredValue{kRegSz, std::vector<uint8_t>(76, 0x11)})}) {
    key.windows = windows;
    key.storeSettings = Dword(-1);
    const LoadedSettings loaded = SettingsFromKey(key, kW, kH, kGermanUi);
    EXPECT_EQ(loaded.settings.storeSettings, -1);
    EXPECT_EQ(loaded.settings.windowWidth, 100);
    EXPECT_EQ(loaded.settings.windowHeight, 100);
    EXPECT_EQ(loaded.settings.windowLeft, 0);
    EXPECT_EQ(loaded.settings.contentsWidth, 16);
    EXPECT_EQ(loaded.settings.zoomLevel, 20);
    EXPECT_EQ(loaded.settings.languageId, 0);
    // The help fields stay as they were (zero) until the help window opens.
    EXPECT_EQ(loaded.settings.helpWidth, 0);
    EXPECT_EQ(loaded.settings.helpHeight, 0);
  }
}

TEST(SettingsFromKey, DamagedValuesGiveSoundSettings) {
  StoredSettings key = KeptKey();
  key.noFileAssociation = StoredValue{kRegSz, {'7', 0}};
  key.lastChapterFile = Dword(-50);
  key.lastChapterPosition = Dword(INT32_MIN);
  key.lastArchiveFile = Sz(std::u16string(5000, u'a'), true);
  WindowSettings s = *UnpackSettings(KeptKey().windows->bytes);
  s.windowLeft = INT32_MIN;
  s.windowWidth = INT32_MAX;
  s.contentsWidth = -9;
  s.zoomLevel = -1;
  s.helpTab = -1;
  s.helpLeft = INT32_MIN;
  s.helpHeight = 10;
  s.helpScrollY = -100;
  s.helpTopChar = INT32_MAX;
  s.helpShowState = 77;
  key.windows = Record(s);
  const LoadedSettings loaded = SettingsFromKey(key, kW, kH, kEnglishUi);
  EXPECT_EQ(loaded.noFileAssociation, 0);
  EXPECT_EQ(loaded.lastChapterFile, -1);
  EXPECT_EQ(loaded.lastChapterPosition, 0);
  EXPECT_EQ(loaded.lastArchiveFile, u"");
  EXPECT_EQ(loaded.settings.windowLeft, 0);
  EXPECT_EQ(loaded.settings.windowWidth, kW);
  EXPECT_EQ(loaded.settings.contentsWidth, kW / 6);
  EXPECT_EQ(loaded.settings.zoomLevel, 20);
  // The help window's fields are its own to correct when it opens; a start keeps them
  // exactly as read, so they go back into the key as they came.
  const PackedSettings read = PackSettings(s), kept = PackSettings(loaded.settings);
  EXPECT_TRUE(std::equal(read.begin() + 44, read.end(), kept.begin() + 44));  // HelpShowState on
  // What is loaded is what would be written back: loading it again changes nothing.
  StoredSettings again = key;
  again.windows = Record(loaded.settings);
  again.lastChapterFile = Dword(loaded.lastChapterFile);
  again.lastChapterPosition = Dword(loaded.lastChapterPosition);
  EXPECT_EQ(SettingsFromKey(again, kW, kH, kEnglishUi).settings, loaded.settings);
}

TEST(SettingsFromKey, WithoutAKeyEveryStartIsAFirstStart) {
  const LoadedSettings loaded = SettingsWithoutKey(kW, kH, kGermanUi);
  EXPECT_EQ(loaded.settings, DefaultSettings(kW, kH, kGermanUi));
  EXPECT_EQ(loaded.lastArchiveFile, u"");
  EXPECT_EQ(loaded.lastChapterFile, 0);
  EXPECT_EQ(loaded.lastChapterPosition, 0);
}

}  // namespace
}  // namespace tomelet
