#pragma once
// Turning an encoded PNG or JPEG picture into an RTF page that shows it (GDI+ decodes).
#include <optional>
#include <string>

namespace tomelet {

// The picture page for the encoded picture bytes (taken over and released early), or
// nothing when the bytes are not a picture GDI+ can decode, or the picture is too large
// for memory.
std::optional<std::string> PictureToRtf(std::string encoded);

}  // namespace tomelet
