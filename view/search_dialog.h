#pragma once
// The modeless Search dialog: searches the current chapter, or walks the book chapter
// by chapter as a chain of posted steps, so the window stays live during a long walk.
#include <windows.h>

#include <functional>

namespace tomelet {

// What the dialog needs from the main window. It is copied into the dialog.
struct SearchHost {
  HINSTANCE instance = nullptr;
  HWND owner = nullptr;         // the main window: owns the dialog, gets the focus back
  HWND textPane = nullptr;
  HWND contentsList = nullptr;  // its selection is the current row
  std::function<void(int row)> loadRow;      // shows a row's chapter and selects the row
  std::function<int()> rowCount;
  std::function<void(HWND dialog)> closed;   // the dialog is gone
  std::function<void()> searchStarts;        // a press of Search again, before it moves
};

// Opens a new Search dialog; returns its handle (nullptr when it could not be made).
HWND OpenSearchDialog(const SearchHost& host);

// Back to the state of the first opening: empty term, no boxes, placed by the template.
void ForgetSearchSettings();

}  // namespace tomelet
