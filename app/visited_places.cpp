#include "app/visited_places.h"

#include <windows.h>
#include <richedit.h>

#include <utility>

#include "app/book_path.h"
#include "app/book_view.h"
#include "app/main_window.h"
#include "app/viewer.h"
#include "base/wide.h"

namespace tomelet {
namespace {

int32_t FirstVisibleChar(HWND pane) {
  const LRESULT line = SendMessageW(pane, EM_GETFIRSTVISIBLELINE, 0, 0);
  const LRESULT first = SendMessageW(pane, EM_LINEINDEX, static_cast<WPARAM>(line), 0);
  return first < 0 ? 0 : static_cast<int32_t>(first);
}

// Scrolls the line holding `firstChar` to the top.
void ScrollToChar(HWND pane, int32_t firstChar) {
  const LRESULT line = SendMessageW(pane, EM_EXLINEFROMCHAR, 0, firstChar);
  const LRESULT top = SendMessageW(pane, EM_GETFIRSTVISIBLELINE, 0, 0);
  SendMessageW(pane, EM_LINESCROLL, 0, line - top);
}

void ShowPlace(const std::optional<ReadingPlace>& place) {
  const MainWindowState& m = Main();
  if (place && place->row >= 0 && static_cast<std::size_t>(place->row) < Session().rows.size()) {
    if (place->row != m.shownRow) LoadChapter(place->row);
    CHARRANGE selection{place->selectionStart, place->selectionEnd};
    SendMessageW(m.textPane, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    ScrollToChar(m.textPane, place->firstChar);
  }
  UpdateMenuState();
}

}  // namespace

ReadingPlace CurrentPlace() {
  const MainWindowState& m = Main();
  CHARRANGE selection{};
  SendMessageW(m.textPane, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
  return {m.shownRow, FirstVisibleChar(m.textPane), selection.cpMin, selection.cpMax};
}

void GoToPlace(const ReadingPlace& place) {
  NoteVisitedPlace();
  ShowPlace(place);
}

void NoteVisitedPlace() {
  if (Main().shownRow < 0) return;
  Main().history.Visit(CurrentPlace());
  UpdateMenuState();
}

void GoBack() {
  if (Main().shownRow >= 0) ShowPlace(Main().history.Back(CurrentPlace()));
}

void GoForward() {
  if (Main().shownRow >= 0) ShowPlace(Main().history.Forward(CurrentPlace()));
}

std::wstring LeaveBook() {
  MainWindowState& m = Main();
  if (!m.openBook.empty() && m.shownRow >= 0)
    TheProgram().bookPlaces.Remember({ToU16(m.openBook), m.shownRow, FirstVisibleChar(m.textPane)});
  const std::wstring left = std::exchange(m.openBook, {});
  m.shownRow = -1;
  m.history.Clear();
  UpdateMenuState();
  return left;
}

std::optional<BookPlace> KeptPlaceOf(const std::wstring& path, int rowCount) {
  // The place the last run left comes back by its own rule, once, at start.
  if (!Session().firstLoadDone && SameBookPath(path, TheProgram().place.lastArchiveFile)) return std::nullopt;
  std::optional<BookPlace> kept = TheProgram().bookPlaces.Find(ToU16(path));
  if (kept && kept->row >= rowCount) kept.reset();  // the book changed since
  return kept;
}

void EnterBook(const std::wstring& path, const std::optional<BookPlace>& kept) {
  MainWindowState& m = Main();
  m.openBook = path;
  if (!kept || m.shownRow != kept->row) return;
  SendMessageW(m.textPane, EM_SETSEL, static_cast<WPARAM>(kept->firstChar), kept->firstChar);
  ScrollToChar(m.textPane, kept->firstChar);
}

}  // namespace tomelet
