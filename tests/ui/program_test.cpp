// The real program file, started as its own process the way the shell starts it.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/main_window.h"
#include "tests/support/book_writer.h"
#include "tests/ui/viewer_harness.h"

namespace tomelet::test {
namespace {

std::wstring ViewerExe() {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path = self;
  path.resize(path.rfind(L'\\'));        // tests\ui
  path.resize(path.rfind(L'\\'));        // tests
  path.resize(path.rfind(L'\\'));        // build folder
  return path + L"\\app\\TomeletViewer.exe";
}

struct FoundWindow {
  DWORD processId;
  HWND window;
};

BOOL CALLBACK FindMainWindow(HWND w, LPARAM data) {
  auto* found = reinterpret_cast<FoundWindow*>(data);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  wchar_t name[64] = {};
  GetClassNameW(w, name, 64);
  if (pid == found->processId && std::wstring(name) == kMainWindowClass && IsWindowVisible(w)) {
    found->window = w;
    return FALSE;
  }
  return TRUE;
}

class ViewerProcess {
 public:
  explicit ViewerProcess(const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + ViewerExe() + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info_))
      return;
    FoundWindow found{info_.dwProcessId, nullptr};
    for (int i = 0; i < 1000 && !found.window; ++i) {
      EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&found));
      Sleep(10);
    }
    window_ = found.window;
    Sleep(300);  // the posted open command
  }
  ~ViewerProcess() {
    if (info_.hProcess) {
      if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info_.hProcess, 99);
      CloseHandle(info_.hProcess);
      CloseHandle(info_.hThread);
    }
  }
  HWND window() const { return window_; }
  std::wstring Title() const {
    wchar_t title[300] = {};
    GetWindowTextW(window_, title, 300);
    return title;
  }
  int Close() {
    PostMessageW(window_, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(info_.hProcess, 10000) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return static_cast<int>(code);
  }

 private:
  PROCESS_INFORMATION info_{};
  HWND window_ = nullptr;
};

std::string MakeBook(const std::string& path) {
  EXPECT_TRUE(BookWriter().Add("001 One.rtf", "{\\rtf1 one\\par}").Add("002 Two.rtf", "{\\rtf1 two\\par}").Write(path));
  return path;
}

TEST(Program, OpensABookWhosePathIsOutsideTheAnsiCodePage) {
  TempDir dir;
  const std::string book = MakeBook(dir.File("\xD0\x9A\xD0\xBD\xD0\xB8\xD0\xB3\xD0\xB0 \xE6\x9C\xAC.tmk"));  // "Книга 本"
  ViewerProcess viewer(L"\"" + WinPath(book) + L"\"");
  ASSERT_TRUE(viewer.window());
  EXPECT_EQ(viewer.Title(), L"Tomelet: \u041a\u043d\u0438\u0433\u0430 \u672c.tmk");
  EXPECT_EQ(SendMessageW(GetDlgItem(viewer.window(), 9998), LB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(viewer.Close(), 0);
}

TEST(Program, JoinsAnUnquotedPathThatTheShellSplitAtItsBlanks) {
  TempDir dir;
  const std::string book = MakeBook(dir.File("my book.tmk"));
  ViewerProcess viewer(WinPath(book));  // no quotes: two arguments
  ASSERT_TRUE(viewer.window());
  EXPECT_EQ(viewer.Title(), L"Tomelet: my book.tmk");
  EXPECT_EQ(viewer.Close(), 0);
}

}  // namespace
}  // namespace tomelet::test
