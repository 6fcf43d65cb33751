#pragma once
// The bookmark dialogs: Add bookmark (Ctrl+D) and Organize bookmarks, for the open book.
#include <windows.h>

#include <string>

namespace tomelet {

// The title a contents row shows (without its level and kind codes); empty for no row.
std::wstring RowTitle(int row);

// Asks for a name (the shown row's title proposed) and marks the place shown: row, first
// visible character and selection. Does nothing while no chapter is shown.
void AddBookmark(HWND owner);

// Lists the open book's bookmarks with their chapters: go to one, rename, delete, move.
void OrganizeBookmarks(HWND owner);

}  // namespace tomelet
