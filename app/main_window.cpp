#include "app/main_window.h"

#include <richedit.h>
#include <windowsx.h>

#include <algorithm>
#include <optional>
#include <string>

#include "app/accessibility.h"
#include "app/book_path.h"
#include "app/bookmark_dialogs.h"
#include "app/full_screen.h"
#include "app/reader_menus.h"
#include "app/app_texts.h"
#include "app/menu_items.h"
#include "app/viewer.h"
#include "base/dpi_scale.h"
#include "base/late_bound.h"
#include "app/visited_places.h"
#include "base/wide.h"
#include "base/window_dpi.h"
#include "base/window_box.h"
#include "app/book_view.h"
#include "app/find_all_host.h"
#include "output/keynote_export_dialog.h"
#include "output/save_chapter.h"
#include "output/print_job.h"
#include "res/resource_ids.h"
#include "view/contents_drawing.h"
#include "view/quick_search.h"
#include "view/help_window.h"
#include "view/rich_edit_host.h"
#include "view/search_dialog.h"

namespace tomelet {

MainWindowState& Main() {
  static MainWindowState state;
  return state;
}

namespace {

// The colours of the contents list's rows and empty area, as the contrast asks for them.
Ink ContentsInk() { return InkFor(Surface::ContentsRow, {}, HighContrast()); }
constexpr wchar_t kBaggageLink[] = L"[BAGGAGE]";

int ContentsRowCount() {
  const LRESULT count = SendMessageW(Main().contentsList, LB_GETCOUNT, 0, 0);
  return count == LB_ERR ? 0 : static_cast<int>(count);
}

int SelectedRow() {
  const LRESULT row = SendMessageW(Main().contentsList, LB_GETCURSEL, 0, 0);
  return row == LB_ERR ? -1 : static_cast<int>(row);
}

void MoveChild(HWND child, const Rect& r) { MoveWindow(child, r.x, r.y, r.width, r.height, TRUE); }

// Sets the enable state of every item with this id directly in `menu` (not in its
// pop-ups); reports whether anything changed.
bool EnableCommandIn(HMENU menu, UINT id, bool enabled) {
  bool changed = false;
  const int count = GetMenuItemCount(menu);
  for (int pos = 0; pos < count; ++pos) {
    if (GetMenuItemID(menu, pos) != id) continue;
    const UINT before = GetMenuState(menu, pos, MF_BYPOSITION);
    const UINT flag = enabled ? MF_ENABLED : MF_GRAYED;
    EnableMenuItem(menu, pos, MF_BYPOSITION | flag);
    changed |= ((before & MF_GRAYED) != 0) == enabled;
  }
  return changed;
}

HMENU WindowMenu(HMENU bar) { return bar ? GetSubMenu(bar, 2) : nullptr; }

// Both places a zoom or chapter command lives: the menu-bar button and the Window menu.
bool EnableCommand(UINT id, bool enabled) {
  const HMENU bar = GetMenu(Main().window);
  if (!bar) return false;
  const bool barChanged = EnableCommandIn(bar, id, enabled);
  if (HMENU windowMenu = WindowMenu(bar)) EnableCommandIn(windowMenu, id, enabled);
  return barChanged;
}

// The greyed state of every item on the bar itself, one bit a position.
uint64_t BarGreyed(HMENU bar) {
  uint64_t greyed = 0;
  const int count = bar ? std::min(GetMenuItemCount(bar), 64) : 0;
  for (int pos = 0; pos < count; ++pos)
    if (GetMenuState(bar, static_cast<UINT>(pos), MF_BYPOSITION) & MF_GRAYED) greyed |= uint64_t{1} << pos;
  return greyed;
}

// Drawing the menu bar again is costly (the whole frame is measured and painted anew): it
// is drawn only when one of its buttons changed, not while the window is hidden (showing
// it draws the bar), and once at the end of a held step.
int barHolds = 0;
uint64_t barGreyedAtHold = 0;

void RedrawMenuBar(bool changed) {
  if (changed && barHolds == 0 && IsWindowVisible(Main().window)) DrawMenuBar(Main().window);
}

void SetPaneMargins(HWND pane) {
  const int margin = ScaleForDpi(10, Main().dpi);
  SendMessageW(pane, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(margin, margin));
}

void SetTextPaneUp(HWND pane) {
  SendMessageW(pane, EM_SETTEXTMODE, TM_RICHTEXT | TM_SINGLELEVELUNDO | TM_SINGLECODEPAGE, 0);
  SendMessageW(pane, EM_SETTYPOGRAPHYOPTIONS, TO_ADVANCEDTYPOGRAPHY, TO_ADVANCEDTYPOGRAPHY);
  CHARFORMAT2W format{};
  format.cbSize = sizeof(format);
  format.dwMask = CFM_BOLD | CFM_CHARSET | CFM_FACE | CFM_SIZE;
  format.dwEffects = 0;
  format.yHeight = 200;
  format.bCharSet = ANSI_CHARSET;
  format.bPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
  lstrcpynW(format.szFaceName, L"Arial", LF_FACESIZE);
  SendMessageW(pane, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
  SendMessageW(pane, EM_EXLIMITTEXT, 0, 67108863);
  SendMessageW(pane, EM_SETUNDOLIMIT, 0, 0);
  SendMessageW(pane, EM_SETEVENTMASK, 0, ENM_LINK);
  SetPaneMargins(pane);
  InstallRichEditCallback(pane);
}

int RowHeight() { return ScaleForDpi(TheProgram().itemHeight, Main().dpi); }

// The list's font, row height and sideways extent for the window's DPI.
void FitContentsList() {
  MainWindowState& m = Main();
  SendMessageW(m.contentsList, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(ScaleForDpi(1024, m.dpi)), 0);
  UniqueFont font(CreateFontW(RowHeight(), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, PROOF_QUALITY, VARIABLE_PITCH | FF_SWISS, L"Arial"));
  SendMessageW(m.contentsList, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
  m.listFont = std::move(font);  // the old font is deleted once the list no longer uses it
  SendMessageW(m.contentsList, LB_SETITEMHEIGHT, 0, RowHeight());
}

// --- message handlers -------------------------------------------------------------

bool OnCreate(HWND window) {
  MainWindowState& m = Main();
  const Program& program = TheProgram();
  m.window = window;
  m.draggingSplitter = false;
  m.menuBar = GetMenu(window);
  m.dpi = WindowDpi(window);
  m.contentsWidth = ScaleForDpi(program.settings.contentsWidth, m.dpi);

  m.contentsList = CreateWindowExW(
      0, L"LISTBOX", nullptr,
      WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_OWNERDRAWFIXED |
          LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | LBS_DISABLENOSCROLL,
      0, 0, 0, 0, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDW_CONTENTS_LIST)), program.instance,
      nullptr);
  if (!m.contentsList) return false;
  FitContentsList();
  m.contentsBrush.reset(CreateSolidBrush(ColorRefOf(ContentsInk().back)));

  m.splitterBar = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_NOPREFIX, 0, 0, 0, 0, window,
                                  nullptr, program.instance, nullptr);
  m.textPane = CreateWindowExW(
      WS_EX_STATICEDGE, MSFTEDIT_CLASS, L"",
      WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL | ES_READONLY, 0, 0, 0,
      0, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDW_TEXT_PANE)), program.instance, nullptr);
  if (!m.splitterBar || !m.textPane) return false;
  SetTextPaneUp(m.textPane);
  // Before quick search: its subclass goes first when the window closes.
  MakeMainWindowSpoken(m.contentsList, m.textPane);
  NameMenuItems(m.menuBar);
  InstallQuickSearch({window, m.contentsList, m.textPane, IDW_CONTENTS_LIST, {}, NoteVisitedPlace});
  late::AcceptDroppedFiles(window);
  ForgetSearchSettings();
  SetFocus(m.textPane);
  // Laid out while hidden: the first sizing of the list and the pane is their dearest,
  // and showing the window then finds them in place.
  LayoutChildren(m.contentsWidth);

  BookSession& session = Session();
  if (!session.bookPath.empty()) {
    RememberedPlace& place = TheProgram().place;
    if (!SameBookPath(session.bookPath, place.lastArchiveFile)) place.lastChapterFile = 0;
    PostMessageW(window, WM_COMMAND, CMD_OPEN_BOOK_COMMAND, 0);
  }
  return true;
}

