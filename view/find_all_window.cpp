#include "view/find_all_window.h"

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <memory>
#include <new>
#include <string>
#include <unordered_map>

#include "base/language.h"
#include "base/wide.h"
#include "base/win_handles.h"
#include "base/dpi_scale.h"
#include "base/window_box.h"
#include "base/window_dpi.h"
#include "res/resource_ids.h"
#include "base/accessible_object.h"
#include "view/accessible_rules.h"
#include "view/screen_place.h"
#include "view/search_rules.h"

namespace tomelet {
namespace {

// A step the window posts to itself; wParam is the walk's generation.
constexpr UINT kStepMessage = WM_APP + 21;
// The same step when input was waiting: a timer comes after input in the queue.
constexpr UINT_PTR kStepTimer = 21;

const TextPair kCaption = {L"Find all", L"Alle finden"};
const TextPair kTermLabel = {L"Find &what:", L"&Suchen nach:"};
const TextPair kMatchCase = {L"&Match case", L"&Gro\u00df-/Kleinschreibung"};
const TextPair kWholeWords = {L"&Whole words", L"Nur g&anze W\u00f6rter"};
const TextPair kFind = {L"&Find", L"&Finden"};
const TextPair kStop = {L"S&top", L"S&topp"};
const TextPair kHitsLabel = {L"&Hits:", L"T&reffer:"};
const TextPair kOutOfMemory = {L"There is not enough memory to go on searching. The hits found so far stay listed.",
                               L"Es ist nicht genug Speicher frei, um weiterzusuchen. Die bisher gefundenen Treffer "
                               L"bleiben in der Liste."};

// Rows whose entry was searched before are taken from the hits found then, this many in
// one step at most.
constexpr std::size_t kRepeatedRowsPerStep = 500;

// Every measure of the window, in dialog units (so it grows with the font): the margin, the
// top of the list, the status line's height, the buttons' width, the chapter title's
// column in a row, and the smallest size the window is dragged to. The window turns them
// into 96-DPI units once, when it opens, and scales those to the DPI it is shown at.
struct Layout {
  int margin = 4, listTop = 46, statusHeight = 8, buttonWidth = 54, titleWidth = 90;
  int minWidth = 200, minHeight = 90;
};
constexpr Layout kLayout;

struct Hit {
  int row = -1;
  long start = 0, length = 0;  // in the chapter's text, as the text pane counts characters
  std::wstring line;           // the line listed, the hit at [lineHitStart, + length)
  std::size_t lineHitStart = 0;
};

// What searching an archive entry gave: its hits (a run in the hit list) or why it was
// passed by.
struct EntrySearched {
  std::size_t firstHit = 0, hitCount = 0;
  PassedBy passedBy = PassedBy::None;
};

struct FindAll {
  FindAllHost host;
  HWND window = nullptr, list = nullptr, status = nullptr;
  HWND reader = nullptr;  // a hidden rich-edit control each chapter is read into
  int dpi = kBaseDpi;
  Layout layout96;      // kLayout in 96-DPI units
  LOGFONTW font96{};    // the dialog's font, its height in 96-DPI units
  UniqueFont listFont, boldFont;  // the font at the window's DPI, and its bold form

