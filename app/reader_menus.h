#pragma once
// The menu parts filled when they open: the books read last in the File menu, and the
// open book's bookmarks in Window > Bookmarks; and their commands.
#include <windows.h>

namespace tomelet {

// WM_INITMENUPOPUP of any pop-up: fills it when it is one of ours.
void FillReaderMenu(HMENU popup);

// Commands CMD_RECENT_BOOK_FIRST.. and CMD_BOOKMARK_FIRST..: reports whether it was one.
bool OnReaderMenuCommand(HWND window, int id);

}  // namespace tomelet
