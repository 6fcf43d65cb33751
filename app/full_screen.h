#pragma once
// Full screen (Window > Full screen, Alt+Enter; Esc or Alt+Enter again leaves it): the
// main window over its whole monitor with no caption and no frame, the menu bar kept.
#include <windows.h>

namespace tomelet {

bool InFullScreen();
void ToggleFullScreen(HWND window);
// Gives the window back exactly where and how it was (also maximised); nothing when it is
// not in full screen.
void LeaveFullScreen(HWND window);

}  // namespace tomelet
