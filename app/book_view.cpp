#include "app/book_view.h"

#include <richedit.h>

#include "app/app_texts.h"
#include "app/book_path.h"
#include "app/main_window.h"
#include "app/viewer.h"
#include "app/visited_places.h"
#include "base/wide.h"
#include "base/win_handles.h"
#include "book/pages.h"
#include "base/accessible_object.h"
#include "view/find_all_window.h"
#include "view/picture_to_rtf.h"

namespace tomelet {

BookSession& Session() {
  static BookSession session;
  return session;
}

namespace {

// Fills the list and selects `row` in it before it is drawn again.
void FillContentsList(HWND list, const std::vector<ContentsRow>& rows, int row) {
  // Without redrawing in between: filling a visible list row by row is very slow.
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  SendMessageW(list, LB_INITSTORAGE, rows.size(), rows.size() * 32 * sizeof(wchar_t));
  for (const ContentsRow& row : rows) {
    const std::wstring text = Utf8ToWide(row.displayText);
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
  const bool shown = IsWindowVisible(list) != FALSE;
  const bool focused = GetFocus() == list;
  constexpr UINT kQuietly = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW;
  if (shown) SetWindowPos(list, nullptr, 0, 0, 0, 0, kQuietly | SWP_HIDEWINDOW);
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  if (shown) SetWindowPos(list, nullptr, 0, 0, 0, 0, kQuietly | SWP_SHOWWINDOW);
  if (focused && GetFocus() != list) SetFocus(list);
  RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE);
  NotifyRowsChanged(list);
}

std::wstring FileNamePart(const std::wstring& path) {
  const std::size_t slash = path.rfind(L'\\');
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

void PlacePage(const Page& page) {
  const HWND pane = Main().textPane;
  if (page.form == Page::Form::Message) {
    // Messages go in as UTF-16, so they read the same in every code page.
    const std::wstring text = Utf8ToWide(page.text);
    SETTEXTEX how{ST_DEFAULT, 1200};
    SendMessageW(pane, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how), reinterpret_cast<LPARAM>(text.c_str()));
    return;
  }
  SETTEXTEX how{ST_DEFAULT, CP_ACP};
  SendMessageW(pane, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how), reinterpret_cast<LPARAM>(page.text.c_str()));
  if (page.centred) {
    PARAFORMAT2 format{};
    format.cbSize = sizeof(format);
    format.dwMask = PFM_ALIGNMENT | PFM_SPACEBEFORE;
    format.wAlignment = PFA_CENTER;
    format.dySpaceBefore = 100;
    SendMessageW(pane, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
  }
}

// The first chapter shown for the book of the last run opens at the remembered caret
// position; every other load starts at the top.
void RestoreReadingPlace() {
  BookSession& session = Session();
  const HWND pane = Main().textPane;
  if (session.firstLoadDone) {
    SendMessageW(pane, EM_SETSEL, 0, 0);
    UpdateMenuState();
    return;
  }
  session.firstLoadDone = true;
  RememberedPlace& place = TheProgram().place;
  if (SameBookPath(session.bookPath, place.lastArchiveFile)) {
    place.lastArchiveFile.clear();
    SendMessageW(pane, EM_SETSEL, static_cast<WPARAM>(place.lastChapterPosition), place.lastChapterPosition);
    place.lastChapterPosition = 0;
  }
}

}  // namespace

OpenStatus OpenBook(HWND owner, const std::wstring& typedPath) {
  MainWindowState& m = Main();
  BookSession& session = Session();
  const WaitCursor wait;
  const MenuBarRedrawHold oneBarRedraw;
  const std::wstring path = WholeBookPath(typedPath);
  session.bookPath = path;
  FindAllBookChanged(m.findAllWindow);  // its hits belong to the book that goes
  const bool reopened = SameBookPath(LeaveBook(), path);  // opened again: the remembered row number, as ever
  SetWindowTextW(m.textPane, L"");
  // (Emptying a list that is empty already costs a redraw of its scroll bar.)
  if (SendMessageW(m.contentsList, LB_GETCOUNT, 0, 0) > 0) SendMessageW(m.contentsList, LB_RESETCONTENT, 0, 0);
  const OpenStatus status = OpenBookFile(session, path, IsGerman(), PasswordDialog());
  if (status != OpenStatus::Opened) {
    const TextPair& message = status == OpenStatus::Empty ? texts::kFileIsEmpty : texts::kErrorOpeningFile;
    ShowMessage(owner, Pick(message) + path, MB_OK | MB_ICONERROR);
    return status;
  }
  // A book read before opens where it was left; others at the remembered row number.
  const std::optional<BookPlace> kept =
      reopened ? std::nullopt : KeptPlaceOf(path, static_cast<int>(session.rows.size()));
  int32_t row = kept ? kept->row : TheProgram().place.lastChapterFile;
  // A remembered row beyond this book's last would show nothing at all: the first row then.
  if (row >= static_cast<int32_t>(session.rows.size())) row = 0;
  FillContentsList(m.contentsList, session.rows, row);
  SetWindowTextW(owner, (texts::kTitlePrefix + FileNamePart(path)).c_str());
  LayoutChildren(m.contentsWidth);
  const LRESULT selected = SendMessageW(m.contentsList, LB_GETCURSEL, 0, 0);
  LoadChapter(selected == LB_ERR ? -1 : static_cast<int>(selected));
  EnterBook(path, kept);
  if (session.index.cut) {
    std::wstring text = Pick(texts::kIndexCut);
    text.replace(text.find(L"%1"), 2, Utf8ToWide(GroupedNumber(session.index.linesRead, IsGerman())));
    ShowMessage(owner, text, MB_OK | MB_ICONINFORMATION);
  }
  return OpenStatus::Opened;
}

LoadStatus LoadChapter(int row) {
  BookSession& session = Session();
  if (row < 0 || !session.archive || static_cast<std::size_t>(row) >= session.rows.size())
    return LoadStatus::NothingToShow;
  const WaitCursor wait;
  SendMessageW(Main().contentsList, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
  Main().shownRow = row;
  const ContentsRow& contentsRow = session.rows[static_cast<std::size_t>(row)];
  if (contentsRow.chapterRow < 0 || static_cast<std::size_t>(contentsRow.chapterRow) >= session.chapters.size())
    return LoadStatus::NothingToShow;

  const EntryRead how = ReadForPage(session.chapters[static_cast<std::size_t>(contentsRow.chapterRow)]);
  ChapterEntryData entry = ReadChapterEntry(session, row, PasswordDialog(), how);
  const EntryStatus status = entry.status;
  PlacePage(BuildPage(std::move(entry), IsGerman(), PictureToRtf));
  if (status == EntryStatus::NoInformation) return LoadStatus::NoInformation;
  if (status == EntryStatus::CannotOpen) return LoadStatus::CannotOpen;

  RestoreReadingPlace();
  ApplyZoom();
  UpdateMenuState();
  return LoadStatus::Shown;
}

}  // namespace tomelet
