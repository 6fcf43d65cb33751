#include "app/bookmark_dialogs.h"

#include <commctrl.h>

#include <utility>

#include "app/app_texts.h"
#include "app/book_view.h"
#include "app/bookmarks.h"
#include "app/main_window.h"
#include "app/viewer.h"
#include "app/visited_places.h"
#include "base/wide.h"
#include "res/resource_ids.h"

namespace tomelet {
namespace {

std::wstring DialogItemText(HWND dialog, int id) {
  const HWND item = GetDlgItem(dialog, id);
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(item)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(item, text.data(), static_cast<int>(text.size()))));
  return text;
}

// --- the name dialog (Add bookmark, Rename) -------------------------------------------

struct NameRequest {
  const TextPair* caption;
  std::wstring name;  // the proposal in, the name typed out
  std::wstring note;  // lines shown under the name; empty for none
  bool canAccept = true;
};

void OnNameInit(HWND dialog, const NameRequest& request) {
  SetWindowTextW(dialog, Pick(*request.caption));
  SetDlgItemTextW(dialog, IDC_BOOKMARK_NAME_LABEL, Pick(texts::kBookmarkNameLabel));
  SetDlgItemTextW(dialog, IDOK, Pick(texts::kOk));
  SetDlgItemTextW(dialog, IDCANCEL, Pick(texts::kCancel));
  SetDlgItemTextW(dialog, IDC_BOOKMARK_NOTE, request.note.c_str());
  SendDlgItemMessageW(dialog, IDE_BOOKMARK_NAME, EM_LIMITTEXT, Bookmarks::kMaxNameChars, 0);
  SetDlgItemTextW(dialog, IDE_BOOKMARK_NAME, request.name.c_str());
  SendDlgItemMessageW(dialog, IDE_BOOKMARK_NAME, EM_SETSEL, 0, -1);
  EnableWindow(GetDlgItem(dialog, IDOK), request.canAccept && !request.name.empty());
}

INT_PTR CALLBACK NameDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* request = reinterpret_cast<NameRequest*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      OnNameInit(dialog, *reinterpret_cast<NameRequest*>(lParam));
      return TRUE;  // the focus goes to the name
    case WM_COMMAND:
      if (LOWORD(wParam) == IDE_BOOKMARK_NAME && HIWORD(wParam) == EN_CHANGE) {
        // A bookmark always has a name to be chosen by.
        const bool typed = GetWindowTextLengthW(GetDlgItem(dialog, IDE_BOOKMARK_NAME)) > 0;
        EnableWindow(GetDlgItem(dialog, IDOK), request->canAccept && typed);
      } else if (LOWORD(wParam) == IDOK) {
        if (!IsWindowEnabled(GetDlgItem(dialog, IDOK))) return TRUE;
        request->name = DialogItemText(dialog, IDE_BOOKMARK_NAME);
        EndDialog(dialog, IDOK);
      } else if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
      }
      return TRUE;
    default:
      return FALSE;
  }
}

bool AskName(HWND owner, NameRequest& request) {
  return DialogBoxParamW(TheProgram().instance, MAKEINTRESOURCEW(IDD_BOOKMARK_NAME), owner, NameDialogProc,
                         reinterpret_cast<LPARAM>(&request)) == IDOK;
}

// What the Add dialog says before the bookmark is made.
std::wstring AddNote(const AddOutcome& outcome) {
  std::wstring note;
  const auto line = [&](const std::wstring& text) { note += (note.empty() ? L"" : L"\n") + text; };
  if (outcome.refused == AddOutcome::Refusal::BookFull) line(Pick(texts::kBookmarksFull));
  if (outcome.refused == AddOutcome::Refusal::PathTooLong) line(Pick(texts::kBookmarksPathTooLong));
  if (outcome.bookDropped) {
    std::wstring text = Pick(texts::kBookmarksOfOldestGo);
    text.replace(text.find(L"%1"), 2, ToWide(*outcome.bookDropped));
    line(text);
  }
  if (TheProgram().settings.storeSettings != -1) line(Pick(texts::kBookmarksNotKept));
  return note;
}

// --- Organize bookmarks ---------------------------------------------------------------

