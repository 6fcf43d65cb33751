#include "tests/ui/viewer_harness.h"

#include <gdiplus.h>
#include <shlwapi.h>
#include <winioctl.h>
#include <richedit.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <cwctype>
#include <vector>

#include "app/main_window.h"
#include "base/wide.h"
#include "base/win_handles.h"

namespace tomelet::test {
namespace {

constexpr UINT kTaskMessage = WM_APP + 0x3A0;
constexpr WPARAM kTaskMagic = 0x7E57;

struct Task {
  const std::function<void()>* work;
  HANDLE done;
};

HHOOK g_hook = nullptr;
ViewerRun* g_current = nullptr;  // for screenshots of failures

LRESULT CALLBACK TaskHook(int code, WPARAM removal, LPARAM lParam) {
  auto* message = reinterpret_cast<MSG*>(lParam);
  if (code >= 0 && removal == PM_REMOVE && message->message == kTaskMessage && message->wParam == kTaskMagic) {
    auto* task = reinterpret_cast<Task*>(message->lParam);
    (*task->work)();
    SetEvent(task->done);
    message->message = WM_NULL;
  }
  return CallNextHookEx(g_hook, code, removal, lParam);
}

HWND FindDialogOf(DWORD threadId) { return WaitForWindow(L"#32770", threadId, 0, nullptr, 0); }

struct Search {
  const wchar_t* windowClass;
  DWORD processId;  // another process's windows only, when threadId is 0
  HWND except, found;
};

BOOL CALLBACK MatchWindow(HWND w, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  wchar_t name[64] = {};
  GetClassNameW(w, name, 64);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (w == search->except || !IsWindowVisible(w) || wcscmp(name, search->windowClass) != 0 ||
      (search->processId && pid != search->processId) || (!search->processId && pid == GetCurrentProcessId()))
    return TRUE;
  search->found = w;
  return FALSE;
}

// GDI+'s PNG encoder.
constexpr CLSID kPngEncoder = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};

}  // namespace

ViewerRun::ViewerRun(std::wstring bookPath, ViewerOptions options) {
  done_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::atomic<DWORD> id{0};
  thread_ = std::thread([this, &id, bookPath, options] {
    g_hook = SetWindowsHookExW(WH_GETMESSAGE, TaskHook, nullptr, GetCurrentThreadId());
    id = GetCurrentThreadId();
    exitCode_ = RunViewer(GetModuleHandleW(nullptr), bookPath, SW_SHOWNORMAL, options);
    UnhookWindowsHookEx(g_hook);
    g_hook = nullptr;
    SetEvent(done_);
  });
  while (id == 0) Sleep(1);
  threadId_ = id;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
  while (std::chrono::steady_clock::now() < deadline) {
    window_ = WaitForWindow(kMainWindowClass, threadId_, 0, nullptr, 0);
    if (window_ || FindDialogOf(threadId_) || WaitForSingleObject(done_, 0) == WAIT_OBJECT_0) break;
    Sleep(5);
  }
  if (window_) Settle();  // the posted open command has run
  g_current = this;
}

ViewerRun* ViewerRun::Current() { return g_current; }

ViewerRun::~ViewerRun() {
  if (g_current == this) g_current = nullptr;
  for (int attempt = 0; running() && attempt < 50; ++attempt) {
    if (HWND dialog = FindDialogOf(threadId_)) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    else if (IsWindow(window_)) PostMessageW(window_, WM_CLOSE, 0, 0);
    WaitForSingleObject(done_, 200);
  }
  if (thread_.joinable()) {
    if (running()) thread_.detach();  // never hang the test run on a stuck viewer
    else thread_.join();
  }
  CloseHandle(done_);
}

bool ViewerRun::running() const { return WaitForSingleObject(done_, 0) != WAIT_OBJECT_0; }

HWND ViewerRun::contents() const { return GetDlgItem(window_, 9998); }
HWND ViewerRun::text() const { return GetDlgItem(window_, 9999); }

void ViewerRun::OnViewerThread(const std::function<void()>& work) {
  if (!running()) return;
  Task task{&work, CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  PostThreadMessageW(threadId_, kTaskMessage, kTaskMagic, reinterpret_cast<LPARAM>(&task));
  const HANDLE waits[] = {task.done, done_};
  WaitForMultipleObjects(2, waits, FALSE, 15000);
  if (WaitForSingleObject(task.done, 0) != WAIT_OBJECT_0) {
    // The viewer ended first; the task can no longer run.
    PostThreadMessageW(threadId_, WM_NULL, 0, 0);
  }
  CloseHandle(task.done);
}

void ViewerRun::Command(int id) {
  PostMessageW(window_, WM_COMMAND, static_cast<WPARAM>(id), 0);
  Settle();
}

void ViewerRun::Key(UINT virtualKey, bool control, bool alt) {
  const auto hold = [this](bool control, bool alt) {
    OnViewerThread([control, alt] {
      BYTE state[256];
      GetKeyboardState(state);
      state[VK_CONTROL] = state[VK_LCONTROL] = control ? 0x80 : 0;
      state[VK_MENU] = state[VK_LMENU] = alt ? 0x80 : 0;
      SetKeyboardState(state);
    });
  };
  hold(control, alt);
  const HWND focus = Focus(), target = focus ? focus : window_;
  const bool system = virtualKey == VK_F10 || alt;  // F10 and Alt keys arrive as system keys
  const UINT scan = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC), context = alt ? 1u << 29 : 0;
  PostMessageW(target, system ? WM_SYSKEYDOWN : WM_KEYDOWN, virtualKey, 1 | (scan << 16) | context);
  PostMessageW(target, system ? WM_SYSKEYUP : WM_KEYUP, virtualKey, 1 | (scan << 16) | context | (3u << 30));
  Settle();
  if (control || alt) hold(false, false);
}