  std::vector<int> rows;  // the walk's rows, and the next one to search
  std::size_t next = 0;
  bool running = false;
  bool askedPassword = false;  // a walk asks for the password once at most
  std::u16string term;         // as searched (folded when case does not matter)
  bool matchCase = false, wholeWords = false;
  std::vector<Hit> hits;
  std::unordered_map<int, EntrySearched> searchedEntries;  // by archive entry
  WalkCounts counts;
  // Only the step posted last runs: Stop, a new walk or another book leave older ones behind.
  unsigned generation = 0, timerGeneration = 0;
  std::uint32_t lastYield = 0;
};

// The one window of the run (a second Find all brings it to the front).
std::unique_ptr<FindAll>& Current() {
  static std::unique_ptr<FindAll> current;
  return current;
}

FindAll* Of(HWND window) {
  FindAll* f = Current().get();
  return f && f->window == window ? f : nullptr;
}

bool Checked(HWND window, int id) { return IsDlgButtonChecked(window, id) == BST_CHECKED; }

std::u16string Folded(std::u16string text, bool matchCase) {
  if (!matchCase && !text.empty())
    CharLowerBuffW(reinterpret_cast<wchar_t*>(text.data()), static_cast<DWORD>(text.size()));
  return text;
}

// The chapter's plain text as the text pane would hold it (one character per paragraph end).
std::u16string ReadText(HWND reader, const std::string& page) {
  SETTEXTEX how{ST_DEFAULT, CP_ACP};
  SendMessageW(reader, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how), reinterpret_cast<LPARAM>(page.c_str()));
  GETTEXTLENGTHEX length{GTL_NUMCHARS | GTL_PRECISE, 1200};
  const LRESULT units = SendMessageW(reader, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0);
  if (units <= 0) return {};
  std::u16string text(static_cast<std::size_t>(units) + 1, u'\0');
  GETTEXTEX get{static_cast<DWORD>(text.size() * sizeof(char16_t)), GT_DEFAULT, 1200, nullptr, nullptr};
  const LRESULT got = SendMessageW(reader, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get),
                                   reinterpret_cast<LPARAM>(text.data()));
  text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return text;
}

void SearchPage(FindAll& f, int row, const std::string& page) {
  const std::u16string text = ReadText(f.reader, page);
  for (std::size_t at : FindHits(Folded(text, f.matchCase), f.term, f.wholeWords, kMaxHits - f.hits.size())) {
    ContextLine line = ContextAround(text, at, f.term.size());
    f.hits.push_back({row, static_cast<long>(at), static_cast<long>(f.term.size()),
                      std::wstring(line.text.begin(), line.text.end()), line.hitStart});
  }
}

void NotePassedBy(FindAll& f, int row, PassedBy reason) {
  switch (reason) {
    case PassedBy::TooLarge: ++f.counts.tooLarge; break;
    case PassedBy::TooDeep: ++f.counts.tooDeep; break;
    case PassedBy::Unreadable: ++f.counts.unreadable; break;
    case PassedBy::None: return;
  }
  if (f.counts.firstPassedBy.empty() && f.host.rowTitle) f.counts.firstPassedBy = WideToUtf8(f.host.rowTitle(row));
}

// A row whose entry was searched before: its hits again, under this row.
void RepeatEntry(FindAll& f, int row, const EntrySearched& searched) {
  NotePassedBy(f, row, searched.passedBy);
  for (std::size_t i = 0; i < searched.hitCount && f.hits.size() < kMaxHits; ++i) {
    Hit hit = f.hits[searched.firstHit + i];
    hit.row = row;
    f.hits.push_back(std::move(hit));
  }
}

void SearchRow(FindAll& f, int row, int entry) {
  // The password dialog is modal to the main window; this window waits with it.
  const PasswordAsker once = [&f]() -> std::optional<PasswordAnswer> {
    if (f.askedPassword || !f.host.ask) return std::nullopt;
    f.askedPassword = true;
    EnableWindow(f.window, FALSE);
    std::optional<PasswordAnswer> answer = f.host.ask();
    EnableWindow(f.window, TRUE);
    return answer;
  };
  EntrySearched searched{f.hits.size(), 0, PassedBy::None};
  const RowPage page = f.host.readRow(row, once);
  searched.passedBy = page.passedBy;
  if (page.passedBy == PassedBy::None) SearchPage(f, row, page.page);
  NotePassedBy(f, row, page.passedBy);
  searched.hitCount = f.hits.size() - searched.firstHit;
  if (entry >= 0) f.searchedEntries[entry] = searched;
}

