#pragma once
// Texts of the application shell, English and German.
#include "app/language.h"

namespace tomelet::texts {

inline constexpr wchar_t kProgramCaption[] = L"Tomelet viewer";

extern const TextPair kRichEditMissing;

// Labels of the owner-drawn Window menu items, by command id; nullptr for other ids.
const TextPair* MenuItemLabel(unsigned commandId);

}  // namespace tomelet::texts
