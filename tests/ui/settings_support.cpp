#include "tests/ui/settings_support.h"

#include <shlwapi.h>

#include <chrono>
#include <thread>

namespace tomelet::test {
namespace {

HKEY OpenForWrite(HKEY root, const std::wstring& path) {
  HKEY key = nullptr;
  RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  return key;
}

std::wstring LongPath(const std::wstring& path) {
  std::wstring longPath(2048, L'\0');
  const DWORD length = GetLongPathNameW(path.c_str(), longPath.data(), 2048);
  if (length == 0 || length >= 2048) return path;
  longPath.resize(length);
  return longPath;
}

// The command that starts Wine, as a Windows path (Z: is the Unix root): the launcher
// script sets up what the loader binary itself expects.
std::wstring WineCommand() {
  std::vector<std::wstring> candidates = {L"Z:\\usr\\bin\\wine", L"Z:\\usr\\local\\bin\\wine"};
  wchar_t loader[1024] = {};
  if (GetEnvironmentVariableW(L"WINELOADER", loader, 1024)) candidates.push_back(std::wstring(L"Z:") + loader);
  for (std::wstring& path : candidates) {
    for (wchar_t& c : path)
      if (c == L'/') c = L'\\';
    if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return path;
  }
  return candidates.front();
}

// This process's environment with LANG replaced and the locale variables that would
// override it removed.
std::vector<wchar_t> EnvironmentWithLang(const char* lang) {
  std::vector<wchar_t> block;
  wchar_t* strings = GetEnvironmentStringsW();
  for (const wchar_t* p = strings; *p; p += wcslen(p) + 1) {
    const std::wstring entry = p;
    if (entry.rfind(L"LANG=", 0) == 0 || entry.rfind(L"LC_ALL=", 0) == 0 || entry.rfind(L"LC_MESSAGES=", 0) == 0)
      continue;
    block.insert(block.end(), entry.begin(), entry.end());
    block.push_back(L'\0');
  }
  FreeEnvironmentStringsW(strings);
  const std::string langEntry = std::string("LANG=") + lang;
  block.insert(block.end(), langEntry.begin(), langEntry.end());
  block.push_back(L'\0');
  block.push_back(L'\0');
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
  if (pid == GetCurrentProcessId() || (search->processId && pid != search->processId) || !IsWindowVisible(w))
    return TRUE;
  wchar_t name[64] = {};
  GetClassNameW(w, name, 64);
  if (std::wstring(name) != search->windowClass) return TRUE;
  search->found = w;
  return FALSE;
}

// Every viewer run of the UI tests reads the real settings key at its start: the whole
// run starts from a clean registry, whatever an earlier, aborted run left there.
class CleanRegistry : public testing::Environment {
 public:
  void SetUp() override {
    ClearSettingsKey();
    ClearAssociation();
  }
  void TearDown() override { SetUp(); }
};
[[maybe_unused]] testing::Environment* const kCleanRegistry = testing::AddGlobalTestEnvironment(new CleanRegistry);

}  // namespace

void ClearSettingsKey() { SHDeleteKeyW(HKEY_CURRENT_USER, kSettingsPath); }

void ClearAssociation() {
  SHDeleteKeyW(HKEY_CLASSES_ROOT, L".tmk");
  SHDeleteKeyW(HKEY_CLASSES_ROOT, L"Tomelet viewer");
}

bool KeyExists(HKEY root, const std::wstring& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

std::optional<StoredValue> ReadValue(HKEY root, const std::wstring& path, const wchar_t* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
  DWORD type = 0, size = 0;
  std::optional<StoredValue> value;
  if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
    StoredValue v{type, std::vector<uint8_t>(size)};
    if (RegQueryValueExW(key, name, nullptr, &type, v.bytes.data(), &size) == ERROR_SUCCESS) {
      v.bytes.resize(size);
      value = v;
    }
  }
  RegCloseKey(key);
  return value;
}

void WriteValue(HKEY root, const std::wstring& path, const wchar_t* name, DWORD type,
                const std::vector<uint8_t>& bytes) {
  HKEY key = OpenForWrite(root, path);
  RegSetValueExW(key, name, 0, type, bytes.data(), static_cast<DWORD>(bytes.size()));
  RegCloseKey(key);
}

void DeleteValue(HKEY root, const std::wstring& path, const wchar_t* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
  RegDeleteValueW(key, name);
  RegCloseKey(key);
}

std::optional<StoredValue> SettingsValue(const wchar_t* name) { return ReadValue(HKEY_CURRENT_USER, kSettingsPath, name); }

std::optional<int32_t> SettingsDword(const wchar_t* name) { return DwordValue(SettingsValue(name)); }

std::optional<WindowSettings> SettingsRecord() {
  const std::optional<StoredValue> value = SettingsValue(L"Windows");
  if (!value || value->type != REG_BINARY) return std::nullopt;
  return UnpackSettings(value->bytes);
}

void WriteSettingsDword(const wchar_t* name, int32_t value) {
  WriteValue(HKEY_CURRENT_USER, kSettingsPath, name, REG_DWORD, DwordBytes(value));
}

void WriteSettingsRecord(const WindowSettings& settings) {
  const PackedSettings packed = PackSettings(settings);
  WriteValue(HKEY_CURRENT_USER, kSettingsPath, L"Windows", REG_BINARY, {packed.begin(), packed.end()});
}

void WriteSettingsPath(const wchar_t* name, const std::wstring& path, bool withTerminator) {
  // The registry adds a terminator that follows the counted characters; a character
  // other than zero after them keeps the value unterminated.
  const std::wstring buffer = path + (withTerminator ? L'\0' : L'X');
  const auto size = static_cast<DWORD>((path.size() + (withTerminator ? 1 : 0)) * sizeof(wchar_t));
  HKEY key = OpenForWrite(HKEY_CURRENT_USER, kSettingsPath);
  RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(buffer.c_str()), size);
  RegCloseKey(key);
}

