#include "app/window_geometry.h"

#include <algorithm>

#include "base/text.h"

namespace tomelet {

ChildLayout ComputeLayout(int clientWidth, int clientHeight, int requestedWidth, int rowCount,
                          int currentContentsWidth) {
  ChildLayout layout;
  if (rowCount == 1) {
    layout.textOnly = true;
    layout.contentsWidth = currentContentsWidth;
    layout.text = {0, 0, clientWidth, clientHeight};
    // The list and the splitter keep their places; they are disabled and covered.
    layout.contents = {0, 1, currentContentsWidth, clientHeight - 1};
    layout.splitter = {currentContentsWidth + 1, 1, kSplitterWidth, clientHeight - 1};
    return layout;
  }
  const int width = std::max(requestedWidth, kMinContentsWidth);
  layout.contentsWidth = width;
  layout.contents = {0, 1, width, clientHeight - 1};
  layout.splitter = {width + 1, 1, kSplitterWidth, clientHeight - 1};
  layout.text = {width + 1 + kSplitterWidth, 1, clientWidth - width - kSplitterWidth, clientHeight};
  return layout;
}

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

int OpenDialogFilterIndex(std::string_view path) {
  if (path.empty()) return 1;
  const std::string tail = AsciiUpper(path.size() >= 3 ? path.substr(path.size() - 3) : path);
  if (tail == "TMK") return 1;
  if (tail == "ZIP") return 2;
  return 3;
}

}  // namespace tomelet
