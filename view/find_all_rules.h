#pragma once
// The rules of Find all that need no window: which characters make words (for the whole
// words option), where the hits of a term are in a chapter's plain text, the line of text
// a hit is listed with, the status line, and the window's place as a registry value.
// The Win32 side (view/find_all_window.*) only applies these.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tomelet {

// Letters, digits and combining marks of every script make words; spaces, punctuation,
// symbols, control characters and lone surrogates part them.
bool IsWordCharacter(char32_t c);

// The hits of `term` in `text`, left to right, none overlapping the one before (what
// stepping from hit to hit finds), the first `most` of them. Both are compared unit by
// unit: the caller folds their case first. A hit never splits a surrogate pair; with
// `wholeWords`, it never splits a word either (a word character on both sides of its
// start or of its end).
std::vector<std::size_t> FindHits(std::u16string_view text, std::u16string_view term, bool wholeWords,
                                  std::size_t most = SIZE_MAX);

// A walk stops at this many hits: each is listed with its line, and a term found
// everywhere in a long chapter would otherwise fill the memory of a 32-bit process.
inline constexpr std::size_t kMaxHits = 100000;

// The line a hit is listed with: the hit's paragraph around it, at most kContextBefore
// units before it and kContextAfter after it, cut at a space where the limit falls inside
// the paragraph ("..." marks the cut), never inside a surrogate pair; tabs and other
// control characters are shown as spaces.
inline constexpr std::size_t kContextBefore = 40;
inline constexpr std::size_t kContextAfter = 60;
struct ContextLine {
  std::u16string text;
  std::size_t hitStart = 0;  // where the hit is in `text`
  std::size_t hitLength = 0;
  friend bool operator==(const ContextLine&, const ContextLine&) = default;
};
ContextLine ContextAround(std::u16string_view text, std::size_t hitStart, std::size_t hitLength);

// Why a chapter was passed by: the text pane would refuse it too (book/show_rule.h), or
// it could not be read.
enum class PassedBy { None, TooLarge, TooDeep, Unreadable };

// What the walk has done so far.
struct WalkCounts {
  std::size_t searched = 0;    // chapters gone through, those passed by included
  std::size_t total = 0;       // chapters to search (RTF chapters and the information page)
  std::size_t hits = 0;
  std::size_t tooLarge = 0;    // passed by: too large or packed too far to be shown
  std::size_t tooDeep = 0;     // passed by: nested too deeply to be shown
  std::size_t unreadable = 0;  // passed by: could not be read
  std::string firstPassedBy;   // the title of the first chapter passed by (UTF-8)
  bool hitLimitReached = false;  // stopped at kMaxHits
  bool outOfMemory = false;      // stopped when memory ran out
};

// "Searched 120 of 1,000 chapters, 37 hits", then the chapters passed by with their
// reasons and the first one's title ("; 1 chapter too large to be shown, 3 chapters
// could not be searched (the first: "Maps")"), and why the walk stopped early (UTF-8;
// German with "." between thousands).
std::string StatusLine(const WalkCounts& counts, bool german);

// The window's place, kept as a registry value of 16 bytes (left, top, width, height,
// each a little-endian 32-bit number). A value of another length, or with a width or
// height below 1 or above 32767, is no place.
struct WindowPlace {
  std::int32_t left = 0, top = 0, width = 0, height = 0;
  friend bool operator==(const WindowPlace&, const WindowPlace&) = default;
};
std::vector<std::uint8_t> PackPlace(const WindowPlace& place);
std::optional<WindowPlace> UnpackPlace(std::span<const std::uint8_t> bytes);

}  // namespace tomelet
