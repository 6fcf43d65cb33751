#pragma once
// Writes small PNG files for tests: any colour type and bit depth, optional palette, rows
// given as raw bytes (without the filter byte), stored uncompressed in one block (< 64 KiB).
#include <cstdint>
#include <string>
#include <vector>

namespace tomelet::test {

struct PngImage {
  std::uint32_t width = 0, height = 0;
  std::uint8_t bitDepth = 8, colourType = 2;  // 0 grey, 2 RGB, 3 palette, 4 grey+alpha, 6 RGBA
  std::vector<std::uint8_t> palette;  // RGB triples for colour type 3
  std::vector<std::vector<std::uint8_t>> rows;  // top row first, packed as PNG packs them
};

inline std::string EncodePng(const PngImage& image) {
  const auto putBe = [](std::string& out, std::size_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xFF);
  };
  std::string png = "\x89PNG\r\n\x1A\n", header, raw;
  const auto chunk = [&](const char* type, const std::string& data) {
    putBe(png, data.size());
    const std::string typed = std::string(type, 4) + data;
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char b : typed) {
      crc ^= b;
      for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    putBe(png += typed, ~crc);
  };
  putBe(header, image.width);
  putBe(header, image.height);
  header += {static_cast<char>(image.bitDepth), static_cast<char>(image.colourType), 0, 0, 0};  // deflate, no interlace
  chunk("IHDR", header);
  if (!image.palette.empty()) chunk("PLTE", std::string(image.palette.begin(), image.palette.end()));
  for (const auto& row : image.rows) (raw += '\0').append(row.begin(), row.end());  // filter: none
  // A zlib stream of one stored block, then the Adler-32 of the raw bytes.
  const auto n = static_cast<std::uint16_t>(raw.size());
  std::string zlib = {'\x78', '\x01', '\x01', static_cast<char>(n), static_cast<char>(n >> 8),
                      static_cast<char>(~n), static_cast<char>(~n >> 8)};
  std::uint32_t a = 1, b = 0;
  for (unsigned char c : raw) b = (b + (a = (a + c) % 65521)) % 65521;
  putBe(zlib += raw, (b << 16) | a);
  chunk("IDAT", zlib);
  chunk("IEND", "");
  return png;
}

}  // namespace tomelet::test
