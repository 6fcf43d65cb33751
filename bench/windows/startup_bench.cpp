// Start-up: from process start until the viewer's window shows the first chapter of a
// book (the caption names the book and the text pane holds the chapter), against a bare
// Win32 program's start until its window is visible, under the same Wine. Prints the
// medians of 15 starts each and their ratio; run it under Wine:
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

// Milliseconds from CreateProcess until `shown` finds the window, median of `runs` starts.
double MedianStart(std::wstring commandLine, const std::function<HWND()>& shown, int runs) {
  std::vector<double> times;
  for (int run = 0; run < runs; ++run) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    const auto start = std::chrono::steady_clock::now();
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
      return -1;
    const UniqueHandle processHandle(process.hProcess), threadHandle(process.hThread);
    HWND window = nullptr;
    while (!(window = shown()) && WaitForSingleObject(process.hProcess, 1) == WAIT_TIMEOUT) {}
    times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    if (window) PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
    if (!window) return -1;
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

HWND VisibleWindow(const wchar_t* windowClass, const wchar_t* caption) {
  const HWND window = FindWindowW(windowClass, caption);
  return window && IsWindowVisible(window) ? window : nullptr;
}

}  // namespace

int main() {
  TempDir dir;
  BookWriter book;
  for (int i = 1; i <= 200; ++i) book.Add(std::to_string(i) + " Chapter.rtf", Rtf("Chapter " + std::to_string(i)));
  book.Write(dir.File("start.tmk"));
  std::wstring folder = ViewerExePath();
  folder.resize(folder.rfind(L'\\', folder.rfind(L'\\') - 1));  // the build folder
  const int runs = 15;
  const double viewer = MedianStart(L"\"" + ViewerExePath() + L"\" " + WinPath(dir.File("start.tmk")), [] {
    const HWND window = VisibleWindow(kMainWindowClass, L"Tomelet: start.tmk");
    const HWND text = window ? FindWindowExW(window, nullptr, L"RICHEDIT50W", nullptr) : nullptr;
    return text && SendMessageW(text, WM_GETTEXTLENGTH, 0, 0) > 0 ? window : nullptr;
  }, runs);
  const double bare = MedianStart(L"\"" + folder + L"\\bench\\windows\\bare_window.exe\"",
                                  [] { return VisibleWindow(L"BareWindow", L"Bare window"); }, runs);
  std::printf("start until shown, median of %d (ms): viewer with first chapter %.1f, bare window %.1f\n", runs,
              viewer, bare);
  if (viewer > 0 && bare > 0) std::printf("ratio viewer / bare window: %.2f\n", viewer / bare);
  return viewer > 0 && bare > 0 ? 0 : 1;
}
