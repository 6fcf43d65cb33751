#include "app/window_geometry.h"

#include <algorithm>

#include "base/dpi_scale.h"
#include "base/text.h"

namespace tomelet {

ChildLayout ComputeLayout(int clientWidth, int clientHeight, int requestedWidth, int rowCount,
                          int currentContentsWidth, int dpi) {
  const int gap = ScaleForDpi(1, dpi), splitter = ScaleForDpi(kSplitterWidth, dpi);
  ChildLayout layout;
  if (rowCount == 1) {
    layout.textOnly = true;
    layout.contentsWidth = currentContentsWidth;
    layout.text = {0, 0, clientWidth, clientHeight};
    // The list and the splitter keep their places; they are disabled and covered.
    layout.contents = {0, gap, currentContentsWidth, clientHeight - gap};
    layout.splitter = {currentContentsWidth + gap, gap, splitter, clientHeight - gap};
    return layout;
  }
  const int width = std::max(requestedWidth, ScaleForDpi(kMinContentsWidth, dpi));
  layout.contentsWidth = width;
  layout.contents = {0, gap, width, clientHeight - gap};
  layout.splitter = {width + gap, gap, splitter, clientHeight - gap};
  // The pane runs one gap past the right and the bottom edge, hiding its border there.
  layout.text = {width + gap + splitter, gap, clientWidth - width - splitter, clientHeight};
  return layout;
}

int ItemHeightAt96(int screenTextHeight, int screenDpi) { return UnscaleForDpi(screenTextHeight, screenDpi) + 3; }

int RescaleForDpi(int pixels, int oldDpi, int newDpi) { return MulDivRounded(pixels, newDpi, oldDpi); }

ZoomStep ZoomSmaller(int level) {
  const int next = level - 1;
  if (next > kZoomMin) return {next, true};
  return {kZoomMin, false};
}

ZoomStep ZoomBigger(int level) {
  const int next = level + 1;
  if (next < kZoomMax) return {next, true};
  return {kZoomMax, false};
}

CommandStates ComputeCommandStates(int zoomLevel, int selectedRow, int rowCount) {
  CommandStates states;
  if (zoomLevel <= kZoomMin) states.zoomSmaller = false;
  else if (zoomLevel >= kZoomMax) states.zoomBigger = false;
  const int last = rowCount - 1;
  if (selectedRow <= 0) states.chapterUp = false;
  else if (selectedRow >= last) states.chapterDown = false;
  return states;
}

Rect FullScreenRect(int monitorLeft, int monitorTop, int monitorRight, int monitorBottom) {
  return {monitorLeft, monitorTop, std::max(0, monitorRight - monitorLeft), std::max(0, monitorBottom - monitorTop)};
}

uint32_t FullScreenStyle(uint32_t style) { return style & ~(kCaptionStyle | kThickFrameStyle); }

int OpenDialogFilterIndex(std::string_view path) {
  if (path.empty()) return 1;
  const std::string tail = AsciiUpper(path.size() >= 3 ? path.substr(path.size() - 3) : path);
  if (tail == "TMK") return 1;
  if (tail == "ZIP") return 2;
  return 3;
}

}  // namespace tomelet
