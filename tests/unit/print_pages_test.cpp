// The page geometry from device caps and the loop over copies and pages, against a fake
// printer whose layout advances a given number of characters per page.
#include "output/print_pages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tomelet {
namespace {

TEST(PrintPages, GeometryFromDeviceCaps) {
  struct Row {
    int pixelsX, pixelsY, dpiX, dpiY;
    int32_t width, height;
    TwipsRect layout;
    bool usable;
  };
  const Row rows[] = {
      {4800, 7016, 600, 600, 11520, 16838, {1140, 912, 10380, 15926}, true},  // 16838.4 rounds down
      {2479, 3508, 300, 300, 11899, 16838, {1140, 912, 10759, 15926}, true},  // A4 under Wine's PDF printer
      {4800, 7016, 0, 600, 0, 16838, {1140, 912, -1140, 15926}, false},       // no resolution reported
      {500, 300, 600, 600, 1200, 720, {1140, 912, 60, -192}, false},          // smaller than the margins
      {2000000000, 10, 1, 1, 2147483647, 14400, {1140, 912, 2147482507, 13488}, true},
  };
  for (const Row& r : rows) {
    const PageGeometry g = ComputePageGeometry(r.pixelsX, r.pixelsY, r.dpiX, r.dpiY);
    EXPECT_EQ(g.pageWidth, r.width) << r.pixelsX;
    EXPECT_EQ(g.pageHeight, r.height) << r.pixelsY;
    EXPECT_EQ(g.layout, r.layout) << r.pixelsX;
    EXPECT_EQ(g.Usable(), r.usable) << r.pixelsX;
  }
}

// Writes down what the loop asks of the printer: D start document, x drop layout,
// p<page>/<copy>/<copies>:<from>..<to> a page, E end, A abort, ? the copies question.
class FakePrinter final : public PrintTarget {
 public:
  int32_t textLength = 0;
  std::vector<int32_t> advances{100};  // per page, repeated; 0 or less: no progress
  std::vector<bool> answers;           // to the copies question
  int refuseDocument = 0, refusePage = 0;  // refuse the n-th
  std::string log;

  bool StartDocument() override { return Note(++documents == refuseDocument ? "D!" : "D"); }
  void EndDocument() override { Note("E"); }
  void AbortDocument() override { Note("A"); }
  bool StartPage() override { return ++pages != refusePage || Note("P!"); }
  int32_t DrawPage(int32_t from, int32_t to) override {
    Note(progress + ":" + std::to_string(from) + ".." + std::to_string(to));
    const int32_t end = to < 0 ? textLength : to;
    const int32_t next = from + advances[(pages - 1) % advances.size()];
    return next < end ? next : end;
  }
  void EndPage() override {}
  void DropLayout() override { Note("x"); }
  void ShowProgress(int page, int copy, int copies) override {
    progress = "p" + std::to_string(page) + "/" + std::to_string(copy) + "/" + std::to_string(copies);
  }
  bool WantMoreCopies() override {
    Note("?");
    return !answers.empty() && answers[0];
  }
  void BetweenPages() override {}

 private:
  bool Note(const std::string& what) {
    log += (log.empty() ? "" : " ") + what;
    return what.back() != '!';
  }
  int documents = 0, pages = 0;
  std::string progress;
};

TEST(PrintPages, CopiesAndPages) {
  struct Row {
    const char* what;
    PrintSpan span;
    int copies;
    std::vector<int32_t> advances;
    std::vector<bool> answers;
    int refuseDocument, refusePage;
    bool usablePage;
    std::string log;
    PrintOutcome outcome;
  };
  const std::string page1 = "D x p1/1/3:0..150 p2/1/3:100..-1 x E";
  const Row rows[] = {
      {"shorter than a page", {0, 50}, 1, {100}, {}, 0, 0, true, "D x p1/1/1:0..50 x E", {PrintStatus::Printed, 1, 1}},
      {"whole text", {0, 250}, 1, {100}, {}, 0, 0, true, "D x p1/1/1:0..250 p2/1/1:100..-1 p3/1/1:200..-1 x E",
       {PrintStatus::Printed, 1, 3}},
      {"selection over pages", {120, 350, false}, 1, {100}, {}, 0, 0, true,
       "D x p1/1/1:120..350 p2/1/1:220..350 p3/1/1:320..350 x E", {PrintStatus::Printed, 1, 3}},
      {"one character", {5, 6, false}, 1, {100}, {}, 0, 0, true, "D x p1/1/1:5..6 x E", {PrintStatus::Printed, 1, 1}},
      {"no progress (Wine)", {0, 250}, 2, {0}, {true}, 0, 0, true,
       "D x p1/1/2:0..250 x E ? D x p1/2/2:0..250 x E", {PrintStatus::Printed, 2, 2}},
      {"going back", {0, 250}, 1, {100, -50}, {}, 0, 0, true, "D x p1/1/1:0..250 p2/1/1:100..-1 x E",
       {PrintStatus::Printed, 1, 2}},
      {"three copies, no more", {0, 150}, 3, {100}, {false}, 0, 0, true, page1 + " ?", {PrintStatus::Printed, 1, 2}},
      {"three copies, more", {0, 150}, 3, {100}, {true}, 0, 0, true,
       page1 + " ? D x p1/2/3:0..150 p2/2/3:100..-1 x E D x p1/3/3:0..150 p2/3/3:100..-1 x E",
       {PrintStatus::Printed, 3, 6}},
      {"empty", {0, 0}, 1, {100}, {}, 0, 0, true, "", {PrintStatus::NothingToPrint, 0, 0}},
      {"empty selection", {40, 40, false}, 1, {100}, {}, 0, 0, true, "", {PrintStatus::NothingToPrint, 0, 0}},
      {"page too small", {0, 10}, 1, {100}, {}, 0, 0, false, "", {PrintStatus::PageTooSmall, 0, 0}},
      {"document refused", {0, 10}, 1, {100}, {}, 1, 0, true, "D!", {PrintStatus::Refused, 0, 0}},
      {"page refused", {0, 150}, 3, {100}, {true}, 0, 3, true, page1 + " ? D x P! x A", {PrintStatus::Refused, 1, 2}},
  };
  for (const Row& r : rows) {
    FakePrinter printer;
    printer.textLength = r.span.end;
    printer.advances = r.advances;
    printer.answers = r.answers;
    printer.refuseDocument = r.refuseDocument;
    printer.refusePage = r.refusePage;
    const PageGeometry geometry = ComputePageGeometry(r.usablePage ? 4800 : 100, 7016, 600, 600);
    const PrintOutcome outcome = PrintCopies(r.span, r.copies, geometry, printer);
    EXPECT_EQ(printer.log, r.log) << r.what;
    EXPECT_EQ(outcome.status, r.outcome.status) << r.what;
    EXPECT_EQ(outcome.copies, r.outcome.copies) << r.what;
    EXPECT_EQ(outcome.totalPages, r.outcome.totalPages) << r.what;
  }
}

}  // namespace
}  // namespace tomelet
