#pragma once
// The open book and the two operations that show it: opening a book (table of
// contents) and loading one row into the text pane.
#include <windows.h>

#include <string>
#include <vector>

#include "base/zip_handles.h"
#include "book/table_of_contents.h"

namespace tomelet {

struct BookSession {
  ZipArchivePtr archive;      // null while no book is open
  std::wstring bookPath;      // the book to open / the open book
  std::string password;       // held password as given to libzip (ANSI bytes); empty = none
  bool dontAskPassword = false;
  bool firstLoadDone = false;  // the first chapter load of the run has happened
  std::vector<ChapterEntry> chapters;  // the chapter table of the last successful opening
  std::vector<ContentsRow> rows;       // what the contents list shows, in the same order
};
BookSession& Session();

enum class LoadStatus { Shown = 0, NothingToShow = -1, NoInformation = -2, CannotOpen = -3 };

// Replaces the open book by the one at path; reports failures in message boxes owned
// by owner.
OpenStatus OpenBook(HWND owner, const std::wstring& path);

// Shows contents row `row` (-1 none) in the text pane.
LoadStatus LoadChapter(int row);

}  // namespace tomelet
