#include "view/picture_rtf.h"

#include <array>
#include <bit>
#include <charconv>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>
#include <string_view>

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <emmintrin.h>
#define TOMELET_HEX_SSE2 1
#endif

namespace tomelet {
namespace {

constexpr std::string_view kPrefix = "{\\rtf1\\qc\\vertalc{\\pict\\dibitmap\\wbmwidthbytes";
constexpr std::string_view kWidthWord = "\\picw";
constexpr std::string_view kHeightWord = "\\pich";
constexpr std::string_view kHeaderEnd = " \r\n";
constexpr std::string_view kEnd = "\r\n}}";
constexpr std::size_t kHeaderBytes = 40;
constexpr std::uint64_t kMaxHeaderValue = 0x7FFFFFFF;  // width and height are signed 32-bit

// Two upper-case digits per byte value, in memory order.
constexpr std::array<char, 512> MakeHexPairs() {
  constexpr char digits[] = "0123456789ABCDEF";
  std::array<char, 512> pairs{};
  for (int b = 0; b < 256; ++b) {
    pairs[2 * b] = digits[b >> 4];
    pairs[2 * b + 1] = digits[b & 15];
  }
  return pairs;
}
constexpr std::array<char, 512> kHexPairs = MakeHexPairs();

// Eight hexadecimal digits for four bytes at once (b0 in the low byte of v): the bytes
// are spread to 16-bit lanes, split into nibbles high-first, and each nibble becomes
// '0'+n, plus 7 more for 10..15. Gives the digits in memory order on little-endian.
inline std::uint64_t HexDigitsOf4(std::uint32_t v) {
  std::uint64_t x = v;
  x = (x | (x << 16)) & 0x0000FFFF0000FFFFull;
  x = (x | (x << 8)) & 0x00FF00FF00FF00FFull;
  const std::uint64_t nibbles = ((x >> 4) & 0x000F000F000F000Full) | ((x & 0x000F000F000F000Full) << 8);
  const std::uint64_t letters = ((nibbles + 0x0606060606060606ull) >> 4) & 0x0101010101010101ull;
  return nibbles + 0x3030303030303030ull + letters * 7;
}

std::size_t DecimalDigits(std::uint64_t v) {
  std::size_t n = 1;
  while (v >= 10) {
    v /= 10;
    ++n;
  }
  return n;
}

char* PutText(char* out, std::string_view text) {
  std::memcpy(out, text.data(), text.size());
  return out + text.size();
}

char* PutDecimal(char* out, std::uint64_t v) {
  return std::to_chars(out, out + DecimalDigits(v), v).ptr;  // the room PlanLayout counted
}

void PutLe(std::uint8_t* at, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) at[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Everything the text needs, checked once.
struct Layout {
  std::uint64_t rowBytes = 0;    // |stride|
  std::uint64_t imageBytes = 0;  // rowBytes * height
  std::uint32_t tableEntries = 0;
  std::size_t total = 0;         // length of the text
};

bool CheckedMul(std::uint64_t a, std::uint64_t b, std::uint64_t& product) {
  if (a != 0 && b > std::numeric_limits<std::uint64_t>::max() / a) return false;
  product = a * b;
  return true;
}

bool CheckedAdd(std::uint64_t a, std::uint64_t b, std::uint64_t& sum) {
  if (b > std::numeric_limits<std::uint64_t>::max() - a) return false;
  sum = a + b;
  return true;
}

std::optional<Layout> PlanLayout(const DecodedPicture& p) {
  Layout layout;
  switch (p.bitsPerPixel) {
    case 1: layout.tableEntries = 2; break;
    case 4: layout.tableEntries = 16; break;
    case 8: layout.tableEntries = 256; break;
    case 24:
    case 32: layout.tableEntries = 0; break;
    default: return std::nullopt;
  }
  if (p.topRow == nullptr || p.width == 0 || p.height == 0) return std::nullopt;
  if (p.width > kMaxHeaderValue || p.height > kMaxHeaderValue) return std::nullopt;
  if (p.stride == std::numeric_limits<std::int64_t>::min()) return std::nullopt;

  layout.rowBytes = static_cast<std::uint64_t>(p.stride < 0 ? -p.stride : p.stride);
  // width <= 2^31 and bpp <= 32: no overflow in 64 bits.
  const std::uint64_t pixelBytes = (std::uint64_t{p.width} * p.bitsPerPixel + 7) / 8;
  if (layout.rowBytes < pixelBytes || layout.rowBytes % 4 != 0) return std::nullopt;
  // The header's image size is an unsigned 32-bit field.
  if (!CheckedMul(layout.rowBytes, p.height, layout.imageBytes) ||
      layout.imageBytes > std::numeric_limits<std::uint32_t>::max())
    return std::nullopt;

  std::uint64_t total = kPrefix.size() + DecimalDigits(layout.rowBytes) + kWidthWord.size() +
                        DecimalDigits(p.width) + kHeightWord.size() + DecimalDigits(p.height) +
                        kHeaderEnd.size() + kEnd.size();
  std::uint64_t binary = 0, hex = 0;
  if (!CheckedAdd(kHeaderBytes + std::uint64_t{layout.tableEntries} * 4, layout.imageBytes, binary) ||
      !CheckedMul(binary, 2, hex) || !CheckedAdd(total, hex, total))
    return std::nullopt;
  // Leave room for the terminating NUL a caller adds, and stay within what a pointer
  // difference can express.
  if (total >= static_cast<std::uint64_t>(std::numeric_limits<std::ptrdiff_t>::max()) ||
      total >= std::numeric_limits<std::size_t>::max())
    return std::nullopt;
  layout.total = static_cast<std::size_t>(total);
  return layout;
}

void WriteText(const DecodedPicture& p, const Layout& layout, char* out) {
  char* o = PutText(out, kPrefix);
  o = PutDecimal(o, layout.rowBytes);
  o = PutText(o, kWidthWord);
  o = PutDecimal(o, p.width);
  o = PutText(o, kHeightWord);
  o = PutDecimal(o, p.height);
  o = PutText(o, kHeaderEnd);

  std::uint8_t header[kHeaderBytes] = {};
  PutLe(header + 0, static_cast<std::uint32_t>(kHeaderBytes), 4);
  PutLe(header + 4, p.width, 4);
  PutLe(header + 8, p.height, 4);  // positive: bottom row first
  PutLe(header + 12, 1, 2);
  PutLe(header + 14, p.bitsPerPixel, 2);
  PutLe(header + 20, static_cast<std::uint32_t>(layout.imageBytes), 4);
  WriteHexUpper(header, kHeaderBytes, o);
  o += 2 * kHeaderBytes;

  if (layout.tableEntries != 0) {
    std::uint8_t entry[4];
    for (std::uint32_t i = 0; i < layout.tableEntries; ++i) {
      PutLe(entry, i < p.palette.size() ? p.palette[i] : 0u, 4);
      WriteHexUpper(entry, 4, o);
      o += 8;
    }
  }

  // Only the pixels come from the decoder: the bits after a row's last pixel and the
  // padding are written as zeros (decoders leave them undefined), so the same picture
  // always gives the same bytes.
  const std::uint64_t rowBits = std::uint64_t{p.width} * p.bitsPerPixel;
  const auto wholeBytes = static_cast<std::size_t>(rowBits / 8);
  const unsigned partBits = static_cast<unsigned>(rowBits % 8);
  const std::size_t zeroBytes = static_cast<std::size_t>(layout.rowBytes) - wholeBytes - (partBits ? 1 : 0);
  for (std::uint32_t r = p.height; r-- > 0;) {
    const std::uint8_t* row = p.topRow + static_cast<std::ptrdiff_t>(r) * static_cast<std::ptrdiff_t>(p.stride);
    WriteHexUpper(row, wholeBytes, o);
    o += 2 * wholeBytes;
    if (partBits) {
      const auto last = static_cast<std::uint8_t>(row[wholeBytes] & (0xFF00u >> partBits));
      WriteHexUpper(&last, 1, o);
      o += 2;
    }
    std::memset(o, '0', 2 * zeroBytes);
    o += 2 * zeroBytes;
  }
  PutText(o, kEnd);
}

}  // namespace

PictureOutputFormat ChoosePictureOutput(SourcePixelFormat source) {
  switch (source) {
    case SourcePixelFormat::Indexed1: return {1, 2};
    case SourcePixelFormat::Indexed4: return {4, 16};
    case SourcePixelFormat::Indexed8: return {8, 256};
    case SourcePixelFormat::Rgb32:
    case SourcePixelFormat::Argb32:
    case SourcePixelFormat::Pargb32:
    case SourcePixelFormat::Rgb48:
    case SourcePixelFormat::Argb64:
    case SourcePixelFormat::Pargb64: return {32, 0};
    case SourcePixelFormat::Other: break;
  }
  return {24, 0};
}

void WriteHexUpper(const std::uint8_t* bytes, std::size_t size, char* out) {
  std::size_t i = 0;
#if defined(TOMELET_HEX_SSE2)
  // Sixteen bytes at a time: nibbles split and interleaved high-first, then '0' + n,
  // plus 7 more where n > 9.
  const __m128i lowNibble = _mm_set1_epi8(0x0F);
  const __m128i nine = _mm_set1_epi8(9);
  const __m128i zero = _mm_set1_epi8('0');
  const __m128i letterGap = _mm_set1_epi8('A' - '0' - 10);
  const auto digits = [&](__m128i nibbles) {
    const __m128i letters = _mm_and_si128(_mm_cmpgt_epi8(nibbles, nine), letterGap);
    return _mm_add_epi8(_mm_add_epi8(nibbles, zero), letters);
  };
  for (; i + 16 <= size; i += 16, out += 32) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
    const __m128i high = _mm_and_si128(_mm_srli_epi16(v, 4), lowNibble);
    const __m128i low = _mm_and_si128(v, lowNibble);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), digits(_mm_unpacklo_epi8(high, low)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16), digits(_mm_unpackhi_epi8(high, low)));
  }
