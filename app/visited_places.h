#pragma once
// The reader's places in the main window: back and forward through the open book
// (Alt+Left, Alt+Right, the mouse's back and forward buttons), and the place each of the
// last books is reopened at. The rules are in app/reading_places.h.
#include <optional>
#include <string>

#include "app/reading_places.h"

namespace tomelet {

// Records the place shown (row, first visible character, selection) before a jump to
// another chapter or place: a contents choice, chapter up or down, quick search, the
// Search dialog, Find all. Call it just before the jump. Nothing is recorded while no
// chapter is shown.
void NoteVisitedPlace();

// The place shown now (row -1 while no chapter is shown).
ReadingPlace CurrentPlace();

// Goes to a place of the open book exactly (a bookmark), recorded for back and forward.
void GoToPlace(const ReadingPlace& place);

// Back and forward commands; they do nothing when there is nowhere to go.
void GoBack();
void GoForward();

// Before another book opens, and at the end: keeps the open book's row and first visible
// character for its next opening, and empties the history. Returns the book left.
std::wstring LeaveBook();

// Where a book read before opens (its row exists in the book); nullopt for the usual
// row, also while the last run's place brings the book back at start.
std::optional<BookPlace> KeptPlaceOf(const std::wstring& path, int rowCount);

// After a book opened: it is the book LeaveBook keeps, shown at `kept` when given.
void EnterBook(const std::wstring& path, const std::optional<BookPlace>& kept);

}  // namespace tomelet
