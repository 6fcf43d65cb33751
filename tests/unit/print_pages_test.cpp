// The page geometry from device caps and the loop over copies and pages, against a fake
// printer whose layout advances a given number of characters per page.
#include "output/print_pages.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace tomelet {
namespace {

TEST(PrintPages, GeometryFromDeviceCaps) {
  struct Row {
    int pixelsX, pixelsY, dpiX, dpiY, width, height, left, top, right, bottom;
    bool usable;
  } const rows[] = {
      {4800, 7016, 600, 600, 11520, 16838, 1140, 912, 10380, 15926, true},  // 16838.4 rounds down
      {2479, 3508, 300, 300, 11899, 16838, 1140, 912, 10759, 15926, true},  // A4, Wine's PDF printer
      {4800, 7016, 0, 600, 0, 16838, 1140, 912, -1140, 15926, false},       // no resolution reported
      {500, 300, 600, 600, 1200, 720, 1140, 912, 60, -192, false},          // smaller than the margins
      {2000000000, 10, 1, 1, 2147483647, 14400, 1140, 912, 2147482507, 13488, true},
  };
  for (const Row& r : rows) {
    const PageGeometry g = ComputePageGeometry(r.pixelsX, r.pixelsY, r.dpiX, r.dpiY);
    EXPECT_EQ(std::tie(g.pageWidth, g.pageHeight, g.layout.left, g.layout.top, g.layout.right, g.layout.bottom),
              std::tie(r.width, r.height, r.left, r.top, r.right, r.bottom)) << r.pixelsX;
    EXPECT_EQ(g.Usable(), r.usable) << r.pixelsX;
  }
}

// Writes down what the loop asks: D start document, x drop layout, p<page>/<copy>/<copies>
// :<from>..<to> a page, E end, A abort, ? the copies question; ! a refusal.
struct Printer {
  std::vector<int32_t> advances;  // per page, repeated
  bool moreCopies;
  int refuseDocument, refusePage;  // refuse the n-th
};
struct FakePrinter final : PrintTarget {
  FakePrinter(const Printer& p, int32_t length) : p(p), textLength(length) {}
  Printer p;
  int32_t textLength, documents = 0, pages = 0;
  std::string log, progress;

  bool Note(const std::string& what) { return log += (log.empty() ? "" : " ") + what, what.back() != '!'; }
  bool StartDocument() override { return Note(++documents == p.refuseDocument ? "D!" : "D"); }
  void EndDocument() override { Note("E"); }
  void AbortDocument() override { Note("A"); }
  bool StartPage() override { return ++pages != p.refusePage || Note("P!"); }
  int32_t DrawPage(int32_t from, int32_t to) override {
    Note(progress + ":" + std::to_string(from) + ".." + std::to_string(to));
    const int32_t next = from + p.advances[(pages - 1) % p.advances.size()], end = to < 0 ? textLength : to;
    return next < end ? next : end;
  }
  void EndPage() override {}
  void DropLayout() override { Note("x"); }
  void ShowProgress(int page, int copy, int copies) override {
    progress = "p" + std::to_string(page) + "/" + std::to_string(copy) + "/" + std::to_string(copies);
  }
  bool WantMoreCopies() override { return Note("?"), p.moreCopies; }
  void BetweenPages() override {}
};

TEST(PrintPages, CopiesAndPages) {
  struct Row {
    PrintSpan span;
    int copies, pixelsX;
    Printer printer;
    std::string log;
    PrintStatus status;
    int documents, pages;
  };
  const Printer plain{{100}, false, 0, 0}, more{{100}, true, 0, 0};
  const std::string first = "D x p1/1/3:0..150 p2/1/3:100..-1 x E ?";
  const Row rows[] = {
      {{0, 50}, 1, 4800, plain, "D x p1/1/1:0..50 x E", PrintStatus::Printed, 1, 1},
      {{0, 250}, 1, 4800, plain, "D x p1/1/1:0..250 p2/1/1:100..-1 p3/1/1:200..-1 x E", PrintStatus::Printed, 1, 3},
      {{120, 350, false}, 1, 4800, plain, "D x p1/1/1:120..350 p2/1/1:220..350 p3/1/1:320..350 x E",
       PrintStatus::Printed, 1, 3},  // a selection
      {{0, 250}, 2, 4800, {{0}, true, 0, 0}, "D x p1/1/2:0..250 x E ? D x p1/2/2:0..250 x E", PrintStatus::Printed, 2,
       2},  // no progress, as under Wine
      {{0, 250}, 1, 4800, {{100, -50}, false, 0, 0}, "D x p1/1/1:0..250 p2/1/1:100..-1 x E", PrintStatus::Printed, 1, 2},
      {{0, 150}, 3, 4800, plain, first, PrintStatus::Printed, 1, 2},
      {{0, 150}, 3, 4800, more, first + " D x p1/2/3:0..150 p2/2/3:100..-1 x E D x p1/3/3:0..150 p2/3/3:100..-1 x E",
       PrintStatus::Printed, 3, 6},
      {{40, 40, false}, 1, 4800, plain, "", PrintStatus::NothingToPrint, 0, 0},
      {{0, 10}, 1, 100, plain, "", PrintStatus::PageTooSmall, 0, 0},
      {{0, 10}, 1, 4800, {{100}, false, 1, 0}, "D!", PrintStatus::Refused, 0, 0},
      {{0, 150}, 3, 4800, {{100}, true, 0, 3}, first + " D x P! x A", PrintStatus::Refused, 1, 2},
  };
  for (const Row& r : rows) {
    FakePrinter printer(r.printer, r.span.end);
    const PrintOutcome outcome = PrintCopies(r.span, r.copies, ComputePageGeometry(r.pixelsX, 7016, 600, 600), printer);
    EXPECT_EQ(printer.log, r.log);
    EXPECT_EQ(std::tie(outcome.status, outcome.copies, outcome.totalPages), std::tie(r.status, r.documents, r.pages))
        << r.log;
  }
}

}  // namespace
}  // namespace tomelet