void ShowProgress(FindAll& f) {
  const LRESULT listed = SendMessageW(f.list, LB_GETCOUNT, 0, 0);
  if (listed != static_cast<LRESULT>(f.hits.size())) {
    SendMessageW(f.list, LB_SETCOUNT, f.hits.size(), 0);
    NotifyRowsChanged(f.list);
  }
  const std::string line = StatusLine(f.counts, IsGerman());
  SetWindowTextW(f.status, Utf8ToWide(line).c_str());
}

void ShowRunning(FindAll& f, bool running) {
  f.running = running;
  EnableWindow(GetDlgItem(f.window, IDB_FIND_ALL_STOP), running);
  if (!running && GetFocus() == GetDlgItem(f.window, IDB_FIND_ALL_STOP)) SetFocus(f.list);
}

void PostStep(FindAll& f) {
  ++f.generation;
  const UINT waiting = HIWORD(GetQueueStatus(QS_INPUT | QS_PAINT));
  const std::uint32_t now = GetTickCount();
  if (NextStepWaits((waiting & QS_INPUT) != 0, (waiting & QS_PAINT) != 0, now, f.lastYield)) {
    f.lastYield = now;
    f.timerGeneration = f.generation;
    SetTimer(f.window, kStepTimer, USER_TIMER_MINIMUM, nullptr);
    return;
  }
  PostMessageW(f.window, kStepMessage, f.generation, 0);
}

// One chapter of the walk (and the rows after it that name entries searched before).
void WalkOn(FindAll& f) {
  for (std::size_t repeated = 0; f.next < f.rows.size() && f.hits.size() < kMaxHits;) {
    const int row = f.rows[f.next];
    const int entry = f.host.entryOf ? f.host.entryOf(row) : -1;
    const auto known = entry >= 0 ? f.searchedEntries.find(entry) : f.searchedEntries.end();
    if (known == f.searchedEntries.end() && repeated > 0) break;  // a new read waits for the next step
    ++f.next;
    ++f.counts.searched;
    if (known != f.searchedEntries.end()) {
      RepeatEntry(f, row, known->second);
      if (++repeated == kRepeatedRowsPerStep) break;
      continue;
    }
    SearchRow(f, row, entry);
    break;
  }
  f.counts.hits = f.hits.size();
  f.counts.hitLimitReached = f.hits.size() >= kMaxHits;
}

void Step(FindAll& f) {
  if (!f.running) return;
  if (f.next >= f.rows.size() || f.counts.hitLimitReached) {
    ShowRunning(f, false);
    return;
  }
  try {
    WalkOn(f);
  } catch (const std::bad_alloc&) {
    // The walk ends; what was found so far stays.
    f.counts.hits = f.hits.size();
    f.counts.outOfMemory = true;
    ShowRunning(f, false);
    ShowProgress(f);
    MessageBoxW(f.window, Pick(kOutOfMemory), Pick(kCaption), MB_OK | MB_ICONWARNING);
    return;
  }
  ShowProgress(f);
  PostStep(f);
}

void Stop(FindAll& f) {
  ++f.generation;
  KillTimer(f.window, kStepTimer);
  ShowRunning(f, false);
}

std::u16string TermText(HWND window) {
  const HWND box = GetDlgItem(window, IDE_FIND_ALL_TERM);
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(box)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(box, text.data(), static_cast<int>(text.size()))));
  return CutTerm(std::u16string(text.begin(), text.end()), kSearchTermLimit);
}

void StartWalk(FindAll& f) {
  Stop(f);
  f.matchCase = Checked(f.window, IDB_FIND_ALL_MATCH_CASE);
  f.wholeWords = Checked(f.window, IDB_FIND_ALL_WHOLE_WORDS);
  f.term = Folded(TermText(f.window), f.matchCase);
  if (f.term.empty()) return;
  f.rows = f.host.searchableRows ? f.host.searchableRows() : std::vector<int>{};
  f.next = 0;
  f.hits.clear();
  f.searchedEntries.clear();
  f.counts = {};
  f.counts.total = f.rows.size();
  f.askedPassword = false;
  SendMessageW(f.list, LB_SETCOUNT, 0, 0);
  ShowRunning(f, true);
  ShowProgress(f);
  PostStep(f);
}

