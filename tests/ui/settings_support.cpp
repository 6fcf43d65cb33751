#include "tests/ui/settings_support.h"

#include <shlwapi.h>
#include <winioctl.h>

#include <chrono>
#include <cstring>
#include <cwctype>
#include <vector>

namespace tomelet::test {
namespace {

std::optional<std::vector<BYTE>> ReadValue(HKEY root, const std::wstring& path, const wchar_t* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
  DWORD size = 4096;
  std::vector<BYTE> bytes(size);
  const LSTATUS status = RegQueryValueExW(key, name, nullptr, nullptr, bytes.data(), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) return std::nullopt;
  bytes.resize(size);
  return bytes;
}

// This process's environment with LANG replaced and the variables that would override it
// removed.
std::vector<wchar_t> EnvironmentWithLang(const char* lang) {
  std::vector<wchar_t> block;
  wchar_t* strings = GetEnvironmentStringsW();
  for (const wchar_t* p = strings; *p; p += wcslen(p) + 1) {
    const std::wstring entry = p;
    if (entry.rfind(L"LANG=", 0) == 0 || entry.rfind(L"LC_ALL=", 0) == 0 || entry.rfind(L"LC_MESSAGES=", 0) == 0)
      continue;
    block.insert(block.end(), entry.begin(), entry.end() + 1);
  }
  FreeEnvironmentStringsW(strings);
  const std::string langEntry = std::string("LANG=") + lang;
  block.insert(block.end(), langEntry.begin(), langEntry.end());
  block.insert(block.end(), {L'\0', L'\0'});
  return block;
}

struct Search {
  const wchar_t* windowClass;
  DWORD processId;
  HWND found;
};

BOOL CALLBACK FindWindowOf(HWND w, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  wchar_t name[64] = {};
  GetClassNameW(w, name, 64);
  if (pid == GetCurrentProcessId() || (search->processId && pid != search->processId) || !IsWindowVisible(w) ||
      std::wstring(name) != search->windowClass)
    return TRUE;
  search->found = w;
  return FALSE;
}

// Every viewer run reads the real settings key at its start: the whole test run starts
// from a clean registry, whatever an earlier, aborted run left there.
class CleanRegistryEnvironment : public testing::Environment {
  void SetUp() override { ClearRegistry(); }
  void TearDown() override { ClearRegistry(); }
};
[[maybe_unused]] testing::Environment* const kClean = testing::AddGlobalTestEnvironment(new CleanRegistryEnvironment);

}  // namespace

void ClearRegistry() {
  SHDeleteKeyW(HKEY_CURRENT_USER, kSettingsPath);
  SHDeleteKeyW(HKEY_CLASSES_ROOT, L".tmk");
  SHDeleteKeyW(HKEY_CLASSES_ROOT, L"Tomelet viewer");
}

bool KeyExists(HKEY root, const std::wstring& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

std::optional<int32_t> SettingsDword(const wchar_t* name) {
  const auto bytes = ReadValue(HKEY_CURRENT_USER, kSettingsPath, name);
  if (!bytes || bytes->size() != 4) return std::nullopt;
  int32_t value = 0;
  std::memcpy(&value, bytes->data(), 4);
  return value;
}

DWORD SettingsValueSize(const wchar_t* name) {
  const auto bytes = ReadValue(HKEY_CURRENT_USER, kSettingsPath, name);
  return bytes ? static_cast<DWORD>(bytes->size()) : 0;
}

std::optional<std::wstring> DefaultValue(HKEY root, const std::wstring& path) {
  const auto bytes = ReadValue(root, path, nullptr);
  if (!bytes) return std::nullopt;
  std::wstring text(reinterpret_cast<const wchar_t*>(bytes->data()), bytes->size() / sizeof(wchar_t));
  text.resize(wcsnlen(text.c_str(), text.size()));
  return text;
}

void SetDefaultValue(HKEY root, const std::wstring& path, const std::wstring& text) {
  RegSetKeyValueW(root, path.c_str(), nullptr, REG_SZ, text.c_str(),
                  static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

std::wstring TestProgramPath() {
  wchar_t self[MAX_PATH] = {}, longPath[1024] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  const DWORD length = GetLongPathNameW(self, longPath, 1024);
  return length > 0 && length < 1024 ? longPath : self;
}

std::wstring ViewerExePath() {
  std::wstring path = TestProgramPath();
  for (int level = 0; level < 3; ++level) path.resize(path.rfind(L'\\'));  // tests\ui\ui_tests.exe
  return path + L"\\app\\TomeletViewer.exe";
}

bool OnFixedDrive(const std::wstring& path) {
  return GetDriveTypeW(path.substr(0, path.find(L'\\') + 1).c_str()) == DRIVE_FIXED;
}

HWND WaitForForeignWindow(const wchar_t* windowClass, DWORD milliseconds, DWORD processId) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  do {
    Search search{windowClass, processId, nullptr};
    EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
    Sleep(20);
  } while (std::chrono::steady_clock::now() < deadline);
  return nullptr;
}

ViewerProcess::ViewerProcess(const std::wstring& exe, const std::wstring& arguments, const char* lang) {
  std::wstring commandLine = L"\"" + exe + L"\" " + arguments;
  std::vector<wchar_t> environment;
  if (lang) {
    // The launcher script sets up what Wine's loader expects; Z: is the Unix root.
    commandLine = L"\"Z:\\usr\\bin\\wine\" " + commandLine;
    environment = EnvironmentWithLang(lang);
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                      lang ? environment.data() : nullptr, nullptr, &startup, &info))
    return;
  CloseHandle(info.hThread);
  if (lang) {
    CloseHandle(info.hProcess);  // the loader is a Unix process; the viewer comes from it
  } else {
    process_ = info.hProcess;
    processId_ = info.dwProcessId;
  }
  window_ = WaitForForeignWindow(L"TomeletMainWndClass", 20000, processId_);
  if (window_ && !process_) {
    GetWindowThreadProcessId(window_, &processId_);
    process_ = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION, FALSE, processId_);
  }
  Sleep(300);  // the posted open command
}

ViewerProcess::~ViewerProcess() {
  if (!process_) return;
  if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) Kill();
  CloseHandle(process_);
}