void ShowOpenDialog() {
  BookSession& session = Session();
  std::wstring buffer(1024, L'\0');
  std::copy_n(session.bookPath.begin(), std::min<std::size_t>(session.bookPath.size(), 1023), buffer.begin());
  static const wchar_t kFilter[] =
      L"Tomelet (*.tmk)\0*.tmk\0ZIP files (*.zip)\0*.zip\0All files (*.*)\0*.*\0";
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = Main().window;
  dialog.lpstrFilter = kFilter;
  dialog.nFilterIndex = static_cast<DWORD>(OpenDialogFilterIndex(WideToUtf8(session.bookPath)));
  dialog.lpstrFile = buffer.data();
  dialog.nMaxFile = 260;
  dialog.lpstrInitialDir = session.bookPath.c_str();
  dialog.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_EXPLORER | OFN_ENABLESIZING;
  if (!late::GetOpenFileNameW(&dialog)) return;
  session.bookPath = buffer.c_str();
  OpenBook(Main().window, session.bookPath);
}

void OpenSearch(HWND window) {
  SearchHost host;
  host.instance = TheProgram().instance;
  host.owner = window;
  host.textPane = Main().textPane;
  host.contentsList = Main().contentsList;
  host.loadRow = [](int row) { LoadChapter(row); };
  host.rowCount = [] { return ContentsRowCount(); };
  host.searchStarts = NoteVisitedPlace;
  host.closed = [](HWND dialog) {
    if (Main().searchDialog == dialog) Main().searchDialog = nullptr;
  };
  // A dialog already open stays open; the message loop serves the newest.
  if (HWND dialog = OpenSearchDialog(host)) Main().searchDialog = dialog;
}

