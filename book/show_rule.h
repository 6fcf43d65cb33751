#pragma once
// Whether an entry can be shown in the text pane in reasonable time, judged from the
// sizes the archive declares, before anything is inflated. Real chapters (RTF text,
// RTF with embedded pictures of tens of MB) pack at 2:1 to 10:1 and their text fits the
// rich-edit control; a chapter packed a thousandfold (50 MB from 50 KB, one endless
// paragraph) would keep the window busy for minutes. Saving such an entry still works.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tomelet {

enum class ShowVerdict {
  Show,
  TooCompressed,  // large, and packed far beyond what text and pictures pack to
  TooLarge,       // beyond what the control can take in reasonable time and memory
};

// Entries up to this size are always shown, however well they pack.
inline constexpr std::uint64_t kAlwaysShownBytes = std::uint64_t{16} << 20;
// Larger entries packed more than this many times are refused.
inline constexpr std::uint64_t kMaxShownRatio = 100;
// Twice the control's text limit of 67,108,863 characters: an RTF text needs at least a
// byte per character, and an embedded picture two per byte of its data.
inline constexpr std::uint64_t kMaxShownBytes = std::uint64_t{2} * 67108863;

// Groups nested deeper than this are refused: real chapters nest a few levels deep, and
// Wine's rich-edit control ends the program on deep nesting (checked with empty groups:
// 20 and 32 show, 64 fails an assertion, 100 crashes).
inline constexpr std::size_t kMaxRtfDepth = 32;

// How deep the RTF text's groups nest, counted up to `stopAbove` + 1: escaped braces and
// the data of \bin do not count.
std::size_t RtfGroupDepth(std::string_view rtf, std::size_t stopAbove = kMaxRtfDepth);

// Whether a chapter's bytes may be read as RTF by a rich-edit control: "{\rtf" or
// "{\urtf", after a UTF-8 byte-order mark and blanks, if any (taken wider than the
// controls do: a chapter judged RTF here is only checked for its depth).
bool LooksLikeRtf(std::string_view bytes);

// Whether the chapter is RTF nested deeper than kMaxRtfDepth.
bool RtfTooDeep(std::string_view bytes);

constexpr ShowVerdict JudgeShowing(std::uint64_t size, std::uint64_t compressedSize) {
  if (size > kMaxShownBytes) return ShowVerdict::TooLarge;
  if (size > kAlwaysShownBytes && size / kMaxShownRatio > compressedSize) return ShowVerdict::TooCompressed;
  return ShowVerdict::Show;
}

}  // namespace tomelet
