#include "view/find_all_rules.h"

#include <algorithm>
#include <iterator>

#include "base/language.h"

namespace tomelet {
namespace {

struct Range {
  char32_t first, last;
};

// Characters beyond ASCII that part words: punctuation, spaces, symbols, controls and the
// like, block by block (sorted; everything else counts as a letter).
constexpr Range kPartingCharacters[] = {
    {0x0080, 0x00A9}, {0x00AB, 0x00B1}, {0x00B4, 0x00B4}, {0x00B6, 0x00B8}, {0x00BB, 0x00BB}, {0x00BF, 0x00BF},
    {0x00D7, 0x00D7}, {0x00F7, 0x00F7}, {0x02C2, 0x02C5}, {0x02D2, 0x02DF}, {0x037E, 0x037E}, {0x0387, 0x0387},
    {0x055A, 0x055F}, {0x0589, 0x058A}, {0x05BE, 0x05BE}, {0x05C0, 0x05C0}, {0x05C3, 0x05C3}, {0x05C6, 0x05C6},
    {0x05F3, 0x05F4}, {0x0600, 0x060F}, {0x061B, 0x061F}, {0x066A, 0x066D}, {0x06D4, 0x06D4}, {0x0964, 0x0965},
    {0x0970, 0x0970}, {0x0E3F, 0x0E3F}, {0x0E4F, 0x0E4F}, {0x0E5A, 0x0E5B}, {0x10FB, 0x10FB}, {0x1360, 0x1368},
    {0x166D, 0x166E}, {0x1680, 0x1680}, {0x17D4, 0x17DA}, {0x1800, 0x180A}, {0x2000, 0x200B}, {0x200E, 0x206F},
    {0x20A0, 0x20CF}, {0x2190, 0x245F}, {0x2500, 0x2775}, {0x2794, 0x2BFF}, {0x2E00, 0x2E7F}, {0x2FF0, 0x3004},
    {0x3008, 0x3020}, {0x3030, 0x3030}, {0x303D, 0x303F}, {0x30A0, 0x30A0}, {0x30FB, 0x30FB}, {0xD800, 0xF8FF},
    {0xFD3E, 0xFD3F}, {0xFE10, 0xFE1F}, {0xFE30, 0xFE6F}, {0xFEFF, 0xFEFF}, {0xFF01, 0xFF0F}, {0xFF1A, 0xFF20},
    {0xFF3B, 0xFF40}, {0xFF5B, 0xFF65}, {0xFFE0, 0xFFFF}, {0x1D000, 0x1D24F}, {0x1F000, 0x1FAFF},
    {0xE0000, 0x10FFFF},
};

bool IsHigh(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLow(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The character that ends just before `pos`, and the one that starts at it.
char32_t CharacterBefore(std::u16string_view text, std::size_t pos) {
  if (pos == 0) return U' ';
  const char16_t last = text[pos - 1];
  if (IsLow(last) && pos >= 2 && IsHigh(text[pos - 2]))
    return 0x10000 + ((static_cast<char32_t>(text[pos - 2]) - 0xD800) << 10) + (last - 0xDC00);
  return last;
}
char32_t CharacterAt(std::u16string_view text, std::size_t pos) {
  if (pos >= text.size()) return U' ';
  const char16_t first = text[pos];
  if (IsHigh(first) && pos + 1 < text.size() && IsLow(text[pos + 1]))
    return 0x10000 + ((static_cast<char32_t>(first) - 0xD800) << 10) + (text[pos + 1] - 0xDC00);
  return first;
}

// True when a cut at `pos` falls between the two halves of a surrogate pair.
bool SplitsPair(std::u16string_view text, std::size_t pos) {
  return pos > 0 && pos < text.size() && IsHigh(text[pos - 1]) && IsLow(text[pos]);
}

bool IsLineBreak(char16_t c) { return c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f' || c == 0x2028 || c == 0x2029; }


}  // namespace

bool IsWordCharacter(char32_t c) {
  if (c < 0x80) return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
  const auto after = std::upper_bound(std::begin(kPartingCharacters), std::end(kPartingCharacters), c,
                                      [](char32_t value, const Range& r) { return value < r.first; });
  return after == std::begin(kPartingCharacters) || c > std::prev(after)->last;
}

std::vector<std::size_t> FindHits(std::u16string_view text, std::u16string_view term, bool wholeWords,
                                  std::size_t most) {
  std::vector<std::size_t> hits;
  if (term.empty() || most == 0) return hits;
  // A hit that would split a word is none: a word character on both sides of either end.
  const auto joins = [text](std::size_t pos) {
    return IsWordCharacter(CharacterBefore(text, pos)) && IsWordCharacter(CharacterAt(text, pos));
  };
  for (std::size_t at = text.find(term); at != std::u16string_view::npos; at = text.find(term, at + 1)) {
    const std::size_t end = at + term.size();
    if (SplitsPair(text, at) || SplitsPair(text, end)) continue;
    if (wholeWords && (joins(at) || joins(end))) continue;
    hits.push_back(at);
    if (hits.size() == most) break;
    at = end - 1;  // the next hit starts after this one
  }
  return hits;
}

ContextLine ContextAround(std::u16string_view text, std::size_t hitStart, std::size_t hitLength) {
  const std::size_t hitEnd = std::min(text.size(), hitStart + hitLength);
  hitStart = std::min(hitStart, hitEnd);
  std::size_t begin = hitStart, end = hitEnd;
  while (begin > 0 && hitStart - begin < kContextBefore && !IsLineBreak(text[begin - 1])) --begin;
  while (end < text.size() && end - hitEnd < kContextAfter && !IsLineBreak(text[end])) ++end;
  const bool cutBefore = begin > 0 && !IsLineBreak(text[begin - 1]);
  const bool cutAfter = end < text.size() && !IsLineBreak(text[end]);
  if (cutBefore && text[begin - 1] != u' ') {
    const std::size_t space = text.substr(begin, hitStart - begin).find(u' ');
    if (space != std::u16string_view::npos) begin += space + 1;
    else if (SplitsPair(text, begin)) ++begin;
  }
  if (cutAfter && text[end] != u' ') {
    const std::size_t space = text.substr(hitEnd, end - hitEnd).rfind(u' ');
    if (space != std::u16string_view::npos) end = hitEnd + space;
    else if (SplitsPair(text, end)) --end;
  }
  ContextLine line;
  if (cutBefore) line.text = u"...";
  line.hitStart = line.text.size() + (hitStart - begin);
  line.hitLength = hitEnd - hitStart;
  for (char16_t c : text.substr(begin, end - begin)) line.text += c < 0x20 ? u' ' : c;
  if (cutAfter) line.text += u"...";
  return line;
}

namespace {

// "1 chapter", "3 chapters" / "1 Kapitel".
std::string Chapters(std::size_t n, bool german) {
  return GroupedNumber(n, german) + (german ? " Kapitel" : n == 1 ? " chapter" : " chapters");
}

}  // namespace

std::string StatusLine(const WalkCounts& counts, bool german) {
  const std::string searched = GroupedNumber(counts.searched, german), hits = GroupedNumber(counts.hits, german);
  std::string line;
  if (german) {
    line = searched + " von " + GroupedNumber(counts.total, german) + (counts.total == 1 ? " Kapitel" : " Kapiteln") +
           " durchsucht, " + hits + " Treffer";
  } else {
    line = "Searched " + searched + " of " + Chapters(counts.total, false) + ", " + hits +
           (counts.hits == 1 ? " hit" : " hits");
  }
  // The chapters passed by, and why.
  std::vector<std::string> passed;
  if (counts.tooLarge > 0)
    passed.push_back(Chapters(counts.tooLarge, german) + (german ? " zu gro\xc3\x9f zum Anzeigen" : " too large to be shown"));
  if (counts.tooDeep > 0)
    passed.push_back(Chapters(counts.tooDeep, german) + (german ? " zu tief verschachtelt" : " nested too deeply"));
  if (counts.unreadable > 0)
    passed.push_back(Chapters(counts.unreadable, german) +
                     (german ? (counts.unreadable == 1 ? " konnte nicht durchsucht werden" : " konnten nicht durchsucht werden")
                             : " could not be searched"));
  for (std::size_t i = 0; i < passed.size(); ++i) line += (i == 0 ? "; " : ", ") + passed[i];
  if (!passed.empty() && !counts.firstPassedBy.empty())
    line += german ? " (das erste: \xe2\x80\x9e" + counts.firstPassedBy + "\xe2\x80\x9c)"
                   : " (the first: \"" + counts.firstPassedBy + "\")";
  if (counts.hitLimitReached)
    line += german ? "; angehalten bei " + GroupedNumber(kMaxHits, true) + " Treffern"
                   : "; stopped at " + GroupedNumber(kMaxHits, false) + " hits";
  if (counts.outOfMemory) line += german ? "; angehalten: zu wenig Speicher" : "; stopped: not enough memory";
  return line;
}

std::vector<std::uint8_t> PackPlace(const WindowPlace& place) {
  std::vector<std::uint8_t> bytes;
  for (std::int32_t value : {place.left, place.top, place.width, place.height})
    for (int shift = 0; shift < 32; shift += 8)
      bytes.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> shift));
  return bytes;
}

std::optional<WindowPlace> UnpackPlace(std::span<const std::uint8_t> bytes) {
  if (bytes.size() != 16) return std::nullopt;
  std::uint32_t values[4] = {};
  for (std::size_t i = 0; i < bytes.size(); ++i) values[i / 4] |= static_cast<std::uint32_t>(bytes[i]) << (8 * (i % 4));
  const WindowPlace place{static_cast<std::int32_t>(values[0]), static_cast<std::int32_t>(values[1]),
                          static_cast<std::int32_t>(values[2]), static_cast<std::int32_t>(values[3])};
  const auto fits = [](std::int32_t size) { return size >= 1 && size <= 32767; };
  if (!fits(place.width) || !fits(place.height)) return std::nullopt;
  return place;
}

}  // namespace tomelet
