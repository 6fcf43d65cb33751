#pragma once
// The rules of quick search and of the Search dialog that need no window: how typed
// characters build a term, how long a term may be, in which order the contents rows are
// tried, what each kind of search does at a step, and when a hit in dark gray counts.
// The Win32 sides (view/quick_search.*, view/search_dialog.*) only apply these.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace tomelet {

// Milliseconds of a free-running 32-bit tick counter (the system's GetTickCount).
using TickSource = std::function<std::uint32_t()>;

// Keys pressed within this many milliseconds of the previous one extend the term.
inline constexpr std::uint32_t kTermKeyGap = 1000;

// One pane's quick-search term. The term stays UTF-16 as typed, so every character the
// keyboard gives (Cyrillic on a Western system too) is the character searched for.
class QuickSearchTerm {
 public:
  explicit QuickSearchTerm(TickSource ticks) : ticks_(std::move(ticks)) {}

  // A typed character: appended when it follows the previous key within kTermKeyGap ms
  // (exactly kTermKeyGap still appends; the counter may wrap in between), otherwise it
  // starts a new term. Character 0 means "search again" and changes nothing.
  const std::u16string& Type(char16_t code);

  const std::u16string& term() const { return term_; }

 private:
  TickSource ticks_;
  std::u16string term_;
  std::uint32_t lastKeyTick_ = 0;
  bool typed_ = false;
};

// The longest term the text pane's search takes from quick search, and the Search
// dialog's term box limit (UTF-16 units).
inline constexpr std::size_t kTextPaneTermLimit = 254;
inline constexpr std::size_t kSearchTermLimit = 511;

// The first `limit` units of a term; a surrogate pair that the limit would split is
// left out whole.
std::u16string CutTerm(std::u16string term, std::size_t limit);

// The contents row quick search selects: the rows after the selected one (-1: none)
// first, then from the top up to and including the selected row. nullopt: no row holds it.
std::optional<int> FindContentsRow(int selected, int rowCount, const std::function<bool(int row)>& rowHoldsTerm);

// The six kinds of the Search dialog, in the order of its drop-down list.
enum class SearchKind : int {
  UpWholeBook = 0,
  UpInChapter = 1,
  DownInChapter = 2,
  DownWholeBook = 3,
  WholeBookFromTop = 4,
  ChapterFromTop = 5,
};
inline constexpr int kSearchKindCount = 6;

// A combo-box index as a kind; anything out of range is Search down in chapter.
SearchKind SearchKindFromIndex(int index);

// Where one step searches from in the current chapter.
enum class SearchFrom { SelectionStart, SelectionEnd, TextStart };

struct StepPlan {
  bool loadFirstRow = false;  // show the first row's chapter before searching
  bool forward = true;
  SearchFrom from = SearchFrom::SelectionEnd;
  SearchKind kindAfter = SearchKind::DownInChapter;  // the kind the list shows after the step
};
StepPlan PlanStep(SearchKind kind);

// What a step that found nothing does next: stop where it is, or show another row's
// chapter (with the caret at its start, or at its end for the upward walk) and go on.
struct AfterMiss {
  bool moveOn = false;
  int row = -1;
  bool caretAtEnd = false;
};
AfterMiss NextAfterMiss(SearchKind kind, int row, int rowCount);

// A walk's steps are posted messages, which the message loop takes before input and
// paint. The next step waits behind them (as a timer, which comes after both) when input
// is waiting, or when the window needs painting and kRepaintEvery ms have passed since the
// last step that waited: the user can always act between two steps, and sees the walk
// move through the book without paying for a paint of every chapter.
inline constexpr std::uint32_t kRepaintEvery = 250;
bool NextStepWaits(bool inputWaiting, bool paintWaiting, std::uint32_t now, std::uint32_t lastWait);

// A character range of the text pane, [min, max).
struct TextRange {
  long min = 0;
  long max = 0;
  friend bool operator==(const TextRange&, const TextRange&) = default;
};

// The colour the text pane reports for a hit's whole range.
struct HitColour {
  bool uniform = false;    // one colour over the whole range
  bool automatic = false;  // the control's default text colour
  std::uint32_t rgb = 0;   // 0x00BBGGRR
};
inline constexpr std::uint32_t kDarkGray = 0x00808080;

enum class HitVerdict {
  Accept,  // select it: the step ends here
  Skip,    // not dark gray: put the caret past it and search on in the same direction
  Miss,    // no progress from `from`: treated like nothing found, so the walk never loops
};

// Judges a hit found searching from position `from`. A search that comes back with a
// range that does not move past `from` in its direction counts as a miss.
HitVerdict JudgeHit(TextRange hit, long from, bool forward, bool darkGrayOnly, const HitColour& colour);

// Where the caret goes to search on past a skipped hit.
long CaretPastHit(TextRange hit, bool forward);

}  // namespace tomelet
