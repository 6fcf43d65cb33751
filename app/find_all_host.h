#pragma once
// Edit > Find all: the window's ties to the open book and the main window.
#include <windows.h>

namespace tomelet {

// Opens the Find all window (or brings the open one to the front).
void OpenFindAll(HWND owner);

}  // namespace tomelet