// F3: the pane with the focus searches its own term again.
void QuickSearchAgain() {
  const HWND target = GetFocus() == Main().contentsList ? Main().contentsList : Main().textPane;
  PostMessageW(target, WM_CHAR, 0, 0);
}

// The help window keeps its state in the settings record and is served by the loop.
HelpWindowHost HelpHost() {
  WindowSettings& s = TheProgram().settings;
  static HelpFields fields{s.helpShowState, s.helpLeft,   s.helpTop,     s.helpWidth,
                           s.helpHeight,    s.helpTab,    s.helpScrollY, s.helpTopChar};
  return {TheProgram().instance, ModulePath(), texts::kProgramCaption, &fields, &Main().helpWindow,
          Main().window};
}

void StepChapter(int delta) {
  const int row = SelectedRow();
  const int target = row + delta;
  if (delta < 0 ? row > 0 : row < ContentsRowCount() - 1) {
    NoteVisitedPlace();
    SendMessageW(Main().contentsList, LB_SETCURSEL, static_cast<WPARAM>(target), 0);
    LoadChapter(target);
  }
  UpdateMenuState();
}

void Zoom(ZoomStep step) {
  Main().zoomLevel = step.level;
  if (step.apply) ApplyZoom();
  UpdateMenuState();
}

void SwitchPane() {
  const HWND focus = GetFocus();
  if (focus == Main().contentsList) SetFocus(Main().textPane);
  else if (focus == Main().textPane) SetFocus(Main().contentsList);
}

