#pragma once
// The interface language rule: LanguageId 7 means German, every other value English.
// Each module keeps its English/German text pairs in one table and picks them with Pick().

namespace tomelet {

bool IsGerman();

struct TextPair {
  const wchar_t* english;
  const wchar_t* german;
};

inline const wchar_t* Pick(const TextPair& text) { return IsGerman() ? text.german : text.english; }

}  // namespace tomelet
