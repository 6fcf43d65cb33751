#pragma once
// UTF-16 conversions for the Win32 side.
#include <string>
#include <string_view>

namespace tomelet {

std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);
std::wstring AnsiToWide(std::string_view ansi);
std::string WideToAnsi(std::wstring_view wide, bool* lossless = nullptr);

}  // namespace tomelet
