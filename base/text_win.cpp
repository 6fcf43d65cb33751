// The system side of text conversion on Windows: the ANSI code page and the user's
// locale, through the same calls the list boxes and edit controls use.
#include <windows.h>

#include "base/text.h"
#include "base/wide.h"

namespace tomelet {

std::wstring Utf8ToWide(std::string_view utf8) {
  if (utf8.empty()) return {};
  // MultiByteToWideChar replaces malformed sequences by U+FFFD without MB_ERR_INVALID_CHARS.
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

std::string WideToUtf8(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
  return out;
}

std::wstring AnsiToWide(std::string_view ansi) {
  if (ansi.empty()) return {};
  const int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), out.data(), n);
  return out;
}

std::string WideToAnsi(std::wstring_view wide, bool* lossless) {
  if (lossless) *lossless = true;
  if (wide.empty()) return {};
  BOOL usedDefault = FALSE;
  const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, "?",
                                    &usedDefault);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, "?", &usedDefault);
  if (lossless) *lossless = !usedDefault;
  return out;
}

std::string AnsiToUtf8(std::string_view ansi) { return WideToUtf8(AnsiToWide(ansi)); }

std::string Utf8ToAnsi(std::string_view utf8, bool* lossless) { return WideToAnsi(Utf8ToWide(utf8), lossless); }

std::string CollationKey(std::string_view utf8) {
  const std::wstring wide = Utf8ToWide(utf8);
  if (wide.empty()) return {};
  constexpr DWORD kFlags = LCMAP_SORTKEY | NORM_IGNORECASE;
  const int n = LCMapStringW(LOCALE_USER_DEFAULT, kFlags, wide.data(), static_cast<int>(wide.size()), nullptr, 0);
  if (n <= 0) return utf8.data() ? std::string(utf8) : std::string();
  std::string key(static_cast<std::size_t>(n), '\0');
  LCMapStringW(LOCALE_USER_DEFAULT, kFlags, wide.data(), static_cast<int>(wide.size()),
               reinterpret_cast<LPWSTR>(key.data()), n);
  if (!key.empty() && key.back() == '\0') key.pop_back();  // the key's own terminator
  return key;
}

bool EqualIgnoringCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  if (a.empty()) return true;
  return CompareStringOrdinal(reinterpret_cast<LPCWCH>(a.data()), static_cast<int>(a.size()),
                              reinterpret_cast<LPCWCH>(b.data()), static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace tomelet
