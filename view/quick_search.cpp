#include "view/quick_search.h"

#include <richedit.h>
#include <windowsx.h>

#include <optional>
#include <string>

#include "base/language.h"
#include "view/search_rules.h"

namespace tomelet {
namespace {

const TextPair kHintCaption = {L"Hints for quick search", L"Hinweis zur Schnellsuche"};
const TextPair kHintText = {
    L"Quick-search works without an input window, either in the table of contents or within the current "
    L"text, depending on which window is currently active. Quick-search starts whenever characters are "
    L"entered into the keyboard. Longer search terms are formed by time intervals of less than one second "
    L"between the keystrokes. Press \"Continue quick search\" (shortcut F3) to search for the last term.\r"
    L"Both windows work with their own search term.\r"
    L"Quick-search is always case-sensitive.",
    L"Die Schnellsuche arbeitet ohne Eingabefenster, und zwar entweder im Inhaltsverzeichnis oder innerhalb "
    L"des aktuellen Texts, abh\u00e4ngig davon, welches Fenster gerade aktiv ist. Die Schnellsuche startet, "
    L"sobald man Zeichen in die Tastatur eingibt. L\u00e4ngere Suchbegriffe bildet man durch Zeitabst\u00e4nde "
    L"kleiner als einer Sekunde zwischen den Tastendr\u00fccken. Mit \"Schnellsuche fortsetzen\" (Kurztaste F3) "
    L"wird nach dem letzten Suchbegriff gesucht.\r"
    L"Beide Fenster arbeiten mit je einem eigenen Suchbegriff.\r"
    L"Die Schnellsuche beachtet stets die Gro\u00df-/Kleinschreibung."};

// The two panes' state for the run of the main window.
struct QuickSearch {
  QuickSearchHost host;
  WNDPROC listProcedure = nullptr;
  WNDPROC paneProcedure = nullptr;
  std::optional<QuickSearchTerm> listTerm;
  std::optional<QuickSearchTerm> paneTerm;
};

QuickSearch& State() {
  static QuickSearch state;
  return state;
}

std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

// A hit of a term that only grew by a key is the same jump, refined.
void NoteJump(const std::u16string& before, const std::u16string& term) {
  const bool grew = !before.empty() && term.size() > before.size() && term.starts_with(before);
  if (!grew && State().host.beforeJump) State().host.beforeJump();
}

void SearchContents(HWND list, const std::u16string& typed) {
  const std::wstring term = Wide(typed);
  if (term.empty()) return;
  const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  const LRESULT selected = SendMessageW(list, LB_GETCURSEL, 0, 0);
  if (count == LB_ERR || count <= 0) return;
  std::wstring rowText;
  const auto rowHoldsTerm = [&](int row) {
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
    if (length == LB_ERR || static_cast<std::size_t>(length) < term.size()) return false;
    rowText.assign(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(rowText.data()));
    rowText.resize(static_cast<std::size_t>(length));
    return rowText.find(term) != std::wstring::npos;
  };
  const std::optional<int> row =
      FindContentsRow(selected == LB_ERR ? -1 : static_cast<int>(selected), static_cast<int>(count), rowHoldsTerm);
  if (!row) return;
  SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(*row), 0);
  // The main window loads the chapter as for any selection change.
  const QuickSearchHost& host = State().host;
  PostMessageW(host.mainWindow, WM_COMMAND, MAKEWPARAM(host.contentsListId, LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(list));
}

bool FindInPane(HWND pane, const std::wstring& term, LONG from, CHARRANGE& found) {
  FINDTEXTEXW find{};
  find.chrg = {from, -1};
  find.lpstrText = term.c_str();
  if (SendMessageW(pane, EM_FINDTEXTEXW, FR_DOWN | FR_MATCHCASE, reinterpret_cast<LPARAM>(&find)) < 0) return false;
  found = find.chrgText;
  return true;
}

void SearchPane(HWND pane, const std::u16string& typed, const std::u16string& before) {
  const std::wstring term = Wide(CutTerm(typed, kTextPaneTermLimit));
  if (term.empty()) return;  // an empty term is found nowhere
  CHARRANGE selection{};
  SendMessageW(pane, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
  CHARRANGE found{};
  if (!FindInPane(pane, term, selection.cpMax, found) && !FindInPane(pane, term, 0, found)) return;
  NoteJump(before, typed);
  SendMessageW(pane, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&found));
  SendMessageW(pane, EM_SCROLLCARET, 0, 0);
}

// The main window's Edit menu, where the right button was released.
void ShowEditMenu(HWND pane, LPARAM position) {
  const HWND owner = State().host.mainWindow;
  const HMENU bar = GetMenu(owner);
  const HMENU edit = bar ? GetSubMenu(bar, 1) : nullptr;
  if (!edit) return;
  POINT point{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
  ClientToScreen(pane, &point);
  // The chosen command goes to the main window as if chosen from its menu bar.
  TrackPopupMenu(edit, 0, point.x, point.y, 0, owner, nullptr);
}

LRESULT CALLBACK ContentsListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
  QuickSearch& state = State();
  if (message == WM_CHAR && state.listTerm) {
    // Taken here, never passed on: the list's own first-letter selection stays off.
    SearchContents(list, state.listTerm->Type(static_cast<char16_t>(wParam)));
    return 0;
  }
  return CallWindowProcW(state.listProcedure, list, message, wParam, lParam);
}

LRESULT CALLBACK TextPaneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam) {
  QuickSearch& state = State();
  if (message == WM_CHAR && state.paneTerm) {
    const std::u16string before = state.paneTerm->term();
    SearchPane(pane, state.paneTerm->Type(static_cast<char16_t>(wParam)), before);
    return 0;
  }
  if (message == WM_RBUTTONUP) ShowEditMenu(pane, lParam);
  return CallWindowProcW(state.paneProcedure, pane, message, wParam, lParam);
}

WNDPROC Subclass(HWND control, WNDPROC procedure) {
  return reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
}

}  // namespace

void InstallQuickSearch(const QuickSearchHost& host) {
  QuickSearch& state = State();
  RemoveQuickSearch();
  state.host = host;
  TickSource ticks = host.ticks ? TickSource(host.ticks) : TickSource([] { return GetTickCount(); });
  state.listTerm.emplace(ticks);
  state.paneTerm.emplace(ticks);
  state.listProcedure = Subclass(host.contentsList, ContentsListProc);
  state.paneProcedure = Subclass(host.textPane, TextPaneProc);
}

void RemoveQuickSearch() {
  QuickSearch& state = State();
  if (state.listProcedure && IsWindow(state.host.contentsList)) Subclass(state.host.contentsList, state.listProcedure);
  if (state.paneProcedure && IsWindow(state.host.textPane)) Subclass(state.host.textPane, state.paneProcedure);
  state.listProcedure = nullptr;
  state.paneProcedure = nullptr;
}

void ShowQuickSearchHint(HWND owner) {
  MessageBoxW(owner, Pick(kHintText), Pick(kHintCaption), MB_OK | MB_ICONINFORMATION);
}

}  // namespace tomelet
