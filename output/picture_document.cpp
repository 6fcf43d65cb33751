#include "output/picture_document.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "view/picture_rtf.h"

namespace tomelet {

std::string_view PictureDocumentHeader(bool png) {
  static constexpr std::string_view kPng = "{\\rtf1\\ansi \r{\\pict\\wmetafile1\\pngblip\\picwgoal240\\pichgoal240 ";
  static constexpr std::string_view kJpeg = "{\\rtf1\\ansi \r{\\pict\\wmetafile1\\jpegblip\\picwgoal240\\pichgoal240 ";
  return png ? kPng : kJpeg;
}

bool WritePictureDocument(FileSink& out, std::string_view picture, bool png, std::size_t pieceBytes) {
  if (!out.Write(PictureDocumentHeader(png))) return false;
  pieceBytes = std::max<std::size_t>(1, std::min(pieceBytes, picture.size()));
  std::vector<char> hex(2 * pieceBytes);
  for (std::size_t at = 0; at < picture.size(); at += pieceBytes) {
    const std::size_t n = std::min(pieceBytes, picture.size() - at);
    WriteHexUpper(reinterpret_cast<const std::uint8_t*>(picture.data() + at), n, hex.data());
    if (!out.Write(std::string_view(hex.data(), 2 * n))) return false;
  }
  return out.Write(kPictureDocumentEnd);
}

}  // namespace tomelet
