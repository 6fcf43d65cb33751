#include "tests/support/png_writer.h"

namespace tomelet::test {
namespace {

std::uint32_t Crc32(const std::string& bytes) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char b : bytes) {
    crc ^= b;
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return crc ^ 0xFFFFFFFFu;
}

void PutBe(std::string& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

void Chunk(std::string& png, const char* type, const std::string& data) {
  PutBe(png, static_cast<std::uint32_t>(data.size()));
  const std::string typed = std::string(type, 4) + data;
  png += typed;
  PutBe(png, Crc32(typed));
}

// A zlib stream of stored (uncompressed) blocks.
std::string ZlibStored(const std::string& raw) {
  std::string out = "\x78\x01";
  std::size_t pos = 0;
  do {
    const std::size_t n = std::min<std::size_t>(raw.size() - pos, 65535);
    const bool last = pos + n == raw.size();
    out += static_cast<char>(last ? 1 : 0);
    out += static_cast<char>(n & 0xFF);
    out += static_cast<char>(n >> 8);
    out += static_cast<char>(~n & 0xFF);
    out += static_cast<char>((~n >> 8) & 0xFF);
    out.append(raw, pos, n);
    pos += n;
  } while (pos < raw.size());
  std::uint32_t a = 1, b = 0;
  for (unsigned char c : raw) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  PutBe(out, (b << 16) | a);
  return out;
}

}  // namespace

std::string EncodePng(const PngImage& image) {
  std::string png = "\x89PNG\r\n\x1A\n";
  std::string header;
  PutBe(header, image.width);
  PutBe(header, image.height);
  header += {static_cast<char>(image.bitDepth), static_cast<char>(image.colourType), 0, 0, 0};  // deflate, no interlace
  Chunk(png, "IHDR", header);
  if (!image.palette.empty()) Chunk(png, "PLTE", std::string(image.palette.begin(), image.palette.end()));
  std::string raw;
  for (const auto& row : image.rows) {
    raw += '\0';  // filter: none
    raw.append(row.begin(), row.end());
  }
  Chunk(png, "IDAT", ZlibStored(raw));
  Chunk(png, "IEND", "");
  return png;
}

}  // namespace tomelet::test
