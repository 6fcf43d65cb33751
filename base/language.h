#pragma once
// The interface language rule, for every layer: LanguageId 7 means German, every other
// value English. Each module keeps its English/German texts as pairs in one place and
// picks them with Pick().
#include <cstdint>
#include <string>

namespace tomelet {

inline constexpr int kGermanLanguageId = 7;

constexpr bool IsGermanLanguage(std::int32_t languageId) { return languageId == kGermanLanguageId; }

// A text in both languages: wide for the Win32 side, UTF-8 for platform-neutral code.
template <class Char>
struct BasicTextPair {
  const Char* english;
  const Char* german;
};
using TextPair = BasicTextPair<wchar_t>;
using TextPair8 = BasicTextPair<char>;

template <class Char>
constexpr const Char* Pick(const BasicTextPair<Char>& text, bool german) {
  return german ? text.german : text.english;
}

// A number with its thousands grouped as the language writes them: "52,428,800" or
// "52.428.800".
std::string GroupedNumber(std::uint64_t value, bool german);

// The program's LanguageId lives in its settings record; the record's field is bound
// here once at start, so that every layer reads the one value. Unbound: English.
void BindLanguageId(const std::int32_t* languageId);

// True while the interface is German.
bool IsGerman();

template <class Char>
const Char* Pick(const BasicTextPair<Char>& text) {
  return Pick(text, IsGerman());
}

}  // namespace tomelet
