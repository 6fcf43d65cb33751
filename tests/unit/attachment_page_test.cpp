#include <gtest/gtest.h>

#include <string>

#include "book/attachment_page.h"

namespace tomelet {
namespace {

const std::string kHead =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\\viewkind4\\uc1\\pard\\lang1031\\f0"
    "\\fs20 ";

std::string Page(const std::string& sentence, const std::string& link, const std::string& kb) {
  return kHead + sentence + "\\par\\par{\\field{\\*\\fldinst{HYPERLINK [BAGGAGE] }}{\\fldrslt{\\fs28\\b " + link +
         "\\b0\\fs20}}}\\par\\par (" + kb + " KB)}";
}

const std::string kEnglish = "Binary Attachemnt. To extract the file to disc please click the following link:";
const std::string kGerman = "Bin\\u228?r-Attachement. Zum Extrahieren der Datei bitte den folgenden Link anklicken:";

// The page's text between the link's "\b " and "\b0".
std::string LinkOf(const std::string& page) {
  const std::size_t start = page.find("\\fs28\\b ") + 8;
  return page.substr(start, page.find("\\b0\\fs20}}}") - start);
}

TEST(AttachmentPage, WholePageInBothLanguages) {
  EXPECT_EQ(BuildAttachmentPage("007 Manual.pdf", 150000, false), Page(kEnglish, "Manual.pdf", "146"));
  EXPECT_EQ(BuildAttachmentPage("007 Manual.pdf", 150000, true), Page(kGerman, "Manual.pdf", "146"));
}

TEST(AttachmentPage, SizeIsInWholeKilobytesRoundedDown) {
  const auto kb = [](std::uint64_t size) {
    const std::string page = BuildAttachmentPage("x.bin", size, false);
    const std::size_t open = page.rfind('(');
    return page.substr(open, page.size() - open - 1);
  };
  EXPECT_EQ(kb(0), "(0 KB)");
  EXPECT_EQ(kb(1023), "(0 KB)");
  EXPECT_EQ(kb(1024), "(1 KB)");
  EXPECT_EQ(kb(150000), "(146 KB)");
  EXPECT_EQ(kb(0xFFFFFFFFull), "(4194303 KB)");
  EXPECT_EQ(kb(0x123456789ABull), "(1221679586 KB)");
}

TEST(AttachmentPage, LinkTextDropsTheOrdinalOfNumberedNames) {
  EXPECT_EQ(AttachmentLinkText("012-1 Data sheet.pdf"), "Data sheet.pdf");
  EXPECT_EQ(AttachmentLinkText("Data.bin"), "Data.bin");
  EXPECT_EQ(AttachmentLinkText("0003"), "0003");
  EXPECT_EQ(AttachmentLinkText("1 "), "");
  EXPECT_EQ(AttachmentLinkText(" 1 x.bin"), " 1 x.bin");
  EXPECT_EQ(AttachmentLinkText(""), "");
}

TEST(AttachmentPage, LinkTextIsEscapedSoTheNameCannotBreakThePage) {
  EXPECT_EQ(LinkOf(BuildAttachmentPage("01 a\\b{c}.bin", 1, false)), "a\\\\b\\{c\\}.bin");
  // A name that tries to close the field and add its own control words stays text.
  const std::string page = BuildAttachmentPage("01 }}}\\par{\\b x.bin", 1, false);
  EXPECT_EQ(LinkOf(page), "\\}\\}\\}\\\\par\\{\\\\b x.bin");
  int depth = 0;
  for (std::size_t i = 0; i < page.size(); ++i) {
    if (page[i] == '\\') { ++i; continue; }
    if (page[i] == '{') ++depth;
    if (page[i] == '}') {
      EXPECT_GE(--depth, 0) << i;
    }
  }
  EXPECT_EQ(depth, 0);
}

TEST(AttachmentPage, CharactersOutsideAsciiBecomeUnicodeEscapes) {
  // Cyrillic "Книга": U+041A U+043D U+0438 U+0433 U+0430.
  EXPECT_EQ(LinkOf(BuildAttachmentPage("007 \xD0\x9A\xD0\xBD\xD0\xB8\xD0\xB3\xD0\xB0.pdf", 1, false)),
            "\\u1050?\\u1085?\\u1080?\\u1075?\\u1072?.pdf");
  // U+1F4D6 is the surrogate pair D83D DCD6, written as signed 16-bit values.
  EXPECT_EQ(LinkOf(BuildAttachmentPage("Book \xF0\x9F\x93\x96.bin", 1, false)), "Book \\u-10179?\\u-9002?.bin");
  EXPECT_EQ(RtfEscape("\xC3\xA4\xE2\x82\xAC\xEF\xBF\xBD"), "\\u228?\\u8364?\\u-3?");
  // Control characters, also NUL, and malformed bytes never reach the page raw.
  EXPECT_EQ(RtfEscape(std::string("a\0\t\x7F", 4)), "a\\u0?\\u9?\\u127?");
  EXPECT_EQ(RtfEscape("\xFF"), "\\u-3?");
  const std::string page = BuildAttachmentPage(std::string("01 \xE4\0\xF0.bin", 9), 1, true);
  for (char c : page) {
    EXPECT_GE(static_cast<unsigned char>(c), 0x20u);
    EXPECT_LT(static_cast<unsigned char>(c), 0x80u);
  }
}

}  // namespace
}  // namespace tomelet
