#pragma once
// The colours of our own drawing: the program's own at normal contrast, and with Windows'
// high contrast on only the system colours the user chose. A pure rule; the drawing code
// turns a Colour into a COLORREF (a system colour through GetSysColor).
#include <cstdint>

namespace tomelet {

// System colour indexes, as Windows numbers them (COLOR_WINDOW, ...).
enum class SystemColour : int {
  Menu = 4, Window = 5, MenuText = 7, WindowText = 8, Highlight = 13, HighlightText = 14, GrayText = 17,
  MenuBar = 30,
};

struct Colour {
  bool system = false;  // `value` is a SystemColour, else an 0x00BBGGRR value
  std::uint32_t value = 0;
  bool keep = false;    // leave the colour the device context has
  friend bool operator==(const Colour&, const Colour&) = default;
};
constexpr Colour Rgb(int r, int g, int b) {
  return {false, static_cast<std::uint32_t>(r | (g << 8) | (b << 16)), false};
}
constexpr Colour Sys(SystemColour c) { return {true, static_cast<std::uint32_t>(c), false}; }
inline constexpr Colour kKeepColour = {false, 0, true};

// What is drawn: a contents row (also the list's empty area and the icons' square behind
// their transparent parts), the splitter bar, an owner-drawn menu item (its symbol pen,
// the symbol's fill and the label).
enum class Surface { ContentsRow, Splitter, MenuItem };

struct ItemState {
  bool selected = false;
  bool focused = false;   // the list has the keyboard focus
  bool disabled = false;  // a greyed menu item
  bool onBar = false;     // a menu-bar button (not in the Window menu)
  bool flatMenus = false; // the system draws flat menus
};

struct Ink {
  Colour back, text;
  Colour pen = kKeepColour, fill = kKeepColour;  // menu symbols: outline and fill
  bool systemDrawn = false;  // the splitter at normal contrast: as the system paints it
  friend bool operator==(const Ink&, const Ink&) = default;
};

Ink InkFor(Surface surface, const ItemState& state, bool highContrast);

}  // namespace tomelet