HWND ViewerProcess::WaitForDialog(DWORD milliseconds) const {
  HWND dialog = WaitForForeignWindow(L"#32770", milliseconds, processId_);
  if (dialog) Sleep(100);  // let it finish initialising
  return dialog;
}

void ViewerProcess::Command(int id) const {
  PostMessageW(window_, WM_COMMAND, static_cast<WPARAM>(id), 0);
  Sleep(100);
}

bool ViewerProcess::Close(DWORD milliseconds) {
  PostMessageW(window_, WM_CLOSE, 0, 0);
  return process_ && WaitForSingleObject(process_, milliseconds) == WAIT_OBJECT_0;
}

void ViewerProcess::Kill() {
  if (!process_) return;
  TerminateProcess(process_, 99);
  WaitForSingleObject(process_, 10000);
}

std::optional<DWORD> ViewerProcess::ExitCode() const {
  DWORD code = 0;
  if (!process_ || WaitForSingleObject(process_, 0) != WAIT_OBJECT_0 || !GetExitCodeProcess(process_, &code))
    return std::nullopt;
  return code;
}

// Wine's mount manager request that maps a drive letter to a Unix folder (as winecfg does).
namespace {
constexpr DWORD kDefineUnixDrive = CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);
struct UnixDriveRequest {
  ULONG size, type, fsType;
  DWORD serial;
  ULONGLONG unixDevice;
  WCHAR letter;
  USHORT mountPointOffset, deviceOffset, labelOffset;
};
}  // namespace

RemovableDrive::RemovableDrive(const std::string& folder) {
  using UnixName = char*(CDECL*)(LPCWSTR);
  const auto unixName = reinterpret_cast<UnixName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  char* unixFolder = unixName ? unixName(WinPath(folder).c_str()) : nullptr;
  if (!unixFolder) return;
  const DWORD used = GetLogicalDrives();
  for (wchar_t l = L'R'; l <= L'Y' && !letter_; ++l)
    if (!(used & (1u << (l - L'A')))) letter_ = l;
  ready_ = letter_ && Define(DRIVE_REMOVABLE, unixFolder) && GetDriveTypeW(root().c_str()) == DRIVE_REMOVABLE;
  HeapFree(GetProcessHeap(), 0, unixFolder);
}

RemovableDrive::~RemovableDrive() {
  if (letter_) Define(DRIVE_NO_ROOT_DIR, nullptr);
}

bool RemovableDrive::Define(DWORD type, const char* unixFolder) {
  const std::size_t folderBytes = unixFolder ? strlen(unixFolder) + 1 : 0;
  std::vector<char> request(sizeof(UnixDriveRequest) + folderBytes);
  auto* drive = reinterpret_cast<UnixDriveRequest*>(request.data());
  drive->size = static_cast<ULONG>(request.size());
  drive->type = type;
  drive->letter = static_cast<WCHAR>(towlower(letter_));
  if (unixFolder) {
    drive->mountPointOffset = sizeof(UnixDriveRequest);
    std::memcpy(request.data() + sizeof(UnixDriveRequest), unixFolder, folderBytes);
  }
  HANDLE manager = CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (manager == INVALID_HANDLE_VALUE) return false;
  DWORD returned = 0;
  const BOOL ok = DeviceIoControl(manager, kDefineUnixDrive, request.data(), static_cast<DWORD>(request.size()),
                                  nullptr, 0, &returned, nullptr);
  CloseHandle(manager);
  return ok;
}

}  // namespace tomelet::test
