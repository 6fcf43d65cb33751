#pragma once
// The interface language commands. The language rule itself and the text pairs are in
// base/language.h, so that every layer can use them.
#include "base/language.h"

namespace tomelet {

// Primary language of the user's UI language (7 for every German variant).
int UserUiPrimaryLanguage();

// The language commands: automatic (6999), English (7000), German (7009). The menu of
// the new language replaces the old one at once; texts chosen later follow it.
void ChooseLanguage(unsigned command);

}  // namespace tomelet
