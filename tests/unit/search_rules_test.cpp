#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "view/search_rules.h"

namespace tomelet {
namespace {

struct Key {
  std::uint32_t tick;
  char16_t code;
};

TEST(SearchRules, TypedKeysBuildTheTerm) {
  struct Row {
    const char* what;
    std::vector<Key> keys;
    std::u16string term;
  };
  const std::vector<Row> rows = {
      {"999 ms later appends", {{5000, u'a'}, {5999, u'b'}}, u"ab"},
      {"exactly 1000 ms appends", {{5000, u'a'}, {6000, u'b'}}, u"ab"},
      {"1001 ms starts over", {{5000, u'a'}, {6001, u'b'}}, u"b"},
      {"the counter wraps in between", {{0xFFFFFF00u, u'a'}, {0x000000F0u, u'b'}}, u"ab"},
      {"close to the wrap, no wrap yet", {{0xFFFFFF00u, u'a'}, {0xFFFFFF10u, u'b'}}, u"ab"},
      {"across the wrap, too late", {{0xFFFFFC00u, u'a'}, {0x00000010u, u'b'}}, u"b"},
      {"a first key at tick 0 counts", {{0, u'a'}, {10, u'b'}}, u"ab"},
      {"code 0 keeps term and time", {{5000, u'a'}, {5900, 0}, {5950, u'b'}}, u"ab"},
      {"code 0 first: still empty", {{5000, 0}}, u""},
      {"control characters are letters too", {{1, u'a'}, {2, u'\r'}, {3, u'\b'}}, u"a\r\b"},
      {"non-Latin characters stay what they are", {{1, u'\u0436'}, {2, u'\u044B'}}, u"\u0436\u044B"},
  };
  for (const Row& row : rows) {
    std::size_t next = 0;
    QuickSearchTerm term([&] { return row.keys.at(next).tick; });
    for (next = 0; next < row.keys.size(); ++next) term.Type(row.keys[next].code);
    EXPECT_EQ(term.term(), row.term) << row.what;
  }
}

TEST(SearchRules, LongTermsAreCutBetweenCharacters) {
  struct Row {
    std::u16string term;
    std::size_t limit;
    std::u16string cut;
  };
  const std::u16string pair = u"\U0001F600";  // one character, two UTF-16 units
  const std::vector<Row> rows = {
      {u"abc", 3, u"abc"},
      {u"abcd", 3, u"abc"},
      {u"ab" + pair, 3, u"ab"},
      {u"a" + pair + u"b", 3, u"a" + pair},
      {pair, 1, u""},
      {std::u16string(300, u'x'), kTextPaneTermLimit, std::u16string(254, u'x')},
      {std::u16string(253, u'x') + pair, kTextPaneTermLimit, std::u16string(253, u'x')},
  };
  for (const Row& row : rows) EXPECT_EQ(CutTerm(row.term, row.limit), row.cut) << row.term.size();
}

TEST(SearchRules, ContentsRowsAreTriedAfterTheSelectionThenFromTheTop) {
  struct Row {
    int selected;
    std::vector<int> holding;  // rows whose text holds the term, of 5
    std::optional<int> found;
  };
  const std::vector<Row> rows = {
      {-1, {0, 3}, 0},    // nothing selected: from the top
      {0, {0, 3}, 3},     // the row after the selected one first
      {3, {0, 3}, 0},     // second pass from the top
      {3, {3}, 3},        // only the selected row: selected again
      {4, {}, std::nullopt},
      {4, {4}, 4},        // the last row selected, wrapping to itself
      {9, {1}, 1},        // a selection beyond the rows
  };
  for (const Row& row : rows) {
    const auto holds = [&](int r) {
      return std::find(row.holding.begin(), row.holding.end(), r) != row.holding.end();
    };
    EXPECT_EQ(FindContentsRow(row.selected, 5, holds), row.found) << row.selected;
  }
  EXPECT_EQ(FindContentsRow(-1, 0, [](int) { return true; }), std::nullopt);
}

TEST(SearchRules, EachKindPlansItsStepAndItsWayOn) {
  using K = SearchKind;
  struct Row {
    K kind;
    bool loadFirstRow, forward;
    SearchFrom from;
    K kindAfter;
    int row, rowCount;
    AfterMiss miss;
  };
  const std::vector<Row> rows = {
      {K::UpWholeBook, false, false, SearchFrom::SelectionStart, K::UpWholeBook, 2, 5, {true, 1, true}},
      {K::UpWholeBook, false, false, SearchFrom::SelectionStart, K::UpWholeBook, 0, 5, {}},
      {K::UpInChapter, false, false, SearchFrom::SelectionStart, K::UpInChapter, 2, 5, {}},
      {K::DownInChapter, false, true, SearchFrom::SelectionEnd, K::DownInChapter, 2, 5, {}},
      {K::DownWholeBook, false, true, SearchFrom::SelectionEnd, K::DownWholeBook, 2, 5, {true, 3, false}},
      {K::DownWholeBook, false, true, SearchFrom::SelectionEnd, K::DownWholeBook, 4, 5, {}},
      {K::DownWholeBook, false, true, SearchFrom::SelectionEnd, K::DownWholeBook, -1, 0, {}},
      {K::WholeBookFromTop, true, true, SearchFrom::TextStart, K::DownWholeBook, 0, 5, {true, 1, false}},
      {K::WholeBookFromTop, true, true, SearchFrom::TextStart, K::DownWholeBook, 0, 1, {}},
      {K::ChapterFromTop, false, true, SearchFrom::TextStart, K::DownInChapter, 2, 5, {}},
  };
  for (const Row& row : rows) {
    const StepPlan plan = PlanStep(row.kind);
    const AfterMiss miss = NextAfterMiss(row.kind, row.row, row.rowCount);
    const int kind = static_cast<int>(row.kind);
    EXPECT_EQ(plan.loadFirstRow, row.loadFirstRow) << kind;
    EXPECT_EQ(plan.forward, row.forward) << kind;
    EXPECT_EQ(plan.from, row.from) << kind;
    EXPECT_EQ(plan.kindAfter, row.kindAfter) << kind;
    EXPECT_EQ(miss.moveOn, row.miss.moveOn) << kind << " row " << row.row;
    if (miss.moveOn) {
      EXPECT_EQ(miss.row, row.miss.row) << kind;
      EXPECT_EQ(miss.caretAtEnd, row.miss.caretAtEnd) << kind;
    }
  }
  EXPECT_EQ(SearchKindFromIndex(-1), K::DownInChapter);
  EXPECT_EQ(SearchKindFromIndex(6), K::DownInChapter);
  EXPECT_EQ(SearchKindFromIndex(4), K::WholeBookFromTop);
}

TEST(SearchRules, TheNextStepWaitsForInputAndNowAndThenForPaint) {
  struct Row {
    bool input, paint;
    std::uint32_t now, lastWait;
    bool waits;
  };
  const std::vector<Row> rows = {
      {false, false, 5000, 0, false},
      {true, false, 5000, 4990, true},  // input always goes first
      {false, true, 5000, 4990, false},
      {false, true, 5000, 5000 - kRepaintEvery, true},
      {false, true, 0x00000010u, 0xFFFFFFF0u, false},  // across the counter's wrap
      {false, true, 0x00000100u, 0xFFFFFF00u, true},
  };
  for (const Row& row : rows)
    EXPECT_EQ(NextStepWaits(row.input, row.paint, row.now, row.lastWait), row.waits) << row.now << " " << row.lastWait;
}

TEST(SearchRules, DarkGrayHitsCountAndTheWalkAlwaysMovesOn) {
  const HitColour gray{true, false, kDarkGray}, black{true, false, 0}, automatic{true, true, kDarkGray},
      mixed{false, false, kDarkGray};
  struct Row {
    const char* what;
    TextRange hit;
    long from;
    bool forward, darkGrayOnly;
    HitColour colour;
    HitVerdict verdict;
  };
  const std::vector<Row> rows = {
      {"any colour without the box", {4, 6}, 2, true, false, black, HitVerdict::Accept},
      {"gray with the box", {4, 6}, 2, true, true, gray, HitVerdict::Accept},
      {"black is skipped", {4, 6}, 2, true, true, black, HitVerdict::Skip},
      {"the default colour is not gray", {4, 6}, 2, true, true, automatic, HitVerdict::Skip},
      {"partly gray is not gray", {4, 6}, 2, true, true, mixed, HitVerdict::Skip},
      {"upwards, before the start", {1, 3}, 3, false, true, black, HitVerdict::Skip},
      {"a hit right at the start, downwards", {2, 4}, 2, true, false, black, HitVerdict::Accept},
      {"downwards, no move past from", {2, 2}, 2, true, true, black, HitVerdict::Miss},
      {"downwards, behind from", {0, 1}, 2, true, false, gray, HitVerdict::Miss},
      {"upwards, reaching past from", {2, 4}, 3, false, false, gray, HitVerdict::Miss},
      {"upwards, no move before from", {3, 3}, 3, false, true, black, HitVerdict::Miss},
  };
  for (const Row& row : rows)
    EXPECT_EQ(JudgeHit(row.hit, row.from, row.forward, row.darkGrayOnly, row.colour), row.verdict) << row.what;
  // Skipping puts the caret past the hit in the search's direction, so the next search
  // starts strictly beyond where this one started.
  EXPECT_EQ(CaretPastHit({4, 6}, true), 6);
  EXPECT_EQ(CaretPastHit({4, 6}, false), 4);
}

}  // namespace
}  // namespace tomelet
