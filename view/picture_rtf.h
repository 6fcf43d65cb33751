#pragma once
// A decoded picture as an RTF document: the picture is embedded as an uncompressed
// device-independent bitmap (\dibitmap) written in hexadecimal, centred on the page.
//
// The decoding itself (GDI+ on Windows) lives on the platform side: it reports the
// picture's size and pixel format, asks ChoosePictureOutput how to read the pixels out,
// locks the rows in that format and hands them here. Everything from that point on —
// the bitmap header, the colour table, the row order and the hexadecimal — is written by
// this code, so the text is the same whatever decoder delivered the pixels.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tomelet {

// The pixel formats a decoder reports (named after GDI+'s). Anything not listed
// (24 bpp RGB, the 16 bpp forms, CMYK, ...) is Other.
enum class SourcePixelFormat {
  Indexed1,
  Indexed4,
  Indexed8,
  Rgb32,
  Argb32,
  Pargb32,
  Rgb48,
  Argb64,
  Pargb64,
  Other,
};

// How the pixels are to be read out of the decoder, and what the bitmap holds:
//   Indexed1/4/8       -> unchanged, 1/4/8 bits per pixel, colour table of 2/16/256 entries;
//   the 32-bit-or-wider -> 32 bpp RGB (bytes blue, green, red, unused), no colour table;
//   everything else     -> 24 bpp RGB (bytes blue, green, red), no colour table.
struct PictureOutputFormat {
  std::uint16_t bitsPerPixel = 24;      // 1, 4, 8, 32 or 24
  std::uint32_t colourTableEntries = 0;  // 2, 16, 256 or 0
};

PictureOutputFormat ChoosePictureOutput(SourcePixelFormat source);

// The pixels as the decoder locked them in the output format.
struct DecodedPicture {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint16_t bitsPerPixel = 0;  // from ChoosePictureOutput: 1, 4, 8, 24 or 32
  // Distance in bytes from one row to the next one down, as the decoder reports it; a
  // negative value means the rows lie bottom-up in memory. The bitmap gets |stride| bytes
  // per row, which must be a multiple of 4 and hold the row's pixels.
  std::int64_t stride = 0;
  // The top row of the picture; row r starts at topRow + r * stride.
  const std::uint8_t* topRow = nullptr;
  // The decoder's colour table, each entry 0xAARRGGBB (stored as the bytes blue, green,
  // red, alpha). Only indexed pictures use it; missing entries are written as zeros,
  // entries beyond the table's size (2/16/256) are left out.
  std::vector<std::uint32_t> palette;
};

// The exact length of the RTF text for this picture (without a terminating NUL), or
// nothing when the picture can't be written: no pixels, a zero width or height, an
// unknown bit depth, a stride that doesn't fit the width, a bitmap larger than its
// header can describe, or a text longer than memory can be addressed.
std::optional<std::size_t> PictureRtfLength(const DecodedPicture& picture);

// Writes the RTF text into out, which must hold exactly PictureRtfLength(picture) bytes
// (no NUL is written). Returns false, writing nothing, when the picture can't be written
// or the size doesn't match. For callers that own the destination block themselves.
bool WritePictureRtf(const DecodedPicture& picture, char* out, std::size_t outSize);

// The RTF text in a string allocated once at its exact length, or nothing (see
// PictureRtfLength).
std::optional<std::string> SerializePictureRtf(const DecodedPicture& picture);

// Upper-case hexadecimal of bytes, two digits per byte, into out (2 * size bytes).
// Exposed for the benchmark of the pixel-row writer.
void WriteHexUpper(const std::uint8_t* bytes, std::size_t size, char* out);

}  // namespace tomelet
