#include "app/full_screen.h"

#include "app/main_window.h"
#include "app/window_geometry.h"

namespace tomelet {
namespace {

FullScreenBefore& Kept() { return Main().fullScreen; }

void EnterFullScreen(HWND window) {
  FullScreenBefore& before = Kept();
  before.placement.length = sizeof(before.placement);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  if (!GetWindowPlacement(window, &before.placement) ||
      !GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor))
    return;
  before.style = GetWindowLongPtrW(window, GWL_STYLE);
  before.active = true;
  const RECT& m = monitor.rcMonitor;
  const Rect r = FullScreenRect(m.left, m.top, m.right, m.bottom);
  SetWindowLongPtrW(window, GWL_STYLE, static_cast<LONG_PTR>(FullScreenStyle(static_cast<uint32_t>(before.style))));
  SetWindowPos(window, HWND_TOP, r.x, r.y, r.width, r.height, SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
}

}  // namespace

bool InFullScreen() { return Kept().active; }

void ToggleFullScreen(HWND window) {
  if (InFullScreen()) LeaveFullScreen(window);
  else EnterFullScreen(window);
}

void LeaveFullScreen(HWND window) {
  FullScreenBefore& before = Kept();
  if (!before.active) return;
  before.active = false;
  SetWindowLongPtrW(window, GWL_STYLE, before.style);
  SetWindowPlacement(window, &before.placement);
  SetWindowPos(window, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
}

}  // namespace tomelet
