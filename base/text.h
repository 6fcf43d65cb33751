#pragma once
// Text helpers shared by every module. Platform-neutral code keeps its text in UTF-8;
// the functions marked "system" are the seam to the platform (ANSI code page, collation),
// implemented in text_win.cpp on Windows and text_posix.cpp elsewhere.
#include <cstddef>
#include <string>
#include <string_view>

namespace tomelet {

// Decodes the code point starting at bytes[pos] and advances pos. Malformed sequences
// (overlong, surrogates, truncated, above U+10FFFF) give U+FFFD and advance one byte.
char32_t NextCodePoint(std::string_view utf8, std::size_t& pos);

// Appends the UTF-8 form of one code point (U+FFFD for values that are not characters).
void AppendUtf8(std::string& out, char32_t cp);

// Makes any byte string valid UTF-8, replacing malformed sequences by U+FFFD.
std::string SanitizeUtf8(std::string_view bytes);

// Number of UTF-16 code units the text needs (what a Win32 buffer counts).
std::size_t Utf16Length(std::string_view utf8);

// The longest prefix of the text that fits in maxUnits UTF-16 code units, never
// splitting a character.
std::string_view TruncateUtf16(std::string_view utf8, std::size_t maxUnits);

// ASCII upper-casing (rules of the book format compare extensions this way).
std::string AsciiUpper(std::string_view text);

// --- system ---------------------------------------------------------------------------

// Bytes in the system's ANSI code page to UTF-8.
std::string AnsiToUtf8(std::string_view ansi);

// UTF-8 to the system's ANSI code page. Characters the code page lacks become '?';
// *lossless (when given) tells whether every character had a representation.
std::string Utf8ToAnsi(std::string_view utf8, bool* lossless = nullptr);

// A key whose byte order is the user's locale's case-insensitive order of the texts
// (the order a sorted list box shows).
std::string CollationKey(std::string_view utf8);

// Whether two texts are equal but for letter case, by the system's case folding (the
// way the file system compares names: "B\u00fccher" and "B\u00dcCHER" are one name).
bool EqualIgnoringCase(std::u16string_view a, std::u16string_view b);

}  // namespace tomelet
