#pragma once
// Bringing a window's stored rectangle onto a screen that is there now (a monitor may
// have gone since the rectangle was kept).
#include <windows.h>

namespace tomelet {

// A rectangle (pixels) that lies on no monitor is moved into the work area of the
// nearest one; one that touches a monitor stays as it is.
RECT OntoVisibleScreen(RECT r);

}  // namespace tomelet
