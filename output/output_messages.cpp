#include "output/output_messages.h"

#include "base/language.h"

namespace tomelet {

int ShowOutputMessage(HWND owner, const std::wstring& text, UINT type) {
  return MessageBoxW(owner, text.c_str(), kOutputCaption, type);
}

void ShowSystemError(HWND owner, const std::wstring& message, DWORD error) {
  static const TextPair kLabel = {L"System error message:", L"System-Fehlermeldung:"};
  wchar_t systemText[2048] = {};
  if (error != ERROR_SUCCESS &&
      FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, error, 0, systemText, 2048, nullptr) == 0)
    systemText[0] = L'\0';
  ShowOutputMessage(owner, message + L"\r\r" + Pick(kLabel) + L"\r" + systemText, MB_ICONERROR);
}

}  // namespace tomelet
