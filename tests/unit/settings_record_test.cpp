// The 76-byte settings record, its defaults and range rules, and how the values of the
// settings key are read: which values count, the running mark, and damaged input; the
// history of places in a book, where the last books were left and the File menu's list of
// them, the bookmarks and how they are stored, and the full-screen rectangle.
#include "app/settings_record.h"
#include "app/bookmarks.h"
#include "app/reading_places.h"
#include "app/recent_books.h"
#include "app/window_geometry.h"

#include <gtest/gtest.h>

#include <climits>
#include <tuple>

namespace tomelet {
namespace {

constexpr int kW = 1280, kH = 1024;  // the screen of these tests
constexpr int kEnglishUi = 9, kGermanUi = 7, kFrenchUi = 12;
using Field = int32_t WindowSettings::*;

StoredValue Dword(int32_t value) { return {kRegDword, DwordBytes(value)}; }
StoredValue Sz(const std::u16string& text, bool terminated) { return {kRegSz, PathBytes(terminated ? text + u'\0' : text)}; }
StoredValue Record(const WindowSettings& s) { const PackedSettings p = PackSettings(s); return {kRegBinary, {p.begin(), p.end()}}; }

TEST(SettingsRecord, EveryFieldAtItsOffsetLittleEndianAndOnlyExactly76Bytes) {
  using W = WindowSettings;
  WindowSettings s{.storeSettings = -1, .autoLanguage = 0x1234, .reserved = 0xBEEF};
  const Field fields[] = {&W::languageId, &W::showState, &W::windowLeft, &W::windowTop, &W::windowWidth, &W::windowHeight,
                          &W::contentsWidth, &W::zoomLevel, &W::showPassword, &W::helpShowState, &W::helpLeft, &W::helpTop,
                          &W::helpWidth, &W::helpHeight, &W::helpTab, &W::helpScrollY, &W::helpTopChar};
  for (std::size_t i = 0; i < std::size(fields); ++i) s.*fields[i] = static_cast<int32_t>(i * 1001) - 3000;
  const PackedSettings p = PackSettings(s);
  const auto at = [&p](std::size_t o) { return static_cast<int32_t>(p[o] | p[o + 1] << 8 | p[o + 2] << 16 | uint32_t{p[o + 3]} << 24); };
  EXPECT_EQ(at(0), -1);
  EXPECT_EQ(at(4), static_cast<int32_t>(0xBEEF1234u));  // the reserved bytes go back as they came
  for (std::size_t i = 0; i < std::size(fields); ++i) EXPECT_EQ(at(8 + 4 * i), s.*fields[i]) << "offset " << 8 + 4 * i;
  EXPECT_EQ(UnpackSettings(p), s);
  std::vector<uint8_t> bytes(p.begin(), p.end());
  for (std::size_t size : {0u, 75u, 77u, 200u}) EXPECT_FALSE(UnpackSettings((bytes.resize(size, 0x55), bytes))) << size;
}

TEST(SettingsRecord, DefaultsComeFromTheScreenAndStoredValuesAreBroughtIntoRange) {
  const WindowSettings defaults = DefaultSettings(kW, kH, kGermanUi);
  const WindowSettings expected{.storeSettings = 0, .autoLanguage = 0xFFFF, .languageId = kGermanUi, .showState = 1,
                                .windowLeft = kW / 2 - 20, .windowTop = 0, .windowWidth = kW / 2 + 20,
                                .windowHeight = kH, .contentsWidth = 250, .zoomLevel = 20, .showPassword = 0,
                                .helpLeft = kW / 2, .helpTop = 0, .helpWidth = kW / 2, .helpHeight = kH};
  EXPECT_EQ(defaults, expected);
  WindowSettings clamped = defaults;  // already in range
  ClampSettings(clamped, kW, kH, kGermanUi);
  EXPECT_EQ(clamped, defaults);

  using W = WindowSettings;
  struct Case { Field field; int32_t stored, loaded; };
  // A window 600 wide; the help window's fields stay as stored (the help window corrects
  // them when it opens, so a record whose help was never opened goes back as it came).
  const Case cases[] = {
      {&W::zoomLevel, 60, 20}, {&W::zoomLevel, 50, 50}, {&W::contentsWidth, 581, 100}, {&W::contentsWidth, 580, 580},
      {&W::contentsWidth, 1, 100}, {&W::contentsWidth, INT32_MIN, 100}, {&W::contentsWidth, INT32_MAX, 100},
      {&W::windowLeft, 1, 1}, {&W::windowLeft, INT32_MAX, kW - 20}, {&W::windowTop, -7, 0}, {&W::windowTop, 99999, kH - 20},
      {&W::windowWidth, -1, 100}, {&W::windowHeight, INT32_MIN, 100}, {&W::windowHeight, 5000, kH},
      {&W::showState, 3, 3}, {&W::showState, 2, 1}, {&W::showPassword, -1, 0}, {&W::showPassword, 1, 1},
      // Every boundary of the range checks.
      {&W::zoomLevel, 0, 20}, {&W::zoomLevel, 1, 1}, {&W::zoomLevel, 51, 20}, {&W::contentsWidth, 2, 2},
      {&W::windowLeft, 0, 0}, {&W::windowLeft, -1, 0}, {&W::windowLeft, kW - 20, kW - 20}, {&W::windowLeft, kW - 19, kW - 20},
      {&W::windowTop, 0, 0}, {&W::windowTop, kH - 20, kH - 20}, {&W::windowTop, kH - 19, kH - 20}, {&W::showState, 0, 1},
      {&W::windowWidth, 99, 100}, {&W::windowWidth, 100, 100}, {&W::windowWidth, kW, kW}, {&W::windowWidth, kW + 1, kW},
      {&W::windowHeight, 99, 100}, {&W::windowHeight, 100, 100}, {&W::windowHeight, kH, kH}, {&W::windowHeight, kH + 1, kH},
      {&W::helpTab, 4, 4}, {&W::helpLeft, -5, -5}, {&W::helpWidth, 0, 0}, {&W::helpHeight, 10, 10},
      {&W::helpScrollY, -100, -100}, {&W::helpTopChar, -1, -1}, {&W::helpShowState, 77, 77},
  };
  for (const Case& c : cases) {
    WindowSettings s = DefaultSettings(kW, kH, kEnglishUi);
    s.windowWidth = 600;
    s.*c.field = c.stored;
    ClampSettings(s, kW, kH, kFrenchUi);
    EXPECT_EQ(s.*c.field, c.loaded) << c.stored;
  }
  // Any non-zero AutoLanguage follows the interface; 0 keeps the stored language.
  for (const auto& [automatic, language] : {std::pair{0xFFFF, kFrenchUi}, std::pair{1, kFrenchUi}, std::pair{0, 7}}) {
    WindowSettings s{.autoLanguage = static_cast<uint16_t>(automatic), .languageId = 7};
    ClampSettings(s, kW, kH, kFrenchUi);
    EXPECT_EQ(s.languageId, language) << automatic;
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

TEST(SettingsFromKey, AKeptKeyGivesBackEverythingTheRunningMarkAllowingAndDamageGivesSoundValues) {
  const WindowSettings record{.storeSettings = -1, .autoLanguage = 0, .languageId = 7, .windowLeft = 40,
                              .windowWidth = 600, .windowHeight = 500, .contentsWidth = 180, .zoomLevel = 24, .showPassword = 1};
  const StoredSettings kept{Dword(0), Dword(-1), Dword(5), Sz(u"C:\\books\\a.tmk", false), Dword(3), Dword(1234), Record(record)};
  LoadedSettings loaded = SettingsFromKey(kept, kW, kH, kEnglishUi);
  EXPECT_EQ(loaded.settings, record);
  EXPECT_EQ(std::tuple(loaded.lastArchiveFile, loaded.lastChapterFile, loaded.lastChapterPosition, loaded.noFileAssociation),
            std::tuple(u"C:\\books\\a.tmk", 3, 1234, 5));
  // Only a run that ended normally brings its book back; row and position are read anyway.
  for (const std::optional<StoredValue>& mark : {std::optional(Dword(-1)), std::optional<StoredValue>(),
                                                 std::optional(StoredValue{kRegSz, {'0', 0, 0, 0}})}) {
    StoredSettings key = kept;
    key.ignoreFile = mark;
    loaded = SettingsFromKey(key, kW, kH, kEnglishUi);
    EXPECT_EQ(std::pair(loaded.lastArchiveFile, loaded.lastChapterFile), std::pair(std::u16string(), 3));
  }
  // The record decides "StoreSettings"; without a usable record the value is all there is,
  // and a zero record gives a small window.
  StoredSettings key = kept;
  key.storeSettings = Dword(0);
  EXPECT_EQ(SettingsFromKey(key, kW, kH, kEnglishUi).settings.storeSettings, -1);
  const WindowSettings zero{.storeSettings = -1, .autoLanguage = 0, .languageId = 0, .showState = 1, .windowWidth = 100,
                            .windowHeight = 100, .contentsWidth = 16, .zoomLevel = 20};
  for (const std::optional<StoredValue>& windows : {std::optional<StoredValue>(), std::optional(StoredValue{kRegBinary, std::vector<uint8_t>(75, 0x11)}),
                                                    std::optional(StoredValue{kRegSz, std::vector<uint8_t>(76, 0x11)})}) {
    key.windows = windows;
    key.storeSettings = Dword(-1);
    EXPECT_EQ(SettingsFromKey(key, kW, kH, kGermanUi).settings, zero);
  }
  EXPECT_EQ(SettingsWithoutKey(kW, kH, kGermanUi).settings, DefaultSettings(kW, kH, kGermanUi));

  // Damaged values give sound settings, and what is loaded loads again unchanged.
  WindowSettings damaged = record;
  damaged.windowWidth = INT32_MAX;
  damaged.contentsWidth = -9;
  key = {Dword(0), Dword(-1), StoredValue{kRegSz, {'7', 0}}, Sz(std::u16string(5000, u'a'), true), Dword(-50),
         Dword(INT32_MIN), Record(damaged)};
  loaded = SettingsFromKey(key, kW, kH, kEnglishUi);
  EXPECT_EQ(std::tuple(loaded.lastArchiveFile, loaded.lastChapterFile, loaded.lastChapterPosition, loaded.noFileAssociation),
            std::tuple(u"", -1, 0, 0));
  EXPECT_EQ(loaded.settings.contentsWidth, kW / 6);  // a sixth of the window as brought into range
  key.windows = Record(loaded.settings);
  EXPECT_EQ(SettingsFromKey(key, kW, kH, kEnglishUi).settings, loaded.settings);
}

ReadingPlace P(int row, int32_t firstChar = 0) { return {row, firstChar, firstChar, firstChar + 1}; }

TEST(PlaceHistory, BoundedOncePerPlaceAndANewStepDropsTheForwardPart) {
  PlaceHistory h;
  for (int i = 0; i < 150; ++i) h.Visit(P(i, i * 7)), h.Visit(P(i, i * 7));  // the same place twice counts once
  EXPECT_EQ(h.size(), PlaceHistory::kLimit);
  ReadingPlace at = P(150);
  while (std::optional<ReadingPlace> back = h.Back(at)) at = *back;
  EXPECT_EQ(at, P(50, 50 * 7));  // the oldest were dropped; first visible character and selection come back
  EXPECT_EQ(h.Forward(at), P(51, 51 * 7));
  h.Visit(P(51, 51 * 7));
  EXPECT_FALSE(h.CanGoForward());
  EXPECT_EQ(h.Back(P(51, 51 * 7)), P(50, 50 * 7));  // a recorded place equal to the one shown is passed over
}

StoredValue Value(int32_t row, int32_t firstChar, const std::u16string& path) {
  BookPlaces one;
  one.Remember({path, row, firstChar});
  return one.ToValues().at(0);
}

TEST(BookPlaces, NewestFirstBoundedAndDamagedValuesLeftOut) {
  BookPlaces places;
  for (int i = 0; i < 25; ++i) places.Remember({u"C:\\b" + std::u16string(1, char16_t(u'a' + i)) + u".tmk", i, i * 10});
  places.Remember({u"C:\\BC.TMK", 99, 5});  // the same book in other letters moves to the front
  ASSERT_EQ(places.places().size(), BookPlaces::kLimit);
  EXPECT_EQ(places.places()[0], (BookPlace{u"C:\\BC.TMK", 99, 5}));
  EXPECT_FALSE(places.Find(u"C:\\bd.tmk"));  // among the oldest: dropped
  EXPECT_EQ(places.Find(u"c:\\BY.tmk").value_or(BookPlace{}).row, 24);

  const std::vector<StoredValue> written = places.ToValues();
  std::vector<std::optional<StoredValue>> values(written.begin(), written.end());
  EXPECT_EQ(BookPlaces::FromValues(values).places(), places.places());  // as written, read back
  const std::vector<uint8_t> b = Value(3, 4, u"x").bytes;
  EXPECT_EQ(b, (std::vector<uint8_t>{3, 0, 0, 0, 4, 0, 0, 0, 'x', 0}));
  // Every damaged or foreign value is left out, the rest stays in order.
  const std::optional<StoredValue> damaged[] = {
      std::nullopt, StoredValue{kRegSz, b}, StoredValue{kRegBinary, {3, 0, 0, 0, 4, 0, 0, 0}},  // no path
      StoredValue{kRegBinary, {3, 0, 0, 0, 4, 0, 0, 0, 'x'}},  // half a character
      Value(-1, 0, u"neg"), Value(0, INT32_MIN, u"neg"), Value(1, 1, std::u16string(260, u'a')),
      Value(1, 1, std::u16string(u"a\0b", 3)), Value(1, 1, u"C:\\BC.tmk") /* older copy */};
  values.insert(values.begin() + 1, std::begin(damaged), std::end(damaged));
  EXPECT_EQ(BookPlaces::FromValues(values).places(), places.places());
  EXPECT_EQ(BookPlaces::FromValues({Value(1, 1, std::u16string(259, u'a'))}).places().size(), 1u);
  // Letters are compared as the file system folds them, at both ends of the alphabet and beyond ASCII.
  places.Remember({u"C:\\B\u00fccher\\az.tmk", 7, 0});
  for (const char16_t* same : {u"c:\\B\u00dcCHER\\AZ.TMK", u"C:\\b\u00fccher\\aZ.tmk"})
    EXPECT_EQ(places.Find(same).value_or(BookPlace{}).row, 7);
  EXPECT_FALSE(places.Find(u"C:\\Bucher\\az.tmk"));
}


TEST(RecentBooks, TheOpenBookThenThePlacesNewestFirstNineAtMostNamedSoThatTheyDiffer) {
  BookPlaces places;
  for (int i = 11; i >= 0; --i) places.Remember({u"C:\\b" + std::u16string(1, char16_t(u'a' + i)) + u".tmk", 0, 0});
  places.Forget(u"C:\\BB.TMK");  // gone away
  const std::vector<std::u16string> books = RecentBooks(places, u"C:\\bc.tmk");
  EXPECT_EQ(books, (std::vector<std::u16string>{u"C:\\bc.tmk", u"C:\\ba.tmk", u"C:\\bd.tmk", u"C:\\be.tmk", u"C:\\bf.tmk",
                                                u"C:\\bg.tmk", u"C:\\bh.tmk", u"C:\\bi.tmk", u"C:\\bj.tmk"}));
  EXPECT_TRUE(RecentBooks(BookPlaces{}, u"").empty());
  // A file name alone, or as many folders as tell books of one name apart.
  const struct { std::vector<std::u16string> paths, labels; } cases[] = {
      {{u"C:\\x\\a.tmk", u"C:\\y\\b.tmk"}, {u"a.tmk", u"b.tmk"}},
      {{u"C:\\Old\\a.tmk", u"D:\\New\\A.TMK"}, {u"Old\\a.tmk", u"New\\A.TMK"}},
      {{u"C:\\p\\Books\\a.tmk", u"D:\\q\\books\\a.tmk", u"E:\\c.tmk"}, {u"p\\Books\\a.tmk", u"q\\books\\a.tmk", u"c.tmk"}},
      {{u"C:\\s\\a.tmk", u"D:\\s\\a.tmk"}, {u"C:\\s\\a.tmk", u"D:\\s\\a.tmk"}},
      {{u"a.tmk", u"C:\\a.tmk"}, {u"a.tmk", u"C:\\a.tmk"}}};
  for (const auto& c : cases) EXPECT_EQ(RecentLabels(c.paths), c.labels);
  EXPECT_EQ(NumberedMenuText(0, u"R&D.tmk"), u"&1 R&&D.tmk");
  EXPECT_EQ(NumberedMenuText(8, u"i\tj"), u"&9 i j");
  EXPECT_EQ(NumberedMenuText(9, u"j"), u"j");
}

TEST(Bookmarks, PerBookInOrderBoundedStoredAndDamagedValuesLeftOut) {
  Bookmarks marks;
  const Bookmark one{u"One", {2, 10, 12, 15}}, two{u"Two", {0, 0, 0, 0}};
  EXPECT_EQ(marks.Add(u"C:\\a.tmk", one).refused, AddOutcome::Refusal::None);
  marks.Add(u"C:\\b.tmk", two);
  marks.Add(u"c:\\A.TMK", two);  // the same book; names may repeat
  EXPECT_EQ(marks.Of(u"C:\\a.tmk"), (std::vector<Bookmark>{one, two}));
  EXPECT_EQ(marks.books()[0].path, u"C:\\a.tmk");  // the book changed last comes first
  EXPECT_EQ(marks.Preview(std::u16string(260, u'x')).refused, AddOutcome::Refusal::PathTooLong);

  // Read back as written; each damaged value is left out whole, the others stay.
  const std::vector<StoredValue> written = marks.ToValues();
  std::vector<std::optional<StoredValue>> values(written.begin(), written.end());
  EXPECT_EQ(Bookmarks::FromValues(values).books(), marks.books());
  const std::vector<uint8_t>& good = written[1].bytes;  // b.tmk
  const auto with = [&](std::size_t at, uint8_t byte) { std::vector<uint8_t> b = good; b[at] = byte; return StoredValue{kRegBinary, b}; };
  std::vector<uint8_t> longer = good;
  longer.push_back(0);
  const std::optional<StoredValue> damaged[] = {
      std::nullopt, StoredValue{kRegSz, good}, StoredValue{kRegBinary, {good.begin(), good.end() - 1}}, StoredValue{kRegBinary, longer},
      with(0, 0) /* no path */, with(0, 200) /* path longer than the value */, with(20, 0) /* no bookmark */,
      with(27, 0x80) /* negative row */, with(20, 201) /* 201 bookmarks */, with(32, 5) /* selection ends before it starts */,
      with(40, 101) /* name too long */, written[0] /* the book again */};
  values.insert(values.begin() + 1, std::begin(damaged), std::end(damaged));
  EXPECT_EQ(Bookmarks::FromValues(values).books(), marks.books());

  // 200 per book, then no more; beyond 100 books the one changed longest ago goes, told first.
  for (int i = 2; i < 200; ++i) marks.Add(u"C:\\a.tmk", two);
  EXPECT_EQ(marks.Add(u"C:\\a.tmk", two).refused, AddOutcome::Refusal::BookFull);
  for (int i = 0; i < 98; ++i) marks.Add(u"C:\\n" + std::u16string(1, char16_t(u'\u4e00' + i)), one);
  EXPECT_EQ(marks.Preview(u"C:\\new.tmk").bookDropped, u"C:\\b.tmk");
  marks.Add(u"C:\\new.tmk", one);
  EXPECT_EQ(marks.books().size(), Bookmarks::kBookLimit);
  EXPECT_TRUE(marks.Of(u"C:\\b.tmk").empty());
  EXPECT_EQ(marks.Of(u"C:\\a.tmk").size(), Bookmarks::kPerBookLimit);
  marks.Replace(u"C:\\a.tmk", {});  // all deleted: the book is forgotten
  EXPECT_EQ(marks.books().size(), Bookmarks::kBookLimit - 1);
}

TEST(FullScreen, TheWindowCoversItsMonitorWithoutCaptionAndFrame) {
  EXPECT_EQ(FullScreenRect(0, 0, 1280, 1024), (Rect{0, 0, 1280, 1024}));
  EXPECT_EQ(FullScreenRect(-1920, -200, 0, 880), (Rect{-1920, -200, 1920, 1080}));  // left of and above the main screen
  EXPECT_EQ(FullScreenStyle(0x14CF0000u), 0x140B0000u);  // visible overlapped window with a menu: only caption and frame go
}

}  // namespace
}  // namespace tomelet
