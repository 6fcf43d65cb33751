// The help window's rules: the stored rectangle brought onto the screen, the tab it opens
// on, and the document each tab shows.
#include "view/help_rules.h"

#include <gtest/gtest.h>

#include <climits>

#include "res/resource_ids.h"

namespace tomelet {
namespace {

constexpr int kW = 1280, kH = 1024;

TEST(HelpRules, AStoredRectangleAlwaysOpensOnTheScreenAndEachTabShowsItsDocument) {
  const struct { HelpRect stored, opened; } cases[] = {
      {{100, 50, 400, 600}, {100, 50, 400, 600}},                  // placed by the user
      {{-5, 10, 400, 600}, {kW / 2, 10, 400, 600}},                // left -5: half the screen
      {{100, 10, 400, 10}, {100, 10, 400, kH}},                    // height 10: the screen's
      {{kW, 10, 400, 600}, {kW / 2, 10, 400, 600}},                // at the right edge: out of sight
      {{kW - 20, kH - 20, 10, 20}, {kW - 20, kH - 20, 10, 20}},    // smallest that stays
      {{100, kH - 19, 9, kH - 19}, {100, 0, kW / 2, kH}},          // just beyond each limit
      {{100, -1, kW + 1, 600}, {100, 0, kW / 2, 600}},
      {{0, 0, 0, 0}, {0, 0, kW / 2, kH}},                          // a record never used
      {{INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN}, {kW / 2, 0, kW / 2, kH}},
      {{INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX}, {kW / 2, 0, kW / 2, kH}},
  };
  for (const auto& c : cases) EXPECT_EQ(CorrectHelpRect(c.stored, kW, kH), c.opened) << c.stored.left;
  // Each tab shows its document; a stray tab opens About.
  for (const int32_t stray : {4, 7, -1, INT32_MIN}) EXPECT_EQ(HelpTabOrAbout(stray), 0) << stray;
  EXPECT_EQ(HelpTabOrAbout(3), 3);
  const int english[] = {IDR_HELP_ABOUT_ENGLISH, IDR_HELP_CREATE_ENGLISH, IDR_HELP_TIPS_ENGLISH, IDR_HELP_HISTORY};
  const int german[] = {IDR_HELP_ABOUT_GERMAN, IDR_HELP_CREATE_GERMAN, IDR_HELP_TIPS_GERMAN, IDR_HELP_HISTORY};
  for (int tab = 0; tab < 4; ++tab)
    EXPECT_EQ(std::pair(HelpDocumentId(tab, false), HelpDocumentId(tab, true)), std::pair(english[tab], german[tab]));
}

}  // namespace
}  // namespace tomelet
