#include "view/screen_place.h"

#include "view/help_rules.h"

namespace tomelet {

RECT OntoVisibleScreen(RECT r) {
  if (MonitorFromRect(&r, MONITOR_DEFAULTTONULL)) return r;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  if (!GetMonitorInfoW(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &monitor)) return r;
  const RECT& w = monitor.rcWork;
  const HelpRect moved = MoveIntoArea({r.left, r.top, r.right - r.left, r.bottom - r.top},
                                      {w.left, w.top, w.right - w.left, w.bottom - w.top});
  return {moved.left, moved.top, moved.left + moved.width, moved.top + moved.height};
}

}  // namespace tomelet
