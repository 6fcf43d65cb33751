#pragma once
// How our windows read to screen readers. A window made spoken answers WM_GETOBJECT for
// its client object with an MSAA object of ours that says the names (and, for a list, the
// rows) below and hands everything else to the window's own or Windows' standard object,
// so keyboard and focus events keep working. UI Automation clients reach it through
// Windows' proxy. oleacc.dll is bound at run time from the system folder.
#include <windows.h>

#include <functional>
#include <string>

namespace tomelet {

struct Spoken {
  std::function<std::wstring()> name;  // the window's own name
  // A list box's rows as its children (role list, rows list items); without rowName the
  // children are the standard object's. Both get the list and the row number.
  std::function<std::wstring(HWND list, int row)> rowName;
  std::function<std::wstring(HWND list, int row)> rowDescription;
};

// Subclasses `window` until it is destroyed. A subclass installed after this one must be
// removed before the window is destroyed, or at its destruction.
void MakeSpoken(HWND window, Spoken spoken);

// Tells screen readers that a window's name changed (a language switch), or that a
// list's rows are others now.
void NotifyNameChanged(HWND window);
void NotifyRowsChanged(HWND list);

}  // namespace tomelet