#endif
  if constexpr (std::endian::native == std::endian::little) {
    for (; i + 8 <= size; i += 8, out += 16) {
      std::uint32_t lo, hi;
      std::memcpy(&lo, bytes + i, 4);
      std::memcpy(&hi, bytes + i + 4, 4);
      const std::uint64_t a = HexDigitsOf4(lo), b = HexDigitsOf4(hi);
      std::memcpy(out, &a, 8);
      std::memcpy(out + 8, &b, 8);
    }
  }
  for (; i < size; ++i, out += 2) std::memcpy(out, &kHexPairs[2 * std::size_t{bytes[i]}], 2);
}

std::optional<std::size_t> PictureRtfLength(const DecodedPicture& picture) {
  const auto layout = PlanLayout(picture);
  if (!layout) return std::nullopt;
  return layout->total;
}

bool WritePictureRtf(const DecodedPicture& picture, char* out, std::size_t outSize) {
  const auto layout = PlanLayout(picture);
  if (!layout || out == nullptr || outSize != layout->total) return false;
  WriteText(picture, *layout, out);
  return true;
}

std::optional<std::string> SerializePictureRtf(const DecodedPicture& picture) {
  const auto layout = PlanLayout(picture);
  if (!layout) return std::nullopt;
  std::string text;
  try {
    text.resize(layout->total);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  } catch (const std::length_error&) {
    return std::nullopt;
  }
  WriteText(picture, *layout, text.data());
  return text;
}

}  // namespace tomelet
