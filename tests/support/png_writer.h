#pragma once
// Writes small PNG files for tests: any colour type and bit depth, optional palette,
// rows given as raw bytes (without the filter byte). The data is stored uncompressed.
#include <cstdint>
#include <string>
#include <vector>

namespace tomelet::test {

struct PngImage {
  std::uint32_t width = 0, height = 0;
  std::uint8_t bitDepth = 8;
  std::uint8_t colourType = 2;  // 0 grey, 2 RGB, 3 palette, 4 grey+alpha, 6 RGBA
  std::vector<std::uint8_t> palette;  // RGB triples for colour type 3
  std::vector<std::vector<std::uint8_t>> rows;  // top row first, packed as PNG packs them
};

std::string EncodePng(const PngImage& image);

}  // namespace tomelet::test
