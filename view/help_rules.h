#pragma once
// The help window's rules that need no window: which document a tab shows, and how a
// stored window rectangle is brought onto the screen before the window opens.
#include <cstdint>

namespace tomelet {

inline constexpr int kHelpTabCount = 4;  // About, Create own Tomelets, Tips, History

// A stored tab outside 0..3 opens the first one (About).
int32_t HelpTabOrAbout(int32_t tab);

// Resource id of the document a tab shows (History, and any other tab, is one document
// for both languages).
int HelpDocumentId(int32_t tab, bool german);

struct HelpRect {
  int32_t left = 0, top = 0, width = 0, height = 0;
  bool operator==(const HelpRect&) const = default;
};

// The stored rectangle as the window opens with it, for a screen of the given size: a
// window that would lie off the screen, or be too small to use, is put back beside the
// main window's default place.
HelpRect CorrectHelpRect(HelpRect stored, int screenWidth, int screenHeight);

// A rectangle that lies on no screen, moved into `area` (a screen's work area): no larger
// than the area, and wholly inside it.
HelpRect MoveIntoArea(HelpRect r, const HelpRect& area);

}  // namespace tomelet
