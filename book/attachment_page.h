#pragma once
// The page shown for an attachment: a sentence, a link that extracts the file (its
// target is "[BAGGAGE]") and the entry's size in kilobytes, as 7-bit RTF.
#include <cstdint>
#include <string>
#include <string_view>

namespace tomelet {

// The link target the main window recognises to extract the current entry.
inline constexpr std::string_view kAttachmentLinkTarget = "[BAGGAGE]";

// The link text: for a source name starting with a digit, the text after its first
// space (the whole name when it has none); otherwise the whole name.
std::string_view AttachmentLinkText(std::string_view sourceName);

// Text for an RTF document: "\", "{" and "}" escaped, every character outside printable
// ASCII written as "\uN?" (N the signed 16-bit value, surrogate pairs above U+FFFF).
std::string RtfEscape(std::string_view utf8);

// The attachment page for an entry of `size` bytes; German sentence when `german`.
std::string BuildAttachmentPage(std::string_view sourceName, std::uint64_t size, bool german);

}  // namespace tomelet
