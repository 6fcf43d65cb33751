#pragma once
// Drawing one row of the table of contents (an owner-drawn list box row).
#include <windows.h>

#include "view/contrast_colours.h"

namespace tomelet {

// Draws the row `item` names: the kind icon (from `instance`'s resources) indented by
// the row's level on `background`, the title one row height to its right; `dpi` is the
// list's. With high contrast on, in the system's colours (view/contrast_colours.h).
BOOL DrawContentsRow(const DRAWITEMSTRUCT* item, HINSTANCE instance, HBRUSH background, int dpi,
                     bool highContrast);

// A colour of the rule as the device context takes it.
COLORREF ColorRefOf(const Colour& colour);

}  // namespace tomelet