// Writes down where the reader is, gives the children their procedures back and
// destroys the window. Closing the window and File > Exit both end here.
void RecordAndClose(HWND window) {
  MainWindowState& m = Main();
  LeaveFullScreen(window);  // the place kept is the one from before
  WindowSettings& s = TheProgram().settings;
  const WindowBox box = ReadWindowBox(window);
  s.showState = box.showState;
  // Kept in 96-DPI units: the rectangle as the screen's DPI gives it, the list by the window's.
  const int screenDpi = SystemDpi();
  s.windowLeft = UnscaleForDpi(box.left, screenDpi), s.windowTop = UnscaleForDpi(box.top, screenDpi);
  s.windowWidth = UnscaleForDpi(box.width, screenDpi), s.windowHeight = UnscaleForDpi(box.height, screenDpi);
  s.contentsWidth = UnscaleForDpi(m.contentsWidth, m.dpi);
  s.zoomLevel = m.zoomLevel;
  RememberedPlace& place = TheProgram().place;
  place.lastArchiveFile = Session().bookPath;
  place.lastChapterFile = SelectedRow();
  RECT client{};
  GetClientRect(m.textPane, &client);
  POINTL point{0, client.bottom - ScaleForDpi(32, m.dpi)};
  place.lastChapterPosition =
      static_cast<int32_t>(SendMessageW(m.textPane, EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&point)));
  LeaveBook();  // its place is kept for the next opening
  RemoveQuickSearch();
  DestroyWindow(window);
}

void OnCommand(HWND window, int id, int code) {
  MainWindowState& m = Main();
  switch (id) {
    case CMD_OPEN: ShowOpenDialog(); break;
    case CMD_OPEN_BOOK_COMMAND: OpenBook(window, Session().bookPath); break;
    case CMD_SAVE_CHAPTER: SaveChapter(window, Session(), SelectedRow(), PasswordDialog()); break;
    case CMD_EXPORT:
      ExportDialog(window, TheProgram().instance, Session(), m.listFont.get(), PasswordDialog());
      break;
    case CMD_PRINT: StartPrintJob(window, TheProgram().instance, m.textPane, IsGerman()); break;
    case CMD_EXIT: RecordAndClose(window); break;
    case CMD_COPY: SendMessageW(m.textPane, WM_COPY, 0, 0); break;
    case CMD_SELECT_ALL: {
      CHARRANGE all{0, -1};
      SendMessageW(m.textPane, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all));
      break;
    }
    case CMD_SEARCH: OpenSearch(window); break;
    case CMD_QUICK_SEARCH_HINT: ShowQuickSearchHint(window); break;
    case CMD_QUICK_SEARCH_AGAIN: QuickSearchAgain(); break;
    case CMD_FIND_ALL: OpenFindAll(window); break;
    case CMD_ZOOM_SMALLER: Zoom(ZoomSmaller(m.zoomLevel)); break;
    case CMD_ZOOM_NORMAL: Zoom({kZoomNormal, true}); break;
    case CMD_ZOOM_BIGGER: Zoom(ZoomBigger(m.zoomLevel)); break;
    case CMD_CHAPTER_UP: StepChapter(-1); break;
    case CMD_CHAPTER_DOWN: StepChapter(+1); break;
    case CMD_SWITCH_WINDOW: SwitchPane(); break;
    case CMD_CONTENTS_WIDER: LayoutChildren(m.contentsWidth + ScaleForDpi(kContentsWidthStep, m.dpi)); break;
    case CMD_CONTENTS_NARROWER: LayoutChildren(m.contentsWidth - ScaleForDpi(kContentsWidthStep, m.dpi)); break;
    case CMD_LANGUAGE_AUTOMATIC:
    case CMD_LANGUAGE_ENGLISH:
    case CMD_LANGUAGE_GERMAN: ChooseLanguage(static_cast<unsigned>(id)); break;
    case CMD_SAVE_SETTINGS: TheProgram().settings.storeSettings = -1; break;
    case CMD_DONT_SAVE_SETTINGS: TheProgram().settings.storeSettings = 0; break;
    case CMD_BACK: GoBack(); break;
    case CMD_FORWARD: GoForward(); break;
    case CMD_FULL_SCREEN: ToggleFullScreen(window); break;
    case CMD_ADD_BOOKMARK: AddBookmark(window); break;
    case CMD_ORGANIZE_BOOKMARKS: OrganizeBookmarks(window); break;
    case CMD_HELP: m.helpWindow = OpenHelpWindow(window, HelpHost()); break;  // a new one each time
    case IDW_CONTENTS_LIST:
      if (code != LBN_SELCHANGE) break;
      if (SelectedRow() != m.shownRow) NoteVisitedPlace();
      LoadChapter(SelectedRow());
      break;
    default: OnReaderMenuCommand(window, id); break;
  }
}

