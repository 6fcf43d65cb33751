#include <gtest/gtest.h>

#include "base/text.h"

namespace tomelet {
namespace {

TEST(Utf8, MalformedSequencesBecomeReplacementCharacters) {
  // Lone continuation byte, overlong '/', an encoded surrogate, a truncated sequence.
  EXPECT_EQ(SanitizeUtf8("a\x80" "b"), "a\xEF\xBF\xBD" "b");
  EXPECT_EQ(SanitizeUtf8("\xC0\xAF"), "\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(SanitizeUtf8("\xED\xA0\x80"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(SanitizeUtf8("x\xE2\x82"), "x\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(SanitizeUtf8("\xF0\x9F\x93\x96"), "\xF0\x9F\x93\x96");  // U+1F4D6 stays
}

TEST(Utf8, Utf16LengthAndTruncationNeverSplitACharacter) {
  const std::string book = "\xF0\x9F\x93\x96";  // one character, two UTF-16 units
  EXPECT_EQ(Utf16Length("ab" + book), 4u);
  EXPECT_EQ(TruncateUtf16("ab" + book, 3), "ab");
  EXPECT_EQ(TruncateUtf16("ab" + book, 4), "ab" + book);
  EXPECT_EQ(TruncateUtf16("\xC3\xA4\xC3\xB6", 1), "\xC3\xA4");
}

TEST(AnsiCodePage, RoundTripsWindows1252AndMarksMissingCharacters) {
  EXPECT_EQ(AnsiToUtf8("\xE4\x80"), "\xC3\xA4\xE2\x82\xAC");  // ä €
  bool lossless = false;
  EXPECT_EQ(Utf8ToAnsi("\xC3\xA4\xE2\x82\xAC", &lossless), "\xE4\x80");
  EXPECT_TRUE(lossless);
  EXPECT_EQ(Utf8ToAnsi("a\xD0\x96" "b", &lossless), "a?b");  // Cyrillic Zhe is not in 1252
  EXPECT_FALSE(lossless);
}

TEST(Collation, IgnoresCaseAndOrdersDigitsBeforeLetters) {
  EXPECT_EQ(CollationKey("Chapter"), CollationKey("chapter"));
  EXPECT_LT(CollationKey("002 b"), CollationKey("010 a"));
  EXPECT_LT(CollationKey("alpha"), CollationKey("Beta"));
  EXPECT_LT(CollationKey("Beta"), CollationKey("gamma"));
}

}  // namespace
}  // namespace tomelet
