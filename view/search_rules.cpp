#include "view/search_rules.h"

namespace tomelet {

const std::u16string& QuickSearchTerm::Type(char16_t code) {
  if (code == 0) return term_;
  const std::uint32_t now = ticks_();
  // The difference, not lastKeyTick + gap: that sum wraps near the counter's end and
  // would split a term typed across the wrap.
  if (typed_ && static_cast<std::uint32_t>(now - lastKeyTick_) <= kTermKeyGap) {
    term_ += code;
  } else {
    term_.assign(1, code);
  }
  lastKeyTick_ = now;
  typed_ = true;
  return term_;
}

std::u16string CutTerm(std::u16string term, std::size_t limit) {
  if (term.size() <= limit) return term;
  std::size_t length = limit;
  const auto isHighSurrogate = [](char16_t c) { return c >= 0xD800 && c <= 0xDBFF; };
  if (length > 0 && isHighSurrogate(term[length - 1])) --length;
  term.resize(length);
  return term;
}

std::optional<int> FindContentsRow(int selected, int rowCount, const std::function<bool(int row)>& rowHoldsTerm) {
  const int start = selected < 0 ? 0 : selected + 1;
  for (int row = start; row < rowCount; ++row)
    if (rowHoldsTerm(row)) return row;
  // The rows after the selected one were tried: the top of the list down to the
  // selected row itself remains.
  for (int row = 0; row < start && row < rowCount; ++row)
    if (rowHoldsTerm(row)) return row;
  return std::nullopt;
}

SearchKind SearchKindFromIndex(int index) {
  if (index < 0 || index >= kSearchKindCount) return SearchKind::DownInChapter;
  return static_cast<SearchKind>(index);
}

StepPlan PlanStep(SearchKind kind) {
  switch (kind) {
    case SearchKind::UpWholeBook: return {false, false, SearchFrom::SelectionStart, kind};
    case SearchKind::UpInChapter: return {false, false, SearchFrom::SelectionStart, kind};
    case SearchKind::DownInChapter: return {false, true, SearchFrom::SelectionEnd, kind};
    case SearchKind::DownWholeBook: return {false, true, SearchFrom::SelectionEnd, kind};
    // The two "from the top" kinds start over once; the next step goes on from the hit.
    case SearchKind::WholeBookFromTop: return {true, true, SearchFrom::TextStart, SearchKind::DownWholeBook};
    case SearchKind::ChapterFromTop: return {false, true, SearchFrom::TextStart, SearchKind::DownInChapter};
  }
  return {};
}

AfterMiss NextAfterMiss(SearchKind kind, int row, int rowCount) {
  switch (kind) {
    case SearchKind::DownWholeBook:
    case SearchKind::WholeBookFromTop:
      if (row + 1 < rowCount) return {true, row + 1, false};
      return {};
    case SearchKind::UpWholeBook:
      if (row > 0 && row - 1 < rowCount) return {true, row - 1, true};
      return {};
    default:
      return {};
  }
}

bool NextStepWaits(bool inputWaiting, bool paintWaiting, std::uint32_t now, std::uint32_t lastWait) {
  return inputWaiting || (paintWaiting && static_cast<std::uint32_t>(now - lastWait) >= kRepaintEvery);
}

HitVerdict JudgeHit(TextRange hit, long from, bool forward, bool darkGrayOnly, const HitColour& colour) {
  const bool progress = forward ? hit.min >= from && hit.max > from : hit.max <= from && hit.min < from;
  if (!progress) return HitVerdict::Miss;
  if (!darkGrayOnly) return HitVerdict::Accept;
  const bool darkGray = colour.uniform && !colour.automatic && colour.rgb == kDarkGray;
  return darkGray ? HitVerdict::Accept : HitVerdict::Skip;
}

long CaretPastHit(TextRange hit, bool forward) { return forward ? hit.max : hit.min; }

}  // namespace tomelet
