// Decoded pictures written as RTF pages: header, colour table, rows, refusals.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "view/picture_rtf.h"

namespace tomelet {
namespace {

const std::string kStart = "{\\rtf1\\qc\\vertalc{\\pict\\dibitmap\\wbmwidthbytes", kEnd = "\r\n}}";
const std::string kTail = std::string(32, '0');  // the header's last 16 bytes

DecodedPicture Picture(std::uint32_t w, std::uint32_t h, std::uint16_t bpp, std::int64_t stride,
                       const std::vector<std::uint8_t>& pixels, std::vector<std::uint32_t> palette = {}) {
  return {w, h, bpp, stride, pixels.data(), std::move(palette)};
}

std::string Hex(const std::vector<std::uint8_t>& bytes) {
  std::string hex;
  for (std::uint8_t b : bytes) hex += {"0123456789ABCDEF"[b >> 4], "0123456789ABCDEF"[b & 15]};
  return hex;
}

// The text, checked to be the same through all three entry points.
std::optional<std::string> Serialize(const DecodedPicture& p) {
  const auto text = SerializePictureRtf(p);
  const auto length = PictureRtfLength(p);
  EXPECT_EQ(text.has_value(), length.has_value());
  if (text && length) {
    std::string own(*length + 1, '\x01');
    EXPECT_FALSE(WritePictureRtf(p, own.data(), own.size()));  // only a block of the exact size
    own.pop_back();
    EXPECT_TRUE(WritePictureRtf(p, own.data(), own.size()));
    EXPECT_EQ(own, *text);
  }
  return text;
}

TEST(PictureRtf, BitmapsOfEveryDepth) {
  // 3 x 2 at 24 bpp: 9 bytes of pixels padded to 12; the padding delivered and the bits after
  // the last pixel are marked and written as zeros.
  const std::vector<std::uint8_t> rgb = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0xA1, 0xA2, 0xA3,
                                         0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0xB1, 0xB2, 0xB3};
  std::vector<std::uint8_t> bottomUp(rgb.begin() + 12, rgb.end());
  bottomUp.insert(bottomUp.end(), rgb.begin(), rgb.begin() + 12);
  DecodedPicture upside = Picture(3, 2, 24, -12, bottomUp);
  upside.topRow = bottomUp.data() + 12;
  const std::string rgbText = kStart + "12\\picw3\\pich2 \r\n280000000300000002000000010018000000000018000000" + kTail +
                              "F1F2F3F4F5F6F7F8F9000000" "010203040506070809000000" + kEnd;
  const std::vector<std::uint8_t> bits = {0xAF, 0x11, 0x22, 0x33, 0x40, 0x44, 0x55, 0x66};
  const std::vector<std::uint8_t> bytes8 = {0x00, 0x02, 0xEE, 0xEE}, nibbles = {0x1F, 0x2E, 0x77, 0x77};
  std::vector<std::uint32_t> twenty;
  std::string sixteen;
  for (std::uint32_t i = 0; i < 20; ++i) twenty.push_back(0x01010101u * i);
  for (std::uint8_t i = 0; i < 16; ++i) sixteen += Hex({i, i, i, i});
  const std::vector<std::uint8_t> wide = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88,
                                          0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF, 0x00};
  const std::vector<std::uint8_t> row1000(3000, 0x5A);
  const std::pair<DecodedPicture, std::string> cases[] = {
      {Picture(3, 2, 24, 12, rgb), rgbText},
      {upside, rgbText},  // rows bottom-up in memory: the same text
      {Picture(3, 2, 1, 4, bits, {0xFF000000u, 0xFFFFFFFFu}),
       kStart + "4\\picw3\\pich2 \r\n280000000300000002000000010001000000000008000000" + kTail + "000000FFFFFFFFFF" +
           "40000000A0000000" + kEnd},
      {Picture(2, 1, 8, 4, bytes8, {0x80102030u, 0xFF405060u, 0x00708090u}),  // a short table is zero-filled
       kStart + "4\\picw2\\pich1 \r\n280000000200000001000000010008000000000004000000" + kTail +
           "30201080605040FF90807000" + std::string(8 * 253, '0') + "00020000" + kEnd},
      {Picture(3, 1, 4, 4, nibbles, twenty),  // a long one is cut to the depth's 16 entries
       kStart + "4\\picw3\\pich1 \r\n280000000300000001000000010004000000000004000000" + kTail + sixteen + "1F200000" +
           kEnd},
      {Picture(2, 2, 32, 8, wide, {0xFFFFFFFFu}),  // no table; the fourth byte as delivered
       kStart + "8\\picw2\\pich2 \r\n280000000200000002000000010020000000000010000000" + kTail +
           "99AABBCCDDEEFF001122334455667788" + kEnd},
      {Picture(1000, 1, 24, 3000, row1000),
       kStart + "3000\\picw1000\\pich1 \r\n28000000E8030000010000000100180000000000B80B0000" + kTail +
           Hex(row1000) + kEnd},
  };
  for (const auto& [picture, text] : cases) EXPECT_EQ(Serialize(picture).value_or("<none>"), text);