LRESULT OnNotify(const NMHDR* header) {
  if (header->idFrom != IDW_TEXT_PANE || header->code != EN_LINK) return 0;
  const auto* link = reinterpret_cast<const ENLINK*>(header);
  if (link->msg != WM_LBUTTONDOWN) return 0;
  // Only a range as long as the link word can be it; longer links are never read whole.
  const LONG length = link->chrg.cpMax - link->chrg.cpMin;
  constexpr LONG kLinkLength = static_cast<LONG>(std::size(kBaggageLink) - 1);
  if (length != kLinkLength) return 0;
  std::wstring text(static_cast<std::size_t>(kLinkLength) + 1, L'\0');
  TEXTRANGEW range{link->chrg, text.data()};
  SendMessageW(Main().textPane, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
  text.resize(wcsnlen(text.c_str(), text.size()));
  if (text == kBaggageLink) SaveChapter(Main().window, Session(), SelectedRow(), PasswordDialog());
  return 0;
}

void OnMeasureItem(MEASUREITEMSTRUCT* item) {
  if (item->CtlType == ODT_MENU) {
    MeasureMenuItem(item);
  } else if (item->CtlID == IDW_CONTENTS_LIST) {
    item->itemHeight = static_cast<UINT>(RowHeight());
  }
}

LRESULT OnDrawItem(const DRAWITEMSTRUCT* item) {
  if (item->CtlType == ODT_MENU) return DrawMenuItem(item);
  if (item->CtlID == IDW_CONTENTS_LIST) {
    // The symbols' pen is sized at the first owner-drawn item of the run, row or menu.
    PrepareOwnerDrawResources(item->hDC);
    return DrawContentsRow(item, TheProgram().instance, Main().contentsBrush.get(), Main().dpi, HighContrast());
  }
  return FALSE;
}

// A book dragged from Explorer opens as with File > Open; of several files the first.
void OnDropFiles(HDROP drop) {
  const UINT length = late::DragQueryFileW(drop, 0, nullptr, 0);
  std::wstring path(static_cast<std::size_t>(length) + 1, L'\0');
  path.resize(late::DragQueryFileW(drop, 0, path.data(), length + 1));
  late::DragFinish(drop);
  if (path.empty()) return;
  Session().bookPath = path;
  OpenBook(Main().window, path);
}

// The mouse's back and forward buttons (and a keyboard's browser keys).
bool OnAppCommand(int command) {
  if (command == APPCOMMAND_BROWSER_BACKWARD) GoBack();
  else if (command == APPCOMMAND_BROWSER_FORWARD) GoForward();
  else return false;
  return true;
}

bool OnSetCursor(HWND window) {
  if (!Main().draggingSplitter) return false;
  POINT pointer{};
  GetCursorPos(&pointer);
  ScreenToClient(window, &pointer);
  if (pointer.x == Main().contentsWidth) return false;
  LayoutChildren(pointer.x);
  return true;
}

// Moved to a screen of another DPI (or the DPI changed): the suggested rectangle, and
// everything sized in pixels made again for the new DPI. It can come before the children exist.
void OnDpiChanged(HWND window, int dpi, const RECT& suggested) {
  MainWindowState& m = Main();
  m.contentsWidth = RescaleForDpi(m.contentsWidth, m.dpi, dpi);
  m.dpi = dpi;
  if (m.contentsList && m.textPane) {
    FitContentsList();
    SetPaneMargins(m.textPane);
    RemeasureMenuItems(GetMenu(window));
    DrawMenuBar(window);
  }
  SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(window, nullptr, TRUE);
}

// High contrast switched on or off, or other system colours: our drawing follows.
void OnColoursChanged(HWND window) {
  MainWindowState& m = Main();
  RefreshHighContrast();
  if (UniqueBrush brush{CreateSolidBrush(ColorRefOf(ContentsInk().back))}) m.contentsBrush = std::move(brush);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
  DrawMenuBar(window);
}

// The splitter at normal contrast is drawn as the system draws a static control.
std::optional<LRESULT> OnSplitterColour(HDC dc) {
  const Ink ink = InkFor(Surface::Splitter, {}, HighContrast());
  if (ink.systemDrawn) return std::nullopt;
  SetBkColor(dc, ColorRefOf(ink.back));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(static_cast<int>(ink.back.value)));
}

}  // namespace

