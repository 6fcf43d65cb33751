#pragma once
// Registry and process helpers for the tests of settings, language and file association:
// the real registry of the test prefix, and the real program started as a process.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "app/settings_record.h"

namespace tomelet::test {

inline constexpr wchar_t kSettingsPath[] = L"Software\\Tomelet viewer";

// Removes the settings key, and the ".tmk" and "Tomelet viewer" keys of the classes
// root with everything below them.
void ClearSettingsKey();
void ClearAssociation();

// Tests that start from a clean key and leave none behind.
class CleanRegistryTest : public testing::Test {
 protected:
  void SetUp() override {
    ClearSettingsKey();
    ClearAssociation();
  }
  void TearDown() override {
    ClearSettingsKey();
    ClearAssociation();
  }
};

bool KeyExists(HKEY root, const std::wstring& path);
std::optional<StoredValue> ReadValue(HKEY root, const std::wstring& path, const wchar_t* name);
void WriteValue(HKEY root, const std::wstring& path, const wchar_t* name, DWORD type, const std::vector<uint8_t>& bytes);
void DeleteValue(HKEY root, const std::wstring& path, const wchar_t* name);

// The settings key's values.
std::optional<StoredValue> SettingsValue(const wchar_t* name);
std::optional<int32_t> SettingsDword(const wchar_t* name);
std::optional<WindowSettings> SettingsRecord();
void WriteSettingsDword(const wchar_t* name, int32_t value);
void WriteSettingsRecord(const WindowSettings& settings);
void WriteSettingsPath(const wchar_t* name, const std::wstring& path, bool withTerminator);

// A key as a run that kept its settings and ended normally leaves it.
void WriteKeptSettings(const WindowSettings& settings, const std::wstring& lastBook = L"", int32_t lastRow = 0,
                       int32_t lastPosition = 0);
WindowSettings KeptDefaults();  // first-start defaults with StoreSettings -1

// The default value of a key as text; nullopt when the key or the value is missing.
std::optional<std::wstring> DefaultValue(HKEY root, const std::wstring& path);
void SetDefaultValue(HKEY root, const std::wstring& path, const std::wstring& text);

// Long path of the running test program: the program file the viewer registers when it
// runs inside the tests.
std::wstring TestProgramPath();
// The real TomeletViewer.exe of this build.
std::wstring ViewerExePath();

// The real program as a process of its own. With a language, it is started through
// Wine's loader with LANG set, since Wine takes the UI language from LANG at start.
class ViewerProcess {
 public:
  ViewerProcess(const std::wstring& exe, const std::wstring& arguments, const char* lang = nullptr);
  ~ViewerProcess();
  ViewerProcess(const ViewerProcess&) = delete;
  ViewerProcess& operator=(const ViewerProcess&) = delete;

  HWND window() const { return window_; }
  // A message box or dialog of the process, waited for.
  HWND WaitForDialog(DWORD milliseconds = 10000) const;
  void Command(int id) const;
  // Closes the window as the user does and waits for the end of the process.
  bool Close(DWORD milliseconds = 15000);
  // Ends the process at once, as a crash would.
  void Kill();
  std::wstring Title() const;
  // The exit code once the process has ended.
  std::optional<DWORD> ExitCode() const;

 private:
  bool WaitForEnd(DWORD milliseconds);
  DWORD processId_ = 0;
  HANDLE process_ = nullptr;
  HWND window_ = nullptr;
};

// A visible top-level window of another process with this class, appearing within the
// time given.
HWND WaitForForeignWindow(const wchar_t* windowClass, DWORD milliseconds, DWORD processId = 0);

}  // namespace tomelet::test
