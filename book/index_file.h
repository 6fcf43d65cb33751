#pragma once
// The index file "#INDEX.TXT": decoding its bytes, splitting the text into lines and
// taking the token that names an entry from each line.
#include <string>
#include <string_view>
#include <vector>

namespace tomelet {

// Decodes the index file's bytes to UTF-8: after the three bytes EF BB BF the rest is
// UTF-8 (malformed sequences become U+FFFD); without them every byte is in the system's
// ANSI code page.
std::string DecodeIndexText(std::string_view bytes);

// The non-empty lines of the decoded text, in order. Every CR and every LF ends a line.
// The lines point into `text`, which must outlive them.
std::vector<std::string_view> SplitIndexLines(std::string_view text);

// The token of a line: the text before the first "-" or " ". Empty when the line holds
// neither or starts with one of them; such a line names no entry.
std::string_view IndexLineToken(std::string_view line);

}  // namespace tomelet