void ApplyZoom() { SendMessageW(Main().textPane, EM_SETZOOM, static_cast<WPARAM>(Main().zoomLevel), kZoomDenominator); }

void LayoutChildren(int width) {
  MainWindowState& m = Main();
  if (!m.textPane) return;  // not yet created
  RECT client{};
  GetClientRect(m.window, &client);
  const ChildLayout layout =
      ComputeLayout(client.right, client.bottom, width, ContentsRowCount(), m.contentsWidth, m.dpi);
  const HMENU bar = GetMenu(m.window);
  bool barChanged = false;
  if (layout.textOnly) {
    EnableWindow(m.contentsList, FALSE);
    EnableWindow(m.splitterBar, FALSE);
    MoveChild(m.textPane, layout.text);
    SetWindowPos(m.textPane, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetFocus(m.textPane);
    if (bar) barChanged = EnableCommand(CMD_CHAPTER_UP, false) | EnableCommand(CMD_CHAPTER_DOWN, false);
  } else {
    m.contentsWidth = layout.contentsWidth;
    EnableWindow(m.contentsList, TRUE);
    EnableWindow(m.splitterBar, TRUE);
    MoveChild(m.contentsList, layout.contents);
    MoveChild(m.splitterBar, layout.splitter);
    MoveChild(m.textPane, layout.text);
    if (bar) barChanged = EnableCommand(CMD_CHAPTER_UP, true) | EnableCommand(CMD_CHAPTER_DOWN, true);
  }
  RedrawMenuBar(barChanged);
}

void UpdateMenuState() {
  MainWindowState& m = Main();
  if (!GetMenu(m.window)) return;
  const CommandStates states = ComputeCommandStates(m.zoomLevel, SelectedRow(), ContentsRowCount());
  bool barChanged = false;
  barChanged |= EnableCommand(CMD_ZOOM_SMALLER, states.zoomSmaller);
  barChanged |= EnableCommand(CMD_ZOOM_BIGGER, states.zoomBigger);
  barChanged |= EnableCommand(CMD_CHAPTER_UP, states.chapterUp);
  barChanged |= EnableCommand(CMD_CHAPTER_DOWN, states.chapterDown);
  EnableCommand(CMD_BACK, m.history.CanGoBack());
  EnableCommand(CMD_FORWARD, m.history.CanGoForward());
  m.barStates = states;
  RedrawMenuBar(barChanged);
}

MenuBarRedrawHold::MenuBarRedrawHold() {
  if (barHolds++ == 0) barGreyedAtHold = BarGreyed(GetMenu(Main().window));
}

MenuBarRedrawHold::~MenuBarRedrawHold() {
  if (--barHolds == 0) RedrawMenuBar(BarGreyed(GetMenu(Main().window)) != barGreyedAtHold);
}

void DrawHeldMenuBar() {
  if (barHolds == 0) return;
  const uint64_t greyed = BarGreyed(GetMenu(Main().window));
  if (greyed != barGreyedAtHold && IsWindowVisible(Main().window)) DrawMenuBar(Main().window);
  barGreyedAtHold = greyed;
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  MainWindowState& m = Main();
  switch (message) {
    case WM_CREATE:
      return OnCreate(window) ? 0 : -1;
    case WM_COMMAND:
      OnCommand(window, LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_NOTIFY:
      return OnNotify(reinterpret_cast<const NMHDR*>(lParam));
    case WM_SIZE:
      LayoutChildren(m.contentsWidth);
      return 0;
    case WM_SETFOCUS:
      SetFocus(m.textPane);
      return 0;
    case WM_CTLCOLORLISTBOX:
      if (reinterpret_cast<HWND>(lParam) != m.contentsList) break;
      SetTextColor(reinterpret_cast<HDC>(wParam), ColorRefOf(ContentsInk().text));
      SetBkColor(reinterpret_cast<HDC>(wParam), ColorRefOf(ContentsInk().back));
      return reinterpret_cast<LRESULT>(m.contentsBrush.get());
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(lParam) != m.splitterBar) break;
      if (const auto brush = OnSplitterColour(reinterpret_cast<HDC>(wParam))) return *brush;
      break;
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
      if (message == WM_SYSCOLORCHANGE || wParam == SPI_SETHIGHCONTRAST) OnColoursChanged(window);
      break;
    case WM_MENUCHAR:
      if (!(HIWORD(wParam) & MF_POPUP)) break;  // the bar's own items only, not its buttons
      if (const auto item = OnMenuChar(static_cast<wchar_t>(LOWORD(wParam)), reinterpret_cast<HMENU>(lParam)))
        return *item;
      break;
    case WM_MEASUREITEM:
      OnMeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_DRAWITEM:
      return OnDrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_INITMENUPOPUP:
      if (HIWORD(lParam) != 0) return 0;
      OnInitMenuPopup(reinterpret_cast<HMENU>(wParam), LOWORD(lParam));
      FillReaderMenu(reinterpret_cast<HMENU>(wParam));
      CheckMenuItem(reinterpret_cast<HMENU>(wParam), CMD_FULL_SCREEN, MF_BYCOMMAND | (InFullScreen() ? MF_CHECKED : MF_UNCHECKED));
      return 0;
    case WM_MOUSEMOVE:
      SetCursor(LoadCursorW(nullptr, IDC_SIZEWE));
      return 0;
    case WM_LBUTTONDOWN:
      m.draggingSplitter = true;
      InvalidateRect(window, nullptr, TRUE);
      return 0;
    case WM_LBUTTONUP:
      if (m.draggingSplitter) {
        m.draggingSplitter = false;
        InvalidateRect(window, nullptr, TRUE);
      }
      return 0;
    case WM_SETCURSOR:
      if (OnSetCursor(window)) return 0;
      break;
    case WM_DPICHANGED:
      OnDpiChanged(window, HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_DROPFILES:
      OnDropFiles(reinterpret_cast<HDROP>(wParam));
      return 0;
    case WM_APPCOMMAND:
      if (OnAppCommand(GET_APPCOMMAND_LPARAM(lParam))) return TRUE;
      break;
    case WM_CLOSE:
      RecordAndClose(window);
      return 0;
    case WM_DESTROY:
      m.listFont.reset();
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace tomelet
