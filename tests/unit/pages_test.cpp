// The book-information page and the attachment page, byte for byte.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "book/attachment_page.h"
#include "book/info_page.h"

namespace tomelet {
namespace {

const std::string kPlain =
    R"({\rtf1\ansi\ansicpg1252\deff0{\fonttbl{\f0\fswiss\fprq2\fcharset0 Arial;}}\uc1\f0\fs20 )" "\r";
const std::string kTable =
    R"({\rtf1\ansi\ansicpg1252\deff0{\fonttbl{\f0\fswiss\fprq2\fcharset0 Arial;}}\uc1\f0\fs20)"
    R"(\trowd\cellx1552\cellx9476\pard\intbl\nowidctlparc )" "\r" R"(\b )";
const std::string kNext = "\\cell\\row\r\\b ";  // after a row with a value
const std::string kBook = "\xF0\x9F\x93\x96";

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
