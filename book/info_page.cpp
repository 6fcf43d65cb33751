#include "book/info_page.h"

#include <charconv>
#include <cstddef>

#include "base/text.h"

namespace tomelet {
namespace {

constexpr char16_t kCr = u'\r';

constexpr std::string_view kPlainStart =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fprq2\\fcharset0 Arial;}}\\uc1\\f0\\fs20 \r";
constexpr std::string_view kTableStart =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fprq2\\fcharset0 Arial;}}\\uc1\\f0\\fs20"
    "\\trowd\\cellx1552\\cellx9476\\pard\\intbl\\nowidctlparc \r\\b ";
constexpr std::string_view kRowWithoutValue = "\\b0\\cell\\cell\\row\r\\b ";
constexpr std::string_view kRowWithValue = "\\cell\\row\r\\b ";
constexpr std::string_view kKeyEnd = "\\b0\\cell ";
constexpr std::string_view kLastRowWithoutValue = "\\b0\\cell\\cell\\row}";
constexpr std::string_view kLastRowWithValue = "\\cell\\row}";

// A key's colon must come within this many characters of the line start (the LF of a
// CR LF pair counts as the first of them).
constexpr std::size_t kKeyColumnLimit = 32;

// The text as UTF-16 code units: the column rules count units, and characters outside
// the basic plane are written as their two surrogates.
std::u16string Decode(std::string_view bytes) {
  std::string converted;
  std::string_view utf8;
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    utf8 = bytes.substr(3);
  } else {
    converted = AnsiToUtf8(bytes);
    utf8 = converted;
  }
  std::u16string units;
  units.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) {
    const char32_t cp = NextCodePoint(utf8, pos);
    if (cp >= 0x10000) {
      units += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
      units += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      units += static_cast<char16_t>(cp);
    }
  }
  return units;
}

// Key lines are lines whose first colon comes early; a table needs at least three lines
// and no more than three that aren't key lines.
bool LooksLikeKeyValueList(const std::u16string& text) {
  std::size_t lines = 1, keyLines = 0, column = 0;
  for (const char16_t c : text) {
    ++column;
    if (c == kCr) {
      ++lines;
      column = 0;
    } else if (c == u':' && column <= kKeyColumnLimit) {
      ++keyLines;
      column = kKeyColumnLimit + 1;  // later colons of the line don't count
    }
  }
  return lines >= 3 && keyLines >= lines - 3;
}

// One character of text: 7-bit characters as themselves (RTF's own "\", "{", "}"
// escaped), the rest as "\uN?" with the unsigned code unit; control characters vanish.
void PutCharacter(std::string& out, char16_t c) {
  if (c < 32) return;
  if (c < 128) {
    if (c == u'\\' || c == u'{' || c == u'}') out += '\\';
    out += static_cast<char>(c);
    return;
  }
  char digits[8];
  const auto end = std::to_chars(digits, digits + sizeof digits, static_cast<unsigned>(c)).ptr;
  out += "\\u";
  out.append(digits, end);
  out += '?';
}

std::string PlainPage(const std::u16string& text) {
  std::string page;
  page.reserve(kPlainStart.size() + text.size() + text.size() / 4 + 2);
  page += kPlainStart;
  for (const char16_t c : text) {
    if (c == kCr)
      page += "\\par\r";
    else
      PutCharacter(page, c);
  }
  page += '}';
  return page;
}

// Keys lose their spaces, a value loses the spaces right after the colon, runs of spaces
// become one, control characters other than CR and empty lines disappear (also at the
// start and the end of the text).
std::u16string NormaliseKeyValueText(const std::u16string& text) {
  std::u16string out;
  out.reserve(text.size());
  int state = 0;  // 0 in the key, 1 just after the first colon, 2 in the value
  char16_t previous = 0;
  for (const char16_t c : text) {
    if (c == kCr) {
      if (!out.empty() && out.back() != kCr) out += kCr;
      state = 0;
    } else if (c == u' ') {
      if (previous != u' ' && state >= 2) out += c;
    } else if (c == u':') {
      out += c;
      if (state < 2) ++state;
    } else if (c >= 32) {
      out += c;
      if (state == 1) state = 2;
    }
    previous = c;
  }
  if (!out.empty() && out.back() == kCr) out.pop_back();
  return out;
}

std::string TablePage(const std::u16string& text) {
  const std::u16string rows = NormaliseKeyValueText(text);
  std::string page;
  page.reserve(kTableStart.size() + rows.size() + rows.size() / 4 + kLastRowWithoutValue.size());
  page += kTableStart;
  bool valueStarted = false;  // the line's first colon has been met
  for (const char16_t c : rows) {
    if (c == kCr) {
      page += valueStarted ? kRowWithValue : kRowWithoutValue;
      valueStarted = false;
    } else if (c == u':' && !valueStarted) {
      page += kKeyEnd;
      valueStarted = true;
    } else {
      PutCharacter(page, c);
    }
  }
  page += valueStarted ? kLastRowWithValue : kLastRowWithoutValue;
  return page;
}

}  // namespace

std::optional<std::string> BuildInfoPage(std::string_view metaBytes) {
  if (metaBytes.empty()) return std::nullopt;
  const std::u16string text = Decode(metaBytes);
  return LooksLikeKeyValueList(text) ? TablePage(text) : PlainPage(text);
}

}  // namespace tomelet
