#pragma once
// Quick search: typing into the contents list or the text pane searches for what was
// typed, without an input field. Both controls are subclassed; each keeps its own term.
#include <windows.h>

#include <cstdint>
#include <functional>

namespace tomelet {

// What quick search needs from the main window.
struct QuickSearchHost {
  HWND mainWindow = nullptr;    // gets the contents list's selection-change command
  HWND contentsList = nullptr;
  HWND textPane = nullptr;
  int contentsListId = 0;       // control id of the list, for its selection-change command
  std::function<std::uint32_t()> ticks;  // milliseconds; the system tick count when empty
  std::function<void()> beforeJump;      // a hit of a new term, or F3, is about to be shown
};

// Subclasses both controls and starts both terms empty.
void InstallQuickSearch(const QuickSearchHost& host);

// Gives both controls their own window procedures back.
void RemoveQuickSearch();

// The hint box of the Quick search... command, owned by `owner`.
void ShowQuickSearchHint(HWND owner);

}  // namespace tomelet
