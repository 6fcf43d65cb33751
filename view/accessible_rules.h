#pragma once
// What a screen reader hears of the contents rows and the Find all hits: the title as the
// row draws it (without the level digit and the kind code), and the row's kind and level
// in the interface language. Platform-neutral; the accessible objects only pass it on.
#include <functional>
#include <string>
#include <string_view>

namespace tomelet {

struct SpokenRow {
  std::u16string name;         // the title as drawn; a "…" row the title it continues
  std::u16string description;  // "Chapter, level 2", "Picture", ...
};

// Row `row` of a list whose stored texts `rowText` gives (level digit, kind code, title).
// A continuation row ("…") reads as the title of the row it continues, looked for at most
// kContinuationLookBack rows up; without one it reads "continued".
inline constexpr int kContinuationLookBack = 1000;
SpokenRow SpeakContentsRow(int row, const std::function<std::u16string(int row)>& rowText, bool german);

// A Find all hit: "<chapter title>: <words around the hit>".
std::u16string SpeakHit(std::u16string_view chapterTitle, std::u16string_view line);

// The names of the lists and panes themselves.
enum class SpokenPart { ContentsList, TextPane, HitList, HelpText, BrowseButton };
const char16_t* SpokenName(SpokenPart part, bool german);

}  // namespace tomelet
