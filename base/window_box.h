#pragma once
// Where a top-level window stands, as the settings keep it: shown maximised (3) or
// normally (1), and its outer rectangle. The main window and the help window both
// record theirs this way when they close.
#include <windows.h>

#include <cstdint>

namespace tomelet {

struct WindowBox {
  int32_t showState, left, top, width, height;
};

inline WindowBox ReadWindowBox(HWND window) {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof(placement);
  GetWindowPlacement(window, &placement);
  RECT r{};
  GetWindowRect(window, &r);
  return {placement.showCmd == SW_SHOWMAXIMIZED ? 3 : 1, r.left, r.top, r.right - r.left, r.bottom - r.top};
}

}  // namespace tomelet
