#include "book/password_prompt.h"

#include <windows.h>

#include "app/language.h"
#include "app/main_window.h"
#include "app/viewer.h"
#include "base/text.h"
#include "base/wide.h"
#include "book/book_session.h"
#include "res/resource_ids.h"

namespace tomelet {
namespace {

constexpr std::size_t kMaxPasswordChars = 259;
constexpr std::size_t kMaxPasswordBytes = 511;

const TextPair kTitle = {L"Password:", L"Passwort:"};
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
  BookSession& session = Session();
  TheProgram().settings.showPassword = IsDlgButtonChecked(dialog, IDB_SHOW_PASSWORD) == BST_CHECKED ? 1 : 0;
  session.dontAskPassword = IsDlgButtonChecked(dialog, IDB_DONT_ASK_AGAIN) == BST_CHECKED;
  HWND edit = GetDlgItem(dialog, IDE_PASSWORD);
  std::wstring typed(static_cast<std::size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
  typed.resize(static_cast<std::size_t>(GetWindowTextW(edit, typed.data(), static_cast<int>(typed.size()))));
  if (typed.size() > kMaxPasswordChars) typed.resize(kMaxPasswordChars);
  session.password = WideToAnsi(typed).substr(0, kMaxPasswordBytes);
  if (auto* out = reinterpret_cast<std::wstring*>(GetWindowLongPtrW(dialog, DWLP_USER))) *out = typed;
  EndDialog(dialog, IDOK);
}

INT_PTR CALLBACK PasswordDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);  // where OK leaves the typed text
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


// The password typed is given to libzip in the ANSI code page. When the entry refuses
// that form and the password has characters beyond ASCII, the same password is tried as
// UTF-8 (what many ZIP tools write); the form that opens the entry becomes the book's.
std::string PasswordFormThatOpens(zip_t* archive, zip_uint64_t entry, const std::string& ansi,
                                  const std::string& utf8) {
  if (utf8 == ansi) return ansi;
  ZipFilePtr probe(zip_fopen_index_encrypted(archive, entry, 0, ansi.c_str()));
  if (probe || zip_get_error(archive)->zip_err != ZIP_ER_WRONGPASSWD) return ansi;
  probe.reset(zip_fopen_index_encrypted(archive, entry, 0, utf8.c_str()));
  zip_error_clear(archive);
  return probe ? utf8 : ansi;
}

}  // namespace

void AskPasswordIfNeeded(zip_t* archive, zip_uint64_t entry, const EntryInfo& info) {
  BookSession& session = Session();
  if (info.encryptionMethod == ZIP_EM_NONE || !session.password.empty() || session.dontAskPassword) return;
  std::wstring typed;
  const INT_PTR answer = DialogBoxParamW(TheProgram().instance, MAKEINTRESOURCEW(IDD_PASSWORD), Main().window,
                                         PasswordDialogProc, reinterpret_cast<LPARAM>(&typed));
  if (answer != IDOK) return;
  session.password = PasswordFormThatOpens(archive, entry, session.password, WideToUtf8(typed));
  zip_set_default_password(archive, session.password.c_str());
}

}  // namespace tomelet
