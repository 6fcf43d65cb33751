// The system side of text conversion for native builds (tests, fuzzers, benchmarks):
// the ANSI code page is Windows-1252, the code page of the English and German systems
// the program is tested on; collation folds case per code point.
#include <locale.h>
#include <wctype.h>

#include <algorithm>
#include <cwctype>

#include "base/text.h"
#include "base/wide.h"

namespace tomelet {
namespace {

// Windows-1252 bytes 0x80..0x9F; 0 marks the five undefined ones.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char32_t FromCp1252(unsigned char b) {
  if (b < 0x80 || b >= 0xA0) return b;
  const char16_t c = kCp1252High[b - 0x80];
  return c ? c : b;  // undefined bytes map to the C1 control of the same value, as Windows does
}

int ToCp1252(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  for (int i = 0; i < 32; ++i)
    if (kCp1252High[i] == cp || (kCp1252High[i] == 0 && cp == char32_t(0x80 + i))) return 0x80 + i;
  return -1;
}

}  // namespace

std::string AnsiToUtf8(std::string_view ansi) {
  std::string out;
  out.reserve(ansi.size());
  for (unsigned char b : ansi) AppendUtf8(out, FromCp1252(b));
  return out;
}

std::string Utf8ToAnsi(std::string_view utf8, bool* lossless) {
  std::string out;
  bool all = true;
  for (std::size_t pos = 0; pos < utf8.size();) {
    const int b = ToCp1252(NextCodePoint(utf8, pos));
    if (b < 0) all = false;
    out += b < 0 ? '?' : static_cast<char>(b);
  }
  if (lossless) *lossless = all;
  return out;
}

// Wide text here is UTF-32 (wchar_t holds a whole character) or UTF-16.
std::wstring Utf8ToWide(std::string_view utf8) {
  std::wstring out;
  out.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) {
    const char32_t cp = NextCodePoint(utf8, pos);
    if (sizeof(wchar_t) == 2 && cp > 0xFFFF) {
      out += static_cast<wchar_t>(0xD800 + ((cp - 0x10000) >> 10));
      out += static_cast<wchar_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      out += static_cast<wchar_t>(cp);
    }
  }
  return out;
}

std::string WideToUtf8(std::wstring_view wide) {
  std::string out;
  out.reserve(wide.size());
  for (std::size_t i = 0; i < wide.size(); ++i) {
    auto cp = static_cast<char32_t>(wide[i]);
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < wide.size()) {
      const auto low = static_cast<char32_t>(wide[i + 1]);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    AppendUtf8(out, cp);
  }
  return out;
}

bool EqualIgnoringCase(std::u16string_view a, std::u16string_view b) {
  // Upper-casing unit by unit, as Windows' ordinal comparison does.
  static const locale_t unicode = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
  const auto upper = [](char16_t c) {
    return unicode ? static_cast<char16_t>(towupper_l(static_cast<wint_t>(c), unicode)) : c;
  };
  return std::ranges::equal(a, b, [&](char16_t x, char16_t y) { return upper(x) == upper(y); });
}

std::string CollationKey(std::string_view utf8) {
  std::string key;
  key.reserve(utf8.size() * 3);
  for (std::size_t pos = 0; pos < utf8.size();) {
    const auto folded = static_cast<char32_t>(std::towlower(static_cast<wint_t>(NextCodePoint(utf8, pos))));
    key += static_cast<char>((folded >> 16) & 0xFF);
    key += static_cast<char>((folded >> 8) & 0xFF);
    key += static_cast<char>(folded & 0xFF);
  }
  return key;
}

}  // namespace tomelet
