// The rules of searching (the typed term, each kind's steps, waiting, dark-gray hits) and of
// the help window (the stored rectangle brought onto the screen, the document each tab shows).
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "res/resource_ids.h"
#include "view/accessible_rules.h"
#include "view/contrast_colours.h"
#include "view/help_rules.h"
#include "view/search_rules.h"

namespace tomelet {
namespace {

// Our drawing's colours: exactly the program's own at normal contrast, only the user's
// system colours with high contrast on.
TEST(ContrastRules, ColoursByContrastSurfaceAndState) {
  using S = SystemColour;
  const Colour black = Rgb(0, 0, 0), white = Rgb(255, 255, 255), cream = Rgb(255, 239, 192);
  const Colour menu = Sys(S::Menu), gray = Sys(S::GrayText), highlight = Sys(S::Highlight);
  struct Row { const char* what; Surface surface; ItemState state; bool high; Ink ink; };
  const Row rows[] = {
      {"row", Surface::ContentsRow, {}, false, {cream, black}},
      {"row selected, focus", Surface::ContentsRow, {true, true}, false, {black, white}},
      {"row selected, no focus: text kept", Surface::ContentsRow, {true}, false, {Rgb(255, 207, 160), kKeepColour}},
      {"splitter as the system draws it", Surface::Splitter, {}, false, {kKeepColour, kKeepColour, kKeepColour, kKeepColour, true}},
      {"menu item, greyed looks enabled", Surface::MenuItem, {false, false, true}, false, {menu, Sys(S::MenuText), black, white}},
      {"bar button selected", Surface::MenuItem, {true, false, false, true}, false, {highlight, Sys(S::MenuBar), black, Rgb(192, 192, 192)}},
      {"flat bar button", Surface::MenuItem, {false, false, false, true, true}, false, {Sys(S::MenuBar), Sys(S::MenuText), black, white}},
      {"HC row", Surface::ContentsRow, {}, true, {Sys(S::Window), Sys(S::WindowText)}},
      {"HC row selected, focus", Surface::ContentsRow, {true, true}, true, {highlight, Sys(S::HighlightText)}},
      {"HC row selected, no focus", Surface::ContentsRow, {true}, true, {gray, Sys(S::Window)}},
      {"HC splitter", Surface::Splitter, {}, true, {gray, gray}},
      {"HC menu item", Surface::MenuItem, {}, true, {menu, Sys(S::MenuText), Sys(S::MenuText), menu}},
      {"HC greyed item", Surface::MenuItem, {false, false, true}, true, {menu, gray, gray, menu}},
      {"HC selected item", Surface::MenuItem, {true}, true, {highlight, Sys(S::HighlightText), Sys(S::HighlightText), highlight}},
  };
  for (const Row& row : rows) {
    const Ink ink = InkFor(row.surface, row.state, row.high);
    EXPECT_TRUE(ink == row.ink) << row.what;
    if (row.high) EXPECT_TRUE(ink.back.system && (ink.text.system || ink.text.keep)) << row.what;
  }
}

TEST(AccessibleRules, RowsReadAsDrawnWithKindAndLevel) {
  const std::vector<std::u16string> list = {u"02Welcome", u"13A picture", u"22\u2026", u"3?\u2026", u"41[About...]",
                                            u"x4Notes.pdf", u"02"};
  const auto text = [&list](int row) { return list.at(static_cast<std::size_t>(row)); };
  struct Row { int row; bool german; std::u16string name, description; };
  const Row rows[] = {
      {0, false, u"Welcome", u"Chapter"},
      {1, false, u"A picture", u"Picture, level 1"},
      {1, true, u"A picture", u"Bild, Ebene 1"},
      {2, false, u"A picture", u"Chapter, level 2, continued"},
      {3, true, u"A picture", u"Anhang, Ebene 3, Fortsetzung"},  // unknown kind: attachment
      {4, false, u"[About...]", u"Book information"},
      {5, false, u"Notes.pdf", u"Attachment"},
      {6, false, u"", u"Chapter"},
  };
  for (const Row& row : rows) {
    const SpokenRow spoken = SpeakContentsRow(row.row, text, row.german);
    EXPECT_EQ(spoken.name, row.name) << row.row;
    EXPECT_EQ(spoken.description, row.description) << row.row;
  }
  const std::vector<std::u16string> alone = {u"12\u2026"};
  EXPECT_EQ(SpeakContentsRow(0, [&alone](int r) { return alone.at(static_cast<std::size_t>(r)); }, true).name,
            u"Fortsetzung");
  EXPECT_EQ(SpeakHit(u"Welcome", u"the word here"), u"Welcome: the word here");
}

TEST(SearchRules, TypedKeysBuildTheTerm) {
  struct Row { const char* what; std::vector<std::pair<std::uint32_t, char16_t>> keys; std::u16string term; };  // tick, character
  const std::vector<Row> rows = {
      {"exactly 1000 ms appends", {{5000, u'a'}, {6000, u'b'}}, u"ab"},
      {"1001 ms starts over", {{5000, u'a'}, {6001, u'b'}}, u"b"},
      {"the counter wraps in between", {{0xFFFFFF00u, u'a'}, {0x000000F0u, u'b'}}, u"ab"},
      {"across the wrap, too late", {{0xFFFFFC00u, u'a'}, {0x00000010u, u'b'}}, u"b"},
      {"a first key at tick 0 counts", {{0, u'a'}, {10, u'b'}}, u"ab"},
      {"code 0 keeps term and time", {{5000, u'a'}, {5900, 0}, {5950, u'b'}}, u"ab"},
      {"control characters are letters too", {{1, u'a'}, {2, u'\r'}, {3, u'\b'}}, u"a\r\b"},
  };
  for (const Row& row : rows) {
    std::size_t next = 0;
    QuickSearchTerm term([&] { return row.keys.at(next).first; });
    for (next = 0; next < row.keys.size(); ++next) term.Type(row.keys[next].second);
    EXPECT_EQ(term.term(), row.term) << row.what;
  }
  // Long terms are cut between characters.
  const std::u16string pair = u"\U0001F600";  // one character, two UTF-16 units
  const std::tuple<std::u16string, std::size_t, std::u16string> cuts[] = {
      {u"abcd", 3, u"abc"}, {u"ab" + pair, 3, u"ab"}, {u"a" + pair + u"b", 3, u"a" + pair}, {pair, 1, u""},
      {std::u16string(253, u'x') + pair, kTextPaneTermLimit, std::u16string(253, u'x')},
  };
  for (const auto& [term, limit, cut] : cuts) EXPECT_EQ(CutTerm(term, limit), cut) << term.size();
}

TEST(SearchRules, EachKindPlansItsStepAndItsWayOn) {
  using enum SearchKind;
  using enum SearchFrom;
  struct Row { SearchKind kind; bool loadFirstRow, forward; SearchFrom from; SearchKind kindAfter; int row, rowCount; AfterMiss miss; };
  const std::vector<Row> rows = {
      {UpWholeBook, false, false, SelectionStart, UpWholeBook, 2, 5, {true, 1, true}},
      {UpWholeBook, false, false, SelectionStart, UpWholeBook, 0, 5, {}},
      {UpInChapter, false, false, SelectionStart, UpInChapter, 2, 5, {}},
      {DownInChapter, false, true, SelectionEnd, DownInChapter, 2, 5, {}},
      {DownWholeBook, false, true, SelectionEnd, DownWholeBook, 2, 5, {true, 3, false}},
      {DownWholeBook, false, true, SelectionEnd, DownWholeBook, 4, 5, {}},
      {DownWholeBook, false, true, SelectionEnd, DownWholeBook, -1, 0, {}},
      {WholeBookFromTop, true, true, TextStart, DownWholeBook, 0, 5, {true, 1, false}},
      {WholeBookFromTop, true, true, TextStart, DownWholeBook, 0, 1, {}},
      {ChapterFromTop, false, true, TextStart, DownInChapter, 2, 5, {}},
  };
  for (const Row& row : rows) {
    const StepPlan plan = PlanStep(row.kind);
    const AfterMiss miss = NextAfterMiss(row.kind, row.row, row.rowCount);
    EXPECT_EQ(std::tuple(plan.loadFirstRow, plan.forward, plan.from, plan.kindAfter, miss.moveOn, miss.row, miss.caretAtEnd),
              std::tuple(row.loadFirstRow, row.forward, row.from, row.kindAfter, row.miss.moveOn, row.miss.row,
                         row.miss.caretAtEnd))
        << static_cast<int>(row.kind) << " from row " << row.row;
  }
  EXPECT_EQ(std::tuple(SearchKindFromIndex(-1), SearchKindFromIndex(6), SearchKindFromIndex(4)),
            std::tuple(DownInChapter, DownInChapter, WholeBookFromTop));
}

TEST(SearchRules, TheNextStepWaitsForInputAndNowAndThenForPaint) {
  const std::tuple<bool, bool, std::uint32_t, std::uint32_t, bool> rows[] = {  // input, paint, now, last wait: waits
      {false, false, 5000, 0, false}, {true, false, 5000, 4990, true},  // input always goes first
      {false, true, 5000, 4990, false}, {false, true, 5000, 5000 - kRepaintEvery, true},
      {false, true, 0x00000010u, 0xFFFFFFF0u, false}, {false, true, 0x00000100u, 0xFFFFFF00u, true},  // across the wrap
  };
  for (const auto& [input, paint, now, lastWait, waits] : rows)
    EXPECT_EQ(NextStepWaits(input, paint, now, lastWait), waits) << now << " " << lastWait;
}

TEST(SearchRules, DarkGrayHitsCountAndTheWalkAlwaysMovesOn) {
  const HitColour gray{true, false, kDarkGray}, black{true, false, 0}, automatic{true, true, kDarkGray},
      mixed{false, false, kDarkGray};
  using enum HitVerdict;
  struct Row { const char* what; TextRange hit; long from; bool forward, darkGrayOnly; HitColour colour; HitVerdict verdict; };
  const std::vector<Row> rows = {
      {"any colour without the box", {4, 6}, 2, true, false, black, Accept},
      {"gray with the box", {4, 6}, 2, true, true, gray, Accept},
      {"black is skipped", {4, 6}, 2, true, true, black, Skip},
      {"the default colour is not gray", {4, 6}, 2, true, true, automatic, Skip},
      {"partly gray is not gray", {4, 6}, 2, true, true, mixed, Skip},
      {"upwards, before the start", {1, 3}, 3, false, true, black, Skip},
      {"downwards, no move past from", {2, 2}, 2, true, true, black, Miss},
      {"downwards, behind from", {0, 1}, 2, true, false, gray, Miss},
      {"upwards, reaching past from", {2, 4}, 3, false, false, gray, Miss},
  };
  for (const Row& row : rows)
    EXPECT_EQ(JudgeHit(row.hit, row.from, row.forward, row.darkGrayOnly, row.colour), row.verdict) << row.what;
  // Past a skipped hit in the search's direction: the next search starts beyond this one.
  EXPECT_EQ(std::pair(CaretPastHit({4, 6}, true), CaretPastHit({4, 6}, false)), std::pair(6L, 4L));
}

constexpr int kW = 1280, kH = 1024;

TEST(HelpRules, AStoredRectangleAlwaysOpensOnTheScreenAndEachTabShowsItsDocument) {
  const struct { HelpRect stored, opened; } cases[] = {
      {{100, 50, 400, 600}, {100, 50, 400, 600}},                  // placed by the user
      {{-5, 10, 400, 600}, {kW / 2, 10, 400, 600}},                // left -5: half the screen
      {{100, 10, 400, 10}, {100, 10, 400, kH}},                    // height 10: the screen's
      {{kW, 10, 400, 600}, {kW / 2, 10, 400, 600}},                // at the right edge: out of sight
      {{kW - 20, kH - 20, 10, 20}, {kW - 20, kH - 20, 10, 20}},    // smallest that stays
      {{100, kH - 19, 9, kH - 19}, {100, 0, kW / 2, kH}},          // just beyond each limit
      {{100, -1, kW + 1, 600}, {100, 0, kW / 2, 600}},
      {{0, 0, 0, 0}, {0, 0, kW / 2, kH}},                          // a record never used
      {{INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN}, {kW / 2, 0, kW / 2, kH}},
      {{INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX}, {kW / 2, 0, kW / 2, kH}},
  };
  for (const auto& c : cases) EXPECT_EQ(CorrectHelpRect(c.stored, kW, kH), c.opened) << c.stored.left;
  // Each tab shows its document; a stray tab opens About.
  for (const int32_t stray : {4, 7, -1, INT32_MIN}) EXPECT_EQ(HelpTabOrAbout(stray), 0) << stray;
  EXPECT_EQ(HelpTabOrAbout(3), 3);
  const int english[] = {IDR_HELP_ABOUT_ENGLISH, IDR_HELP_CREATE_ENGLISH, IDR_HELP_TIPS_ENGLISH, IDR_HELP_HISTORY};
  const int german[] = {IDR_HELP_ABOUT_GERMAN, IDR_HELP_CREATE_GERMAN, IDR_HELP_TIPS_GERMAN, IDR_HELP_HISTORY};
  for (int tab = 0; tab < 4; ++tab)
    EXPECT_EQ(std::pair(HelpDocumentId(tab, false), HelpDocumentId(tab, true)), std::pair(english[tab], german[tab]));
}

}  // namespace
}  // namespace tomelet
