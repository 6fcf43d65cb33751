#pragma once
// The open book in the window: opening a book into the contents list, and showing one
// contents row in the text pane.
#include <windows.h>

#include <string>

#include "book/book_session.h"

namespace tomelet {

// The one open book of the run.
BookSession& Session();

enum class LoadStatus { Shown = 0, NothingToShow = -1, NoInformation = -2, CannotOpen = -3 };

// Replaces the open book by the one at path: fills the contents list, sets the title,
// selects the remembered row and shows it. Failures are reported in message boxes
// owned by `owner`.
OpenStatus OpenBook(HWND owner, const std::wstring& path);

// Selects contents row `row` (-1 none) and shows it in the text pane.
LoadStatus LoadChapter(int row);

// The password dialog (modal to the main window), as the book layer asks for it.
PasswordAsker PasswordDialog();

}  // namespace tomelet
