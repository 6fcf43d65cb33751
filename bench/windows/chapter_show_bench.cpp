// How long the real window takes to show a chapter of 1, 5 and 20 MB of ordinary RTF
// (paragraphs of a line each), from the open command until the text pane holds it, and
// what it does with a 50 MB chapter packed into about 50 KB. For comparison (up to 2 MB:
// it grows with the square of the size under Wine), the same text handed to a fresh
// control with EM_STREAMIN.
// Prints figures; run it under Wine: scripts/wine-run.sh chapter_show_bench.exe [MB...]
#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/book_view.h"
#include "res/resource_ids.h"
#include "tests/support/bad_books.h"
#include "tests/support/book_writer.h"
#include "tests/ui/viewer_harness.h"

using namespace tomelet;
using namespace tomelet::test;

namespace {

std::string OrdinaryRtf(std::size_t bytes) {
  std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 ";
  for (int line = 0; rtf.size() < bytes; ++line)
    rtf += "Line " + std::to_string(line) + " of an ordinary chapter, with some words in it.\\par\r\n";
  return rtf + "}";
}

double Since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// Opens the book in a fresh window; the time until its first chapter is in the pane (the
// command is sent, so it returns once the opening is done, however long it takes).
double ShowMs(const std::string& book, LRESULT& length) {
  ViewerRun viewer;
  viewer.OnViewerThread([&] { Session().bookPath = WinPath(book); });
  const auto start = std::chrono::steady_clock::now();
  SendMessageW(viewer.window(), WM_COMMAND, CMD_OPEN_BOOK_COMMAND, 0);
  length = SendMessageW(viewer.text(), WM_GETTEXTLENGTH, 0, 0);
  return Since(start);
}

struct Pieces {
  const std::string* text;
  std::size_t at = 0;
};

DWORD CALLBACK GivePiece(DWORD_PTR cookie, LPBYTE buffer, LONG room, LONG* given) {
  auto* p = reinterpret_cast<Pieces*>(cookie);
  const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(room), p->text->size() - p->at);
  std::memcpy(buffer, p->text->data() + p->at, n);
  p->at += n;
  *given = static_cast<LONG>(n);
  return 0;
}

double StreamInMs(const std::string& rtf) {
  ViewerRun viewer;
  Pieces pieces{&rtf};
  EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&pieces), 0, GivePiece};
  const auto start = std::chrono::steady_clock::now();
  SendMessageW(viewer.text(), EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
  return Since(start);
}

}  // namespace

int main(int argc, char** argv) {
  TempDir dir;
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  if (sizes.empty()) sizes = {1, 2, 5, 20};
  std::printf("%-22s %14s %16s %12s\n", "chapter", "shown (ms)", "EM_STREAMIN (ms)", "characters");
  for (int mb : sizes) {
    const std::string rtf = OrdinaryRtf(static_cast<std::size_t>(mb) << 20);
    const std::string book = dir.File(std::to_string(mb) + ".tmk");
    BookWriter().Add("01 Chapter.rtf", rtf).Write(book);
    LRESULT length = 0;
    const double shown = ShowMs(book, length);
    const std::string streamed = mb <= 2 ? std::to_string(static_cast<long>(StreamInMs(rtf))) : "-";
    std::printf("%-22s %14.0f %16s %12ld\n", (std::to_string(mb) + " MB of RTF").c_str(), shown, streamed.c_str(),
                static_cast<long>(length));
  }
  WriteBadBooks(dir.path(), {"bomb"});
  LRESULT length = 0;
  const double shown = ShowMs(dir.File("bomb.tmk"), length);
  std::printf("%-22s %14.0f %16s %12ld  (refused with its size: the pane holds the message)\n",
              "50 MB packed in 50 KB", shown, "-", static_cast<long>(length));
  return 0;
}
