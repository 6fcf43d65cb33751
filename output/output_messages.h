#pragma once
// The message boxes of saving and exporting: caption "Tomelet viewer", owned by the
// window in front.
#include <windows.h>

#include <string>

namespace tomelet {

inline constexpr wchar_t kOutputCaption[] = L"Tomelet viewer";

// MB_OK unless `type` names other buttons.
int ShowOutputMessage(HWND owner, const std::wstring& text, UINT type);

// The message, two carriage returns, "System error message:" and the system's text for
// `error` (nothing after the label when the system has none, or for no error at all).
void ShowSystemError(HWND owner, const std::wstring& message, DWORD error = GetLastError());

}  // namespace tomelet
