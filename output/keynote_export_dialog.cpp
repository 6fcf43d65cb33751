#include "output/keynote_export_dialog.h"


#include <vector>

#include "base/accessible_object.h"
#include "base/dpi_scale.h"
#include "base/language.h"
#include "base/late_bound.h"
#include "base/win_handles.h"
#include "base/wide.h"
#include "base/window_dpi.h"
#include "output/output_messages.h"
#include "output/safe_file.h"
#include "output/save_rules.h"
#include "res/resource_ids.h"
#include "view/accessible_rules.h"
#include "view/picture_to_rtf.h"

namespace tomelet {
namespace {

const TextPair kDone = {L"Export done!\r", L"Export fertig!\r"};
const TextPair kNotCreated = {L"Couldn't create file:\r", L"Konnte Datei nicht anlegen:\r"};
const TextPair kWriteFailed = {L"Error while writing to file\r", L"Fehler beim Schreiben in die Datei\r"};
const TextPair kCannotOpen = {L"Could not open chapter:\r", L"Konnte Kapitel nicht \u00f6ffnen:\r"};
const TextPair kCannotLoad = {L"Error while loading chapter\r", L"Fehler beim Laden des Kapitels\r"};
const TextPair kUnknownSuffix = {L"Unknown file suffix \"", L"Unbekannte Dateiendung \""};
const TextPair kNoFileType = {L"\"\rCan't determine file type.", L"\"\rKann Dateityp nicht bestimmen."};

constexpr std::size_t kMaxNameChars = MAX_PATH - 1;

struct DialogData {
  HINSTANCE instance;
  BookSession* session;
  HFONT listFont;  // the contents list's, copied: the main window may replace its own meanwhile
  const PasswordAsker* ask;
  UniqueFont ownListFont = {};
};

std::wstring ControlText(HWND control) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::vector<int> SelectedRows(HWND list) {
  const LRESULT count = SendMessageW(list, LB_GETSELCOUNT, 0, 0);
  if (count <= 0) return {};
  std::vector<int> rows(static_cast<std::size_t>(count));
  const LRESULT got =
      SendMessageW(list, LB_GETSELITEMS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(rows.data()));
  rows.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return rows;
}

std::wstring RowText(HWND list, int row) {
  const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
  if (length == LB_ERR) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(length));
  return text;
}

void PutName(HWND dialog, const std::wstring& name) {
  SetDlgItemTextW(dialog, IDE_EXPORT_NAME, name.c_str());
  const auto end = static_cast<WPARAM>(name.size());
  SendDlgItemMessageW(dialog, IDE_EXPORT_NAME, EM_SETSEL, end, static_cast<LPARAM>(end));
}

void UpdateOk(HWND dialog) {
  const std::size_t selected = SelectedRows(GetDlgItem(dialog, IDL_EXPORT_LIST)).size();
  const auto nameLength = static_cast<std::size_t>(GetWindowTextLengthW(GetDlgItem(dialog, IDE_EXPORT_NAME)));
  EnableWindow(GetDlgItem(dialog, IDOK), ExportOkEnabled(selected, nameLength));
}

void OnInitDialog(HWND dialog, DialogData& data) {
  const HWND list = GetDlgItem(dialog, IDL_EXPORT_LIST);
  LOGFONTW font{};
  if (data.listFont && GetObjectW(data.listFont, sizeof(font), &font)) data.ownListFont.reset(CreateFontIndirectW(&font));
  if (data.ownListFont) SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(data.ownListFont.get()), FALSE);
  SendMessageW(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(ScaleForDpi(1024, WindowDpi(dialog))), 0);
  static const TextPair kHint = {
      L"You can select several chapters.\r\rMouse with Shift key selects a sequence. This can also be done by "
      L"dragging the mouse.\r\rUse mouse and the Ctrl key to select or deselect individual entries.",
      L"Es k\u00f6nnen mehrere Kapitel ausgew\u00e4hlt werden.\r\rMaus mit Shift-Taste w\u00e4hlt eine Folge. Das "
      L"ist auch mit einem Ziehen der Maus m\u00f6glich.\r\rMit Maus und Strg-Taste k\u00f6nnen beliebig einzelne "
      L"Eintr\u00e4ge gew\u00e4hlt oder abgew\u00e4hlt werden."};
  if (!IsGerman()) {
    SetWindowTextW(dialog, L"Export as KeyNote file...");
    SetDlgItemTextW(dialog, IDC_EXPORT_NAME_LABEL, L"&File name:");
    SetDlgItemTextW(dialog, IDC_EXPORT_LIST_LABEL, L"C&hapters to export (multi selection):");
    SetDlgItemTextW(dialog, IDCANCEL, L"&Cancel");
  }
  SetDlgItemTextW(dialog, IDC_EXPORT_HINT, Pick(kHint));
  Spoken browse;  // the ">>" button, by what it does
  browse.name = [] {
    const std::u16string_view name = SpokenName(SpokenPart::BrowseButton, IsGerman());
    return std::wstring(name.begin(), name.end());
  };
  MakeSpoken(GetDlgItem(dialog, IDB_EXPORT_BROWSE), std::move(browse));
  SendDlgItemMessageW(dialog, IDE_EXPORT_NAME, EM_LIMITTEXT, kMaxNameChars, 0);
  PutName(dialog, ProposedKeyNoteName(data.session->bookPath).substr(0, kMaxNameChars));

  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  for (const ContentsRow& row : data.session->rows) {
    const std::wstring text = ExportRowText(row.displayText);
    if (text.empty()) continue;
    const LRESULT at = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (at >= 0) SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(at), static_cast<LPARAM>(row.chapterRow));
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDL_EXPORT_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
  SetFocus(GetDlgItem(dialog, IDB_EXPORT_BROWSE));
}

