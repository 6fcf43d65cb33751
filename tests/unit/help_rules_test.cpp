// The help window's rules: the stored rectangle brought onto the screen, the tab it opens
// on, and the document each tab shows.
#include "view/help_rules.h"

#include <gtest/gtest.h>

#include <climits>

#include "res/resource_ids.h"

namespace tomelet {
namespace {

constexpr int kW = 1280, kH = 1024;

TEST(HelpRules, AStoredRectangleAlwaysOpensOnTheScreen) {
  const struct {
    const char* what;
    HelpRect stored, opened;
  } cases[] = {
      {"first start defaults stay", {kW / 2, 0, kW / 2, kH}, {kW / 2, 0, kW / 2, kH}},
      {"a window the user placed stays", {100, 50, 400, 600}, {100, 50, 400, 600}},
      {"left -5 opens at half the screen", {-5, 10, 400, 600}, {kW / 2, 10, 400, 600}},
      {"height 10 opens as tall as the screen", {100, 10, 400, 10}, {100, 10, 400, kH}},
      {"left at the right edge would be out of sight", {kW, 10, 400, 600}, {kW / 2, 10, 400, 600}},
      {"20 pixels at the right edge are enough", {kW - 20, 10, 400, 600}, {kW - 20, 10, 400, 600}},
      {"left beyond the screen", {kW + 1, 10, 400, 600}, {kW / 2, 10, 400, 600}},
      {"top above the screen", {100, -1, 400, 600}, {100, 0, 400, 600}},
      {"top within 20 pixels of the bottom", {100, kH - 19, 400, 600}, {100, 0, 400, 600}},
      {"top 20 pixels above the bottom stays", {100, kH - 20, 400, 600}, {100, kH - 20, 400, 600}},
      {"width below 10", {100, 10, 9, 600}, {100, 10, kW / 2, 600}},
      {"width 10 stays", {100, 10, 10, 600}, {100, 10, 10, 600}},
      {"width wider than the screen", {100, 10, kW + 1, 600}, {100, 10, kW / 2, 600}},
      {"height 20 stays", {100, 10, 400, 20}, {100, 10, 400, 20}},
      {"height within 20 pixels of the screen's", {100, 10, 400, kH - 19}, {100, 10, 400, kH}},
      {"a zero record", {0, 0, 0, 0}, {0, 0, kW / 2, kH}},
      {"all at INT_MIN", {INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN}, {kW / 2, 0, kW / 2, kH}},
      {"all at INT_MAX", {INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX}, {kW / 2, 0, kW / 2, kH}},
  };
  for (const auto& c : cases) EXPECT_EQ(CorrectHelpRect(c.stored, kW, kH), c.opened) << c.what;
}

TEST(HelpRules, EachTabShowsItsDocumentAndAStrayTabOpensAbout) {
  const struct {
    int32_t storedTab, openedTab;
    int english, german;
  } cases[] = {
      {0, 0, IDR_HELP_ABOUT_ENGLISH, IDR_HELP_ABOUT_GERMAN},
      {1, 1, IDR_HELP_CREATE_ENGLISH, IDR_HELP_CREATE_GERMAN},
      {2, 2, IDR_HELP_TIPS_ENGLISH, IDR_HELP_TIPS_GERMAN},
      {3, 3, IDR_HELP_HISTORY, IDR_HELP_HISTORY},
      {4, 0, IDR_HELP_ABOUT_ENGLISH, IDR_HELP_ABOUT_GERMAN},
      {7, 0, IDR_HELP_ABOUT_ENGLISH, IDR_HELP_ABOUT_GERMAN},
      {-1, 0, IDR_HELP_ABOUT_ENGLISH, IDR_HELP_ABOUT_GERMAN},
      {INT32_MIN, 0, IDR_HELP_ABOUT_ENGLISH, IDR_HELP_ABOUT_GERMAN},
  };
  for (const auto& c : cases) {
    const int32_t tab = HelpTabOrAbout(c.storedTab);
    EXPECT_EQ(tab, c.openedTab) << c.storedTab;
    EXPECT_EQ(HelpDocumentId(tab, false), c.english) << c.storedTab;
    EXPECT_EQ(HelpDocumentId(tab, true), c.german) << c.storedTab;
  }
}

}  // namespace
}  // namespace tomelet