struct Organizer {
  std::u16string book;
  std::vector<Bookmark> marks;
  int goTo = -1;  // the bookmark chosen with Go
};

HWND ListOf(HWND dialog) { return GetDlgItem(dialog, IDL_BOOKMARKS); }

int ChosenMark(HWND dialog) {
  return static_cast<int>(SendMessageW(ListOf(dialog), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void EnableButtons(HWND dialog) {
  const int chosen = ChosenMark(dialog);
  const auto* organizer = reinterpret_cast<const Organizer*>(GetWindowLongPtrW(dialog, DWLP_USER));
  const int count = static_cast<int>(organizer->marks.size());
  for (const int id : {IDB_BOOKMARK_GO, IDB_BOOKMARK_RENAME, IDB_BOOKMARK_DELETE})
    EnableWindow(GetDlgItem(dialog, id), chosen >= 0);
  EnableWindow(GetDlgItem(dialog, IDB_BOOKMARK_UP), chosen > 0);
  EnableWindow(GetDlgItem(dialog, IDB_BOOKMARK_DOWN), chosen >= 0 && chosen + 1 < count);
}

// Fills the list from the bookmarks and chooses `chosen` (none when out of range).
void FillList(HWND dialog, const Organizer& organizer, int chosen) {
  const HWND list = ListOf(dialog);
  SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
  for (std::size_t i = 0; i < organizer.marks.size(); ++i) {
    std::wstring name = ToWide(organizer.marks[i].name), chapter = RowTitle(organizer.marks[i].place.row);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(i);
    item.pszText = name.data();
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    item.iSubItem = 1;
    item.pszText = chapter.data();
    SendMessageW(list, LVM_SETITEMTEXTW, i, reinterpret_cast<LPARAM>(&item));
  }
  if (chosen >= 0 && static_cast<std::size_t>(chosen) < organizer.marks.size()) {
    LVITEMW state{};
    state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(chosen), reinterpret_cast<LPARAM>(&state));
    SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(chosen), FALSE);
  }
  EnableButtons(dialog);
}

void OnOrganizeInit(HWND dialog, const Organizer& organizer) {
  SetWindowTextW(dialog, Pick(texts::kOrganizeCaption));
  const std::pair<int, const TextPair*> labels[] = {
      {IDC_BOOKMARKS_LABEL, &texts::kOrganizeLabel}, {IDB_BOOKMARK_GO, &texts::kGoTo},
      {IDB_BOOKMARK_RENAME, &texts::kRename},        {IDB_BOOKMARK_DELETE, &texts::kDelete},
      {IDB_BOOKMARK_UP, &texts::kMoveUp},            {IDB_BOOKMARK_DOWN, &texts::kMoveDown},
      {IDCANCEL, &texts::kClose}};
  for (const auto& [id, text] : labels) SetDlgItemTextW(dialog, id, Pick(*text));
  const HWND list = ListOf(dialog);
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  RECT client{};
  GetClientRect(list, &client);
  const int nameWidth = client.right * 11 / 20;
  const std::pair<const TextPair*, int> columns[] = {{&texts::kBookmarkColumn, nameWidth},
                                                     {&texts::kChapterColumn, client.right - nameWidth}};
  for (int i = 0; i < 2; ++i) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<wchar_t*>(Pick(*columns[i].first));
    column.cx = columns[i].second;
    SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
  }
  FillList(dialog, organizer, 0);
}

// Every change is kept at once, so that closing the dialog loses nothing.
void Change(HWND dialog, Organizer& organizer, int chosen) {
  TheProgram().bookmarks.Replace(organizer.book, organizer.marks);
  FillList(dialog, organizer, chosen);
  SetFocus(ListOf(dialog));
}

