#include "view/contrast_colours.h"

namespace tomelet {
namespace {

constexpr Colour kCream = Rgb(255, 239, 192);
constexpr Colour kPeach = Rgb(255, 207, 160);
constexpr Colour kBlack = Rgb(0, 0, 0);
constexpr Colour kWhite = Rgb(255, 255, 255);
constexpr Colour kLightGray = Rgb(192, 192, 192);  // LTGRAY_BRUSH

Ink NormalInk(Surface surface, const ItemState& s) {
  switch (surface) {
    case Surface::ContentsRow:
      if (!s.selected) return {kCream, kBlack};
      return s.focused ? Ink{kBlack, kWhite} : Ink{kPeach, kKeepColour};
    case Surface::Splitter: return {kKeepColour, kKeepColour, kKeepColour, kKeepColour, true};
    case Surface::MenuItem:
      // A greyed item looks as an enabled one.
      if (s.selected)
        return {Sys(SystemColour::Highlight), Sys(s.onBar ? SystemColour::MenuBar : SystemColour::Menu), kBlack,
                kLightGray};
      return {Sys(s.flatMenus && s.onBar ? SystemColour::MenuBar : SystemColour::Menu), Sys(SystemColour::MenuText),
              kBlack, kWhite};
  }
  return {};
}

Ink HighContrastInk(Surface surface, const ItemState& s) {
  const Colour window = Sys(SystemColour::Window), text = Sys(SystemColour::WindowText);
  const Colour highlight = Sys(SystemColour::Highlight), highlightText = Sys(SystemColour::HighlightText);
  const Colour gray = Sys(SystemColour::GrayText);
  switch (surface) {
    case Surface::ContentsRow:
      if (!s.selected) return {window, text};
      // The selection away from the focus stays visible, in the user's grey.
      return s.focused ? Ink{highlight, highlightText} : Ink{gray, window};
    case Surface::Splitter: return {gray, gray};
    case Surface::MenuItem: {
      const Colour back = s.selected ? highlight : Sys(s.flatMenus && s.onBar ? SystemColour::MenuBar : SystemColour::Menu);
      const Colour ink = s.disabled ? gray : s.selected ? highlightText : Sys(SystemColour::MenuText);
      return {back, ink, ink, back};
    }
  }
  return {};
}

}  // namespace

Ink InkFor(Surface surface, const ItemState& state, bool highContrast) {
  return highContrast ? HighContrastInk(surface, state) : NormalInk(surface, state);
}

}  // namespace tomelet