void OnBrowse(HWND dialog) {
  wchar_t name[MAX_PATH] = {};
  GetDlgItemTextW(dialog, IDE_EXPORT_NAME, name, MAX_PATH);
  const std::wstring filters = KeyNoteFilters(IsGerman());
  OPENFILENAMEW file{};
  file.lStructSize = sizeof(file);
  file.hwndOwner = dialog;
  file.lpstrFilter = filters.c_str();
  file.nFilterIndex = KeyNoteFilterFor(name);
  file.lpstrFile = name;
  file.nMaxFile = MAX_PATH;
  file.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_EXPLORER | OFN_ENABLESIZING;
  if (!late::GetSaveFileNameW(&file)) return;
  PutName(dialog, name);
  UpdateOk(dialog);
}

void OnOk(HWND dialog, const DialogData& data) {
  const std::wstring name = ControlText(GetDlgItem(dialog, IDE_EXPORT_NAME)).substr(0, kMaxNameChars);
  const std::wstring suffix = NameSuffix(name);
  if (!IsKeyNoteSuffix(suffix)) {
    ShowOutputMessage(dialog, Pick(kUnknownSuffix) + suffix + Pick(kNoFileType), MB_ICONERROR);
    return;
  }
  if (WriteKeyNoteFile(dialog, GetDlgItem(dialog, IDL_EXPORT_LIST), name, *data.session, *data.ask) ==
      ExportState::Done)
    EndDialog(dialog, IDOK);
}

INT_PTR CALLBACK ExportDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      OnInitDialog(dialog, *reinterpret_cast<DialogData*>(lParam));
      return FALSE;  // the focus is on the ">>" button
    case WM_COMMAND: {
      const auto* data = reinterpret_cast<const DialogData*>(GetWindowLongPtrW(dialog, DWLP_USER));
      switch (LOWORD(wParam)) {
        case IDL_EXPORT_LIST:
          if (HIWORD(wParam) == LBN_SELCHANGE) UpdateOk(dialog);
          break;
        case IDE_EXPORT_NAME:
          if (HIWORD(wParam) == EN_CHANGE) UpdateOk(dialog);
          break;
        case IDB_EXPORT_BROWSE: OnBrowse(dialog); break;
        case IDOK:
          if (data) OnOk(dialog, *data);
          break;
        case IDCANCEL: EndDialog(dialog, IDCANCEL); break;
        default: break;
      }
      return TRUE;
    }
    default:
      return FALSE;
  }
}

void Report(HWND owner, const KeyNoteResult& result, const std::wstring& path, DWORD fileError) {
  const std::wstring title = AnsiToWide(result.failedTitle);
  switch (result.state) {
    case ExportState::Done: ShowOutputMessage(owner, Pick(kDone) + path, MB_ICONINFORMATION); break;
    case ExportState::NotCreated: ShowSystemError(owner, Pick(kNotCreated) + path, fileError); break;
    case ExportState::WriteFailed: ShowSystemError(owner, Pick(kWriteFailed) + path, fileError); break;
    case ExportState::CannotOpenChapter:
      ShowOutputMessage(owner, Pick(kCannotOpen) + title + L"\r\r\r\n(\"" + Utf8ToWide(result.errorText) + L"\")",
                        MB_ICONINFORMATION);
      break;
    case ExportState::CannotLoadChapter:
      ShowSystemError(owner, Pick(kCannotLoad) + title, ERROR_SUCCESS);  // libzip's failure, no system error
      break;
  }
}

}  // namespace

void ExportDialog(HWND owner, HINSTANCE instance, BookSession& session, HFONT listFont, const PasswordAsker& ask) {
  DialogData data{instance, &session, listFont, &ask};
  DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_EXPORT), owner, ExportDialogProc, reinterpret_cast<LPARAM>(&data));
}

ExportState WriteKeyNoteFile(HWND owner, HWND exportList, const std::wstring& path, BookSession& session,
                             const PasswordAsker& ask) {
  // The list keeps chapter-table rows; the entry reader takes contents rows.
  std::vector<int> contentsRowOf(session.chapters.size(), -1);
  for (std::size_t r = 0; r < session.rows.size(); ++r) {
    const int chapterRow = session.rows[r].chapterRow;
    if (chapterRow >= 0 && static_cast<std::size_t>(chapterRow) < contentsRowOf.size())
      contentsRowOf[static_cast<std::size_t>(chapterRow)] = static_cast<int>(r);
  }
  std::vector<KeyNoteNode> nodes;
  for (int row : SelectedRows(exportList)) {
    const ExportRow read = ReadExportRow(RowText(exportList, row));
    const auto chapterRow = static_cast<std::size_t>(SendMessageW(exportList, LB_GETITEMDATA, static_cast<WPARAM>(row), 0));
    const int contentsRow = chapterRow < contentsRowOf.size() ? contentsRowOf[chapterRow] : -1;
    nodes.push_back({read.level, read.picture, AnsiOrQuestionMarks(WideToUtf8(read.title)), contentsRow});
  }

  KeyNoteResult result;
  DWORD fileError = ERROR_SUCCESS;
  {  // an unfinished file is gone before the message shows
    const WaitCursor wait;
    SafeFileWriter file(path);
    if (!file.Create()) {
      result.state = ExportState::NotCreated;
    } else {
      const std::string noteName = AnsiOrQuestionMarks(WideToUtf8(NoteNameOf(path)));
      result = WriteKeyNote(file, session, noteName, nodes, ask, PictureToRtf);
      if (result.state == ExportState::Done && !file.Commit()) result.state = ExportState::WriteFailed;
    }
    fileError = file.error();
  }
  Report(owner, result, path, fileError);
  return result.state;
}

}  // namespace tomelet
