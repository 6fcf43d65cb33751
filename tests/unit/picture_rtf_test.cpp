#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "view/picture_rtf.h"

namespace tomelet {
namespace {

std::string Zeros(std::size_t digits) { return std::string(digits, '0'); }

const std::string kRtfStart = "{\\rtf1\\qc\\vertalc{\\pict\\dibitmap\\wbmwidthbytes";
const std::string kRtfEnd = "\r\n}}";

DecodedPicture Picture(std::uint32_t w, std::uint32_t h, std::uint16_t bpp, std::int64_t stride,
                       const std::vector<std::uint8_t>& pixels) {
  DecodedPicture p;
  p.width = w;
  p.height = h;
  p.bitsPerPixel = bpp;
  p.stride = stride;
  p.topRow = pixels.data();
  return p;
}

// Serialises and checks that the three entry points agree on the text and its length.
std::optional<std::string> Serialize(const DecodedPicture& p) {
  const auto text = SerializePictureRtf(p);
  const auto length = PictureRtfLength(p);
  EXPECT_EQ(text.has_value(), length.has_value());
  if (text && length) {
    EXPECT_EQ(text->size(), *length);
    std::string own(*length, '\x01');
    EXPECT_TRUE(WritePictureRtf(p, own.data(), own.size()));
    EXPECT_EQ(own, *text);
  }
  return text;
}

TEST(PictureOutputFormat, IndexedStayIndexedWideBecome32AndTheRest24) {
  struct Case { SourcePixelFormat source; std::uint16_t bpp; std::uint32_t entries; };
  const Case cases[] = {
      {SourcePixelFormat::Indexed1, 1, 2},  {SourcePixelFormat::Indexed4, 4, 16},
      {SourcePixelFormat::Indexed8, 8, 256}, {SourcePixelFormat::Rgb32, 32, 0},
      {SourcePixelFormat::Argb32, 32, 0},   {SourcePixelFormat::Pargb32, 32, 0},
      {SourcePixelFormat::Rgb48, 32, 0},    {SourcePixelFormat::Argb64, 32, 0},
      {SourcePixelFormat::Pargb64, 32, 0},  {SourcePixelFormat::Other, 24, 0},
  };
  for (const Case& c : cases) {
    const PictureOutputFormat out = ChoosePictureOutput(c.source);
    EXPECT_EQ(out.bitsPerPixel, c.bpp) << static_cast<int>(c.source);
    EXPECT_EQ(out.colourTableEntries, c.entries) << static_cast<int>(c.source);
  }
}

TEST(PictureRtf, OnePixelIn24BitColour) {
  const std::vector<std::uint8_t> pixels = {0x12, 0xAB, 0xFF, 0x00};  // blue, green, red, padding
  const auto text = Serialize(Picture(1, 1, 24, 4, pixels));
  ASSERT_TRUE(text);
  EXPECT_EQ(*text, kRtfStart + "4\\picw1\\pich1 \r\n" +
                       "28000000010000000100000001001800000000000400000000000000000000000000000000000000" +
                       "12ABFF00" + kRtfEnd);
}

TEST(PictureRtf, RowsAreWrittenBottomFirstWithTheirPadding) {
  // 3 x 2 pixels, 24-bit: 9 bytes of pixels padded to 12; padding bytes carry marks.
  const std::vector<std::uint8_t> pixels = {
      0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0xA1, 0xA2, 0xA3,   // top row
      0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0xB1, 0xB2, 0xB3};  // bottom row
  const std::string rows = "F1F2F3F4F5F6F7F8F9B1B2B3" "010203040506070809A1A2A3";
  const std::string expected = kRtfStart + "12\\picw3\\pich2 \r\n" +
                               "280000000300000002000000010018000000000018000000" + Zeros(32) + rows + kRtfEnd;
  const auto text = Serialize(Picture(3, 2, 24, 12, pixels));
  ASSERT_TRUE(text);
  EXPECT_EQ(*text, expected);

  // The same picture delivered bottom-up in memory (negative stride) gives the same text.
  const std::vector<std::uint8_t> flipped(pixels.begin() + 12, pixels.end());
  std::vector<std::uint8_t> bottomUp = flipped;
  bottomUp.insert(bottomUp.end(), pixels.begin(), pixels.begin() + 12);
  DecodedPicture upside = Picture(3, 2, 24, -12, bottomUp);
  upside.topRow = bottomUp.data() + 12;
  const auto again = Serialize(upside);
  ASSERT_TRUE(again);
  EXPECT_EQ(*again, expected);
}

TEST(PictureRtf, TwoColourPictureGetsATwoEntryTable) {
  // 3 x 2 at 1 bpp: top row pixels 1,0,1 (0xA0), bottom row 0,1,0 (0x40); stride 4.
  const std::vector<std::uint8_t> pixels = {0xA0, 0x11, 0x22, 0x33, 0x40, 0x44, 0x55, 0x66};
  DecodedPicture p = Picture(3, 2, 1, 4, pixels);
  p.palette = {0xFF000000u, 0xFFFFFFFFu};  // opaque black, opaque white
  const auto text = Serialize(p);
  ASSERT_TRUE(text);
  EXPECT_EQ(*text, kRtfStart + "4\\picw3\\pich2 \r\n" +
                       "28000000030000000200000001000100000000000800000000000000000000000000000000000000" +
                       "000000FF" "FFFFFFFF" + "40445566" "A0112233" + kRtfEnd);
}

TEST(PictureRtf, ShortPalettesAreZeroFilledAndLongOnesCut) {
  // 2 x 1 at 8 bpp with three colours: the table still has 256 entries.
  const std::vector<std::uint8_t> pixels = {0x00, 0x02, 0xEE, 0xEE};
  DecodedPicture p = Picture(2, 1, 8, 4, pixels);
  p.palette = {0x80102030u, 0xFF405060u, 0x00708090u};  // 0xAARRGGBB -> bytes BB GG RR AA
  const std::string header = "28000000020000000100000001000800000000000400000000000000000000000000000000000000";
  const auto text = Serialize(p);
  ASSERT_TRUE(text);
  EXPECT_EQ(*text, kRtfStart + "4\\picw2\\pich1 \r\n" + header + "30201080" "605040FF" "90807000" +
                       Zeros(8 * 253) + "0002EEEE" + kRtfEnd);

  // A four-bit picture whose decoder reports more than 16 colours: only 16 are written,
  // so the bitmap's table matches its bit depth.
  const std::vector<std::uint8_t> nibbles = {0x1F, 0x00, 0x00, 0x00};
  DecodedPicture q = Picture(2, 1, 4, 4, nibbles);
  for (std::uint32_t i = 0; i < 20; ++i) q.palette.push_back(0x01010101u * i);
  std::string table;
  for (int i = 0; i < 16; ++i) {
    char entry[9];
    std::snprintf(entry, sizeof entry, "%02X%02X%02X%02X", i, i, i, i);
    table += entry;
  }
  const auto four = Serialize(q);
  ASSERT_TRUE(four);
  EXPECT_EQ(*four, kRtfStart + "4\\picw2\\pich1 \r\n" +
                       "28000000020000000100000001000400000000000400000000000000000000000000000000000000" +
                       table + "1F000000" + kRtfEnd);
}

TEST(PictureRtf, ThirtyTwoBitPixelsKeepTheirFourthByte) {
  // A picture with transparency is read out as 32 bpp RGB; whatever the decoder put in
  // the fourth byte is written unchanged, and no colour table follows the header.
  const PictureOutputFormat format = ChoosePictureOutput(SourcePixelFormat::Argb32);
  const std::vector<std::uint8_t> pixels = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88,
                                            0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF, 0x00};
  DecodedPicture p = Picture(2, 2, format.bitsPerPixel, 8, pixels);
  p.palette = {0xFFFFFFFFu};  // ignored: not an indexed picture
  const auto text = Serialize(p);
  ASSERT_TRUE(text);
  EXPECT_EQ(*text, kRtfStart + "8\\picw2\\pich2 \r\n" +
                       "28000000020000000200000001002000000000001000000000000000000000000000000000000000" +
                       "99AABBCCDDEEFF00" "1122334455667788" + kRtfEnd);
}

TEST(PictureRtf, LargeValuesAreWrittenInFullDecimal) {
  // 1000 x 1 at 24 bpp: stride 3000, header fields E8 03 00 00 and B8 0B 00 00.
  std::vector<std::uint8_t> pixels(3000, 0x5A);
  const auto text = Serialize(Picture(1000, 1, 24, 3000, pixels));
  ASSERT_TRUE(text);
  const std::string head = kRtfStart + "3000\\picw1000\\pich1 \r\n" +
                           "28000000" "E8030000" "01000000" "0100" "1800" "00000000" "B80B0000" + Zeros(32);
  ASSERT_EQ(text->size(), head.size() + 6000 + kRtfEnd.size());
  EXPECT_EQ(text->substr(0, head.size()), head);
  std::string rows;
  for (int i = 0; i < 3000; ++i) rows += "5A";
  EXPECT_EQ(text->substr(head.size(), 6000), rows);
  EXPECT_EQ(text->substr(text->size() - 4), kRtfEnd);
}

TEST(PictureRtf, PicturesThatCannotBeDescribedGiveNoText) {
  const std::vector<std::uint8_t> pixels(64, 0);
  const auto refused = [](const DecodedPicture& p) {
    EXPECT_FALSE(SerializePictureRtf(p).has_value());
    EXPECT_FALSE(PictureRtfLength(p).has_value());
    char dummy[8];
    EXPECT_FALSE(WritePictureRtf(p, dummy, sizeof dummy));
  };
  // Nothing to show.
  refused(Picture(0, 1, 24, 4, pixels));
  refused(Picture(1, 0, 24, 4, pixels));
  refused(Picture(1, 1, 24, 0, pixels));
  DecodedPicture noRows = Picture(1, 1, 24, 4, pixels);
  noRows.topRow = nullptr;
  refused(noRows);
  // Bit depths a bitmap of this kind doesn't take.
  refused(Picture(1, 1, 0, 4, pixels));
  refused(Picture(1, 1, 16, 4, pixels));
  refused(Picture(1, 1, 48, 8, pixels));
  // Strides that would read past the row or shear the picture.
  refused(Picture(2, 1, 24, 4, pixels));   // 6 bytes of pixels in a 4-byte row
  refused(Picture(1, 1, 24, 3, pixels));   // not padded to 4 bytes
  refused(Picture(1, 1, 24, std::numeric_limits<std::int64_t>::min(), pixels));
  // Sizes the signed header fields can't hold.
  refused(Picture(0x80000000u, 1, 1, 0x10000000, pixels));
  refused(Picture(1, 0x80000000u, 24, 4, pixels));
  refused(Picture(0xFFFFFFFFu, 0xFFFFFFFFu, 32, 0x3FFFFFFFCll, pixels));
  // An image size beyond the header's 32-bit field: 65536 x 65536 at 24 bpp.
  refused(Picture(65536, 65536, 24, 196608, pixels));
  // Strides whose product with the height overflows 64 bits.
  refused(Picture(1, 0x7FFFFFFF, 24, 0x7FFFFFFFFFFFFFFCll, pixels));
  refused(Picture(1, 2, 24, -0x7FFFFFFFFFFFFFFCll, pixels));
}

TEST(PictureRtf, LargestDescribableImageIsMeasuredNotWrapped) {
  // 4 GiB - 4 bytes of rows fits the header; its text length must come out in full
  // (more than 8 GiB) on a 64-bit build, and be refused where a size_t can't hold it.
  const std::vector<std::uint8_t> pixels(4, 0);
  const DecodedPicture p = Picture(1, 0x3FFFFFFF, 24, 4, pixels);
  const auto length = PictureRtfLength(p);
  if (sizeof(std::size_t) >= 8) {
    ASSERT_TRUE(length);
    const std::uint64_t rows = 4ull * 0x3FFFFFFF;
    const std::string head = kRtfStart + "4\\picw1\\pich1073741823 \r\n";
    EXPECT_EQ(*length, head.size() + 2 * (40 + rows) + 4);
  } else {
    EXPECT_FALSE(length);
  }
}

TEST(PictureRtf, WritingIntoAForeignBlockNeedsTheExactSize) {
  const std::vector<std::uint8_t> pixels = {1, 2, 3, 0};
  const DecodedPicture p = Picture(1, 1, 24, 4, pixels);
  const auto length = PictureRtfLength(p);
  ASSERT_TRUE(length);
  std::string block(*length + 1, '#');
  EXPECT_FALSE(WritePictureRtf(p, block.data(), *length - 1));
  EXPECT_FALSE(WritePictureRtf(p, block.data(), *length + 1));
  EXPECT_EQ(block, std::string(*length + 1, '#'));  // nothing written on refusal
  EXPECT_FALSE(WritePictureRtf(p, nullptr, *length));
  EXPECT_TRUE(WritePictureRtf(p, block.data(), *length));
  EXPECT_EQ(block.back(), '#');  // not a byte beyond the text
}

TEST(HexWriter, EveryByteValueAtEveryLengthAndAlignment) {
  std::vector<std::uint8_t> bytes(256 + 40);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + 3);
  for (std::size_t offset = 0; offset < 9; ++offset) {
    for (std::size_t size : {0, 1, 3, 7, 8, 9, 15, 16, 17, 31, 256, 287}) {
      std::string expected;
      for (std::size_t i = 0; i < size; ++i) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02X", bytes[offset + i]);
        expected += pair;
      }
      std::string out(2 * size + 1, '#');
      WriteHexUpper(bytes.data() + offset, size, out.data());
      EXPECT_EQ(out, expected + "#") << "offset " << offset << " size " << size;
    }
  }
}

}  // namespace
}  // namespace tomelet
