#pragma once
// The main window: contents list left, text pane right, splitter between them, and
// every menu and accelerator command.
#include <windows.h>

#include <string>

#include "app/reading_places.h"
#include "app/window_geometry.h"
#include "base/win_handles.h"

namespace tomelet {

inline constexpr wchar_t kMainWindowClass[] = L"TomeletMainWndClass";

// Where and how the window was before full screen (app/full_screen.h).
struct FullScreenBefore {
  bool active = false;
  WINDOWPLACEMENT placement{};
  LONG_PTR style = 0;
};

struct MainWindowState {
  HWND window = nullptr;
  HWND contentsList = nullptr;
  HWND splitterBar = nullptr;
  HWND textPane = nullptr;
  HMENU menuBar = nullptr;
  int dpi = 96;               // the window's DPI: pixel values below are for it
  int contentsWidth = 250;
  int zoomLevel = kZoomNormal;
  bool draggingSplitter = false;
  HWND searchDialog = nullptr;  // the two modeless windows, served by the message loop
  HWND helpWindow = nullptr;
  HWND findAllWindow = nullptr;  // Edit > Find all, also served by the loop
  UniqueFont listFont;
  UniqueBrush contentsBrush;
  CommandStates barStates;  // as last put on the menu-bar buttons
  PlaceHistory history;     // back and forward in the open book (app/visited_places.h)
  int shownRow = -1;        // the contents row the text pane shows
  std::wstring openBook;    // the book whose place is kept when another one opens
  FullScreenBefore fullScreen;
};
MainWindowState& Main();

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Places the children for a contents width (a one-entry book: the text pane alone).
void LayoutChildren(int width);

// Enables or greys the zoom and chapter commands on the menu bar and in the Window menu.
void UpdateMenuState();

// While one lives, the menu bar is not drawn again; the last one to end draws it once if
// a button on it changed meanwhile (opening a book changes them several times).
class MenuBarRedrawHold {
 public:
  MenuBarRedrawHold();
  ~MenuBarRedrawHold();
  MenuBarRedrawHold(const MenuBarRedrawHold&) = delete;
  MenuBarRedrawHold& operator=(const MenuBarRedrawHold&) = delete;
};

// Draws now what a hold kept back: before a dialog or message box shows over the window.
void DrawHeldMenuBar();

// Applies the current zoom level to the text pane.
void ApplyZoom();

}  // namespace tomelet
