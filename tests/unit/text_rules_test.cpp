// The pure text rules: UTF-8 helpers and the ANSI code page, how a source name becomes a
// contents row, and how the index file is decoded and split.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/text.h"
#include "book/index_file.h"
#include "book/name_rules.h"

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
      // Continuations: one level deeper, a level-9 row stays at 9.
      {"005-1.rtf", "22" + kEllipsis}, {"006.rtf", "12" + kEllipsis}, {"010-x.rtf", "12" + kEllipsis},
      {"0003", "14" + kEllipsis}, {"4-2.png", "33" + kEllipsis}, {"010-9.rtf", "92" + kEllipsis},
      {"001\tTab.rtf", "12" + kEllipsis},
      // Title edges.
      {"1.5 Notes", "04Notes"}, {"01 .rtf", "02"}, {"01 ", "04"}, {"Data", "04Data"},
      {"archive.tar.gz", "04archive.tar"}, {".rtf", "02"}, {"", "04"}, {"images/", "04images/"},
      {"images/photo.png", "03images/photo"}, {std::string("01 a\0b.rtf", 10), std::string("02a\0b", 5)},
      // Kinds by extension, any letter case.
      {"picture.JPeG", "03picture"}, {"photo.jpg", "03photo"}, {"chapter.Rtf", "02chapter"}, {"notes.rtfx", "04notes"},
      // Reserved names.
      {"#meta.txt", "01[About...]"}, {"readme.txt", kNotListed}, {"#notes.rtf", kNotListed}, {"#INDEX.TXT", kNotListed},
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

}  // namespace
}  // namespace tomelet
