#include "output/print_pages.h"

#include <cmath>
#include <limits>

namespace tomelet {
namespace {

int32_t TwipsOf(int pixels, int pixelsPerInch) {
  if (pixels <= 0 || pixelsPerInch <= 0) return 0;
  const double twips = std::floor(static_cast<double>(pixels) / pixelsPerInch * kTwipsPerInch);
  constexpr double kMax = std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(twips < kMax ? twips : kMax);
}

}  // namespace

PageGeometry ComputePageGeometry(int horizontalPixels, int verticalPixels, int pixelsPerInchX, int pixelsPerInchY,
                                 PageMargins margins) {
  PageGeometry g;
  g.pageWidth = TwipsOf(horizontalPixels, pixelsPerInchX);
  g.pageHeight = TwipsOf(verticalPixels, pixelsPerInchY);
  g.layout.left = margins.left * kTwipsPerMillimetre;
  g.layout.top = margins.top * kTwipsPerMillimetre;
  g.layout.right = g.pageWidth - margins.right * kTwipsPerMillimetre;
  g.layout.bottom = g.pageHeight - margins.bottom * kTwipsPerMillimetre;
  return g;
}

PrintOutcome PrintCopies(const PrintSpan& span, int copies, const PageGeometry& geometry, PrintTarget& target) {
  PrintOutcome outcome;
  if (span.end <= span.start) {
    outcome.status = PrintStatus::NothingToPrint;
    return outcome;
  }
  if (!geometry.Usable()) {
    outcome.status = PrintStatus::PageTooSmall;
    return outcome;
  }
  if (copies < 1) copies = 1;
  for (int copy = 1; copy <= copies; ++copy) {
    if (!target.StartDocument()) {
      outcome.status = PrintStatus::Refused;
      return outcome;
    }
    target.DropLayout();
    int page = 0;
    int32_t next = span.start;
    int32_t to = span.end;
    while (next < span.end) {
      target.ShowProgress(page + 1, copy, copies);
      if (!target.StartPage()) {
        target.DropLayout();
        target.AbortDocument();
        outcome.status = PrintStatus::Refused;
        return outcome;
      }
      const int32_t after = target.DrawPage(next, to);
      target.EndPage();
      ++page;
      if (after <= next) break;  // no progress: nothing more fits on a page
      next = after;
      if (span.wholeText) to = -1;
      target.BetweenPages();
    }
    target.DropLayout();
    target.EndDocument();
    ++outcome.copies;
    outcome.totalPages += page;
    if (copies > 1 && copy == 1 && !target.WantMoreCopies()) break;
  }
  return outcome;
}

}  // namespace tomelet
