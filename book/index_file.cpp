#include "book/index_file.h"

#include "base/text.h"

namespace tomelet {

std::string DecodeIndexText(std::string_view bytes) {
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") return SanitizeUtf8(bytes.substr(3));
  return AnsiToUtf8(bytes);
}

std::vector<std::string_view> SplitIndexLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t end = text.find_first_of("\r\n", pos);
    const std::size_t stop = end == std::string_view::npos ? text.size() : end;
    if (stop > pos) lines.push_back(text.substr(pos, stop - pos));
    pos = stop + 1;
  }
  return lines;
}

std::string_view IndexLineToken(std::string_view line) {
  const std::size_t cut = line.find_first_of("- ");
  return cut == std::string_view::npos ? std::string_view() : line.substr(0, cut);
}

}  // namespace tomelet