void OpenSelectedHit(FindAll& f) {
  const LRESULT selected = SendMessageW(f.list, LB_GETCURSEL, 0, 0);
  if (selected < 0 || static_cast<std::size_t>(selected) >= f.hits.size() || !f.host.openHit) return;
  const Hit& hit = f.hits[static_cast<std::size_t>(selected)];
  f.host.openHit(hit.row, hit.start, hit.length);
}

// Enter in the list opens the selected hit (elsewhere in the window it presses Find).
// The list box's own procedure is kept in a window property; its user data points to the
// window's state.
constexpr wchar_t kListProcedure[] = L"TomeletFindAllListProc";

LRESULT CALLBACK HitListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto procedure = reinterpret_cast<WNDPROC>(GetPropW(list, kListProcedure));
  const auto* key = reinterpret_cast<const MSG*>(lParam);
  if (message == WM_GETDLGCODE && key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN)
    return DLGC_WANTMESSAGE;
  if (message == WM_KEYDOWN && wParam == VK_RETURN) {
    OpenSelectedHit(*reinterpret_cast<FindAll*>(GetWindowLongPtrW(list, GWLP_USERDATA)));
    return 0;
  }
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
    RemovePropW(list, kListProcedure);
  }
  return CallWindowProcW(procedure, list, message, wParam, lParam);
}

// --- drawing and layout -----------------------------------------------------------------

// Draws a piece of a row's line from x on; gives the x after it.
int DrawPiece(HDC dc, HFONT font, std::wstring_view text, int x, const RECT& clip) {
  const SelectionGuard selected(dc, font);
  ExtTextOutW(dc, x, clip.top, ETO_CLIPPED, &clip, text.data(), static_cast<UINT>(text.size()), nullptr);
  SIZE size{};
  GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
  return x + size.cx;
}

// A row: the chapter's title, then the line with the hit in bold.
void DrawHitRow(const FindAll& f, const DRAWITEMSTRUCT& item) {
  const HDC dc = item.hDC;
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  FillRect(dc, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  if (item.itemID < f.hits.size()) {
    const Hit& hit = f.hits[item.itemID];
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    const HFONT normal = reinterpret_cast<HFONT>(SendMessageW(f.list, WM_GETFONT, 0, 0));
    const int margin = ScaleForDpi(f.layout96.margin, f.dpi);
    RECT title = item.rcItem;
    title.left += margin;
    title.right = item.rcItem.left + ScaleForDpi(f.layout96.titleWidth, f.dpi);
    const std::wstring titleText = f.host.rowTitle ? f.host.rowTitle(hit.row) : std::wstring();
    {
      const SelectionGuard font(dc, normal);
      DrawTextW(dc, titleText.c_str(), static_cast<int>(titleText.size()), &title,
                DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS | DT_VCENTER);
    }
    RECT clip = item.rcItem;
    clip.left = title.right + margin;
    const std::wstring_view line = hit.line;
    const std::size_t hitEnd = hit.lineHitStart + static_cast<std::size_t>(hit.length);
    int x = DrawPiece(dc, normal, line.substr(0, hit.lineHitStart), clip.left, clip);
    x = DrawPiece(dc, f.boldFont ? f.boldFont.get() : normal, line.substr(hit.lineHitStart, hit.length), x, clip);
    DrawPiece(dc, normal, line.substr(std::min(hitEnd, line.size())), x, clip);
  }
  if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &item.rcItem);
}

RECT DialogUnits(HWND window, int left, int top, int right, int bottom) {
  RECT r{left, top, right, bottom};
  MapDialogRect(window, &r);
  return r;
}

