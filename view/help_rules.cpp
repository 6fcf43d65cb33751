#include "view/help_rules.h"

#include <algorithm>

#include "res/resource_ids.h"

namespace tomelet {

int32_t HelpTabOrAbout(int32_t tab) { return static_cast<uint32_t>(tab) < kHelpTabCount ? tab : 0; }

int HelpDocumentId(int32_t tab, bool german) {
  switch (tab) {
    case 0: return german ? IDR_HELP_ABOUT_GERMAN : IDR_HELP_ABOUT_ENGLISH;
    case 1: return german ? IDR_HELP_CREATE_GERMAN : IDR_HELP_CREATE_ENGLISH;
    case 2: return german ? IDR_HELP_TIPS_GERMAN : IDR_HELP_TIPS_ENGLISH;
    default: return IDR_HELP_HISTORY;
  }
}

HelpRect CorrectHelpRect(HelpRect r, int w, int h) {
  // The left edge keeps at least 20 pixels of the window on the screen, as the top does;
  // a window starting at the right edge itself would open out of sight.
  if (r.left < 0 || r.left > w - 20) r.left = w / 2;
  if (r.top < 0 || r.top > h - 20) r.top = 0;
  if (r.width < 10 || r.width > w) r.width = w / 2;
  if (r.height < 20 || r.height > h - 20) r.height = h;
  return r;
}

HelpRect MoveIntoArea(HelpRect r, const HelpRect& area) {
  r.width = std::clamp(r.width, 1, std::max(area.width, 1));
  r.height = std::clamp(r.height, 1, std::max(area.height, 1));
  r.left = std::clamp(r.left, area.left, area.left + area.width - r.width);
  r.top = std::clamp(r.top, area.top, area.top + area.height - r.height);
  return r;
}

}  // namespace tomelet
