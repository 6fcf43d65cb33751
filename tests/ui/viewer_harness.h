#pragma once
// Drives the real viewer inside the test process: RunViewer runs on a thread of its
// own with its real main window, rich-edit control, menus and dialogs, and the test
// talks to it with window messages, as input and the system would.
#include <gtest/gtest.h>
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

  // Runs `task` on the viewer's thread, between two of its messages, and waits for it.
  // Everything posted before has been handled by then.
  void OnViewerThread(const std::function<void()>& task);
  void Settle() { OnViewerThread([] {}); }

  void Command(int id);                   // a menu command, as WM_COMMAND
  // Key down and up at the focus window, with Ctrl or Alt held.
  void Key(UINT virtualKey, bool control = false, bool alt = false);
  HWND Focus();                           // the viewer thread's focus window

  // Waits for the viewer to end (after Exit, close, or a failure) and gives the exit code.
  std::optional<int> WaitForExit(DWORD milliseconds = 10000);

  // A dialog box (message box, common dialog) the viewer shows, besides `except`, waited for.
  HWND WaitForDialog(DWORD milliseconds = 10000, HWND except = nullptr) const;
  // Presses a dialog's button and waits until the dialog is gone and its work done.
  void Answer(HWND dialog, int button);
  // The next message box's message, answered with OK.
  std::wstring AnswerMessageBox(HWND except = nullptr);
  // Clicks a contents row, as the list reports it.
  void SelectRow(int row);
  bool Shows(const wchar_t* text) const;  // the text pane shows this text
  bool running() const;

  // Saves what the window (or another one, such as a dialog) shows as a PNG (on failures,
  // and to look at).
  void Screenshot(const std::wstring& path, HWND of = nullptr);

  // The run a test has open, if any.
  static ViewerRun* Current();

 private:
  std::thread thread_;
  DWORD threadId_ = 0;
  HWND window_ = nullptr;
  HANDLE done_ = nullptr;
  int exitCode_ = -1;
};

// The text of a window or of its control; a message box's message is its control 0xFFFF.
std::wstring WindowText(HWND window, int controlId = 0);
void PressButton(HWND dialog, int buttonId);

// A visible window of this class, besides `except`, of a thread of this process or of
// another process (threadId 0), waited for; a dialog gets a moment to finish initialising.
HWND WaitForWindow(const wchar_t* windowClass, DWORD threadId, DWORD processId, HWND except, DWORD milliseconds);
// The file name box of a common file dialog.
HWND FileNameBox(HWND dialog);
inline std::string Rtf(const std::string& text) { return "{\\rtf1\\ansi " + text + "\\par}"; }

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

// --- the real registry of the test prefix, the real program as a process, a removable drive

inline constexpr wchar_t kSettingsPath[] = L"Software\\Tomelet viewer";
// The association's keys among the user's classes (HKEY_CURRENT_USER), and the machine's.
inline constexpr wchar_t kExtensionKey[] = L"Software\\Classes\\.tmk";
inline constexpr wchar_t kTypeKey[] = L"Software\\Classes\\Tomelet viewer";
inline constexpr wchar_t kCommandKey[] = L"Software\\Classes\\Tomelet viewer\\shell\\open\\command";
inline constexpr wchar_t kIconKey[] = L"Software\\Classes\\Tomelet viewer\\DefaultIcon";

// Removes the settings key and the ".tmk" and "Tomelet viewer" keys of the user's and the
// machine's classes; every test starts and ends with it.
void ClearRegistry();

bool KeyExists(HKEY root, const std::wstring& path);
// The default value of a key as text; nullopt when the key or the value is missing.
std::optional<std::wstring> DefaultValue(HKEY root, const std::wstring& path);
void SetDefaultValue(HKEY root, const std::wstring& path, const std::wstring& text);

// The program file the viewer registers when it runs inside the tests (long path).
std::wstring TestProgramPath();
std::wstring ViewerExePath();  // the real TomeletViewer.exe of this build
bool OnFixedDrive(const std::wstring& path);

// The real program as a process of its own. With a language (a Unix locale) it is started
// through Wine's loader with LC_ALL set: Wine takes the UI language from it at start.
class ViewerProcess {
 public:
  ViewerProcess(const std::wstring& exe, const std::wstring& arguments, const char* lang = nullptr);
  ~ViewerProcess();
  ViewerProcess(const ViewerProcess&) = delete;
  ViewerProcess& operator=(const ViewerProcess&) = delete;

  HWND window() const { return window_; }
  void Command(int id) const;
  std::optional<DWORD> Close();  // as the user closes it; the exit code once it ended
  void Kill();                   // at once, as a crash would end it

 private:
  HANDLE process_ = nullptr;
  HWND window_ = nullptr;
};

// A free drive letter mapped to a folder as a removable drive, through Wine's mount manager.
class RemovableDrive {
 public:
  explicit RemovableDrive(const std::string& folder);
  ~RemovableDrive();
  bool ready() const { return ready_; }
  std::wstring root() const { return std::wstring(1, letter_) + L":\\"; }

 private:
  bool Define(DWORD type, const char* unixFolder);
  wchar_t letter_ = 0;
  bool ready_ = false;
};

}  // namespace tomelet::test
