#pragma once
// The book-information page: the bytes of "#META.TXT" as an 8-bit RTF page.
//
// Free text becomes plain paragraphs (one per CR). Text made mostly of "key: value"
// lines becomes a two-column table, keys in bold in the narrow left column. The text is
// UTF-8 when it starts with the bytes EF BB BF, otherwise in the system's ANSI code page;
// characters outside 7-bit ASCII are written as "\uN?" escapes of their UTF-16 units, so
// the page reads the same whatever code page it is handed over in. RTF's special
// characters "\", "{" and "}" in the text are escaped.
#include <optional>
#include <string>
#include <string_view>

namespace tomelet {

// The page for the information file's bytes (without any terminating NUL), or nothing
// for an empty file.
std::optional<std::string> BuildInfoPage(std::string_view metaBytes);

}  // namespace tomelet