RECT ChildRect(HWND window, int id) {
  RECT r{};
  const HWND child = GetDlgItem(window, id);
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void MoveChild(HWND window, int id, int x, int y, int width, int height) {
  MoveWindow(GetDlgItem(window, id), x, y, width > 0 ? width : 0, height > 0 ? height : 0, TRUE);
}

// The buttons keep to the right edge, the term box and the list grow with the window, the
// status line keeps to the bottom.
void LayOut(const FindAll& f) {
  const HWND window = f.window;
  RECT client{};
  GetClientRect(window, &client);
  const auto scaled = [&f](int value96) { return ScaleForDpi(value96, f.dpi); };
  const int margin = scaled(f.layout96.margin), listTop = scaled(f.layout96.listTop);
  const int buttonWidth = scaled(f.layout96.buttonWidth), statusHeight = scaled(f.layout96.statusHeight);
  const int buttonX = client.right - margin - buttonWidth;
  for (int id : {IDB_FIND_ALL_FIND, IDB_FIND_ALL_STOP}) {
    const RECT r = ChildRect(window, id);
    MoveChild(window, id, buttonX, r.top, buttonWidth, r.bottom - r.top);
  }
  const RECT term = ChildRect(window, IDE_FIND_ALL_TERM);
  MoveChild(window, IDE_FIND_ALL_TERM, term.left, term.top, buttonX - margin - term.left, term.bottom - term.top);
  const int width = client.right - 2 * margin;
  MoveChild(window, IDL_FIND_ALL_HITS, margin, listTop, width, client.bottom - listTop - statusHeight - 2 * margin);
  MoveChild(window, IDC_FIND_ALL_STATUS, margin, client.bottom - margin - statusHeight, width, statusHeight);
}

// The measures and the dialog's font as the window opens, in 96-DPI units.
void TakeMeasures(FindAll& f) {
  f.dpi = WindowDpi(f.window);
  const auto unscaled = [&f](int dialogUnits) {
    return UnscaleForDpi(DialogUnits(f.window, 0, 0, dialogUnits, 0).right, f.dpi);
  };
  const auto unscaledHeight = [&f](int dialogUnits) {
    return UnscaleForDpi(DialogUnits(f.window, 0, 0, 0, dialogUnits).bottom, f.dpi);
  };
  f.layout96 = {unscaled(kLayout.margin), unscaledHeight(kLayout.listTop), unscaledHeight(kLayout.statusHeight),
                unscaled(kLayout.buttonWidth), unscaled(kLayout.titleWidth), unscaled(kLayout.minWidth),
                unscaledHeight(kLayout.minHeight)};
  const HFONT font = reinterpret_cast<HFONT>(SendMessageW(f.window, WM_GETFONT, 0, 0));
  if (!font || !GetObjectW(font, sizeof(f.font96), &f.font96)) GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(f.font96), &f.font96);
  f.font96.lfHeight = UnscaleForDpi(f.font96.lfHeight, f.dpi);
}

// The list's fonts and row height for the window's DPI. The old fonts go only after the
// list has the new one.
void SetUpFonts(FindAll& f) {
  LOGFONTW font = f.font96;
  font.lfHeight = ScaleForDpi(f.font96.lfHeight, f.dpi);
  UniqueFont normal(CreateFontIndirectW(&font));
  font.lfWeight = FW_BOLD;
  UniqueFont bold(CreateFontIndirectW(&font));
  if (normal) SendMessageW(f.list, WM_SETFONT, reinterpret_cast<WPARAM>(normal.get()), FALSE);
  f.listFont = std::move(normal);
  f.boldFont = std::move(bold);
  WindowDC screen(f.list);
  const SelectionGuard selected(screen.get(), f.boldFont ? f.boldFont.get() : f.listFont.get());
  TEXTMETRICW metrics{};
  GetTextMetricsW(screen.get(), &metrics);
  SendMessageW(f.list, LB_SETITEMHEIGHT, 0, metrics.tmHeight + 2);
  InvalidateRect(f.list, nullptr, TRUE);
}

