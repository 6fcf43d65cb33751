#include <gtest/gtest.h>

#include <string>

#include "base/text.h"
#include "book/name_rules.h"

namespace tomelet {
namespace {

const std::string kEllipsis = "\xE2\x80\xA6";

std::string Shown(std::string_view name, bool german = false) {
  return ContentsDisplayText(name, german).value_or("<not listed>");
}

TEST(NameRules, NumberedNamesGiveLevelAndTitle) {
  EXPECT_EQ(Shown("001 Primer.rtf"), "02Primer");
  EXPECT_EQ(Shown("004-1 Sub chapter at level 1.rtf"), "12Sub chapter at level 1");
  EXPECT_EQ(Shown("012-1 Data sheet.pdf"), "14Data sheet");
  EXPECT_EQ(Shown("007 Manual.pdf"), "04Manual");
  // The level is the one character after the first hyphen, wherever that hyphen is.
  EXPECT_EQ(Shown("01 Jean-Paul.rtf"), "02Jean-Paul");
  EXPECT_EQ(Shown("01 Part-2 more.rtf"), "22more");
  EXPECT_EQ(Shown("02-0 Zero level.rtf"), "02Zero level");
  EXPECT_EQ(Shown("02-x Letter.rtf"), "02Letter");
  EXPECT_EQ(Shown("05-3 A-7 B.rtf"), "32A-7 B");
  // A level digit and no space after it: the title would start at the first character,
  // which makes the row a continuation although the name holds a space before the hyphen.
  EXPECT_EQ(Shown("1 x-2y.rtf"), "32" + kEllipsis);
  // Non-ASCII titles pass through whole.
  EXPECT_EQ(Shown("001 \xD0\x93\xD0\xBB\xD0\xB0\xD0\xB2\xD0\xB0.rtf"), "02\xD0\x93\xD0\xBB\xD0\xB0\xD0\xB2\xD0\xB0");
}

TEST(NameRules, WhatCountsAsNumbered) {
  // Leading white space and a plus sign are skipped by the number; the title starts
  // after the first space of the whole name.
  EXPECT_EQ(Shown(" 5 Title.rtf"), "025 Title");
  EXPECT_EQ(Shown("+7 Plus.rtf"), "02Plus");
  EXPECT_EQ(Shown("99999999999999999999999 Huge.rtf"), "02Huge");
  // Not numbered: a negative number, a number that is 0 without a leading "0", letters.
  EXPECT_EQ(Shown("-7 Minus.rtf"), "02-7 Minus");
  EXPECT_EQ(Shown("+0 Zero.rtf"), "02+0 Zero");
  EXPECT_EQ(Shown("A-2 B.rtf"), "02A-2 B");
  EXPECT_EQ(Shown("Cover.png"), "03Cover");
}

TEST(NameRules, ContinuationsAreShownOneLevelDeeper) {
  EXPECT_EQ(Shown("005-1.rtf"), "22" + kEllipsis);
  EXPECT_EQ(Shown("006.rtf"), "12" + kEllipsis);
  EXPECT_EQ(Shown("010-3.rtf"), "42" + kEllipsis);
  EXPECT_EQ(Shown("010-x.rtf"), "12" + kEllipsis);
  EXPECT_EQ(Shown("0003"), "14" + kEllipsis);  // numbered, no space, extension '0003': an attachment
  EXPECT_EQ(Shown("4-2.png"), "33" + kEllipsis);
  // The shown level is one digit: a continuation of a level-9 row stays at level 9
  // instead of spilling into the kind code.
  EXPECT_EQ(Shown("010-9.rtf"), "92" + kEllipsis);
  EXPECT_EQ(Shown("010-9.bin"), "94" + kEllipsis);
}

TEST(NameRules, TitleEdges) {
  EXPECT_EQ(Shown("1.5 Notes"), "04Notes");  // a "." before the title: the title runs to the end
  EXPECT_EQ(Shown("01 .rtf"), "02");         // nothing between the space and the "."
  EXPECT_EQ(Shown("01 "), "04");             // the title would start beyond the end
  EXPECT_EQ(Shown("1.5 "), "04");
  EXPECT_EQ(Shown("Data"), "04Data");  // no "." and not numbered: the whole name, an attachment
  EXPECT_EQ(Shown("Data.bin"), "04Data");
  EXPECT_EQ(Shown("archive.tar.gz"), "04archive.tar");
  EXPECT_EQ(Shown(".rtf"), "02");
  EXPECT_EQ(Shown(""), "04");
  // Directory entries are read like any other name.
  EXPECT_EQ(Shown("images/"), "04images/");
  EXPECT_EQ(Shown("images/photo.png"), "03images/photo");
}

TEST(NameRules, KindsByExtension) {
  EXPECT_EQ(Shown("picture.JPeG"), "03picture");
  EXPECT_EQ(Shown("photo.jpg"), "03photo");
  EXPECT_EQ(Shown("chapter.Rtf"), "02chapter");
  EXPECT_EQ(Shown("notes.rtfx"), "04notes");
  EXPECT_EQ(KindOfName("x.PnG"), EntryKind::Picture);
  EXPECT_EQ(KindOfName("x.TxT"), EntryKind::PlainText);
  EXPECT_EQ(KindOfName("0003"), EntryKind::Attachment);
  EXPECT_EQ(ExtensionOf("a.b.Rtf"), "Rtf");
  EXPECT_EQ(ExtensionOf("noext"), "noext");
  EXPECT_EQ(ExtensionOf("dot."), "");

  // The page a loaded row shows.
  EXPECT_EQ(PageKindOf("photo.jpeg"), EntryKind::Picture);
  EXPECT_EQ(PageKindOf("photo.JPG"), EntryKind::Picture);
  EXPECT_EQ(PageKindOf("012-1 Data sheet.pdf"), EntryKind::Attachment);
  EXPECT_EQ(PageKindOf("001 Primer.rtf"), EntryKind::Chapter);
  EXPECT_EQ(PageKindOf("#Meta.Txt"), EntryKind::BookInfo);
  EXPECT_EQ(PageKindOf("readme.txt"), EntryKind::Attachment);
}

TEST(NameRules, ReservedNames) {
  EXPECT_EQ(Shown("#meta.txt"), "01[About...]");
  EXPECT_EQ(Shown("#META.TXT", true), "01[\xC3\x9C" "ber...]");
  EXPECT_EQ(Shown("readme.txt"), "<not listed>");
  EXPECT_EQ(Shown("001 Notes.TXT"), "<not listed>");
  EXPECT_EQ(Shown("#notes.rtf"), "<not listed>");
  EXPECT_EQ(Shown("#INDEX.TXT"), "<not listed>");
  EXPECT_EQ(Shown("#META.TXT-1 x"), "<not listed>");  // an index line never lists the information file
  EXPECT_EQ(Shown(" #notes.rtf"), "02 #notes");       // only a leading "#" is reserved
  EXPECT_EQ(Shown("images/#meta.txt"), "<not listed>");  // a TXT name
}

TEST(NameRules, DisplayTextIsCutTo259Utf16UnitsWithoutSplittingACharacter) {
  const std::string longTitle(5000, 'a');
  const std::string text = Shown("001 " + longTitle + ".rtf");
  EXPECT_EQ(text.size(), 259u);
  EXPECT_EQ(text.substr(0, 3), "02a");

  // 256 letters then a character of two UTF-16 units: 2 + 256 + 2 > 259, so it is left out.
  const std::string emoji = "\xF0\x9F\x93\x96";
  const std::string cut = Shown("001 " + std::string(256, 'b') + emoji + "z.rtf");
  EXPECT_EQ(cut, "02" + std::string(256, 'b'));
  const std::string fits = Shown("001 " + std::string(255, 'b') + emoji + "z.rtf");
  EXPECT_EQ(fits, "02" + std::string(255, 'b') + emoji);
  EXPECT_EQ(Utf16Length(fits), 259u);
}

TEST(NameRules, ControlCharactersAndMalformedBytesNeverBreakTheRules) {
  EXPECT_EQ(Shown("001\tTab.rtf"), "12" + kEllipsis);  // a tab is not a space
  EXPECT_EQ(Shown(std::string("01 a\0b.rtf", 10)), std::string("02a\0b", 5));
  const std::optional<std::string> odd = ContentsDisplayText("\xFF\xFE-9 \x80.rtf", false);
  ASSERT_TRUE(odd.has_value());
  EXPECT_EQ(odd->substr(0, 2), "02");
}

}  // namespace
}  // namespace tomelet
