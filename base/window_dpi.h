#pragma once
// The DPI a window is drawn for, and system metrics for a DPI. The per-monitor functions
// came with Windows 10 and are looked up at run time; on Windows 7 and 8 every window has
// the screen's DPI, as the screen's device context reports it.
#include <windows.h>

namespace tomelet {

int WindowDpi(HWND window);
int SystemDpi();
int SystemMetricForDpi(int index, int dpi);

}  // namespace tomelet