// The kept place is in 96-DPI units of the screen, as the main and help windows keep theirs.
void PlaceWindow(const FindAll& f) {
  if (!f.host.place || !*f.host.place) return;
  const WindowPlace p = **f.host.place;
  const int dpi = SystemDpi();
  const RECT r = OntoVisibleScreen({ScaleForDpi(p.left, dpi), ScaleForDpi(p.top, dpi),
                                    ScaleForDpi(p.left + p.width, dpi), ScaleForDpi(p.top + p.height, dpi)});
  MoveWindow(f.window, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

void OnDpiChanged(FindAll& f, int dpi, const RECT& suggested) {
  f.dpi = dpi;
  SetUpFonts(f);
  SetWindowPos(f.window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  LayOut(f);
}

// A hit as a screen reader reads it: "<chapter title>: <words around the hit>". The list's
// object may outlive the window: it finds the hits through the window, or reads nothing.
void MakeHitsSpoken(HWND list) {
  Spoken spoken;
  spoken.name = [] {
    const std::u16string_view name = SpokenName(SpokenPart::HitList, IsGerman());
    return std::wstring(name.begin(), name.end());
  };
  spoken.rowName = [](HWND hits, int row) -> std::wstring {
    const FindAll* f = Of(GetParent(hits));
    if (!f || row < 0 || static_cast<std::size_t>(row) >= f->hits.size()) return {};
    const Hit& hit = f->hits[static_cast<std::size_t>(row)];
    const std::wstring title = f->host.rowTitle ? f->host.rowTitle(hit.row) : std::wstring();
    const std::u16string spoken = SpeakHit(std::u16string(title.begin(), title.end()),
                                           std::u16string(hit.line.begin(), hit.line.end()));
    return std::wstring(spoken.begin(), spoken.end());
  };
  MakeSpoken(list, std::move(spoken));
}

void OnInitDialog(HWND window, FindAll& f) {
  f.window = window;
  f.list = GetDlgItem(window, IDL_FIND_ALL_HITS);
  f.status = GetDlgItem(window, IDC_FIND_ALL_STATUS);
  SetWindowLongPtrW(f.list, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&f));
  MakeHitsSpoken(f.list);  // below the Enter key's subclass, which goes first
  SetPropW(f.list, kListProcedure, reinterpret_cast<HANDLE>(
      SetWindowLongPtrW(f.list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HitListProc))));
  f.reader = CreateWindowExW(0, MSFTEDIT_CLASS, L"", WS_CHILD | ES_MULTILINE | ES_READONLY, 0, 0, 0, 0, window,
                             nullptr, f.host.instance, nullptr);
  SendMessageW(f.reader, EM_SETTEXTMODE, TM_RICHTEXT | TM_SINGLELEVELUNDO | TM_SINGLECODEPAGE, 0);
  SendMessageW(f.reader, EM_EXLIMITTEXT, 0, 67108863);
  SendMessageW(f.reader, EM_SETUNDOLIMIT, 0, 0);
  SendMessageW(f.reader, EM_SETTARGETDEVICE, 0, 1);  // no wrapping: nothing is laid out for a screen
  if (!IsGerman()) {
    SetWindowTextW(window, Pick(kCaption));
    SetDlgItemTextW(window, IDS_FIND_ALL_TERM, Pick(kTermLabel));
    SetDlgItemTextW(window, IDB_FIND_ALL_MATCH_CASE, Pick(kMatchCase));
    SetDlgItemTextW(window, IDB_FIND_ALL_WHOLE_WORDS, Pick(kWholeWords));
    SetDlgItemTextW(window, IDB_FIND_ALL_FIND, Pick(kFind));
    SetDlgItemTextW(window, IDB_FIND_ALL_STOP, Pick(kStop));
  }
  SetDlgItemTextW(window, IDS_FIND_ALL_HITS, Pick(kHitsLabel));
  SendDlgItemMessageW(window, IDE_FIND_ALL_TERM, EM_LIMITTEXT, kSearchTermLimit, 0);
  TakeMeasures(f);
  SetUpFonts(f);
  PlaceWindow(f);
  LayOut(f);
  ShowWindow(window, SW_SHOW);
}

void OnCommand(FindAll& f, int id, int code) {
  switch (id) {
    case IDB_FIND_ALL_FIND: StartWalk(f); break;
    case IDB_FIND_ALL_STOP: Stop(f); break;
    case IDCANCEL:  // Esc: ends the walk, or the window when none runs
      if (f.running) Stop(f);
      else DestroyWindow(f.window);
      break;
    case IDL_FIND_ALL_HITS:
      if (code == LBN_DBLCLK) OpenSelectedHit(f);
      break;
    default: break;
  }
}

void OnDestroy(FindAll& f) {
  if (f.host.place && !IsIconic(f.window)) {
    const WindowBox box = ReadWindowBox(f.window);
    const int dpi = SystemDpi();
    *f.host.place = WindowPlace{UnscaleForDpi(box.left, dpi), UnscaleForDpi(box.top, dpi),
                                UnscaleForDpi(box.width, dpi), UnscaleForDpi(box.height, dpi)};
  }
  if (f.host.closed) f.host.closed(f.window);
}

INT_PTR CALLBACK FindAllProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    OnInitDialog(window, *reinterpret_cast<FindAll*>(lParam));
    return TRUE;
  }
  FindAll* f = Of(window);
  if (!f) return FALSE;
  switch (message) {
    case WM_COMMAND: OnCommand(*f, LOWORD(wParam), HIWORD(wParam)); return TRUE;
    case kStepMessage:
      if (wParam == f->generation) Step(*f);
      return TRUE;
    case WM_TIMER:
      if (wParam != kStepTimer) return FALSE;
      KillTimer(window, kStepTimer);
      if (f->timerGeneration == f->generation) Step(*f);
      return TRUE;
    case WM_DRAWITEM:
      if (wParam != IDL_FIND_ALL_HITS) return FALSE;
      DrawHitRow(*f, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_SIZE: LayOut(*f); return TRUE;
    case WM_GETMINMAXINFO:
      reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {ScaleForDpi(f->layout96.minWidth, f->dpi),
                                                               ScaleForDpi(f->layout96.minHeight, f->dpi)};
      return TRUE;
    case WM_DPICHANGED:
      OnDpiChanged(*f, HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return TRUE;
    case WM_CLOSE: DestroyWindow(window); return TRUE;
    case WM_DESTROY: OnDestroy(*f); return FALSE;
    case WM_NCDESTROY: Current().reset(); return FALSE;
    default: return FALSE;
  }
}

}  // namespace

HWND OpenFindAllWindow(const FindAllHost& host) {
  if (FindAll* open = Current().get()) {
    SetActiveWindow(open->window);
    SetFocus(GetDlgItem(open->window, IDE_FIND_ALL_TERM));
    return open->window;
  }
  Current() = std::make_unique<FindAll>();
  Current()->host = host;
  const HWND window = CreateDialogParamW(host.instance, MAKEINTRESOURCEW(IDD_FIND_ALL), host.owner, FindAllProc,
                                         reinterpret_cast<LPARAM>(Current().get()));
  if (!window) Current().reset();
  return window;
}

void FindAllBookChanged(HWND window) {
  FindAll* f = Of(window);
  if (!f) return;
  Stop(*f);
  f->hits.clear();
  f->searchedEntries.clear();
  f->counts = {};
  SendMessageW(f->list, LB_SETCOUNT, 0, 0);
  SetWindowTextW(f->status, L"");
}

FindAllProgress FindAllProgressOf(HWND window) {
  const FindAll* f = Of(window);
  return f ? FindAllProgress{f->running, f->counts} : FindAllProgress{};
}

}  // namespace tomelet