HWND ViewerRun::Focus() {
  HWND focus = nullptr;
  OnViewerThread([&focus] { focus = GetFocus(); });
  return focus;
}

std::optional<int> ViewerRun::WaitForExit(DWORD milliseconds) {
  if (WaitForSingleObject(done_, milliseconds) != WAIT_OBJECT_0) return std::nullopt;
  if (thread_.joinable()) thread_.join();
  return exitCode_;
}

HWND ViewerRun::WaitForDialog(DWORD milliseconds, HWND except) const {
  return WaitForWindow(L"#32770", threadId_, 0, except, milliseconds);
}

void ViewerRun::Answer(HWND dialog, int button) {
  PressButton(dialog, button);
  for (int i = 0; i < 200 && IsWindow(dialog); ++i) Sleep(10);
  Settle();
}

std::wstring ViewerRun::AnswerMessageBox(HWND except) {
  HWND box = WaitForDialog(10000, except);
  if (!box) return L"<no message box>";
  const std::wstring text = WindowText(box, 0xFFFF);
  Answer(box, IDOK);
  return text;
}

void ViewerRun::SelectRow(int row) {
  SendMessageW(contents(), LB_SETCURSEL, static_cast<WPARAM>(row), 0);
  PostMessageW(window_, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(contents()), LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(contents()));
  Settle();
}

bool ViewerRun::Shows(const wchar_t* text) const { return PaneText(this->text()).find(text) != std::wstring::npos; }

HWND WaitForWindow(const wchar_t* windowClass, DWORD threadId, DWORD processId, HWND except, DWORD milliseconds) {
  Search search{windowClass, threadId ? GetCurrentProcessId() : processId, except, nullptr};
  for (const DWORD start = GetTickCount(); !search.found && GetTickCount() - start <= milliseconds; Sleep(10)) {
    if (threadId) EnumThreadWindows(threadId, MatchWindow, reinterpret_cast<LPARAM>(&search));
    else EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  }
  if (search.found && milliseconds) Sleep(80);  // let it finish initialising
  return search.found;
}

HWND FileNameBox(HWND dialog) {
  HWND combo = GetDlgItem(dialog, 0x47C);
  return combo ? combo : GetDlgItem(dialog, 0x480);
}

void ViewerRun::Screenshot(const std::wstring& path, HWND of) {
  RECT r{};
  GetWindowRect(of ? of : window_, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  if (w <= 0 || h <= 0 || Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return;
  {
    WindowDC screen(nullptr);
    const HDC memory = CreateCompatibleDC(screen.get());
    const UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), w, h));
    {
      SelectionGuard select(memory, bitmap.get());
      BitBlt(memory, 0, 0, w, h, screen.get(), r.left, r.top, SRCCOPY);
    }
    DeleteDC(memory);
    Gdiplus::Bitmap(bitmap.get(), nullptr).Save(path.c_str(), &kPngEncoder, nullptr);
  }
  Gdiplus::GdiplusShutdown(token);
}

std::wstring WindowText(HWND window, int controlId) {
  HWND control = controlId ? GetDlgItem(window, controlId) : window;
  if (!control) return {};
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

void PressButton(HWND dialog, int buttonId) { PostMessageW(dialog, WM_COMMAND, static_cast<WPARAM>(buttonId), 0); }

RECT ChildRect(HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::wstring ListRowText(HWND list, int row) {
  const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
  if (length == LB_ERR) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(length));
  return text;
}

std::wstring PaneText(HWND pane) {
  GETTEXTLENGTHEX lengthQuery{GTL_DEFAULT, 1200};
  const LRESULT length = SendMessageW(pane, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&lengthQuery), 0);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  GETTEXTEX query{static_cast<DWORD>(text.size() * sizeof(wchar_t)), GT_DEFAULT, 1200, nullptr, nullptr};
  const LRESULT got =
      SendMessageW(pane, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&query), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(got));
  return text;
}

std::wstring WinPath(const std::string& utf8Path) {
  // A build folder's path ("/work/...") lies on Wine's drive Z:, whatever the current drive.
  std::wstring path = (utf8Path.starts_with('/') ? L"Z:" : L"") + Utf8ToWide(utf8Path);
  for (wchar_t& c : path)
    if (c == L'/') c = L'\\';
  return path;
}

