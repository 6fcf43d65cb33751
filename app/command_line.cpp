#include "app/command_line.h"

#include "base/text.h"

namespace tomelet {

std::vector<std::string> ArgumentsOfCommandLine(std::string_view line) {
  std::size_t at = 0;
  const auto blank = [&] { return at < line.size() && (line[at] == ' ' || line[at] == '\t'); };
  if (at < line.size() && line[at] == '"') {  // the program's name: no escapes
    const std::size_t close = line.find('"', at + 1);
    at = close == std::string_view::npos ? line.size() : close + 1;
  } else {
    while (at < line.size() && !blank()) ++at;
  }
  std::vector<std::string> arguments;
  while (true) {
    while (blank()) ++at;
    if (at >= line.size()) return arguments;
    std::string& argument = arguments.emplace_back();
    bool quoted = false;
    while (at < line.size() && (quoted || !blank())) {
      std::size_t backslashes = 0;
      while (at < line.size() && line[at] == '\\') ++backslashes, ++at;
      if (at < line.size() && line[at] == '"') {
        argument.append(backslashes / 2, '\\');
        ++at;
        if (backslashes % 2) {
          argument += '"';
        } else if (quoted && at < line.size() && line[at] == '"') {
          argument += '"';  // "" inside quotes: a quote, and the quotes are closed
          ++at;
          quoted = false;
        } else {
          quoted = !quoted;
        }
      } else {
        argument.append(backslashes, '\\');
        if (backslashes == 0) argument += line[at++];
      }
    }
  }
}

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
