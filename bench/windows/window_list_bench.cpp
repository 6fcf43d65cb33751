// How long the real window takes from the open command until the contents list shows a
// book of 1,000, 10,000 and 100,000 entries, with and without an index file, and a book
// whose index names its one chapter 100,000 to 400,000 times (what sets the index's row limit).
// Prints figures; run it under Wine: scripts/wine-run.sh window_list_bench.exe
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "app/viewer.h"
#include "app/book_view.h"
#include "res/resource_ids.h"
#include "tests/support/book_writer.h"
#include "tests/ui/viewer_harness.h"

using namespace tomelet;
using namespace tomelet::test;

namespace {

std::string MakeBook(const TempDir& dir, int entries, bool withIndex) {
  BookWriter book;
  std::string index = "\xEF\xBB\xBF";
  char name[64];
  for (int i = 0; i < entries; ++i) {
    snprintf(name, sizeof name, withIndex ? "%06d" : "%06d Chapter %d.rtf", i, i);
    book.AddStored(name, "{\\rtf1 x\\par}");
    if (withIndex) index += std::string(name) + "-1 Chapter " + std::to_string(i) + ".rtf\r\n";
  }
  if (withIndex) book.Add("#INDEX.TXT", index);
  const std::string path = dir.File(std::to_string(entries) + (withIndex ? "-index" : "") + ".tmk");
  book.Write(path);
  return path;
}

std::string MakeRepeatedBook(const TempDir& dir, int lines) {
  BookWriter book;
  book.AddStored("a", "{\\rtf1 x\\par}");
  std::string index;
  for (int i = 0; i < lines; ++i) index += "a-1 Chapter.rtf\r\n";
  book.Add("#INDEX.TXT", index);
  const std::string path = dir.File(std::to_string(lines) + "-repeated.tmk");
  book.Write(path);
  return path;
}

void TimeListing(const std::string& book, int entries, const char* index) {
  const std::wstring path = WinPath(book);
  ViewerRun viewer;
  viewer.OnViewerThread([&] { Session().bookPath = path; });
  const auto start = std::chrono::steady_clock::now();
  viewer.Command(CMD_OPEN_BOOK_COMMAND);
  RedrawWindow(viewer.contents(), nullptr, nullptr, RDW_UPDATENOW);
  viewer.Settle();
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  const LRESULT rows = SendMessageW(viewer.contents(), LB_GETCOUNT, 0, 0);
  std::printf("%-10d %-8s %12.1f %8ld\n", entries, index, ms, static_cast<long>(rows));
}

}  // namespace

int main() {
  TempDir dir;
  std::printf("%-10s %-8s %12s %8s\n", "entries", "index", "listed (ms)", "rows");
  for (int entries : {1000, 10000, 100000})
    for (bool withIndex : {false, true}) TimeListing(MakeBook(dir, entries, withIndex), entries, withIndex ? "yes" : "no");
  for (int lines : {100000, 200000, 400000, 800000}) TimeListing(MakeRepeatedBook(dir, lines), lines, "repeated");
  return 0;
}
