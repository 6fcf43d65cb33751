#include "app/command_line.h"

#include "base/text.h"

namespace tomelet {

std::string BookPathFromArguments(const std::vector<std::string>& arguments) {
  std::string joined;
  for (const std::string& argument : arguments) {
    if (&argument != &arguments.front()) joined += ' ';
    joined += argument;
  }
  const std::size_t first = joined.find_first_not_of('"');
  if (first == std::string::npos) return {};
  const std::size_t last = joined.find_last_not_of('"');
  return std::string(TruncateUtf16(std::string_view(joined).substr(first, last - first + 1), 259));
}

}  // namespace tomelet
