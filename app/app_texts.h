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

// Bookmarks: the name dialog, its notes (%1 a book's path) and the Organize dialog.
inline constexpr TextPair kAddBookmarkCaption = {L"Add bookmark", L"Lesezeichen hinzuf\u00fcgen"};
inline constexpr TextPair kRenameBookmarkCaption = {L"Rename bookmark", L"Lesezeichen umbenennen"};
inline constexpr TextPair kBookmarkNameLabel = {L"&Name:", L"&Name:"};
inline constexpr TextPair kOk = {L"OK", L"OK"};
inline constexpr TextPair kCancel = {L"Cancel", L"Abbrechen"};
inline constexpr TextPair kBookmarksNotKept = {
    L"Bookmarks are kept only with Save settings.",
    L"Lesezeichen bleiben nur mit \u201eEinstellungen speichern\u201c erhalten."};
inline constexpr TextPair kBookmarksOfOldestGo = {
    L"Bookmarks are kept for 100 books: those of %1 go.",
    L"Lesezeichen bleiben f\u00fcr 100 B\u00fccher erhalten: Die von %1 fallen weg."};
inline constexpr TextPair kBookmarksFull = {
    L"This book has 200 bookmarks, the most kept: delete one with Organize bookmarks first.",
    L"Dieses Buch hat 200 Lesezeichen, mehr bleiben nicht erhalten: Zuerst eines mit \u201eLesezeichen verwalten\u201c l\u00f6schen."};
inline constexpr TextPair kBookmarksPathTooLong = {
    L"Bookmarks cannot be kept for a book whose path is longer than 259 characters.",
    L"F\u00fcr ein Buch mit einem Pfad von mehr als 259 Zeichen bleiben keine Lesezeichen erhalten."};
inline constexpr TextPair kOrganizeCaption = {L"Organize bookmarks", L"Lesezeichen verwalten"};
inline constexpr TextPair kOrganizeLabel = {L"&Bookmarks of this book:", L"Lesezeichen &dieses Buchs:"};
inline constexpr TextPair kBookmarkColumn = {L"Name", L"Name"};
inline constexpr TextPair kChapterColumn = {L"Chapter", L"Kapitel"};
inline constexpr TextPair kGoTo = {L"&Go to", L"&Gehe zu"};
inline constexpr TextPair kRename = {L"&Rename... (F2)", L"&Umbenennen... (F2)"};
inline constexpr TextPair kDelete = {L"&Delete (Del)", L"&L\u00f6schen (Entf)"};
inline constexpr TextPair kMoveUp = {L"Move &up", L"Nach &oben"};
inline constexpr TextPair kMoveDown = {L"Move do&wn", L"Nach u&nten"};
inline constexpr TextPair kClose = {L"Close", L"Schlie\u00dfen"};

// Labels of the owner-drawn Window menu items, by command id; nullptr for other ids.
const TextPair* MenuItemLabel(unsigned commandId);

}  // namespace tomelet::texts
