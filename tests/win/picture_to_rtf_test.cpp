// Pictures decoded by the real GDI+ and written as RTF pages.
#include <gtest/gtest.h>
#include <windows.h>
#include <gdiplus.h>

#include <string>

#include "tests/support/png_writer.h"
#include "view/picture_to_rtf.h"

namespace tomelet {
namespace {

using test::EncodePng;
using test::PngImage;

const std::string kOpening = "{\\rtf1\\qc\\vertalc{\\pict\\dibitmap\\wbmwidthbytes";
const std::string kClosing = "\r\n}}";

bool StartsWith(const std::string& text, const std::string& start) { return text.compare(0, start.size(), start) == 0; }

// Everything after the text's first CR LF, before the closing.
std::string HexPart(const std::string& rtf) {
  const std::size_t start = rtf.find("\r\n") + 2;
  return rtf.substr(start, rtf.size() - start - kClosing.size());
}

TEST(PictureToRtf, OnePixelInTwentyFourBitColour) {
  PngImage image{1, 1, 8, 2, {}, {{0x11, 0x22, 0x33}}};
  const auto rtf = PictureToRtf(EncodePng(image));
  ASSERT_TRUE(rtf);
  EXPECT_EQ(*rtf, kOpening + "4\\picw1\\pich1 \r\n" +
                      "28000000010000000100000001001800000000000400000000000000000000000000000000000000" +
                      "33221100" + kClosing);
}

TEST(PictureToRtf, RowsArePaddedAndWrittenBottomRowFirst) {
  // 3 x 2 in 24-bit colour: 9 bytes of pixels, rows of 12 bytes.
  PngImage image{3, 2, 8, 2, {}, {{1, 2, 3, 4, 5, 6, 7, 8, 9}, {10, 11, 12, 13, 14, 15, 16, 17, 18}}};
  const auto rtf = PictureToRtf(EncodePng(image));
  ASSERT_TRUE(rtf);
  EXPECT_TRUE(StartsWith(*rtf, kOpening + "12\\picw3\\pich2 \r\n"));
  const std::string pixels = HexPart(*rtf).substr(80);
  EXPECT_EQ(pixels, "0C0B0A0F0E0D121110000000" "030201060504090807000000");
}

TEST(PictureToRtf, TwoColourPictureKeepsOneBitAndItsColourTable) {
  // Top row: white, black, white; bottom row: black, white, white.
  PngImage image{3, 2, 1, 3, {0, 0, 0, 255, 255, 255}, {{0xA0}, {0x60}}};
  const auto rtf = PictureToRtf(EncodePng(image));
  ASSERT_TRUE(rtf);
  EXPECT_TRUE(StartsWith(*rtf, kOpening + "4\\picw3\\pich2 \r\n"));
  const std::string hex = HexPart(*rtf);
  EXPECT_EQ(hex.substr(0, 80), "28000000030000000200000001000100000000000800000000000000000000000000000000000000");
  EXPECT_EQ(hex.substr(80, 16), "000000FFFFFFFFFF");
  ASSERT_EQ(hex.size(), 80u + 16 + 16);
  // Bottom row first. Only the three pixel bits of each row are the picture's; the
  // decoder decides the rest of the row.
  const auto row = [&](int i) { return std::stoi(hex.substr(96 + 8 * i, 2), nullptr, 16) & 0xE0; };
  EXPECT_EQ(row(0), 0x60);
  EXPECT_EQ(row(1), 0xA0);
}

TEST(PictureToRtf, SmallPaletteIsZeroFilledToTwoHundredFiftySixEntries) {
  PngImage image{2, 1, 8, 3, {255, 0, 0, 0, 255, 0, 0, 0, 255}, {{2, 0}}};
  const auto rtf = PictureToRtf(EncodePng(image));
  ASSERT_TRUE(rtf);
  const std::string hex = HexPart(*rtf);
  EXPECT_EQ(hex.substr(0, 80), "28000000020000000100000001000800000000000400000000000000000000000000000000000000");
  const std::string table = hex.substr(80, 2 * 1024);
  EXPECT_EQ(table.substr(0, 24), "0000FFFF00FF00FFFF0000FF");
  EXPECT_EQ(table.substr(24), std::string(2 * 1024 - 24, '0'));
  EXPECT_EQ(hex.substr(80 + 2 * 1024), "02000000");
}

TEST(PictureToRtf, WideFormatsBecomeThirtyTwoBitAndOthersTwentyFour) {
  // RGBA with transparency.
  PngImage rgba{1, 1, 8, 6, {}, {{0x11, 0x22, 0x33, 0x80}}};
  auto rtf = PictureToRtf(EncodePng(rgba));
  ASSERT_TRUE(rtf);
  EXPECT_EQ(HexPart(*rtf).substr(28, 4), "2000");  // 32 bits per pixel
  EXPECT_NE(rtf->find("\\wbmwidthbytes4\\"), std::string::npos);

  // 16 bits per channel.
  PngImage deep{1, 1, 16, 2, {}, {{0x11, 0x11, 0x22, 0x22, 0x33, 0x33}}};
  rtf = PictureToRtf(EncodePng(deep));
  ASSERT_TRUE(rtf);
  const std::string bpp = HexPart(*rtf).substr(28, 4);
  EXPECT_TRUE(bpp == "2000" || bpp == "1800") << bpp;  // reported by GDI+ as 48 bpp, or as 24 bpp
  EXPECT_EQ(HexPart(*rtf).substr(80, 6), "332211");

  // Grey.
  PngImage grey{1, 1, 8, 0, {}, {{0x40}}};
  rtf = PictureToRtf(EncodePng(grey));
  ASSERT_TRUE(rtf);
  EXPECT_NE(HexPart(*rtf).substr(28, 4), "0000");
}

std::string ColourJpeg() {
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  Gdiplus::GdiplusStartup(&token, &input, nullptr);
  std::string bytes;
  {
    Gdiplus::Bitmap bitmap(8, 8, PixelFormat24bppRGB);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) bitmap.SetPixel(x, y, Gdiplus::Color(255, 200, 40, 10));
    UINT count = 0, size = 0;
    Gdiplus::GetImageEncodersSize(&count, &size);
    std::string buffer(size, '\0');
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    Gdiplus::GetImageEncoders(count, size, encoders);
    IStream* stream = nullptr;
    CreateStreamOnHGlobal(nullptr, TRUE, &stream);
    for (UINT i = 0; i < count; ++i)
      if (std::wstring(encoders[i].MimeType) == L"image/jpeg") bitmap.Save(stream, &encoders[i].Clsid, nullptr);
    HGLOBAL block = nullptr;
    GetHGlobalFromStream(stream, &block);
    STATSTG stat{};
    stream->Stat(&stat, STATFLAG_NONAME);
    bytes.assign(static_cast<const char*>(GlobalLock(block)), static_cast<std::size_t>(stat.cbSize.QuadPart));
    GlobalUnlock(block);
    stream->Release();
  }
  Gdiplus::GdiplusShutdown(token);
  return bytes;
}

TEST(PictureToRtf, ColourJpegIsWrittenInTwentyFourBits) {
  const std::string jpeg = ColourJpeg();
  ASSERT_GT(jpeg.size(), 100u);
  ASSERT_EQ(jpeg.substr(0, 2), "\xFF\xD8");
  const auto rtf = PictureToRtf(jpeg);
  ASSERT_TRUE(rtf);
  EXPECT_TRUE(StartsWith(*rtf, kOpening + "24\\picw8\\pich8 \r\n"));
  EXPECT_EQ(HexPart(*rtf).substr(28, 4), "1800");
  EXPECT_EQ(HexPart(*rtf).size(), 2u * (40 + 24 * 8));
}

TEST(PictureToRtf, DamagedOrHugePicturesGiveNoPage) {
  const std::string good = EncodePng(PngImage{4, 4, 8, 2, {}, std::vector<std::vector<std::uint8_t>>(4, std::vector<std::uint8_t>(12, 7))});
  EXPECT_FALSE(PictureToRtf("This entry is text, not a picture."));
  EXPECT_FALSE(PictureToRtf(""));
  EXPECT_FALSE(PictureToRtf(good.substr(0, 30)));              // cut inside the header
  EXPECT_FALSE(PictureToRtf(test::PngHeaderOnly(100000, 100000)));
  EXPECT_FALSE(PictureToRtf(test::PngHeaderOnly(0, 0)));
  EXPECT_FALSE(PictureToRtf(ColourJpeg().substr(0, 20)));
  // A palette picture whose palette is cut short: whatever GDI+ makes of it, no crash.
  PngImage damaged{2, 1, 8, 3, {255, 0}, {{0, 1}}};
  (void)PictureToRtf(EncodePng(damaged));
  // A picture whose data ends early: no crash, and no page longer than the picture.
  const std::string cut = good.substr(0, good.size() - 20);
  if (auto rtf = PictureToRtf(cut)) {
    EXPECT_LT(rtf->size(), 400u);
  }
}

}  // namespace
}  // namespace tomelet
