#pragma once
// The main window's geometry and command-state rules, free of any window system.
#include <cstdint>
#include <string_view>

namespace tomelet {

struct Rect {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const Rect&) const = default;
};

// Where the children go for a client area of clientWidth x clientHeight (all in pixels
// of a window of `dpi`; the splitter, the gap column and row and the least width scale).
struct ChildLayout {
  bool textOnly = false;    // a book of one entry: the text covers everything
  int contentsWidth = 0;    // the width to remember (unchanged when textOnly)
  Rect contents, splitter, text;
};

inline constexpr int kSplitterWidth = 5;  // 96-DPI units, as the other constants here
inline constexpr int kMinContentsWidth = 2;
inline constexpr int kContentsWidthStep = 10;  // F8, F9

ChildLayout ComputeLayout(int clientWidth, int clientHeight, int requestedWidth, int rowCount,
                          int currentContentsWidth, int dpi = 96);

// The contents rows' height in 96-DPI units: the screen font's text height (measured at
// the screen's DPI) + 3.
int ItemHeightAt96(int screenTextHeight, int screenDpi);

// Where a window stays when it moves to a screen of another DPI: the contents width keeps
// its share of the window.
int RescaleForDpi(int pixels, int oldDpi, int newDpi);

// Text zoom is ZoomLevel / 20, level 1 to 80.
inline constexpr int kZoomDenominator = 20;
inline constexpr int kZoomNormal = 20;
inline constexpr int kZoomMin = 1;
inline constexpr int kZoomMax = 80;

struct ZoomStep {
  int level;   // the new ZoomLevel
  bool apply;  // whether the text pane gets the new zoom
};
ZoomStep ZoomSmaller(int level);
ZoomStep ZoomBigger(int level);

// Enable states of the zoom and chapter commands.
struct CommandStates {
  bool zoomSmaller = true, zoomBigger = true, chapterUp = true, chapterDown = true;
  bool operator==(const CommandStates&) const = default;
};
CommandStates ComputeCommandStates(int zoomLevel, int selectedRow, int rowCount);

// Full screen: the window covers its monitor (its edges as the monitor gives them, which
// left of or above the main screen are negative), without caption and frame; the menu bar
// stays. Both come back as they were.
inline constexpr uint32_t kCaptionStyle = 0x00C00000u, kThickFrameStyle = 0x00040000u;
Rect FullScreenRect(int monitorLeft, int monitorTop, int monitorRight, int monitorBottom);
uint32_t FullScreenStyle(uint32_t style);

// Filter index of the Open dialog (1 Tomelet, 2 ZIP, 3 all files) for the current path.
int OpenDialogFilterIndex(std::string_view path);

}  // namespace tomelet
