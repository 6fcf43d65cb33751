#include "tests/ui/viewer_harness.h"

#include <gdiplus.h>
#include <richedit.h>

#include <atomic>
#include <chrono>

#include "app/main_window.h"
#include "base/wide.h"

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

struct Search {
  const wchar_t* windowClass;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND w, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  wchar_t name[64] = {};
  GetClassNameW(w, name, 64);
  if (!IsWindowVisible(w) || wcscmp(name, search->windowClass) != 0) return TRUE;
  search->found = w;
  return FALSE;
}

// A visible window of the thread with this class.
HWND FindThreadWindow(DWORD threadId, const wchar_t* windowClass) {
  Search search{windowClass, nullptr};
  EnumThreadWindows(threadId, MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindDialogOf(DWORD threadId) { return FindThreadWindow(threadId, L"#32770"); }

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
    window_ = FindThreadWindow(threadId_, kMainWindowClass);
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
HWND ViewerRun::splitter() const { return FindWindowExW(window_, nullptr, L"Static", nullptr); }

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

void ViewerRun::Key(UINT virtualKey, bool control) {
  const auto setControl = [this](bool down) {
    OnViewerThread([down] {
      BYTE state[256];
      GetKeyboardState(state);
      state[VK_CONTROL] = state[VK_LCONTROL] = down ? 0x80 : 0;
      SetKeyboardState(state);
    });
  };
  setControl(control);
  const HWND focus = Focus(), target = focus ? focus : window_;
  const bool system = virtualKey == VK_F10;  // F10 arrives as a system key
  const UINT scan = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
  PostMessageW(target, system ? WM_SYSKEYDOWN : WM_KEYDOWN, virtualKey, 1 | (scan << 16));
  PostMessageW(target, system ? WM_SYSKEYUP : WM_KEYUP, virtualKey, 1 | (scan << 16) | (3u << 30));
  Settle();
  if (control) setControl(false);
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

HWND ViewerRun::WaitForDialog(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < milliseconds) {
    if (HWND dialog = FindDialogOf(threadId_)) {
      Sleep(50);  // let it finish initialising
      return dialog;
    }
    Sleep(10);
  }
  return nullptr;
}

void ViewerRun::Screenshot(const std::wstring& path) {
  RECT r{};
  GetWindowRect(window_, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return;
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return;
  {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);
    Gdiplus::Bitmap image(bitmap, nullptr);
    image.Save(path.c_str(), &kPngEncoder, nullptr);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
  }
  Gdiplus::GdiplusShutdown(token);
}

std::wstring DialogText(HWND dialog, int controlId) {
  HWND control = controlId ? GetDlgItem(dialog, controlId) : dialog;
  if (!control) return {};
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

MessageBoxText ReadMessageBox(HWND box) { return {DialogText(box), DialogText(box, 0xFFFF)}; }

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
  std::wstring path = Utf8ToWide(utf8Path);
  for (wchar_t& c : path)
    if (c == L'/') c = L'\\';
  return path;
}

COLORREF ClientPixel(HWND window, int x, int y) {
  POINT p{x, y};
  ClientToScreen(window, &p);
  HDC screen = GetDC(nullptr);
  const COLORREF colour = GetPixel(screen, p.x, p.y);
  ReleaseDC(nullptr, screen);
  return colour;
}

int CountPixels(HWND window, const RECT& r, COLORREF colour) {
  int count = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) count += ClientPixel(window, x, y) == colour;
  return count;
}

std::wstring WindowTitle(HWND window) {
  wchar_t title[300] = {};
  GetWindowTextW(window, title, 300);
  return title;
}

std::wstring ScreenshotPath(const std::wstring& fileName) {
  wchar_t folder[MAX_PATH] = L"screenshots";
  GetEnvironmentVariableW(L"TOMELET_SCREENSHOTS", folder, MAX_PATH);
  CreateDirectoryW(folder, nullptr);
  return std::wstring(folder) + L"\\" + fileName;
}

}  // namespace tomelet::test
