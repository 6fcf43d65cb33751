// The pure text rules: UTF-8 helpers, how a source name becomes a contents row, how the
// index file is decoded and split, and the information and attachment pages byte for byte.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "base/text.h"
#include "book/attachment_page.h"
#include "book/index_file.h"
#include "book/info_page.h"
#include "book/name_rules.h"
#include "book/show_rule.h"

namespace tomelet {
namespace {

const std::string kEllipsis = "\xE2\x80\xA6", kFffd = "\xEF\xBF\xBD", kBook = "\xF0\x9F\x93\x96";
const std::string kNotListed = "<not listed>";

// The rest of the text helpers is covered by the rules that use them (names, index, pages,
// the order of the contents).
TEST(TextHelpers, MalformedUtf8BecomesReplacementCharacters) {
  const std::pair<std::string, std::string> sanitized[] = {
      {"a\x80" "b", "a" + kFffd + "b"}, {"\xC0\xAF", kFffd + kFffd}, {"\xED\xA0\x80", kFffd + kFffd + kFffd},
      {"x\xE2\x82", "x" + kFffd + kFffd}, {"\xF4\x90\x80\x80", kFffd + kFffd + kFffd + kFffd}, {kBook, kBook},
  };
  for (const auto& [in, out] : sanitized) EXPECT_EQ(SanitizeUtf8(in), out) << in;
}

TEST(NameRules, SourceNamesBecomeLevelKindAndTitle) {
  const std::pair<std::string, std::string> cases[] = {
      // Numbered names: the level is the character after the first hyphen, the title
      // starts after the next space.
      {"001 Primer.rtf", "02Primer"}, {"004-1 Sub chapter.rtf", "12Sub chapter"},
      {"012-1 Data sheet.pdf", "14Data sheet"}, {"01 Jean-Paul.rtf", "02Jean-Paul"}, {"01 Part-2 more.rtf", "22more"},
      {"02-0 Zero level.rtf", "02Zero level"}, {"02-x Letter.rtf", "02Letter"}, {"05-3 A-7 B.rtf", "32A-7 B"},
      {"1 x-2y.rtf", "32" + kEllipsis}, {"001 \xD0\x93\xD0\xBB.rtf", "02\xD0\x93\xD0\xBB"},
      // What counts as numbered.
      {" 5 Title.rtf", "025 Title"}, {"+7 Plus.rtf", "02Plus"}, {"99999999999999999999999 Huge.rtf", "02Huge"},
      {"-7 Minus.rtf", "02-7 Minus"}, {"+0 Zero.rtf", "02+0 Zero"}, {"A-2 B.rtf", "02A-2 B"},
      {"000 Preface.rtf", "02Preface"}, {"0 Intro.rtf", "02Intro"}, {"004 Self-0 test.rtf", "02Self-0 test"},
      // Continuations: one level deeper, a level-9 row stays at 9.
      {"005-1.rtf", "22" + kEllipsis}, {"006.rtf", "12" + kEllipsis}, {"010-x.rtf", "12" + kEllipsis},
      {"0003", "14" + kEllipsis}, {"4-2.png", "33" + kEllipsis}, {"010-9.rtf", "92" + kEllipsis},
      {"001\tTab.rtf", "12" + kEllipsis}, {"010-3.rtf", "42" + kEllipsis}, {"006-0.rtf", "12" + kEllipsis},
      // Title edges.
      {"1.5 Notes", "04Notes"}, {"01 .rtf", "02"}, {"01 ", "04"}, {"Data", "04Data"},
      {"archive.tar.gz", "04archive.tar"}, {".rtf", "02"}, {"", "04"}, {"images/", "04images/"},
      {"images/photo.png", "03images/photo"}, {std::string("01 a\0b.rtf", 10), std::string("02a\0b", 5)},
      // Kinds by extension, any letter case.
      {"picture.JPeG", "03picture"}, {"photo.jpg", "03photo"}, {"chapter.Rtf", "02chapter"}, {"notes.rtfx", "04notes"},
      // Reserved names.
      {"#meta.txt", "01[About...]"}, {"Cover.png", "03Cover"}, {"readme.txt", kNotListed}, {"#notes.rtf", kNotListed}, {"#INDEX.TXT", kNotListed},
      {"#META.TXT-1 x", kNotListed}, {" #notes.rtf", "02 #notes"}, {"images/#meta.txt", kNotListed},
      // Cut to 259 UTF-16 units, never inside a character.
      {"001 " + std::string(5000, 'a') + ".rtf", "02" + std::string(257, 'a')},
      {"001 " + std::string(256, 'b') + kBook + "z.rtf", "02" + std::string(256, 'b')},
      {"001 " + std::string(255, 'b') + kBook + "z.rtf", "02" + std::string(255, 'b') + kBook},
  };
  for (const auto& [name, shown] : cases) EXPECT_EQ(ContentsDisplayText(name, false).value_or(kNotListed), shown) << name;
  EXPECT_EQ(ContentsDisplayText("#META.TXT", true), "01[\xC3\x9C" "ber...]");

  using enum EntryKind;
  const std::pair<const char*, EntryKind> pages[] = {
      {"photo.jpeg", Picture}, {"photo.JPG", Picture}, {"x.PnG", Picture}, {"001 Primer.rtf", Chapter},
      {"#Meta.Txt", BookInfo}, {"readme.txt", Attachment}, {"0003", Attachment}, {"012-1 Data sheet.pdf", Attachment},
  };
  for (const auto& [name, kind] : pages) EXPECT_EQ(PageKindOf(name), kind) << name;
}

TEST(ShowRule, OnlyChaptersPackedFarBeyondTextAndPicturesOrBeyondTheControlAreRefused) {
  constexpr std::uint64_t MB = 1 << 20, floor = kAlwaysShownBytes;
  const std::tuple<std::uint64_t, std::uint64_t, ShowVerdict> cases[] = {
      {50 * MB, 50 * 1024, ShowVerdict::TooCompressed}, {floor + 100, (floor + 100) / 100 - 1, ShowVerdict::TooCompressed},
      {floor + 100, (floor + 100) / 100, ShowVerdict::Show}, {floor, 1, ShowVerdict::Show}, {3 * MB, 0, ShowVerdict::Show},
      {100 * MB, 10 * MB, ShowVerdict::Show}, {120 * MB, 60 * MB, ShowVerdict::Show},  // RTF with pictures
      {2 * 67108863ull, 67108863, ShowVerdict::Show}, {2 * 67108863ull + 1, 67108863, ShowVerdict::TooLarge},
      {0xFFFFFFFFull, 100, ShowVerdict::TooLarge}};
  for (const auto& [size, packed, verdict] : cases) EXPECT_EQ(JudgeShowing(size, packed), verdict) << size << "/" << packed;
  const std::pair<std::string, std::size_t> depths[] = {
      {"{\\rtf1 {a}{{b}}}", 3}, {"{\\rtf1 \\{\\{\\{ \\\\}", 1}, {"{\\rtf1 {\\bin3 {{{}{x}}", 2}, {"{{{\\bin", 3},
      {"{\\bin99999999999999999999 {{", 1}, {"}}}{", 1}, {std::string(kMaxRtfDepth + 9, '{'), kMaxRtfDepth + 1}};
  for (const auto& [rtf, depth] : depths) EXPECT_EQ(RtfGroupDepth(rtf), depth) << rtf;
}

TEST(IndexFile, DecodingLinesAndTokens) {
  const std::pair<std::string, std::string> decoded[] = {
      {"\xEF\xBB\xBF" "001 \xC3\xA4.rtf", "001 \xC3\xA4.rtf"},  // UTF-8 after the mark
      {"001 \xE4.rtf", "001 \xC3\xA4.rtf"},                     // ANSI without it
      {"\xC3\xA4", "\xC3\x83\xC2\xA4"}, {"\xEF\xBB\xBF" "a\xFF" "b", "a" + kFffd + "b"},
      {"\xEF\xBB", "\xC3\xAF\xC2\xBB"},  // only the whole mark counts
      {"\xFF\xFE" "1", "\xC3\xBF\xC3\xBE" "1"}, {"\xEF\xBB\xBF", ""},
  };
  for (const auto& [in, out] : decoded) EXPECT_EQ(DecodeIndexText(in), out) << in;

  using namespace std::string_view_literals;
  const std::pair<std::string_view, std::vector<std::string_view>> split[] = {
      {"a\r\nb\rc\nd", {"a", "b", "c", "d"}}, {"\r\n\r\n a \n\n\r\rb-1 x\r\n", {" a ", "b-1 x"}}, {"\n\r\n\r", {}},
      {"only", {"only"}}, {"a\0b\nc"sv, {"a\0b"sv, "c"}},
  };
  for (const auto& [in, out] : split) EXPECT_EQ(SplitIndexLines(in), out) << in;

  const std::pair<const char*, const char*> tokens[] = {
      {"001 Primer.rtf", "001"}, {"004-1 Sub.rtf", "004"}, {"12 a-b", "12"}, {"ab-c d", "ab"},
      {"0003", ""},              {"006.rtf", ""},          {"-1 x.rtf", ""}, {" 001 x.rtf", ""},
  };
  for (const auto& [line, token] : tokens) EXPECT_EQ(IndexLineToken(line), token) << line;
}

const std::string kPlain =
    R"({\rtf1\ansi\ansicpg1252\deff0{\fonttbl{\f0\fswiss\fprq2\fcharset0 Arial;}}\uc1\f0\fs20 )" "\r";
const std::string kTable =
    R"({\rtf1\ansi\ansicpg1252\deff0{\fonttbl{\f0\fswiss\fprq2\fcharset0 Arial;}}\uc1\f0\fs20)"
    R"(\trowd\cellx1552\cellx9476\pard\intbl\nowidctlparc )" "\r" R"(\b )";
const std::string kNext = "\\cell\\row\r\\b ";  // after a row with a value

std::string Info(std::string_view bytes) { return BuildInfoPage(bytes).value_or("<no page>"); }

TEST(InfoPage, TablesOfKeysAndPlainText) {
  const std::string abc = kTable + R"(A\b0\cell 1)" + kNext + R"(B\b0\cell 2)" + kNext + R"(C\b0\cell 3\cell\row})";
  const std::pair<std::string, std::string> cases[] = {
      {"Title: My book\r\nAuthor: Someone\r\nLanguage: English",
       kTable + R"(Title\b0\cell My book)" + kNext + R"(Author\b0\cell Someone)" + kNext +
           R"(Language\b0\cell English\cell\row})"},
      // Keys lose their spaces, values runs of spaces; later colons stay.
      {"Date of publication: 2001\r\nNote:   two   spaces\r\nTime: 10:30",
       kTable + R"(Dateofpublication\b0\cell 2001)" + kNext + R"(Note\b0\cell two spaces)" + kNext +
           R"(Time\b0\cell 10:30\cell\row})"},
      {"A: 1\r\n\r\nB: 2\r\n\r\n\r\nC: 3", abc},  // empty lines make no rows
      {"\r\nA: 1\r\nB: 2\r\nC: 3\r\n", abc}, {"\rA: 1\rB: 2\rC: 3", abc},
      {"first line\r\nsecond\r\nthird",
       kTable + R"(firstline\b0\cell\cell\row)" "\r" R"(\b second\b0\cell\cell\row)" "\r" R"(\b third\b0\cell\cell\row})"},
      {"A: 1\r\nloose\r\nB: 2",
       kTable + R"(A\b0\cell 1)" + kNext + R"(loose\b0\cell\cell\row)" "\r" R"(\b B\b0\cell 2\cell\row})"},
      {"\r\r", kTable + "\\b0\\cell\\cell\\row}"},
      {"{Key}: a\\b\r\nB\\: }\r\nC: {",
       kTable + R"(\{Key\}\b0\cell a\\b)" + kNext + R"(B\\\b0\cell \})" + kNext + R"(C\b0\cell \{\cell\row})"},
      // One or two lines are plain whatever their colons; so are too few key lines.
      {"Title: My book", kPlain + "Title: My book}"},
      {"Title: My book\r\nAuthor: Someone", kPlain + R"(Title: My book\par)" "\rAuthor: Someone}"},
      {"\r", kPlain + "\\par\r}"}, {"a:1\r\n\r\nb\r\nc\r\nd", kPlain + "a:1\\par\r\\par\rb\\par\rc\\par\rd}"},
      {"Title: a\nAuthor: b\nLanguage: c\n", kPlain + "Title: aAuthor: bLanguage: c}"},  // LF ends no line
      {R"(C:\books\{draft} }}{\rtf1)", kPlain + R"(C:\\books\\\{draft\} \}\}\{\\rtf1})"},
      // Characters beyond 7 bits from either encoding, unsigned, surrogates for the rest.
      {"\xEF\xBB\xBFK\xC3\xA4se", kPlain + R"(K\u228?se})"}, {"K\xE4se", kPlain + R"(K\u228?se})"},
      {"\xEF\xBB\xBF\xE4\xB8\xAD " + kBook, kPlain + R"(\u20013? \u55357?\u56534?})"},
      {"\xEF\xBB" "A", kPlain + R"(\u239?\u187?A})"}, {std::string("a\tb\x01" "c\0d\x7F", 8), kPlain + "abcd\x7F}"},
      {"\xEF\xBB\xBF" "a\xC3(\xFF\xED\xA0\x80", kPlain + R"(a\u65533?(\u65533?\u65533?\u65533?\u65533?})"},
      {"\xEF\xBB\xBF", kPlain + "}"}, {"", "<no page>"},
  };
  for (const auto& [meta, page] : cases) EXPECT_EQ(Info(meta), page) << meta;
}

TEST(InfoPage, AKeyColonMustComeEarlyAndAllButThreeLinesBeKeyLines) {
  const auto lines = [](const std::string& a, const std::string& b, const char* end) {
    return a + end + b + end + "x" + end + "y";
  };
  const std::string k30(30, 'k'), k31(31, 'k'), k32(32, 'k');
  std::string wide15;
  for (int i = 0; i < 15; ++i) wide15 += kBook;
  const std::pair<std::string, bool> cases[] = {
      {lines(k31 + ": v", "p", "\r\n"), true},  // first line: up to 31 characters before the colon
      {lines(k32 + ": v", "p", "\r\n"), false},
      {lines("p", k30 + ": v", "\r\n"), true},  // after CR LF the LF takes the first column
      {lines("p", k31 + ": v", "\r\n"), false}, {lines("p", k31 + ": v", "\r"), true},
      {lines("p", k32 + ": v", "\r"), false},
      {lines(k32 + ": v:w", "a" + k30 + ":b", "\r\n"), false},  // a late line's later colon
      {"\xEF\xBB\xBF" + lines(wide15 + "k:v", "p", "\r\n"), true},  // UTF-16 units: colon at 32
      {"\xEF\xBB\xBF" + lines(wide15 + kBook + ":v", "p", "\r\n"), false}, {"a:1\r\nb:2\r\nc:3\r\nd\r\ne\r\nf", true},
      {"a:1\r\nb:2\r\nc\r\nd\r\ne\r\nf", false},
  };
  for (const auto& [meta, table] : cases) EXPECT_EQ(Info(meta).rfind(table ? kTable : kPlain, 0), 0u) << meta;
}

TEST(AttachmentPage, SentenceLinkAndSize) {
  const auto page = [](const std::string& sentence, const std::string& link, const std::string& kb) {
    return "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\\viewkind4\\uc1\\pard"
           "\\lang1031\\f0\\fs20 " + sentence + "\\par\\par{\\field{\\*\\fldinst{HYPERLINK [BAGGAGE] }}{\\fldrslt"
           "{\\fs28\\b " + link + "\\b0\\fs20}}}\\par\\par (" + kb + " KB)}";
  };
  const std::string english = "Binary Attachemnt. To extract the file to disc please click the following link:";
  const std::string german = "Bin\\u228?r-Attachement. Zum Extrahieren der Datei bitte den folgenden Link anklicken:";
  EXPECT_EQ(BuildAttachmentPage("007 Manual.pdf", 150000, false), page(english, "Manual.pdf", "146"));
  EXPECT_EQ(BuildAttachmentPage("007 Manual.pdf", 150000, true), page(german, "Manual.pdf", "146"));
  struct Case { std::string name; std::uint64_t size; std::string link, kb; };
  const Case cases[] = {
      {"Data.bin", 1023, "Data.bin", "0"}, {"012-1 Data sheet.pdf", 1024, "Data sheet.pdf", "1"},
      {"0003", 0xFFFFFFFFull, "0003", "4194303"}, {"1 ", 0x123456789ABull, "", "1221679586"},
      {" 1 x.bin", 1, " 1 x.bin", "0"}, {"01 a\\b{c}.bin", 1, "a\\\\b\\{c\\}.bin", "0"},
      {"01 }}}\\par{\\b x.bin", 1, "\\}\\}\\}\\\\par\\{\\\\b x.bin", "0"},
      {"007 \xD0\x9A\xD0\xBD.pdf", 1, "\\u1050?\\u1085?.pdf", "0"},
      {"Book " + kBook + ".bin", 1, "Book \\u-10179?\\u-9002?.bin", "0"},  // signed 16-bit surrogates
      {std::string("01 \xE4\0\t\x7F\xEF\xBF\xBD.bin", 14), 1, "\\u-3?\\u0?\\u9?\\u127?\\u-3?.bin", "0"},
  };
  for (const Case& c : cases) EXPECT_EQ(BuildAttachmentPage(c.name, c.size, false), page(english, c.link, c.kb)) << c.name;
}

}  // namespace
}  // namespace tomelet