  // Indexed pictures keep their depth and table; 32 bits and wider become 32, the rest 24.
  using enum SourcePixelFormat;
  const std::tuple<SourcePixelFormat, int, unsigned> formats[] = {
      {Indexed1, 1, 2}, {Indexed4, 4, 16}, {Indexed8, 8, 256}, {Rgb32, 32, 0}, {Argb32, 32, 0}, {Pargb32, 32, 0},
      {Rgb48, 32, 0}, {Argb64, 32, 0}, {Pargb64, 32, 0}, {Other, 24, 0}};
  for (const auto& [source, bpp, entries] : formats)
    EXPECT_EQ(std::pair(ChoosePictureOutput(source).bitsPerPixel + 0, ChoosePictureOutput(source).colourTableEntries),
              std::pair(bpp, entries)) << static_cast<int>(source);
}

TEST(PictureRtf, PicturesThatCannotBeDescribedGiveNoText) {
  const std::vector<std::uint8_t> pixels(64, 0);
  DecodedPicture noRows = Picture(1, 1, 24, 4, pixels);
  noRows.topRow = nullptr;
  const DecodedPicture refused[] = {
      Picture(0, 1, 24, 4, pixels), Picture(1, 0, 24, 4, pixels), Picture(1, 1, 24, 0, pixels), noRows,
      Picture(1, 1, 0, 4, pixels), Picture(1, 1, 16, 4, pixels), Picture(1, 1, 48, 8, pixels),  // depths
      Picture(2, 1, 24, 4, pixels), Picture(1, 1, 24, 3, pixels),  // a row too short, a row not padded to 4 bytes
      Picture(1, 1, 24, std::numeric_limits<std::int64_t>::min(), pixels), Picture(1, 0x80000000u, 24, 4, pixels),
      Picture(0x80000000u, 1, 1, 0x10000000, pixels), Picture(65536, 65536, 24, 196608, pixels),  // header fields
      Picture(1, 0x7FFFFFFF, 24, 0x7FFFFFFFFFFFFFFCll, pixels), Picture(1, 2, 24, -0x7FFFFFFFFFFFFFFCll, pixels),
  };
  for (const DecodedPicture& p : refused) {
    EXPECT_FALSE(SerializePictureRtf(p)) << p.width << "x" << p.height << " " << p.bitsPerPixel << " " << p.stride;
    EXPECT_FALSE(PictureRtfLength(p));
    char block[8];
    EXPECT_FALSE(WritePictureRtf(p, block, sizeof block));
  }
  // The largest describable image (4 GiB - 4 of rows) is measured in full, not wrapped.
  const auto length = PictureRtfLength(Picture(1, 0x3FFFFFFF, 24, 4, pixels));
  if (sizeof(std::size_t) >= 8)
    EXPECT_EQ(length, kStart.size() + std::string("4\\picw1\\pich1073741823 \r\n").size() + 2 * (40 + 4ull * 0x3FFFFFFF) + 4);
  else
    EXPECT_FALSE(length);
}

TEST(PictureRtf, HexOfEveryByteAtEveryLengthAndAlignment) {
  std::vector<std::uint8_t> bytes(256 + 40);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + 3);
  for (std::size_t offset = 0; offset < 9; ++offset) {
    for (std::size_t size : {0, 1, 3, 7, 8, 9, 15, 16, 17, 31, 256, 287}) {
      std::string out(2 * size + 1, '#');
      WriteHexUpper(bytes.data() + offset, size, out.data());
      EXPECT_EQ(out, Hex({bytes.begin() + offset, bytes.begin() + offset + size}) + "#") << offset << " " << size;
    }
  }
}

}  // namespace
}  // namespace tomelet
