// Back and forward through the places of the open book, and where the last books were
// left, with the registry values that keep them and damaged ones.
#include "app/reading_places.h"

#include <gtest/gtest.h>

namespace tomelet {
namespace {

ReadingPlace P(int row, int32_t firstChar = 0) { return {row, firstChar, firstChar, firstChar + 1}; }

TEST(PlaceHistory, StepsBackAndForwardLikeABrowser) {
  // Each step: v = visit (leaving `at`), b = back from `at`, f = forward from `at`; then
  // the place shown (-1: nothing to go to) and what is left behind and ahead.
  struct Step { char op; int at; int shown; std::size_t back, forward; };
  PlaceHistory h;
  const Step steps[] = {
      {'b', 0, -1, 0, 0}, {'v', 0, -1, 1, 0}, {'v', 1, -1, 2, 0}, {'v', 1, -1, 2, 0},  // the same place twice counts once
      {'b', 2, 1, 1, 1},  {'b', 1, 0, 0, 2},  {'b', 0, -1, 0, 2}, {'f', 0, 1, 1, 1},
      {'v', 1, -1, 2, 0},  // a new step after going back drops the forward part
      {'f', 5, -1, 2, 0}, {'b', 5, 1, 1, 1},  {'v', 5, -1, 2, 0}, {'b', 5, 0, 0, 1},  // a place equal to the one shown is passed over
  };
  for (const Step& s : steps) {
    std::optional<ReadingPlace> shown;
    if (s.op == 'v') h.Visit(P(s.at));
    else shown = s.op == 'b' ? h.Back(P(s.at)) : h.Forward(P(s.at));
    EXPECT_EQ(shown ? shown->row : -1, s.shown) << s.op << s.at;
    EXPECT_EQ(h.CanGoBack(), s.back > 0);
    EXPECT_EQ(h.size(), s.back + s.forward) << s.op << s.at;
  }
  h.Clear();
  for (int i = 0; i < 150; ++i) h.Visit(P(i, i * 7));
  EXPECT_EQ(h.size(), PlaceHistory::kLimit);
  ReadingPlace at = P(150);
  while (std::optional<ReadingPlace> back = h.Back(at)) at = *back;
  EXPECT_EQ(at, P(50, 50 * 7));  // the oldest were dropped; first visible character and selection come back
  EXPECT_EQ(h.Forward(at), P(51, 51 * 7));
  EXPECT_EQ(h.size(), PlaceHistory::kLimit);
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
}

}  // namespace
}  // namespace tomelet
