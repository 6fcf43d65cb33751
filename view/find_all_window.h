#pragma once
// The modeless Find all window: every hit of a term in the book, in one list. The walk
// goes through the chapters in the contents' order as a chain of posted steps, so rows
// appear while it runs and the windows stay live.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "book/book_session.h"
#include "view/find_all_rules.h"

namespace tomelet {

// What the window needs from the main window. It is copied into the window.
// A row's page as the text pane would be given it (RTF, or plain text in the ANSI code
// page), or why the walk passes it by.
struct RowPage {
  std::string page;
  PassedBy passedBy = PassedBy::None;
};

struct FindAllHost {
  HINSTANCE instance = nullptr;
  HWND owner = nullptr;  // the main window
  // The rows to search, in the contents' order: RTF chapters and the information page.
  std::function<std::vector<int>()> searchableRows;
  // A row's page; `ask` is the password dialog.
  std::function<RowPage(int row, const PasswordAsker& ask)> readRow;
  // The archive entry behind a row: rows that name one entry are searched once.
  std::function<int(int row)> entryOf;
  PasswordAsker ask;
  std::function<std::wstring(int row)> rowTitle;
  // Shows a row's chapter in the text pane with [start, start + length) selected.
  std::function<void(int row, long start, long length)> openHit;
  std::optional<WindowPlace>* place = nullptr;  // kept for the run (and in the settings)
  std::function<void(HWND window)> closed;      // the window is gone
};

// Opens the window; returns its handle (nullptr when it could not be made).
HWND OpenFindAllWindow(const FindAllHost& host);

// Another book is being opened: the walk ends and the list empties (its rows belong to
// the book that goes).
void FindAllBookChanged(HWND window);

// How far the window's walk has come (for benchmarks).
struct FindAllProgress {
  bool running = false;
  WalkCounts counts;
};
FindAllProgress FindAllProgressOf(HWND window);

}  // namespace tomelet
