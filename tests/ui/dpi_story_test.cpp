// The manifest takes effect, and rows, icons, splitter and dialogs are sized for the DPI: at
// 96 DPI with the other stories, and at 192 DPI in a Wine prefix of its own (CMakeLists.txt).
#include <gtest/gtest.h>
#include <shlwapi.h>

#include "app/main_window.h"
#include "base/dpi_scale.h"
#include "base/system_library.h"
#include "base/window_dpi.h"
#include "res/resource_ids.h"
#include "tests/support/book_writer.h"
#include "tests/ui/viewer_harness.h"

namespace tomelet::test {
namespace {

TEST(DpiStory, ManifestRowsIconsSplitterAndDialogsFollowTheDpi) {
  TempDir dir;
  ASSERT_TRUE(BookWriter().Add("01 One.rtf", Rtf("One")).Add("02-1 A.bin", "a").Write(dir.File("dpi.tmk")));
  ViewerRun viewer(WinPath(dir.File("dpi.tmk")));
  // Common controls 6 as the viewer loaded them: the copy of the 6.0 side-by-side assembly
  // (Wine 8's copy reports 5.81 from DllGetVersion, Windows' 6.x). Awareness per monitor
  // (Wine 8 gives V1 for V2).
  wchar_t path[MAX_PATH] = {};
  ASSERT_TRUE(GetModuleFileNameW(GetModuleHandleW(L"comctl32.dll"), path, MAX_PATH));
  EXPECT_TRUE(StrStrIW(path, L"common-controls_6595b64144ccf1df_6.")) << path;
  const HMODULE user32 = GetModuleHandleW(L"user32.dll");
  const auto context = SystemFunction<DPI_AWARENESS_CONTEXT(WINAPI*)()>(user32, "GetThreadDpiAwarenessContext");
  const auto awareness = SystemFunction<int(WINAPI*)(DPI_AWARENESS_CONTEXT)>(user32, "GetAwarenessFromDpiAwarenessContext");
  EXPECT_EQ(awareness(context()), 2);  // DPI_AWARENESS_PER_MONITOR_AWARE

  const int dpi = SystemDpi(), h = static_cast<int>(SendMessageW(viewer.contents(), LB_GETITEMHEIGHT, 0, 0));
  EXPECT_EQ(WindowDpi(viewer.window()), dpi);
  EXPECT_EQ(h, ScaleForDpi(TheProgram().itemHeight, dpi));
  HWND splitter = nullptr;
  viewer.OnViewerThread([&splitter] { splitter = Main().splitterBar; });
  EXPECT_EQ(ChildRect(viewer.text()).left, ScaleForDpi(250, dpi) + ScaleForDpi(1, dpi) + ScaleForDpi(5, dpi));

  // The attachment row's icon (level 1) fills its cell of a row height below the top inset.
  RECT row{};
  int left = 2 * h, right = 0;
  SendMessageW(viewer.contents(), LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
  for (int y = row.top + ScaleForDpi(2, dpi); y < row.bottom; ++y)
    for (int x = h; x < 2 * h; ++x)
      if (ClientPixel(viewer.contents(), x, y) != RGB(255, 239, 192)) left = std::min(left, x), right = std::max(right, x + 1);
  EXPECT_GE(right - left, h * 3 / 4);
  viewer.Screenshot(ScreenshotPath(L"dpi-contents-" + std::to_wstring(dpi) + L".png"));

  // Moved to a screen of twice the DPI and back: the suggested rectangle, rows and splitter
  // twice as large, the list keeping its share of the window.
  for (const int factor : {2, 1}) {
    const RECT suggested{10, 20, 10 + 300 * factor, 20 + 200 * factor};
    SendMessageW(viewer.window(), WM_DPICHANGED, MAKEWPARAM(factor * dpi, factor * dpi), reinterpret_cast<LPARAM>(&suggested));
    RECT now{};
    GetWindowRect(viewer.window(), &now);
    EXPECT_TRUE(EqualRect(&now, &suggested)) << factor;
    EXPECT_EQ(SendMessageW(viewer.contents(), LB_GETITEMHEIGHT, 0, 0), factor * h);
    EXPECT_EQ(ChildRect(viewer.contents()).right, factor * ScaleForDpi(250, dpi));
    EXPECT_EQ(ChildRect(splitter).right - ChildRect(splitter).left, ScaleForDpi(5, factor * dpi));
  }

  viewer.Key(VK_F9);  // 10 pixels (at 96 DPI) wider per key, and never narrower than 2
  EXPECT_EQ(ChildRect(viewer.contents()).right, ScaleForDpi(260, dpi));
  for (int i = 0; i < 30; ++i) viewer.Key(VK_F8);
  EXPECT_EQ(ChildRect(viewer.contents()).right, ScaleForDpi(2, dpi));

  // The Search dialog and the help window: every control inside the client area.
  for (const int command : {CMD_SEARCH, CMD_HELP}) {
    viewer.Command(command);
    HWND dialog = nullptr;
    viewer.OnViewerThread([&] { dialog = command == CMD_SEARCH ? Main().searchDialog : Main().helpWindow; });
    RECT client{};
    ASSERT_TRUE(GetClientRect(dialog, &client)) << command;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      const RECT r = ChildRect(child);
      EXPECT_TRUE(!IsWindowVisible(child) || (r.left >= 0 && r.top >= 0 && r.right <= client.right && r.bottom <= client.bottom));
    }
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    viewer.Settle();
  }

  // The width chosen with F9 is kept in 96-DPI units and comes back the same at this DPI.
  for (int i = 0; i < 5; ++i) viewer.Key(VK_F9);
  const LONG chosen = ChildRect(viewer.contents()).right;
  viewer.Command(CMD_SAVE_SETTINGS);
  viewer.Command(CMD_EXIT);
  viewer.WaitForExit();
  {
    ViewerRun again(WinPath(dir.File("dpi.tmk")));
    EXPECT_EQ(ChildRect(again.contents()).right, chosen);
    again.Command(CMD_DONT_SAVE_SETTINGS);
  }
  ClearRegistry();
}

}  // namespace
}  // namespace tomelet::test
