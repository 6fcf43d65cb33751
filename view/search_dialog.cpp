#include "view/search_dialog.h"

#include <richedit.h>

#include <memory>
#include <new>
#include <optional>
#include <string>

#include "base/language.h"
#include "res/resource_ids.h"
#include "view/search_rules.h"

namespace tomelet {
namespace {

// A step the dialog posts to itself; wParam is the walk's generation.
constexpr UINT kStepMessage = WM_APP + 20;
// The same step when input was waiting: a timer comes after input in the queue, where a
// posted message would come before it.
constexpr UINT_PTR kStepTimer = 20;

const TextPair kCaption = {L"Search...", L"Suchen"};
const TextPair kSearchFor = {L"Search &for:", L"&Suchen nach:"};
const TextPair kKindOfSearch = {L"&Kind of search:", L"&Art der Suche:"};
const TextPair kWholeWord = {L"&Whole word only", L"&Nur ganzes Wort suchen"};
const TextPair kMatchCase = {L"&Match case", L"&Gro\u00df-/Kleinschreibung"};
const TextPair kDarkGrayBox = {L"&Dark gray", L"&Dunkelgrau"};
const TextPair kSearchAgain = {L"&Search again", L"&Weitersuchen"};
const TextPair kCancel = {L"&Cancel", L"A&bbrechen"};
const TextPair kOutOfMemory = {L"There is not enough memory to go on searching.",
                               L"Es ist nicht genug Speicher frei, um weiterzusuchen."};

// In the order of SearchKind.
const TextPair kKinds[kSearchKindCount] = {
    {L"Search up to top of book", L"Suche nach oben im ganzen Buch"},
    {L"Search up in chapter", L"Suche nach oben im Kapitel"},
    {L"Search down in chapter", L"Suche nach unten im Kapitel"},
    {L"Search down in whole book", L"Suche nach unten im ganzen Buch"},
    {L"Search whole book from top", L"Suche im ganzen Buch von Anfang an"},
    {L"Search chapter from top", L"Suche im Kapitel von Anfang an"},
};

// What the dialog shows again at its next opening in this run.
struct SearchSettings {
  std::wstring searchTerm;
  int searchKind = 0;
  bool matchCase = false;
  bool wholeWord = false;
  bool darkGray = false;
  RECT dialogRect{};
  bool dialogPlaced = false;
};

SearchSettings& Settings() {
  static SearchSettings settings;
  return settings;
}

// One open dialog's walk.
struct SearchWalk {
  SearchHost host;
  HWND dialog = nullptr;
  // Only the step posted last runs: a click, or closing, leaves older ones behind.
  unsigned generation = 0;
  unsigned timerGeneration = 0;  // of the step waiting behind input
  std::uint32_t lastYield = 0;     // tick of the last step that let input and paint go first
  // While dark-gray search skips hits of other colours: the selection to put back if it
  // ends without a hit, and the row it belongs to.
  std::optional<CHARRANGE> beforeSkipping;
  int beforeSkippingRow = -1;
};

SearchWalk* WalkOf(HWND dialog) { return reinterpret_cast<SearchWalk*>(GetWindowLongPtrW(dialog, DWLP_USER)); }

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

std::wstring TermBoxText(HWND dialog) {
  const HWND box = GetDlgItem(dialog, IDE_SEARCH_TERM);
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(box)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(box, text.data(), static_cast<int>(text.size()))));
  const std::u16string cut = CutTerm(std::u16string(text.begin(), text.end()), kSearchTermLimit);
  return std::wstring(cut.begin(), cut.end());
}

int SelectedKindIndex(HWND dialog) {
  return static_cast<int>(SearchKindFromIndex(
      static_cast<int>(SendDlgItemMessageW(dialog, IDC_SEARCH_KIND, CB_GETCURSEL, 0, 0))));
}

void SelectKind(HWND dialog, SearchKind kind) {
  SendDlgItemMessageW(dialog, IDC_SEARCH_KIND, CB_SETCURSEL, static_cast<WPARAM>(kind), 0);
}

void UpdateSearchButton(HWND dialog) {
  EnableWindow(GetDlgItem(dialog, IDOK), GetWindowTextLengthW(GetDlgItem(dialog, IDE_SEARCH_TERM)) > 0);
}

int CurrentRow(const SearchHost& host) {
  const LRESULT row = SendMessageW(host.contentsList, LB_GETCURSEL, 0, 0);
  return row == LB_ERR ? -1 : static_cast<int>(row);
}

