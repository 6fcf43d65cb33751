#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "book/index_file.h"

namespace tomelet {
namespace {

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> out;
  for (std::string_view line : SplitIndexLines(text)) out.emplace_back(line);
  return out;
}

TEST(IndexFile, DecodesUtf8AfterTheByteOrderMarkAndTheAnsiCodePageOtherwise) {
  EXPECT_EQ(DecodeIndexText("\xEF\xBB\xBF" "001 \xC3\xA4.rtf"), "001 \xC3\xA4.rtf");
  EXPECT_EQ(DecodeIndexText("001 \xE4.rtf"), "001 \xC3\xA4.rtf");  // 0xE4 is 'ä' in Windows-1252
  // UTF-8 without the mark is taken as ANSI bytes.
  EXPECT_EQ(DecodeIndexText("\xC3\xA4"), "\xC3\x83\xC2\xA4");
  // Malformed UTF-8 after the mark becomes U+FFFD, so the text is always valid UTF-8.
  EXPECT_EQ(DecodeIndexText("\xEF\xBB\xBF" "a\xFF" "b"), "a\xEF\xBF\xBD" "b");
  // Only the full three-byte mark counts; a UTF-16 mark is not recognised.
  EXPECT_EQ(DecodeIndexText("\xEF\xBB"), "\xC3\xAF\xC2\xBB");
  EXPECT_EQ(DecodeIndexText("\xFF\xFE" "1"), "\xC3\xBF\xC3\xBE" "1");
  EXPECT_EQ(DecodeIndexText("\xEF\xBB\xBF"), "");
  EXPECT_EQ(DecodeIndexText(""), "");
}

TEST(IndexFile, EveryCrAndLfEndsALineAndEmptyLinesAreDropped) {
  EXPECT_EQ(Lines("a\r\nb\rc\nd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(Lines("\r\n\r\n a \n\n\r\rb-1 x\r\n"), (std::vector<std::string>{" a ", "b-1 x"}));
  EXPECT_EQ(Lines("\n\r\n\r"), std::vector<std::string>{});
  EXPECT_EQ(Lines(""), std::vector<std::string>{});
  EXPECT_EQ(Lines("only"), std::vector<std::string>{"only"});
  EXPECT_EQ(Lines(std::string("a\0b\nc", 5)), (std::vector<std::string>{std::string("a\0b", 3), "c"}));
}

TEST(IndexFile, LinesPointIntoTheDecodedText) {
  const std::string text = "001 A.rtf\r\n002 B.rtf";
  const std::vector<std::string_view> lines = SplitIndexLines(text);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].data(), text.data());
  EXPECT_EQ(lines[1].data(), text.data() + 11);
}

TEST(IndexFile, TokenIsTheTextBeforeTheFirstHyphenOrSpace) {
  EXPECT_EQ(IndexLineToken("001 Primer.rtf"), "001");
  EXPECT_EQ(IndexLineToken("004-1 Sub chapter.rtf"), "004");
  EXPECT_EQ(IndexLineToken("006-0.rtf"), "006");
  EXPECT_EQ(IndexLineToken("12 a-b"), "12");
  EXPECT_EQ(IndexLineToken("ab-c d"), "ab");
  // Neither character, or one of them first: no token.
  EXPECT_EQ(IndexLineToken("0003"), "");
  EXPECT_EQ(IndexLineToken("006.rtf"), "");
  EXPECT_EQ(IndexLineToken("-1 x.rtf"), "");
  EXPECT_EQ(IndexLineToken(" 001 x.rtf"), "");
  EXPECT_EQ(IndexLineToken(""), "");
}

TEST(IndexFile, MegabytesWithoutLineEndsOrOfOnlyLineEndsAreHandledInOnePass) {
  const std::string oneLine(8u << 20, '7');
  const std::vector<std::string_view> lines = SplitIndexLines(oneLine);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].size(), oneLine.size());
  EXPECT_EQ(IndexLineToken(lines[0]), "");

  EXPECT_TRUE(SplitIndexLines(std::string(8u << 20, '\n')).empty());

  std::string many;
  for (int i = 0; i < 1 << 20; ++i) many += "1-\r\n";
  const std::vector<std::string_view> short_lines = SplitIndexLines(many);
  ASSERT_EQ(short_lines.size(), 1u << 20);
  EXPECT_EQ(IndexLineToken(short_lines.back()), "1");

  // A long line of ANSI bytes decodes to twice its size and still splits once.
  const std::string decoded = DecodeIndexText(std::string(4u << 20, '\xE4'));
  EXPECT_EQ(decoded.size(), 8u << 20);
  EXPECT_EQ(SplitIndexLines(decoded).size(), 1u);
}

}  // namespace
}  // namespace tomelet
