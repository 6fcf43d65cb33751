#pragma once
// Texts of opening and showing books, English and German.
#include "app/language.h"

namespace tomelet::texts {

inline constexpr TextPair kErrorOpeningFile = {L"Error opening file\r", L"Fehler beim \u00d6ffnen der Datei\r"};
inline constexpr TextPair kFileIsEmpty = {L"The file is empty!\r\r", L"Die Datei ist leer!\r\r"};
inline constexpr TextPair kNoChapterInformation = {L"Could not obtain file information of chapter.",
                                                   L"Konnte die Dateiinformationen zum Kapitel nicht ermitteln."};
inline constexpr TextPair kCannotOpenChapter = {L"Could not open chapter.", L"Konnte Kapitel nicht \u00f6ffnen."};
inline constexpr TextPair kCannotLoadText = {L"Could not load the chapter's text.",
                                             L"Konnte Text des Kapitels nicht laden."};
// A chapter that opened but could not be read whole (damaged data, checksum error) or
// that is too large to hold in memory.
inline constexpr TextPair kCannotReadChapter = {L"Could not read chapter.", L"Konnte Kapitel nicht lesen."};
inline constexpr TextPair kChapterTooLarge = {L"The chapter is too large to be shown.",
                                              L"Das Kapitel ist zu gro\u00df, um angezeigt zu werden."};

inline constexpr wchar_t kTitlePrefix[] = L"Tomelet: ";

}  // namespace tomelet::texts
