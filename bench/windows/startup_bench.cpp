// Start-up: from process start until the viewer's window shows the first chapter of a
// book (the caption names the book and the text pane holds the chapter), against two
// baselines under the same Wine: the reader floor (reader_floor.cpp: the viewer's
// manifest, a list of 200 rows and a rich-edit control showing one chapter) and a bare
// Win32 window. The three are started in turn, 15 times each; prints the medians and the
// viewer's ratio to each baseline. Run it under Wine:
//   scripts/wine-run.sh startup_bench.exe
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "base/win_handles.h"
#include "tests/support/book_writer.h"
#include "tests/ui/viewer_harness.h"

using namespace tomelet;
using namespace tomelet::test;

namespace {

struct Started {
  std::wstring commandLine;
  std::function<HWND()> shown;  // the window once it shows what the program starts for
  std::vector<double> times;
};

// Milliseconds from CreateProcess until `shown` finds the window (-1: it never did).
double TimeStart(Started& program) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  const auto start = std::chrono::steady_clock::now();
  if (!CreateProcessW(nullptr, program.commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process))
    return -1;
  const UniqueHandle processHandle(process.hProcess), threadHandle(process.hThread);
  HWND window = nullptr;
  while (!(window = program.shown()) && WaitForSingleObject(process.hProcess, 1) == WAIT_TIMEOUT) {}
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  if (window) PostMessageW(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
  return window ? ms : -1;
}

double Median(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  return times.empty() ? -1 : times[times.size() / 2];
}

HWND VisibleWindow(const wchar_t* windowClass, const wchar_t* caption) {
  const HWND window = FindWindowW(windowClass, caption);
  return window && IsWindowVisible(window) ? window : nullptr;
}

// The window once it is visible and its rich-edit control holds text.
HWND ShowingText(const wchar_t* windowClass, const wchar_t* caption) {
  const HWND window = VisibleWindow(windowClass, caption);
  const HWND text = window ? FindWindowExW(window, nullptr, L"RICHEDIT50W", nullptr) : nullptr;
  return text && SendMessageW(text, WM_GETTEXTLENGTH, 0, 0) > 0 ? window : nullptr;
}

}  // namespace

int main() {
  TempDir dir;
  BookWriter book;
  for (int i = 1; i <= 200; ++i) book.Add(std::to_string(i) + " Chapter.rtf", Rtf("Chapter " + std::to_string(i)));
  book.Write(dir.File("start.tmk"));
  std::wstring folder = ViewerExePath();
  folder.resize(folder.rfind(L'\\', folder.rfind(L'\\') - 1));  // the build folder
  const std::wstring benchFolder = folder + L"\\bench\\windows\\";
  Started viewer{L"\"" + ViewerExePath() + L"\" " + WinPath(dir.File("start.tmk")),
                 [] { return ShowingText(kMainWindowClass, L"Tomelet: start.tmk"); }, {}};
  Started floor{L"\"" + benchFolder + L"reader_floor.exe\"", [] { return ShowingText(L"ReaderFloor", L"Reader floor"); },
                {}};
  Started bare{L"\"" + benchFolder + L"bare_window.exe\"", [] { return VisibleWindow(L"BareWindow", L"Bare window"); },
               {}};
  const int runs = 15;
  for (int run = 0; run < runs; ++run)
    for (Started* program : {&viewer, &floor, &bare}) {
      const double ms = TimeStart(*program);
      if (ms < 0) {
        std::fwprintf(stderr, L"never shown: %ls\n", program->commandLine.c_str());
        return 1;
      }
      program->times.push_back(ms);
    }
  const double v = Median(viewer.times), f = Median(floor.times), b = Median(bare.times);
  std::printf("start until shown, median of %d started in turn (ms): viewer with first chapter %.1f, "
              "reader floor %.1f, bare window %.1f\n",
              runs, v, f, b);
  std::printf("ratio viewer / reader floor: %.2f, viewer / bare window: %.2f\n", v / f, v / b);
  return 0;
}
