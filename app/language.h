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

// Primary language of the user's UI language (7 for every German variant).
int UserUiPrimaryLanguage();

// The language commands: automatic (6999), English (7000), German (7009). The menu of
// the new language replaces the old one at once; texts chosen later follow it.
void ChooseLanguage(unsigned command);

}  // namespace tomelet
