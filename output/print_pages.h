#pragma once
// What printing needs no printer for: the page geometry in twips from a printer's
// device caps, and the loop over copies and pages. The loop drives a PrintTarget: the
// real one lays out pages with the rich-edit control on a printer, tests use a fake.
#include <cstdint>

namespace tomelet {

inline constexpr int kTwipsPerMillimetre = 57;
inline constexpr int kTwipsPerInch = 1440;

// Page margins in whole millimetres.
struct PageMargins {
  int left = 20, right = 20, top = 16, bottom = 16;
};

struct TwipsRect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const TwipsRect&) const = default;
};

struct PageGeometry {
  int32_t pageWidth = 0, pageHeight = 0;  // the printable area
  TwipsRect layout;                       // drawing and page rectangle of every page
  bool Usable() const { return layout.right > layout.left && layout.bottom > layout.top; }
};

// From HORZRES, VERTRES, LOGPIXELSX and LOGPIXELSY. A printer reporting no resolution
// gives an unusable geometry.
PageGeometry ComputePageGeometry(int horizontalPixels, int verticalPixels, int pixelsPerInchX, int pixelsPerInchY,
                                 PageMargins margins = {});

// Characters start..end of the text to print; for the whole text every page after the
// first is asked to lay out up to the end of the text (-1).
struct PrintSpan {
  int32_t start = 0, end = 0;
  bool wholeText = true;
};

class PrintTarget {
 public:
  virtual bool StartDocument() = 0;  // false: the spooler refused the job
  virtual void EndDocument() = 0;
  virtual void AbortDocument() = 0;
  virtual bool StartPage() = 0;      // false: as StartDocument
  // Lays out and draws characters from..to (-1: to the end) on the page; gives the
  // position the next page starts at.
  virtual int32_t DrawPage(int32_t from, int32_t to) = 0;
  virtual void EndPage() = 0;
  virtual void DropLayout() = 0;  // forget the cached layout
  virtual void ShowProgress(int page, int copy, int copiesRequested) = 0;
  virtual bool WantMoreCopies() = 0;  // asked once, after the first of several copies
  virtual void BetweenPages() = 0;    // serve the job's window, yield

 protected:
  ~PrintTarget() = default;
};

enum class PrintStatus { Printed = 0, NothingToPrint = -1, PageTooSmall = -2, Refused = -3 };

struct PrintOutcome {
  PrintStatus status = PrintStatus::Printed;
  int copies = 0;      // documents completed
  int totalPages = 0;  // over all completed documents
};

// Prints `copies` copies of span, each a document of its own. Nothing reaches the target
// when the span is empty or the page has no room inside its margins. A page after which
// the position has not advanced ends its copy: the rest cannot be laid out.
PrintOutcome PrintCopies(const PrintSpan& span, int copies, const PageGeometry& geometry, PrintTarget& target);

}  // namespace tomelet
