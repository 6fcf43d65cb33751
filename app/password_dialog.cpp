// The password dialog (resource 60): the template's texts are German, the English ones
// are set when it opens.
#include <windows.h>

#include "app/book_view.h"
#include "app/main_window.h"
#include "app/viewer.h"
#include "base/language.h"
#include "base/wide.h"
#include "res/resource_ids.h"

namespace tomelet {
namespace {

constexpr std::size_t kMaxPasswordChars = 259;

const TextPair kTitle = {L"Password:", L"Passwort:"};
const TextPair kPasswordLabel = {L"Pass&word:", L"Pass&wort:"};
const TextPair kShowPassword = {L"&Show password", L"&Passwort anzeigen"};
const TextPair kDontAskAgain = {L"&Don't ask for password again", L"&Nicht noch einmal nach Passwort fragen"};
const TextPair kOk = {L"&OK", L"&OK"};
const TextPair kCancel = {L"&Cancel", L"&Abbrechen"};

void ShowPlainText(HWND dialog, bool plain) {
  HWND edit = GetDlgItem(dialog, IDE_PASSWORD);
  SendMessageW(edit, EM_SETPASSWORDCHAR, plain ? 0 : L'*', 0);
  InvalidateRect(edit, nullptr, TRUE);
}

void OnInitDialog(HWND dialog) {
  if (!IsGerman()) {
    SetWindowTextW(dialog, Pick(kTitle));
    SetDlgItemTextW(dialog, IDS_PASSWORD, Pick(kPasswordLabel));
    SetDlgItemTextW(dialog, IDB_SHOW_PASSWORD, Pick(kShowPassword));
    SetDlgItemTextW(dialog, IDB_DONT_ASK_AGAIN, Pick(kDontAskAgain));
    SetDlgItemTextW(dialog, IDOK, Pick(kOk));
    SetDlgItemTextW(dialog, IDCANCEL, Pick(kCancel));
  }
  const BookSession& session = Session();
  const bool show = TheProgram().settings.showPassword == 1;
  CheckDlgButton(dialog, IDB_SHOW_PASSWORD, show ? BST_CHECKED : BST_UNCHECKED);
  ShowPlainText(dialog, show);
  CheckDlgButton(dialog, IDB_DONT_ASK_AGAIN, session.dontAskPassword ? BST_CHECKED : BST_UNCHECKED);
  SendDlgItemMessageW(dialog, IDE_PASSWORD, EM_LIMITTEXT, kMaxPasswordChars, 0);
  SetDlgItemTextW(dialog, IDE_PASSWORD, AnsiToWide(session.password).c_str());
}

void OnOk(HWND dialog) {
  TheProgram().settings.showPassword = IsDlgButtonChecked(dialog, IDB_SHOW_PASSWORD) == BST_CHECKED ? 1 : 0;
  auto* answer = reinterpret_cast<PasswordAnswer*>(GetWindowLongPtrW(dialog, DWLP_USER));
  answer->dontAskAgain = IsDlgButtonChecked(dialog, IDB_DONT_ASK_AGAIN) == BST_CHECKED;
  HWND edit = GetDlgItem(dialog, IDE_PASSWORD);
  std::wstring typed(static_cast<std::size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
  typed.resize(static_cast<std::size_t>(GetWindowTextW(edit, typed.data(), static_cast<int>(typed.size()))));
  if (typed.size() > kMaxPasswordChars) typed.resize(kMaxPasswordChars);
  answer->typedUtf8 = WideToUtf8(typed);
  EndDialog(dialog, IDOK);
}

INT_PTR CALLBACK PasswordDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);  // where OK leaves the answer
      OnInitDialog(dialog);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDB_SHOW_PASSWORD:
          if (HIWORD(wParam) == BN_CLICKED)
            ShowPlainText(dialog, IsDlgButtonChecked(dialog, IDB_SHOW_PASSWORD) == BST_CHECKED);
          return TRUE;
        case IDOK:
          OnOk(dialog);
          return TRUE;
        case IDCANCEL:
          EndDialog(dialog, IDCANCEL);
          return TRUE;
        default:
          return FALSE;
      }
    default:
      return FALSE;
  }
}

}  // namespace

PasswordAsker PasswordDialog() {
  return []() -> std::optional<PasswordAnswer> {
    PasswordAnswer answer;
    DrawHeldMenuBar();
    const INT_PTR result = DialogBoxParamW(TheProgram().instance, MAKEINTRESOURCEW(IDD_PASSWORD), Main().window,
                                           PasswordDialogProc, reinterpret_cast<LPARAM>(&answer));
    if (result != IDOK) return std::nullopt;
    // The dialog took the cursor; checking the password and reading go on under the wait cursor.
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    return answer;
  };
}

}  // namespace tomelet
