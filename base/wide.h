#pragma once
// Wide-text conversions: UTF-16 on Windows (the ANSI ones through the system's code
// page); natively the wide form is UTF-32 and only the UTF-8 pair is provided.
#include <string>
#include <string_view>

namespace tomelet {

std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);
std::wstring AnsiToWide(std::string_view ansi);
std::string WideToAnsi(std::wstring_view wide, bool* lossless = nullptr);

// The registry and path forms of the neutral code (char16_t) and the window system's
// (wchar_t): the same UTF-16 units on Windows, where only these are used.
inline std::u16string ToU16(std::wstring_view text) { return {text.begin(), text.end()}; }
inline std::wstring ToWide(std::u16string_view text) { return {text.begin(), text.end()}; }

}  // namespace tomelet