CHARRANGE Selection(HWND pane) {
  CHARRANGE selection{};
  SendMessageW(pane, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
  return selection;
}

void Select(HWND pane, CHARRANGE range) {
  SendMessageW(pane, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  SendMessageW(pane, EM_SCROLLCARET, 0, 0);
}

// The text colour of a hit, read with the hit selected.
HitColour ColourOf(HWND pane, CHARRANGE hit) {
  SendMessageW(pane, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&hit));
  CHARFORMATW format{};
  format.cbSize = sizeof(format);
  format.dwMask = CFM_COLOR;
  SendMessageW(pane, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  return {(format.dwMask & CFM_COLOR) != 0, (format.dwEffects & CFE_AUTOCOLOR) != 0,
          static_cast<std::uint32_t>(format.crTextColor)};
}

// The next step of a walk. Keys and clicks waiting in the queue go first, so the user
// can change the term, the kind or the boxes, or cancel, in the middle of a long walk;
// now and then the window is painted, so the walk is seen going through the book.
void PostStep(SearchWalk& walk) {
  ++walk.generation;
  const UINT waiting = HIWORD(GetQueueStatus(QS_INPUT | QS_PAINT));
  const std::uint32_t now = GetTickCount();
  if (NextStepWaits((waiting & QS_INPUT) != 0, (waiting & QS_PAINT) != 0, now, walk.lastYield)) {
    walk.lastYield = now;
    walk.timerGeneration = walk.generation;
    SetTimer(walk.dialog, kStepTimer, USER_TIMER_MINIMUM, nullptr);
    return;
  }
  PostMessageW(walk.dialog, kStepMessage, walk.generation, 0);
}

LONG TextLength(HWND pane) {
  GETTEXTLENGTHEX query{GTL_NUMCHARS | GTL_PRECISE, 1200};
  return static_cast<LONG>(SendMessageW(pane, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&query), 0));
}

// Shows another row's chapter with the caret where the walk goes on from.
void MoveToRow(SearchWalk& walk, int row, bool caretAtEnd) {
  walk.host.loadRow(row);
  const LONG caret = caretAtEnd ? TextLength(walk.host.textPane) : 0;
  SendMessageW(walk.host.textPane, EM_SETSEL, static_cast<WPARAM>(caret), caret);
  walk.beforeSkipping.reset();
}

// One press of Search again, clicked or posted.
void Step(SearchWalk& walk) {
  const HWND dialog = walk.dialog;
  const HWND pane = walk.host.textPane;
  SearchSettings& settings = Settings();
  DWORD flags = 0;
  settings.matchCase = Checked(dialog, IDB_MATCH_CASE);
  settings.wholeWord = Checked(dialog, IDB_WHOLE_WORD);
  settings.darkGray = Checked(dialog, IDB_DARK_GRAY);
  if (settings.matchCase) flags |= FR_MATCHCASE;
  if (settings.wholeWord) flags |= FR_WHOLEWORD;
  settings.searchTerm = TermBoxText(dialog);
  int row = CurrentRow(walk.host);
  const SearchKind kind = SearchKindFromIndex(SelectedKindIndex(dialog));
  settings.searchKind = static_cast<int>(kind);
  if (settings.searchTerm.empty()) return;  // the box was emptied while a step was on its way

  const StepPlan plan = PlanStep(kind);
  if (plan.loadFirstRow) {
    row = 0;
    MoveToRow(walk, row, false);
  }
  if (plan.kindAfter != kind) SelectKind(dialog, plan.kindAfter);
  if (walk.beforeSkippingRow != row) walk.beforeSkipping.reset();

  const CHARRANGE selection = Selection(pane);
  const LONG from = plan.from == SearchFrom::TextStart      ? 0
                    : plan.from == SearchFrom::SelectionStart ? selection.cpMin
                                                              : selection.cpMax;
  FINDTEXTEXW find{};
  find.chrg = {from, -1};  // upwards, -1 reaches to the top of the text
  find.lpstrText = settings.searchTerm.c_str();
  if (plan.forward) flags |= FR_DOWN;
  HitVerdict verdict = HitVerdict::Miss;
  if (SendMessageW(pane, EM_FINDTEXTEXW, flags, reinterpret_cast<LPARAM>(&find)) >= 0) {
    const HitColour colour = settings.darkGray ? ColourOf(pane, find.chrgText) : HitColour{};
    verdict = JudgeHit({find.chrgText.cpMin, find.chrgText.cpMax}, from, plan.forward, settings.darkGray, colour);
  }

  switch (verdict) {
    case HitVerdict::Accept:
      Select(pane, find.chrgText);
      walk.beforeSkipping.reset();
      return;
    case HitVerdict::Skip: {
      // Not dark gray: search on past it, as a posted step like any other.
      if (!walk.beforeSkipping) {
        walk.beforeSkipping = selection;
        walk.beforeSkippingRow = row;
      }
      const LONG caret = CaretPastHit({find.chrgText.cpMin, find.chrgText.cpMax}, plan.forward);
      SendMessageW(pane, EM_SETSEL, static_cast<WPARAM>(caret), caret);
      PostStep(walk);
      return;
    }
    case HitVerdict::Miss:
      break;
  }
  const AfterMiss next = NextAfterMiss(kind, row, walk.host.rowCount());
  if (next.moveOn) {
    MoveToRow(walk, next.row, next.caretAtEnd);
    PostStep(walk);
    return;
  }
  // Nowhere left to go: the selection is what it was before this search.
  Select(pane, walk.beforeSkipping.value_or(selection));
  walk.beforeSkipping.reset();
}

// A step whose memory runs out ends the walk with a message; the program goes on.
void SafeStep(SearchWalk& walk) {
  try {
    Step(walk);
  } catch (const std::bad_alloc&) {
    ++walk.generation;  // no step of this walk follows
    MessageBoxW(walk.dialog, Pick(kOutOfMemory), Pick(kCaption), MB_OK | MB_ICONWARNING);
  }
}

void OnInitDialog(HWND dialog, SearchWalk& walk) {
  walk.dialog = dialog;
  if (!IsGerman()) {
    SetWindowTextW(dialog, Pick(kCaption));
    SetDlgItemTextW(dialog, IDS_SEARCH_FOR, Pick(kSearchFor));
    SetDlgItemTextW(dialog, IDS_SEARCH_KIND, Pick(kKindOfSearch));
    SetDlgItemTextW(dialog, IDB_WHOLE_WORD, Pick(kWholeWord));
    SetDlgItemTextW(dialog, IDB_MATCH_CASE, Pick(kMatchCase));
    SetDlgItemTextW(dialog, IDB_DARK_GRAY, Pick(kDarkGrayBox));
    SetDlgItemTextW(dialog, IDOK, Pick(kSearchAgain));
    SetDlgItemTextW(dialog, IDCANCEL, Pick(kCancel));
  }
  for (const TextPair& kind : kKinds)
    SendDlgItemMessageW(dialog, IDC_SEARCH_KIND, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Pick(kind)));
  SearchSettings& settings = Settings();
  if (settings.dialogPlaced) {
    const RECT& r = settings.dialogRect;
    MoveWindow(dialog, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
  } else {
    settings.dialogPlaced = true;
    settings.searchKind = static_cast<int>(SearchKind::DownInChapter);
  }
  SelectKind(dialog, SearchKindFromIndex(settings.searchKind));
  SendDlgItemMessageW(dialog, IDE_SEARCH_TERM, EM_LIMITTEXT, kSearchTermLimit, 0);
  SetDlgItemTextW(dialog, IDE_SEARCH_TERM, settings.searchTerm.c_str());
  CheckDlgButton(dialog, IDB_MATCH_CASE, settings.matchCase ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dialog, IDB_WHOLE_WORD, settings.wholeWord ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dialog, IDB_DARK_GRAY, settings.darkGray ? BST_CHECKED : BST_UNCHECKED);
  UpdateSearchButton(dialog);
}

void Close(HWND dialog, SearchWalk& walk) {
  SearchSettings& settings = Settings();
  settings.searchTerm = TermBoxText(dialog);
  settings.searchKind = SelectedKindIndex(dialog);
  settings.matchCase = Checked(dialog, IDB_MATCH_CASE);
  settings.wholeWord = Checked(dialog, IDB_WHOLE_WORD);
  settings.darkGray = Checked(dialog, IDB_DARK_GRAY);
  GetWindowRect(dialog, &settings.dialogRect);
  const HWND owner = walk.host.owner;
  DestroyWindow(dialog);  // the walk, and a step still on its way, go with it
  SetFocus(owner);
}

INT_PTR CALLBACK SearchDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      // The dialog owns its walk until WM_NCDESTROY.
      auto walk = std::make_unique<SearchWalk>();
      walk->host = *reinterpret_cast<const SearchHost*>(lParam);
      SearchWalk& held = *walk;
      SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(walk.release()));
      OnInitDialog(dialog, held);
      return TRUE;
    }
    case WM_COMMAND: {
      SearchWalk* walk = WalkOf(dialog);
      if (!walk) return FALSE;
      if (LOWORD(wParam) == IDE_SEARCH_TERM && HIWORD(wParam) == EN_CHANGE) {
        UpdateSearchButton(dialog);
      } else if (LOWORD(wParam) == IDOK) {
        ++walk->generation;  // this step replaces one still on its way
        if (walk->host.searchStarts) walk->host.searchStarts();
        SafeStep(*walk);
      } else if (LOWORD(wParam) == IDCANCEL) {
        Close(dialog, *walk);
      }
      return FALSE;
    }
    case kStepMessage: {
      SearchWalk* walk = WalkOf(dialog);
      if (walk && wParam == walk->generation) SafeStep(*walk);
      return FALSE;
    }
    case WM_TIMER: {
      if (wParam != kStepTimer) return FALSE;
      KillTimer(dialog, kStepTimer);
      SearchWalk* walk = WalkOf(dialog);
      if (walk && walk->timerGeneration == walk->generation) SafeStep(*walk);
      return FALSE;
    }
    case WM_NCDESTROY:
      // Closed by Cancel, or destroyed with the main window.
      if (const std::unique_ptr<SearchWalk> walk{WalkOf(dialog)}) {
        if (walk->host.closed) walk->host.closed(dialog);
        SetWindowLongPtrW(dialog, DWLP_USER, 0);
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

HWND OpenSearchDialog(const SearchHost& host) {
  return CreateDialogParamW(host.instance, MAKEINTRESOURCEW(IDD_SEARCH), host.owner, SearchDialogProc,
                            reinterpret_cast<LPARAM>(&host));
}

void ForgetSearchSettings() { Settings() = SearchSettings{}; }

}  // namespace tomelet