void OnOrganizeCommand(HWND dialog, Organizer& organizer, int id) {
  const int chosen = ChosenMark(dialog);
  std::vector<Bookmark>& marks = organizer.marks;
  if (id == IDCANCEL) {
    EndDialog(dialog, IDCANCEL);
    return;
  }
  if (chosen < 0 || static_cast<std::size_t>(chosen) >= marks.size()) return;
  const auto at = marks.begin() + chosen;
  switch (id) {
    case IDB_BOOKMARK_GO:
      organizer.goTo = chosen;
      EndDialog(dialog, IDOK);
      break;
    case IDB_BOOKMARK_RENAME: {
      NameRequest request{&texts::kRenameBookmarkCaption, ToWide(at->name), {}};
      if (AskName(dialog, request)) at->name = ToU16(request.name);
      Change(dialog, organizer, chosen);
      break;
    }
    case IDB_BOOKMARK_DELETE:
      marks.erase(at);
      Change(dialog, organizer, std::min(chosen, static_cast<int>(marks.size()) - 1));
      break;
    case IDB_BOOKMARK_UP:
      if (chosen > 0) std::swap(*at, *(at - 1)), Change(dialog, organizer, chosen - 1);
      break;
    case IDB_BOOKMARK_DOWN:
      if (chosen + 1 < static_cast<int>(marks.size())) std::swap(*at, *(at + 1)), Change(dialog, organizer, chosen + 1);
      break;
    default:
      break;
  }
}

INT_PTR OnOrganizeNotify(HWND dialog, const NMHDR* header) {
  if (header->idFrom != IDL_BOOKMARKS) return FALSE;
  if (header->code == LVN_ITEMCHANGED) EnableButtons(dialog);
  if (header->code == NM_DBLCLK) PostMessageW(dialog, WM_COMMAND, IDB_BOOKMARK_GO, 0);
  if (header->code == LVN_KEYDOWN) {
    const WORD key = reinterpret_cast<const NMLVKEYDOWN*>(header)->wVKey;
    if (key == VK_F2) PostMessageW(dialog, WM_COMMAND, IDB_BOOKMARK_RENAME, 0);
    if (key == VK_DELETE) PostMessageW(dialog, WM_COMMAND, IDB_BOOKMARK_DELETE, 0);
  }
  return FALSE;
}

INT_PTR CALLBACK OrganizeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* organizer = reinterpret_cast<Organizer*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      OnOrganizeInit(dialog, *reinterpret_cast<Organizer*>(lParam));
      SetFocus(ListOf(dialog));
      return FALSE;  // the focus is set
    case WM_COMMAND:
      OnOrganizeCommand(dialog, *organizer, LOWORD(wParam));
      return TRUE;
    case WM_NOTIFY:
      return OnOrganizeNotify(dialog, reinterpret_cast<const NMHDR*>(lParam));
    default:
      return FALSE;
  }
}

}  // namespace

std::wstring RowTitle(int row) {
  const std::vector<ContentsRow>& rows = Session().rows;
  if (row < 0 || static_cast<std::size_t>(row) >= rows.size()) return {};
  const std::string& text = rows[static_cast<std::size_t>(row)].displayText;
  return text.size() > 2 ? Utf8ToWide(std::string_view(text).substr(2)) : std::wstring{};
}

void AddBookmark(HWND owner) {
  const MainWindowState& m = Main();
  if (m.openBook.empty() || m.shownRow < 0) return;
  const ReadingPlace place = CurrentPlace();
  const std::u16string book = ToU16(m.openBook);
  Bookmarks& bookmarks = TheProgram().bookmarks;
  const AddOutcome outcome = bookmarks.Preview(book);
  NameRequest request{&texts::kAddBookmarkCaption, RowTitle(place.row), AddNote(outcome),
                      outcome.refused == AddOutcome::Refusal::None};
  if (AskName(owner, request)) bookmarks.Add(book, {ToU16(request.name), place});
}

void OrganizeBookmarks(HWND owner) {
  const MainWindowState& m = Main();
  if (m.openBook.empty()) return;
  Organizer organizer{ToU16(m.openBook), TheProgram().bookmarks.Of(ToU16(m.openBook)), -1};
  DialogBoxParamW(TheProgram().instance, MAKEINTRESOURCEW(IDD_BOOKMARKS), owner, OrganizeDialogProc,
                  reinterpret_cast<LPARAM>(&organizer));
  if (organizer.goTo >= 0) GoToPlace(organizer.marks[static_cast<std::size_t>(organizer.goTo)].place);
}

}  // namespace tomelet
