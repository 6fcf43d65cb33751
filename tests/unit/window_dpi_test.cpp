// The window's pixel values at 96, 144 and 192 DPI, and the settings' 96-DPI units.
#include <gtest/gtest.h>

#include <climits>
#include <tuple>

#include "app/window_geometry.h"
#include "base/dpi_scale.h"

namespace tomelet {
namespace {

TEST(WindowDpi, LayoutRowsAndStoredUnitsScaleWithTheDpi) {
  struct Row { int dpi, requested; Rect contents, splitter, text; };
  const Row rows[] = {  // client area 800 x 600; at 96 DPI the values the window always had
      {96, 250, {0, 1, 250, 599}, {251, 1, 5, 599}, {256, 1, 545, 600}},
      {144, 375, {0, 2, 375, 598}, {377, 2, 8, 598}, {385, 2, 417, 600}},
      {192, 500, {0, 2, 500, 598}, {502, 2, 10, 598}, {512, 2, 290, 600}},
      {192, -7, {0, 2, 4, 598}, {6, 2, 10, 598}, {16, 2, 786, 600}},  // never narrower than 2 x dpi / 96
  };
  for (const Row& r : rows) {
    const ChildLayout layout = ComputeLayout(800, 600, r.requested, 3, 0, r.dpi);
    EXPECT_EQ(std::tuple(layout.contents, layout.splitter, layout.text), std::tuple(r.contents, r.splitter, r.text)) << r.dpi;
  }
  EXPECT_EQ(std::tuple(ItemHeightAt96(16, 96), ItemHeightAt96(24, 144), ItemHeightAt96(33, 192)), std::tuple(19, 19, 20));
  // 96-DPI units to pixels and back (within a pixel); a move to another screen's DPI.
  EXPECT_EQ(std::tuple(ScaleForDpi(-1, 144), ScaleForDpi(INT_MIN, 192), ScaleForDpi(77, 0)), std::tuple(-2, INT_MIN, 77));
  for (const int pixels : {1, 377, 1001})
    for (const int dpi : {96, 120, 144, 192}) EXPECT_NEAR(ScaleForDpi(UnscaleForDpi(pixels, dpi), dpi), pixels, dpi / 96);
  EXPECT_EQ(std::tuple(RescaleForDpi(500, 192, 144), RescaleForDpi(377, 144, 96)), std::tuple(375, 251));
}

}  // namespace
}  // namespace tomelet
