#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "book/info_page.h"

namespace tomelet {
namespace {

// The two page openings, as the page format gives them.
const std::string kPlain =
    R"({\rtf1\ansi\ansicpg1252\deff0{\fonttbl{\f0\fswiss\fprq2\fcharset0 Arial;}}\uc1\f0\fs20 )" "\r";
const std::string kTable =
    R"({\rtf1\ansi\ansicpg1252\deff0{\fonttbl{\f0\fswiss\fprq2\fcharset0 Arial;}}\uc1\f0\fs20)"
    R"(\trowd\cellx1552\cellx9476\pard\intbl\nowidctlparc )" "\r" R"(\b )";
const std::string kNextRow = "\\cell\\row\r\\b ";  // after a row with a value

std::string Page(std::string_view bytes) {
  const auto page = BuildInfoPage(bytes);
  EXPECT_TRUE(page.has_value());
  return page.value_or("");
}

bool IsTable(std::string_view bytes) { return Page(bytes).rfind(kTable, 0) == 0; }
bool IsPlain(std::string_view bytes) { return Page(bytes).rfind(kPlain, 0) == 0; }

// The page's structure can't be broken by its text: every brace that isn't escaped is
// balanced, and only printable 7-bit characters and CR appear.
void ExpectWellFormed(const std::string& page) {
  int depth = 0;
  for (std::size_t i = 0; i < page.size(); ++i) {
    const auto c = static_cast<unsigned char>(page[i]);
    ASSERT_TRUE(c == '\r' || (c >= 32 && c < 128)) << "byte " << int{c} << " at " << i;
    if (c == '\\') {
      ++i;
      continue;
    }
    if (c == '{') ++depth;
    if (c == '}') {
      ASSERT_GT(depth, 0) << "closing brace at " << i;
      if (--depth == 0) {
        ASSERT_EQ(i + 1, page.size()) << "page ends early at " << i;
      }
    }
  }
  EXPECT_EQ(depth, 0);
}

TEST(InfoPageTable, KeysInBoldValuesBesideThem) {
  EXPECT_EQ(Page("Title: My book\r\nAuthor: Someone\r\nLanguage: English"),
            kTable + R"(Title\b0\cell My book)" + kNextRow + R"(Author\b0\cell Someone)" + kNextRow +
                R"(Language\b0\cell English\cell\row})");
}

TEST(InfoPageTable, KeysLoseSpacesValuesLoseRunsAndLaterColonsStay) {
  EXPECT_EQ(Page("Date of publication: 2001\r\nNote:   two   spaces\r\nTime: 10:30"),
            kTable + R"(Dateofpublication\b0\cell 2001)" + kNextRow + R"(Note\b0\cell two spaces)" +
                kNextRow + R"(Time\b0\cell 10:30\cell\row})");
}

TEST(InfoPageTable, EmptyLinesMakeNoRows) {
  const std::string expected =
      kTable + R"(A\b0\cell 1)" + kNextRow + R"(B\b0\cell 2)" + kNextRow + R"(C\b0\cell 3\cell\row})";
  EXPECT_EQ(Page("A: 1\r\n\r\nB: 2\r\n\r\n\r\nC: 3"), expected);
  // Not at the start or the end either.
  EXPECT_EQ(Page("\r\nA: 1\r\nB: 2\r\nC: 3\r\n"), expected);
  // A bare CR start: still no empty first row.
  EXPECT_EQ(Page("\rA: 1\rB: 2\rC: 3"), expected);
}

TEST(InfoPageTable, ThreeLinesWithoutColonAreBoldFirstCells) {
  // Each line is a key with nothing beside it; keys hold no spaces.
  EXPECT_EQ(Page("first line\r\nsecond line\r\nthird"),
            kTable + R"(firstline\b0\cell\cell\row)" "\r" R"(\b secondline\b0\cell\cell\row)" "\r"
                     R"(\b third\b0\cell\cell\row})");
  // Mixed rows: a key without a value between two pairs.
  EXPECT_EQ(Page("A: 1\r\nloose\r\nB: 2"),
            kTable + R"(A\b0\cell 1)" + kNextRow + R"(loose\b0\cell\cell\row)" "\r" R"(\b B\b0\cell 2\cell\row})");
}

TEST(InfoPageLayout, OneOrTwoLinesArePlainWhateverTheirColons) {
  EXPECT_EQ(Page("Title: My book"), kPlain + "Title: My book}");
  EXPECT_EQ(Page("Title: My book\r\nAuthor: Someone"), kPlain + R"(Title: My book\par)" "\rAuthor: Someone}");
  EXPECT_EQ(Page("\r"), kPlain + "\\par\r}");  // a lone CR is two empty lines
}

TEST(InfoPageLayout, AKeyColonMustComeEarlyInItsLine) {
  // Four lines, one of them a candidate key line: a table only when that line counts.
  const auto fourLines = [](const std::string& line1, const std::string& line2, const char* end) {
    return line1 + end + line2 + end + "x" + end + "y";
  };
  const std::string k30(30, 'k'), k31(31, 'k'), k32(32, 'k');
  // First line: up to 31 characters before the colon.
  EXPECT_TRUE(IsTable(fourLines(k31 + ": v", "plain", "\r\n")));
  EXPECT_TRUE(IsPlain(fourLines(k32 + ": v", "plain", "\r\n")));
  // After CR LF the LF takes the first column: up to 30.
  EXPECT_TRUE(IsTable(fourLines("plain", k30 + ": v", "\r\n")));
  EXPECT_TRUE(IsPlain(fourLines("plain", k31 + ": v", "\r\n")));
  // After a bare CR: up to 31 again.
  EXPECT_TRUE(IsTable(fourLines("plain", k31 + ": v", "\r")));
  EXPECT_TRUE(IsPlain(fourLines("plain", k32 + ": v", "\r")));
  // A later colon of a line whose first one came too late doesn't count either.
  EXPECT_TRUE(IsPlain(fourLines(k32 + ": v:w", "a" + k30 + ":b", "\r\n")));
  // Characters are counted as UTF-16 units: a character outside the basic plane is two.
  std::string wide15, wide16;
  for (int i = 0; i < 15; ++i) wide15 += "\xF0\x9F\x93\x96";
  wide16 = wide15 + "\xF0\x9F\x93\x96";
  EXPECT_TRUE(IsTable("\xEF\xBB\xBF" + fourLines(wide15 + "k:v", "p", "\r\n")));   // colon at 32
  EXPECT_TRUE(IsPlain("\xEF\xBB\xBF" + fourLines(wide16 + ":v", "p", "\r\n")));    // colon at 33
}

TEST(InfoPageLayout, AllButThreeLinesMustBeKeyLines) {
  // 6 lines: 3 key lines make a table, 2 don't.
  EXPECT_TRUE(IsTable("a:1\r\nb:2\r\nc:3\r\nd\r\ne\r\nf"));
  EXPECT_TRUE(IsPlain("a:1\r\nb:2\r\nc\r\nd\r\ne\r\nf"));
  // In the plain layout every CR is a paragraph, empty lines included.
  EXPECT_EQ(Page("a:1\r\n\r\nb\r\nc\r\nd"),
            kPlain + "a:1\\par\r\\par\rb\\par\rc\\par\rd}");
}

TEST(InfoPageLayout, LineFeedsAloneDoNotEndLines) {
  EXPECT_EQ(Page("Title: a\nAuthor: b\nLanguage: c\n"), kPlain + "Title: aAuthor: bLanguage: c}");
}

TEST(InfoPageCharacters, NonAsciiBecomesUnicodeEscapesFromEitherEncoding) {
  EXPECT_EQ(Page("\xEF\xBB\xBFK\xC3\xA4se"), kPlain + R"(K\u228?se})");
  EXPECT_EQ(Page("K\xE4se"), kPlain + R"(K\u228?se})");  // ANSI code page
  // Code units above 32767 are written unsigned; characters outside the basic plane as
  // their two surrogates; a byte-order mark's bytes in an ANSI file are just characters.
  EXPECT_EQ(Page("\xEF\xBB\xBF\xE4\xB8\xAD \xF0\x9F\x93\x96"), kPlain + R"(\u20013? \u55357?\u56534?})");
  EXPECT_EQ(Page("\xEF\xBB" "A"), kPlain + R"(\u239?\u187?A})");
  // Control characters other than CR vanish; DEL is 7-bit and stays.
  EXPECT_EQ(Page(std::string("a\tb\x01" "c\0d\x7F", 8)), kPlain + "abcd\x7F}");
}

TEST(InfoPageCharacters, RtfSpecialCharactersAreEscaped) {
  EXPECT_EQ(Page(R"(C:\books\{draft} }}{\rtf1 \par)"),
            kPlain + R"(C:\\books\\\{draft\} \}\}\{\\rtf1 \\par})");
  EXPECT_EQ(Page("{Key}: a\\b\r\nB\\: }\r\nC: {"),
            kTable + R"(\{Key\}\b0\cell a\\b)" + kNextRow + R"(B\\\b0\cell \})" + kNextRow +
                R"(C\b0\cell \{\cell\row})");
}

TEST(InfoPageInput, EmptyGivesNoPageAndAMarkAloneAnEmptyOne) {
  EXPECT_FALSE(BuildInfoPage("").has_value());
  EXPECT_EQ(Page("\xEF\xBB\xBF"), kPlain + "}");
}

TEST(InfoPageInput, InvalidUtf8BecomesReplacementCharacters) {
  EXPECT_EQ(Page("\xEF\xBB\xBF" "a\xC3(\xFF\xED\xA0\x80"),
            kPlain + R"(a\u65533?(\u65533?\u65533?\u65533?\u65533?})");
  // Each byte of a stray run may grow to eight bytes of page: no limit derived from the
  // input size may cut it short.
  const std::string stray(100000, '\x80');
  const std::string page = Page("\xEF\xBB\xBF" + stray);
  ASSERT_EQ(page.size(), kPlain.size() + 100000 * 8 + 1);
  EXPECT_EQ(page.substr(kPlain.size(), 16), R"(\u65533?\u65533?)");
}

TEST(InfoPageInput, BinaryGarbageStaysInsideThePage) {
  std::uint32_t seed = 12345;
  const auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return static_cast<char>(seed >> 23);
  };
  for (int round = 0; round < 20; ++round) {
    std::string bytes(2000 + round * 97, '\0');
    for (char& b : bytes) b = next();
    if (round % 2) bytes.insert(0, "\xEF\xBB\xBF");
    // Some rounds rich in the characters the layouts react to.
    if (round % 3 == 0)
      for (std::size_t i = 0; i < bytes.size(); i += 5) bytes[i] = "\r:{}\\ \n"[i % 7];
    ExpectWellFormed(Page(bytes));
  }
}

TEST(InfoPageInput, ManyColonsAndManyLines) {
  // One long line of colons: plain, all of them kept.
  EXPECT_EQ(Page(std::string(5000, ':')), kPlain + std::string(5000, ':') + "}");
  // Thousands of lines of only a colon: a table of rows with empty keys and values.
  std::string lines, expected = kTable;
  for (int i = 0; i < 3000; ++i) {
    lines += i ? "\r\n:" : ":";
    expected += i ? "\\cell\\row\r\\b \\b0\\cell " : "\\b0\\cell ";
  }
  expected += "\\cell\\row}";
  EXPECT_EQ(Page(lines), expected);
}

TEST(InfoPageInput, MegabytesAreHandledInOnePass) {
  // 8 MB of key lines: a table whose size follows from the line count.
  const std::string line = "Key: some value\r\n";
  const std::size_t count = 8 * 1024 * 1024 / line.size();
  std::string text;
  text.reserve(line.size() * count);
  for (std::size_t i = 0; i < count; ++i) text += line;
  const std::string page = Page(text);
  const std::string row = R"(Key\b0\cell some value)";
  EXPECT_EQ(page.size(), kTable.size() + count * row.size() + (count - 1) * kNextRow.size() + 10);
  EXPECT_EQ(page.substr(page.size() - 10 - row.size()), row + "\\cell\\row}");

  // 8 MB on one line with a colon in every column: plain, every byte kept.
  const std::string colons(8 * 1024 * 1024, ':');
  EXPECT_EQ(Page(colons).size(), kPlain.size() + colons.size() + 1);

  // 8 MB of line ends only: the plain layout's paragraphs.
  const std::string crs(8 * 1024 * 1024, '\r');
  EXPECT_EQ(Page("\r\r"), kTable + "\\b0\\cell\\cell\\row}");  // three lines: a table, one empty row
  const std::string empties = Page(crs);  // lines = 8M + 1, no key lines: plain
  EXPECT_EQ(empties.size(), kPlain.size() + crs.size() * 5 + 1);
}

}  // namespace
}  // namespace tomelet