WindowSettings KeptDefaults() {
  WindowSettings s = DefaultSettings(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), 9);
  s.storeSettings = -1;
  return s;
}

void WriteKeptSettings(const WindowSettings& settings, const std::wstring& lastBook, int32_t lastRow,
                       int32_t lastPosition) {
  WriteSettingsDword(L"IgnoreFile", 0);
  WriteSettingsDword(L"StoreSettings", settings.storeSettings);
  WriteSettingsDword(L"NoFileAssociation", 0);
  WriteSettingsPath(L"LastArchiveFile", lastBook, false);
  WriteSettingsDword(L"LastChapterFile", lastRow);
  WriteSettingsDword(L"LastChapterPosition", lastPosition);
  WriteSettingsRecord(settings);
}

std::optional<std::wstring> DefaultValue(HKEY root, const std::wstring& path) {
  const std::optional<StoredValue> value = ReadValue(root, path, nullptr);
  if (!value || value->type != REG_SZ) return std::nullopt;
  std::wstring text(reinterpret_cast<const wchar_t*>(value->bytes.data()), value->bytes.size() / sizeof(wchar_t));
  text.resize(wcsnlen(text.c_str(), text.size()));
  return text;
}

void SetDefaultValue(HKEY root, const std::wstring& path, const std::wstring& text) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(text.c_str());
  WriteValue(root, path, nullptr, REG_SZ, std::vector<uint8_t>(bytes, bytes + (text.size() + 1) * sizeof(wchar_t)));
}

std::wstring TestProgramPath() {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  return LongPath(self);
}

std::wstring ViewerExePath() {
  std::wstring path = TestProgramPath();
  for (int level = 0; level < 3; ++level) path.resize(path.rfind(L'\\'));  // tests\ui\ui_tests.exe
  return path + L"\\app\\TomeletViewer.exe";
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
    commandLine = L"\"" + WineCommand() + L"\" " + commandLine;
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
    // The loader is a Unix process; the viewer's own process comes from it.
    CloseHandle(info.hProcess);
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
  if (process_) {
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) Kill();
    CloseHandle(process_);
  }
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

bool ViewerProcess::WaitForEnd(DWORD milliseconds) {
  return process_ && WaitForSingleObject(process_, milliseconds) == WAIT_OBJECT_0;
}

bool ViewerProcess::Close(DWORD milliseconds) {
  PostMessageW(window_, WM_CLOSE, 0, 0);
  return WaitForEnd(milliseconds);
}

void ViewerProcess::Kill() {
  if (!process_) return;
  TerminateProcess(process_, 99);
  WaitForEnd(10000);
}

std::optional<DWORD> ViewerProcess::ExitCode() const {
  DWORD code = 0;
  if (!process_ || WaitForSingleObject(process_, 0) != WAIT_OBJECT_0 || !GetExitCodeProcess(process_, &code))
    return std::nullopt;
  return code;
}

std::wstring ViewerProcess::Title() const {
  wchar_t title[300] = {};
  GetWindowTextW(window_, title, 300);
  return title;
}

}  // namespace tomelet::test
