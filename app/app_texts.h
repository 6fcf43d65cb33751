#pragma once
// Texts of the application shell, English and German.
#include "app/language.h"

namespace tomelet::texts {

inline constexpr wchar_t kProgramCaption[] = L"Tomelet viewer";

extern const TextPair kRichEditMissing;

// Opening a book; the path follows the text.
inline constexpr TextPair kErrorOpeningFile = {L"Error opening file\r", L"Fehler beim \u00d6ffnen der Datei\r"};
inline constexpr TextPair kFileIsEmpty = {L"The file is empty!\r\r", L"Die Datei ist leer!\r\r"};
// An index file read only in part (book/table_of_contents.h); %1 is the number of lines.
inline constexpr TextPair kIndexCut = {
    L"The book's index file is too long: only its first %1 lines were read, the rest is left out.",
    L"Die Indexdatei des Buchs ist zu lang: Nur ihre ersten %1 Zeilen wurden gelesen, der Rest fehlt."};
inline constexpr wchar_t kTitlePrefix[] = L"Tomelet: ";

// Labels of the owner-drawn Window menu items, by command id; nullptr for other ids.
const TextPair* MenuItemLabel(unsigned commandId);

}  // namespace tomelet::texts
