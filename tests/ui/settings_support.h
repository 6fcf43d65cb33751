#pragma once
// The real registry of the test prefix, the real program started as a process, and a
// removable drive of Wine's, for the stories of settings, association and language.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>

#include "tests/ui/viewer_harness.h"

namespace tomelet::test {

inline constexpr wchar_t kSettingsPath[] = L"Software\\Tomelet viewer";
inline constexpr wchar_t kCommandKey[] = L"Tomelet viewer\\shell\\open\\command";
inline constexpr wchar_t kIconKey[] = L"Tomelet viewer\\DefaultIcon";

// Removes the settings key and the ".tmk" and "Tomelet viewer" keys of the classes root.
void ClearRegistry();

// Tests that start from a clean registry and leave none behind.
class CleanRegistryTest : public testing::Test {
 protected:
  void SetUp() override { ClearRegistry(); }
  void TearDown() override { ClearRegistry(); }
};

bool KeyExists(HKEY root, const std::wstring& path);
std::optional<int32_t> SettingsDword(const wchar_t* name);
DWORD SettingsValueSize(const wchar_t* name);  // 0 when missing
// The default value of a key as text; nullopt when the key or the value is missing.
std::optional<std::wstring> DefaultValue(HKEY root, const std::wstring& path);
void SetDefaultValue(HKEY root, const std::wstring& path, const std::wstring& text);

// The program file the viewer registers when it runs inside the tests (long path).
std::wstring TestProgramPath();
std::wstring ViewerExePath();  // the real TomeletViewer.exe of this build
bool OnFixedDrive(const std::wstring& path);

// The real program as a process of its own. With a language it is started through Wine's
// loader with LANG set, since Wine takes the UI language from LANG at start.
class ViewerProcess {
 public:
  ViewerProcess(const std::wstring& exe, const std::wstring& arguments, const char* lang = nullptr);
  ~ViewerProcess();
  ViewerProcess(const ViewerProcess&) = delete;
  ViewerProcess& operator=(const ViewerProcess&) = delete;

  HWND window() const { return window_; }
  HWND WaitForDialog(DWORD milliseconds = 10000) const;  // a message box of the process
  void Command(int id) const;
  bool Close(DWORD milliseconds = 15000);  // as the user closes it; waits for the end
  void Kill();                             // at once, as a crash would end it
  std::wstring Title() const { return WindowTitle(window_); }
  std::optional<DWORD> ExitCode() const;  // once ended

 private:
  DWORD processId_ = 0;
  HANDLE process_ = nullptr;
  HWND window_ = nullptr;
};

// A visible top-level window of another process with this class.
HWND WaitForForeignWindow(const wchar_t* windowClass, DWORD milliseconds, DWORD processId = 0);

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
