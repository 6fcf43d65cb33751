#pragma once
// A picture chapter saved as a minimal RTF document: a header naming the picture's
// format, every byte of the picture as two upper-case hexadecimal digits, and " }}".
// The hexadecimal is made and written in pieces, so saving needs the picture and one
// small buffer, not a second copy of twice its size.
#include <cstddef>
#include <string_view>

#include "output/file_sink.h"

namespace tomelet {

// "{\rtf1\ansi ", CR, "{\pict\wmetafile1\pngblip\picwgoal240\pichgoal240 " (63 bytes),
// or the same with \jpegblip (64 bytes).
std::string_view PictureDocumentHeader(bool png);
inline constexpr std::string_view kPictureDocumentEnd = " }}";

// Picture bytes turned into hexadecimal per write (the last piece may be shorter).
inline constexpr std::size_t kPictureHexPieceBytes = 64 * 1024;

// Writes the whole document; false at the first write that fails.
bool WritePictureDocument(FileSink& out, std::string_view picture, bool png,
                          std::size_t pieceBytes = kPictureHexPieceBytes);

}  // namespace tomelet
