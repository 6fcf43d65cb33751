// The rules of Find all: the whole-words rule across scripts, the hits of a chapter, the
// line listed around a hit, the status line and the window's stored place.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "view/find_all_rules.h"

namespace tomelet {
namespace {

const std::u16string kSmile = u"\U0001F600";  // one character, two units

TEST(FindAllRules, HitsAndWholeWordsAcrossScripts) {
  struct Row { std::u16string text, term; bool wholeWords; std::vector<std::size_t> hits; std::size_t most = SIZE_MAX; };
  const std::vector<Row> rows = {
      {u"aaaa", u"aa", false, {0, 2}},                        // stepping on: no overlaps
      {u"cat concat cat.", u"cat", true, {0, 11}},             // punctuation parts words
      {u"Stra\u00dfe ma\u00dfe \u00dfe", u"\u00dfe", true, {12}},  // German letters are letters
      {u"\u0436\u0443\u043a \u0436\u0443", u"\u0436\u0443", true, {4}},  // Cyrillic
      {u"\u6f22\u5b57\u3002\u5b57", u"\u5b57", true, {3}},      // ideographs join, a full stop parts
      {u"x\u00a0word\u2014word\u3001word", u"word", true, {2, 7, 12}},  // no-break space, dash, ideographic comma
      {u"e\u0301t\u00e9", u"e", true, {}},                      // a combining accent belongs to its word
      {u"1st 2 2nd", u"2", true, {4}},                          // digits are word characters
      {u"a" + kSmile + u"b " + kSmile, kSmile, true, {1, 5}},     // a symbol parts words, also as a term
      {u"\U00020000\U00020001", u"\U00020001", true, {}},        // a CJK character beyond the BMP is a letter
      {kSmile + kSmile, std::u16string(1, kSmile[1]), false, {}},  // never half of a pair
      {u"abc", u"", false, {}},
      {u"e e e e", u"e", false, {0, 2}, 2}, {u"e e", u"e", false, {}, 0},  // the first `most` only
  };
  for (const Row& row : rows)
    EXPECT_EQ(FindHits(row.text, row.term, row.wholeWords, row.most), row.hits) << row.hits.size() << " " << row.text.size();
}

TEST(FindAllRules, TheLineAroundAHitIsCutAtSpacesAndNeverInsideAPair) {
  const std::u16string words = u"one two three four five six seven eight nine ten eleven twelve thirteen";
  const std::u16string longWord(50, u'x');
  struct Row { std::u16string text; std::size_t start, length; ContextLine line; };
  const std::vector<Row> rows = {
      {u"first\rsecond hit here\rthird", 13, 3, {u"second hit here", 7, 3}},  // only the hit's paragraph
      {u"a\tb hit", 4, 3, {u"a b hit", 4, 3}},                                // tabs shown as spaces
      {words + u" HIT " + words, 72, 3,                                      // cut at spaces on both sides
       {u"...eight nine ten eleven twelve thirteen HIT one two three four five six seven eight nine ten "
        u"eleven...", 41, 3}},
      {longWord + u"HIT", 50, 3, {u"..." + std::u16string(40, u'x') + u"HIT", 43, 3}},  // one long word: cut inside it
      {std::u16string(5, u'x') + kSmile + std::u16string(39, u'y') + u"HIT", 46, 3,  // but not inside a pair
       {u"..." + std::u16string(39, u'y') + u"HIT", 42, 3}},
      {u"HIT" + std::u16string(59, u'z') + kSmile + u"z", 0, 3, {u"HIT" + std::u16string(59, u'z') + u"...", 0, 3}},
  };
  for (const Row& row : rows) EXPECT_EQ(ContextAround(row.text, row.start, row.length), row.line) << row.start;
}

TEST(FindAllRules, StatusLinesAndTheStoredPlace) {
  // searched, total, hits; passed by: too large, too deep, unreadable, the first's title; why stopped
  const auto counts = [](std::size_t searched, std::size_t total, std::size_t hits, std::size_t tooLarge,
                         std::size_t tooDeep, std::size_t unreadable, std::string first = {}, bool limit = false,
                         bool memory = false) {
    return WalkCounts{searched, total, hits, tooLarge, tooDeep, unreadable, std::move(first), limit, memory};
  };
  struct Row { WalkCounts counts; const char* english; const char* german; };
  const Row rows[] = {
      {counts(120, 1000, 37, 0, 0, 0), "Searched 120 of 1,000 chapters, 37 hits", "120 von 1.000 Kapiteln durchsucht, 37 Treffer"},
      {counts(1, 1, 1, 0, 0, 1, "One"), "Searched 1 of 1 chapter, 1 hit; 1 chapter could not be searched (the first: \"One\")",
       "1 von 1 Kapitel durchsucht, 1 Treffer; 1 Kapitel konnte nicht durchsucht werden (das erste: \xe2\x80\x9eOne\xe2\x80\x9c)"},
      {counts(1234567, 1234567, 100000, 0, 0, 3, "", true),
       "Searched 1,234,567 of 1,234,567 chapters, 100,000 hits; 3 chapters could not be searched; stopped at 100,000 hits",
       "1.234.567 von 1.234.567 Kapiteln durchsucht, 100.000 Treffer; 3 Kapitel konnten nicht durchsucht werden; "
       "angehalten bei 100.000 Treffern"},
      {counts(9, 9, 0, 2, 1, 0, "Maps", false, true),
       "Searched 9 of 9 chapters, 0 hits; 2 chapters too large to be shown, 1 chapter nested too deeply (the first: "
       "\"Maps\"); stopped: not enough memory",
       "9 von 9 Kapiteln durchsucht, 0 Treffer; 2 Kapitel zu gro\xc3\x9f zum Anzeigen, 1 Kapitel zu tief verschachtelt "
       "(das erste: \xe2\x80\x9eMaps\xe2\x80\x9c); angehalten: zu wenig Speicher"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(StatusLine(row.counts, false), row.english);
    EXPECT_EQ(StatusLine(row.counts, true), row.german);
  }
  const WindowPlace place{-8, 300, 640, 32767};
  const std::vector<std::uint8_t> bytes = PackPlace(place);
  EXPECT_EQ(UnpackPlace(bytes), place);
  EXPECT_EQ(bytes[0], 0xF8);  // little-endian
  std::vector<std::uint8_t> longer = bytes, empty = PackPlace({0, 0, 0, 5}), tooBig = PackPlace({0, 0, 5, 32768});
  longer.push_back(0);
  for (const auto& bad : {longer, empty, tooBig}) EXPECT_FALSE(UnpackPlace(bad)) << bad.size();
}

}  // namespace
}  // namespace tomelet
