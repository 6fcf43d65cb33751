#pragma once
// Pixel values in this program are given for a screen of 96 dots per inch. A window on a
// screen of another DPI takes them times dpi / 96, rounded to the nearest pixel with halves
// away from zero (as MulDiv rounds). Settings keep sizes in these 96-DPI units.
#include <algorithm>
#include <cstdint>
#include <limits>

namespace tomelet {

inline constexpr int kBaseDpi = 96;

// value * numerator / denominator, rounded; a denominator of 0 or less leaves the value
// as it is, and a result beyond int is held at its limit.
constexpr int MulDivRounded(int value, int numerator, int denominator) {
  if (denominator <= 0 || numerator <= 0) return value;
  const int64_t product = int64_t{value} * numerator;
  const int64_t half = denominator / 2;
  const int64_t result = product >= 0 ? (product + half) / denominator : -((-product + half) / denominator);
  return static_cast<int>(std::clamp<int64_t>(result, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// A 96-DPI value for a window of this DPI, and back.
constexpr int ScaleForDpi(int value96, int dpi) { return MulDivRounded(value96, dpi, kBaseDpi); }
constexpr int UnscaleForDpi(int pixels, int dpi) { return MulDivRounded(pixels, kBaseDpi, dpi); }

}  // namespace tomelet