COLORREF ClientPixel(HWND window, int x, int y) {
  POINT p{x, y};
  ClientToScreen(window, &p);
  return GetPixel(WindowDC(nullptr).get(), p.x, p.y);
}

int CountPixels(HWND window, const RECT& r, COLORREF colour) {
  int count = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) count += ClientPixel(window, x, y) == colour;
  return count;
}

std::wstring ScreenshotPath(const std::wstring& fileName) {
  wchar_t folder[MAX_PATH] = L"screenshots";
  GetEnvironmentVariableW(L"TOMELET_SCREENSHOTS", folder, MAX_PATH);
  CreateDirectoryW(folder, nullptr);
  return std::wstring(folder) + L"\\" + fileName;
}

void ClearRegistry() {
  SHDeleteKeyW(HKEY_CURRENT_USER, kSettingsPath);
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
    for (const wchar_t* key : {kExtensionKey, kTypeKey}) SHDeleteKeyW(root, key);
}

bool KeyExists(HKEY root, const std::wstring& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

std::optional<std::wstring> DefaultValue(HKEY root, const std::wstring& path) {
  wchar_t text[1024] = {};
  DWORD size = sizeof(text);
  if (RegGetValueW(root, path.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, text, &size)) return std::nullopt;
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

ViewerProcess::ViewerProcess(const std::wstring& exe, const std::wstring& arguments, const char* lang) {
  std::wstring commandLine = L"\"" + exe + L"\" " + arguments;
  // With a language: through env and Wine's loader (Z: is the Unix root), a Unix process
  // the viewer comes from.
  if (lang) commandLine = L"\"Z:\\usr\\bin\\env\" LC_ALL=" + Utf8ToWide(lang) + L" /usr/bin/wine " + commandLine;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) return;
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  window_ = WaitForWindow(kMainWindowClass, 0, lang ? 0 : info.dwProcessId, nullptr, 20000);
  DWORD processId = 0;
  GetWindowThreadProcessId(window_, &processId);
  process_ = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION, FALSE, processId);
  Sleep(300);  // the posted open command
}

ViewerProcess::~ViewerProcess() {
  if (!process_) return;
  if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) Kill();
  CloseHandle(process_);
}

void ViewerProcess::Command(int id) const {
  PostMessageW(window_, WM_COMMAND, static_cast<WPARAM>(id), 0);
  Sleep(100);
}

std::optional<DWORD> ViewerProcess::Close() {
  PostMessageW(window_, WM_CLOSE, 0, 0);
  DWORD code = 0;
  if (!process_ || WaitForSingleObject(process_, 15000) != WAIT_OBJECT_0 || !GetExitCodeProcess(process_, &code))
    return std::nullopt;
  return code;
}

void ViewerProcess::Kill() {
  if (!process_) return;
  TerminateProcess(process_, 99);
  WaitForSingleObject(process_, 10000);
}

RemovableDrive::RemovableDrive(const std::string& folder) {
  using UnixName = char*(CDECL*)(LPCWSTR);
  const auto unixName = reinterpret_cast<UnixName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  char* unixFolder = unixName ? unixName(WinPath(folder).c_str()) : nullptr;
  if (!unixFolder) return;
  for (wchar_t l = L'R'; l <= L'Y' && !letter_; ++l)
    if (!(GetLogicalDrives() & (1u << (l - L'A')))) letter_ = l;
  ready_ = letter_ && Define(DRIVE_REMOVABLE, unixFolder) && GetDriveTypeW(root().c_str()) == DRIVE_REMOVABLE;
  HeapFree(GetProcessHeap(), 0, unixFolder);
}

RemovableDrive::~RemovableDrive() {
  if (letter_) Define(DRIVE_NO_ROOT_DIR, nullptr);
}

// Wine's mount manager request that maps a drive letter to a Unix folder (as winecfg does).
bool RemovableDrive::Define(DWORD type, const char* unixFolder) {
  struct Request {
    ULONG size, type, fsType;
    DWORD serial;
    ULONGLONG unixDevice;
    WCHAR letter;
    USHORT mountPointOffset, deviceOffset, labelOffset;
  };
  const std::size_t folderBytes = unixFolder ? strlen(unixFolder) + 1 : 0;
  std::vector<char> bytes(sizeof(Request) + folderBytes);
  *reinterpret_cast<Request*>(bytes.data()) = {static_cast<ULONG>(bytes.size()), type, 0, 0, 0,
                                               static_cast<WCHAR>(towlower(letter_)),
                                               static_cast<USHORT>(unixFolder ? sizeof(Request) : 0), 0, 0};
  if (unixFolder) std::memcpy(bytes.data() + sizeof(Request), unixFolder, folderBytes);
  const HANDLE opened = CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  const UniqueHandle manager(opened == INVALID_HANDLE_VALUE ? nullptr : opened);
  DWORD returned = 0;
  return manager &&
         DeviceIoControl(manager.get(), CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS),
                         bytes.data(), static_cast<DWORD>(bytes.size()), nullptr, 0, &returned, nullptr);
}

}  // namespace tomelet::test
