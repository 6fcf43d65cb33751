#pragma once
// The menus: the owner-drawn zoom and chapter items, and the states set when a menu opens.
#include <windows.h>

namespace tomelet {

void MeasureMenuItem(MEASUREITEMSTRUCT* item);
BOOL DrawMenuItem(const DRAWITEMSTRUCT* item);
void OnInitMenuPopup(HMENU popup, int position);

// Pen width and symbol size are fixed at the first owner-drawn item of the run, and again
// at the first one after the window's DPI changed.
void PrepareOwnerDrawResources(HDC dc);

// After a DPI change: the symbols are sized again, and every owner-drawn item of the bar
// and its menus is measured again.
void RemeasureMenuItems(HMENU bar);

}  // namespace tomelet
