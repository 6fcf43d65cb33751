#pragma once
// Saving the entry behind a contents row to a file of the user's choice (File > Save
// chapter as..., and the attachment page's extraction link).
#include <windows.h>

#include "book/book_session.h"

namespace tomelet {

// Result codes: 0 saved or cancelled; the failures, each already shown to the user.
enum class SaveStatus {
  SavedOrCancelled = 0,
  NoBook = -1,
  NoRow = -2,
  NoInformation = -3,
  CannotOpen = -4,
  CannotLoad = -5,    // too short, damaged, or too large for memory
  CannotWrite = -6,   // the file could not be made or written; an existing one is kept
};

// Reads the entry behind contents row `row` afresh (asking for a password through `ask`
// when needed), offers the save dialog owned by `owner` and writes the file.
SaveStatus SaveChapter(HWND owner, BookSession& session, int row, const PasswordAsker& ask);

}  // namespace tomelet
