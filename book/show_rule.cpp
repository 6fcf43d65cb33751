#include "book/show_rule.h"

#include <algorithm>

namespace tomelet {

std::size_t RtfGroupDepth(std::string_view rtf, std::size_t stopAbove) {
  std::size_t depth = 0, deepest = 0;
  for (std::size_t i = 0; i < rtf.size() && deepest <= stopAbove; ++i) {
    if (rtf[i] == '{') {
      deepest = std::max(deepest, ++depth);
    } else if (rtf[i] == '}') {
      depth -= depth > 0;
    } else if (rtf[i] == '\\' && rtf.compare(i + 1, 3, "bin") == 0) {
      // \binN and a blank: N bytes of data follow, braces or not.
      std::size_t at = i + 4, count = 0;
      for (; at < rtf.size() && rtf[at] >= '0' && rtf[at] <= '9'; ++at)
        count = std::min(count * 10 + static_cast<std::size_t>(rtf[at] - '0'), rtf.size());
      if (count > 0 && at < rtf.size() && rtf[at] == ' ') ++at;
      i = at + count - 1;
    } else if (rtf[i] == '\\') {
      ++i;  // an escaped brace or backslash, or a word's first letter
    }
  }
  return deepest;
}

bool LooksLikeRtf(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  const std::size_t start = bytes.find_first_not_of(" \t\r\n");
  if (start == std::string_view::npos) return false;
  bytes.remove_prefix(start);
  return bytes.starts_with("{\\rtf") || bytes.starts_with("{\\urtf");
}

bool RtfTooDeep(std::string_view bytes) { return LooksLikeRtf(bytes) && RtfGroupDepth(bytes) > kMaxRtfDepth; }

}  // namespace tomelet
