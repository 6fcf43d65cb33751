// The 76-byte settings record, its defaults and range rules, and how the values of the
// settings key are read: which values count, the running mark, and damaged input.
#include "app/settings_record.h"

#include <gtest/gtest.h>

#include <climits>

namespace tomelet {
namespace {

constexpr int kW = 1280, kH = 1024;  // the screen of these tests
constexpr int kEnglishUi = 9, kGermanUi = 7, kFrenchUi = 12;
using Field = int32_t WindowSettings::*;

StoredValue Dword(int32_t value) { return {kRegDword, DwordBytes(value)}; }
StoredValue Sz(const std::u16string& text, bool terminated) {
  std::vector<uint8_t> bytes = PathBytes(text);
  if (terminated) bytes.insert(bytes.end(), {0, 0});
  return {kRegSz, bytes};
}
StoredValue Record(const WindowSettings& s) {
  const PackedSettings packed = PackSettings(s);
  return {kRegBinary, {packed.begin(), packed.end()}};
}

TEST(SettingsRecord, EveryFieldAtItsOffsetLittleEndianAndOnlyExactly76Bytes) {
  WindowSettings s{.storeSettings = -1, .autoLanguage = 0x1234, .reserved = 0xBEEF};
  const Field fields[] = {&WindowSettings::languageId, &WindowSettings::showState, &WindowSettings::windowLeft,
                          &WindowSettings::windowTop, &WindowSettings::windowWidth, &WindowSettings::windowHeight,
                          &WindowSettings::contentsWidth, &WindowSettings::zoomLevel, &WindowSettings::showPassword,
                          &WindowSettings::helpShowState, &WindowSettings::helpLeft, &WindowSettings::helpTop,
                          &WindowSettings::helpWidth, &WindowSettings::helpHeight, &WindowSettings::helpTab,
                          &WindowSettings::helpScrollY, &WindowSettings::helpTopChar};
  for (std::size_t i = 0; i < std::size(fields); ++i) s.*fields[i] = static_cast<int32_t>(i * 1001) - 3000;
  const PackedSettings p = PackSettings(s);
  const auto at = [&p](std::size_t o) { return static_cast<int32_t>(p[o] | p[o + 1] << 8 | p[o + 2] << 16 | uint32_t{p[o + 3]} << 24); };
  EXPECT_EQ(at(0), -1);
  EXPECT_EQ(at(4), static_cast<int32_t>(0xBEEF1234u));  // the reserved bytes go back as they came
  for (std::size_t i = 0; i < std::size(fields); ++i) EXPECT_EQ(at(8 + 4 * i), s.*fields[i]) << "offset " << 8 + 4 * i;
  EXPECT_EQ(UnpackSettings(p), s);
  std::vector<uint8_t> bytes(p.begin(), p.end());
  for (std::size_t size : {0u, 75u, 77u, 200u}) {
    bytes.resize(size, 0x55);
    EXPECT_FALSE(UnpackSettings(bytes)) << size << " bytes";
  }
}

TEST(SettingsRecord, DefaultsComeFromTheScreenAndAZeroRecordGivesASmallEnglishWindow) {
  const WindowSettings defaults = DefaultSettings(kW, kH, kGermanUi);
  const WindowSettings expected{.storeSettings = 0, .autoLanguage = 0xFFFF, .languageId = kGermanUi, .showState = 1,
                                .windowLeft = kW / 2 - 20, .windowTop = 0, .windowWidth = kW / 2 + 20,
                                .windowHeight = kH, .contentsWidth = 250, .zoomLevel = 20, .showPassword = 0,
                                .helpLeft = kW / 2, .helpTop = 0, .helpWidth = kW / 2, .helpHeight = kH};
  EXPECT_EQ(defaults, expected);
  WindowSettings clamped = defaults;  // already in range
  ClampSettings(clamped, kW, kH, kGermanUi);
  ClampHelpSettings(clamped, kW, kH);
  EXPECT_EQ(clamped, defaults);

  WindowSettings zero = ZeroSettings();
  ClampSettings(zero, kW, kH, kGermanUi);
  EXPECT_EQ(zero, (WindowSettings{.autoLanguage = 0, .languageId = 0, .showState = 1, .windowWidth = 100,
                                  .windowHeight = 100, .contentsWidth = 16, .zoomLevel = 20}));
}

TEST(SettingsRecord, StoredValuesAreBroughtIntoRange) {
  struct Case {
    const char* what;
    void (*set)(WindowSettings&);
    Field field;
    int32_t expected;
  };
  const Case cases[] = {
      {"zoom 60", [](WindowSettings& s) { s.zoomLevel = 60; }, &WindowSettings::zoomLevel, 20},
      {"zoom 50", [](WindowSettings& s) { s.zoomLevel = 50; }, &WindowSettings::zoomLevel, 50},
      {"contents too wide", [](WindowSettings& s) { s.windowWidth = 600, s.contentsWidth = 581; }, &WindowSettings::contentsWidth, 100},
      {"contents just fit", [](WindowSettings& s) { s.windowWidth = 600, s.contentsWidth = 580; }, &WindowSettings::contentsWidth, 580},
      {"contents below 2", [](WindowSettings& s) { s.windowWidth = 600, s.contentsWidth = 1; }, &WindowSettings::contentsWidth, 100},
      {"contents INT_MIN", [](WindowSettings& s) { s.windowWidth = 600, s.contentsWidth = INT32_MIN; }, &WindowSettings::contentsWidth, 100},
      {"contents INT_MAX", [](WindowSettings& s) { s.windowWidth = 600, s.contentsWidth = INT32_MAX; }, &WindowSettings::contentsWidth, 100},
      {"left 1", [](WindowSettings& s) { s.windowLeft = 1; }, &WindowSettings::windowLeft, 1},
      {"left huge", [](WindowSettings& s) { s.windowLeft = INT32_MAX; }, &WindowSettings::windowLeft, kW - 20},
      {"top negative", [](WindowSettings& s) { s.windowTop = -7; }, &WindowSettings::windowTop, 0},
      {"top huge", [](WindowSettings& s) { s.windowTop = 99999; }, &WindowSettings::windowTop, kH - 20},
      {"width negative", [](WindowSettings& s) { s.windowWidth = -1; }, &WindowSettings::windowWidth, 100},
      {"height INT_MIN", [](WindowSettings& s) { s.windowHeight = INT32_MIN; }, &WindowSettings::windowHeight, 100},
      {"height huge", [](WindowSettings& s) { s.windowHeight = 5000; }, &WindowSettings::windowHeight, kH},
      {"maximized", [](WindowSettings& s) { s.showState = 3; }, &WindowSettings::showState, 3},
      {"show state 2", [](WindowSettings& s) { s.showState = 2; }, &WindowSettings::showState, 1},
      {"automatic language", [](WindowSettings& s) { s.autoLanguage = 0xFFFF, s.languageId = 7; }, &WindowSettings::languageId, kFrenchUi},
      {"any non-zero is automatic", [](WindowSettings& s) { s.autoLanguage = 1, s.languageId = 7; }, &WindowSettings::languageId, kFrenchUi},
      {"fixed language", [](WindowSettings& s) { s.autoLanguage = 0, s.languageId = 7; }, &WindowSettings::languageId, 7},
      {"show password -1", [](WindowSettings& s) { s.showPassword = -1; }, &WindowSettings::showPassword, 0},
      // The help window's fields, as the help window brings them into range.
      {"help tab 4", [](WindowSettings& s) { s.helpTab = 4; }, &WindowSettings::helpTab, 0},
      {"help tab 3", [](WindowSettings& s) { s.helpTab = 3; }, &WindowSettings::helpTab, 3},
      {"help left negative", [](WindowSettings& s) { s.helpLeft = -5; }, &WindowSettings::helpLeft, kW / 2},
      {"help left beyond", [](WindowSettings& s) { s.helpLeft = kW + 1; }, &WindowSettings::helpLeft, kW / 2},
      {"help top low", [](WindowSettings& s) { s.helpTop = kH - 19; }, &WindowSettings::helpTop, 0},
      {"help width 9", [](WindowSettings& s) { s.helpWidth = 9; }, &WindowSettings::helpWidth, kW / 2},
      {"help width beyond", [](WindowSettings& s) { s.helpWidth = kW + 1; }, &WindowSettings::helpWidth, kW / 2},
      {"help height 10", [](WindowSettings& s) { s.helpHeight = 10; }, &WindowSettings::helpHeight, kH},
      {"help height tall", [](WindowSettings& s) { s.helpHeight = kH - 19; }, &WindowSettings::helpHeight, kH},
      {"help scroll", [](WindowSettings& s) { s.helpScrollY = -100; }, &WindowSettings::helpScrollY, 0},
      {"help top char", [](WindowSettings& s) { s.helpTopChar = -1; }, &WindowSettings::helpTopChar, 0},
      {"help show state 77", [](WindowSettings& s) { s.helpShowState = 77; }, &WindowSettings::helpShowState, 1},
  };
  for (const Case& c : cases) {
    WindowSettings s = DefaultSettings(kW, kH, kEnglishUi);
    c.set(s);
    ClampSettings(s, kW, kH, kFrenchUi);
    ClampHelpSettings(s, kW, kH);
    EXPECT_EQ(s.*c.field, c.expected) << c.what;
  }
}

TEST(SettingsValues, OnlyValuesOfTheRightTypeAndSizeCount) {
  const std::pair<std::optional<StoredValue>, std::optional<int32_t>> dwords[] = {
      {Dword(-1), -1}, {Dword(123456), 123456}, {std::nullopt, std::nullopt},
      {StoredValue{kRegSz, {'1', 0, 0, 0}}, std::nullopt}, {StoredValue{kRegBinary, DwordBytes(5)}, std::nullopt},
      {StoredValue{kRegDword, {1, 0}}, std::nullopt}, {StoredValue{kRegDword, {1, 0, 0, 0, 0, 0, 0, 0}}, std::nullopt},
  };
  for (const auto& [value, read] : dwords) EXPECT_EQ(DwordValue(value), read);

  const std::u16string path = u"C:\\B\u00fccher\\\u041a\u043d\u0438\u0433\u0430.tmk", longest(kMaxPathChars, u'x');
  std::vector<uint8_t> odd = PathBytes(u"C:\\a");
  odd.push_back('b');
  const std::pair<StoredValue, std::optional<std::u16string>> paths[] = {
      {Sz(path, false), path}, {Sz(path, true), path}, {Sz(u"", false), u""},
      {StoredValue{kRegSz, PathBytes(std::u16string(u"C:\\a.tmk\0junk", 13))}, u"C:\\a.tmk"},
      {Sz(longest, false), longest}, {Sz(longest, true), longest},
      {Sz(longest + u"x", false), std::nullopt}, {Sz(longest + u"x", true), std::nullopt},
      {Sz(std::u16string(5000, u'x'), true), std::nullopt},
      {StoredValue{kRegBinary, PathBytes(path)}, std::nullopt}, {StoredValue{kRegSz, odd}, std::nullopt},
  };
  for (const auto& [value, read] : paths) EXPECT_EQ(PathValue(value), read) << value.bytes.size();
}

// A key as a run that kept its settings leaves it.
StoredSettings KeptKey() {
  WindowSettings s = DefaultSettings(kW, kH, kEnglishUi);
  s.storeSettings = -1;
  s.autoLanguage = 0;
  s.languageId = 7;
  s.windowLeft = 40;
  s.contentsWidth = 180;
  s.zoomLevel = 24;
  s.showPassword = 1;
  return {Dword(0), Dword(-1), Dword(5), Sz(u"C:\\books\\a.tmk", false), Dword(3), Dword(1234), Record(s)};
}

TEST(SettingsFromKey, AKeptKeyGivesBackEverythingTheRunningMarkAllowing) {
  const StoredSettings kept = KeptKey();
  LoadedSettings loaded = SettingsFromKey(kept, kW, kH, kEnglishUi);
  EXPECT_EQ(loaded.settings, *UnpackSettings(kept.windows->bytes));
  EXPECT_EQ(loaded.lastArchiveFile, u"C:\\books\\a.tmk");
  EXPECT_EQ(loaded.lastChapterFile, 3);
  EXPECT_EQ(loaded.lastChapterPosition, 1234);
  EXPECT_EQ(loaded.noFileAssociation, 5);
  // Only a run that ended normally brings its book back; row and position are read anyway.
  for (const std::optional<StoredValue>& mark : {std::optional<StoredValue>(Dword(-1)), std::optional<StoredValue>(),
                                                 std::optional<StoredValue>(StoredValue{kRegSz, {'0', 0, 0, 0}})}) {
    StoredSettings key = kept;
    key.ignoreFile = mark;
    loaded = SettingsFromKey(key, kW, kH, kEnglishUi);
    EXPECT_EQ(loaded.lastArchiveFile, u"");
    EXPECT_EQ(loaded.lastChapterFile, 3);
  }
  // The record decides "StoreSettings"; without a usable record the value is all there is.
  StoredSettings key = kept;
  key.storeSettings = Dword(0);
  EXPECT_EQ(SettingsFromKey(key, kW, kH, kEnglishUi).settings.storeSettings, -1);
  WindowSettings zero = ZeroSettings();
  zero.storeSettings = -1;
  ClampSettings(zero, kW, kH, kGermanUi);
  ClampHelpSettings(zero, kW, kH);
  for (const std::optional<StoredValue>& windows :
       {std::optional<StoredValue>(), std::optional<StoredValue>(StoredValue{kRegBinary, std::vector<uint8_t>(75, 0x11)}),
        std::optional<StoredValue>(StoredValue{kRegSz, std::vector<uint8_t>(76, 0x11)})}) {
    key.windows = windows;
    key.storeSettings = Dword(-1);
    EXPECT_EQ(SettingsFromKey(key, kW, kH, kGermanUi).settings, zero);
  }
  const LoadedSettings first = SettingsWithoutKey(kW, kH, kGermanUi);
  EXPECT_EQ(first.settings, DefaultSettings(kW, kH, kGermanUi));
  EXPECT_EQ(first.lastArchiveFile, u"");
}

TEST(SettingsFromKey, DamagedValuesGiveSoundSettingsThatLoadAgainUnchanged) {
  StoredSettings key = KeptKey();
  key.noFileAssociation = StoredValue{kRegSz, {'7', 0}};
  key.lastChapterFile = Dword(-50);
  key.lastChapterPosition = Dword(INT32_MIN);
  key.lastArchiveFile = Sz(std::u16string(5000, u'a'), true);
  WindowSettings s = *UnpackSettings(key.windows->bytes);
  s.windowLeft = INT32_MIN;
  s.windowWidth = INT32_MAX;
  s.contentsWidth = -9;
  s.zoomLevel = -1;
  s.helpTab = -1;
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
  EXPECT_EQ(loaded.settings.helpTab, 0);
  StoredSettings again = key;
  again.windows = Record(loaded.settings);
  again.lastChapterFile = Dword(loaded.lastChapterFile);
  again.lastChapterPosition = Dword(loaded.lastChapterPosition);
  EXPECT_EQ(SettingsFromKey(again, kW, kH, kEnglishUi).settings, loaded.settings);
}

}  // namespace
}  // namespace tomelet
