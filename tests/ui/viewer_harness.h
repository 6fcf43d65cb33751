#pragma once
// Drives the real viewer inside the test process: RunViewer runs on a thread of its
// own with its real main window, rich-edit control, menus and dialogs, and the test
// talks to it with window messages, as input and the system would.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "app/viewer.h"

namespace tomelet::test {

class ViewerRun {
 public:
  explicit ViewerRun(std::wstring bookPath = L"", ViewerOptions options = {});
  ~ViewerRun();
  ViewerRun(const ViewerRun&) = delete;
  ViewerRun& operator=(const ViewerRun&) = delete;

  HWND window() const { return window_; }
  HWND contents() const;
  HWND text() const;
  HWND splitter() const;

  // Runs `task` on the viewer's thread, between two of its messages, and waits for it.
  // Everything posted before has been handled by then.
  void OnViewerThread(const std::function<void()>& task);
  void Settle() { OnViewerThread([] {}); }

  void Command(int id);                   // a menu command, as WM_COMMAND
  void Key(UINT virtualKey, bool control = false);  // key down and up at the focus window
  HWND Focus();                           // the viewer thread's focus window

  // Waits for the viewer to end (after Exit, close, or a failure) and gives the exit code.
  std::optional<int> WaitForExit(DWORD milliseconds = 10000);

  // A dialog box (message box, common dialog) the viewer shows, waited for.
  HWND WaitForDialog(DWORD milliseconds = 10000);
  bool running() const;

  // Saves what the window shows as a PNG (on failures, and to look at).
  void Screenshot(const std::wstring& path);

  // The run a test has open, if any.
  static ViewerRun* Current();

 private:
  std::thread thread_;
  DWORD threadId_ = 0;
  HWND window_ = nullptr;
  HANDLE done_ = nullptr;
  int exitCode_ = -1;
};

std::wstring WindowTitle(HWND window);
// Text of a dialog's control, or of the dialog itself (id 0).
std::wstring DialogText(HWND dialog, int controlId = 0);
// The text of a message box: its caption and its message.
struct MessageBoxText {
  std::wstring caption, message;
};
MessageBoxText ReadMessageBox(HWND box);
void PressButton(HWND dialog, int buttonId);

// Rectangle of a child in its parent's client coordinates.
RECT ChildRect(HWND child);

// Text of a list box row, and the text pane's plain text.
std::wstring ListRowText(HWND list, int row);
std::wstring PaneText(HWND pane);

// A UTF-8 path from the test support (forward slashes) as the Windows path the viewer gets.
std::wstring WinPath(const std::string& utf8Path);

// The colour of one screen pixel of a window's client area.
COLORREF ClientPixel(HWND window, int x, int y);
// How many pixels of a rectangle of a window's client area have this colour.
int CountPixels(HWND window, const RECT& r, COLORREF colour);

// Where a screenshot goes: the folder TOMELET_SCREENSHOTS names (default screenshots\).
std::wstring ScreenshotPath(const std::wstring& fileName);

}  // namespace tomelet::test
