#pragma once
// Drawing one row of the table of contents (an owner-drawn list box row).
#include <windows.h>

namespace tomelet {

// Draws the row `item` names: the kind icon (from `instance`'s resources) indented by
// the row's level on `background`, the title one row height to its right; `dpi` is the
// list's.
BOOL DrawContentsRow(const DRAWITEMSTRUCT* item, HINSTANCE instance, HBRUSH background, int dpi);

}  // namespace tomelet
