#pragma once
// How a source name (an archive entry name, or a whole line of the index file) is read:
// its extension and kind, its level, its title, and whether it continues the chapter
// before it. Everything here is UTF-8 text; positions in the rules are taken in bytes,
// which gives the same result as taking them in characters because every separator
// the rules look for ("#", "-", " ", ".", digits) is ASCII.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tomelet {

// The kind of a row; the character is the kind code kept in a row's display text.
enum class EntryKind : char {
  PlainText = '0',   // never listed
  BookInfo = '1',    // the information file "#META.TXT"
  Chapter = '2',     // RTF
  Picture = '3',     // PNG, JPEG
  Attachment = '4',  // anything else
};

// Longest display text a contents row holds, in UTF-16 code units.
inline constexpr std::size_t kMaxDisplayTextUnits = 259;

// The extension of a source name: the text after its last ".", or the whole name when
// it has no "." (not upper-cased).
std::string_view ExtensionOf(std::string_view sourceName);

// The kind an extension stands for ("TXT" plain text, "RTF" chapter, "PNG"/"JPG"/"JPEG"
// picture, anything else attachment; letter case ignored). Never gives BookInfo.
EntryKind KindOfExtension(std::string_view extension);

// The kind of a source name by its extension alone.
inline EntryKind KindOfName(std::string_view sourceName) { return KindOfExtension(ExtensionOf(sourceName)); }

// True for the information file's name: "#META.TXT" in any letter case.
bool IsBookInfoName(std::string_view sourceName);

// The page a loaded entry is shown as, chosen by its source name: Chapter for "RTF",
// Picture for "PNG"/"JPG"/"JPEG", BookInfo for the information file, Attachment for
// everything else (a plain-text name other than the information file included).
EntryKind PageKindOf(std::string_view sourceName);

// A source name read into a contents row.
struct NameRow {
  EntryKind kind = EntryKind::Attachment;
  char shownLevel = '0';      // '0' to '9'
  bool continuation = false;  // the title is "…"
  std::string title;          // UTF-8, not cut
};

// Reads a source name into a row, or gives nothing when the name is never listed
// (plain-text names and "#" names other than the information file). The information
// file gives the book-information row, titled "[About...]" or, in German, "[Über...]".
std::optional<NameRow> ReadSourceName(std::string_view sourceName, bool german);

// The display text of a contents row: the shown level digit, the kind code and the
// title, cut to kMaxDisplayTextUnits UTF-16 units without splitting a character.
std::string DisplayTextOf(const NameRow& row);

// ReadSourceName and DisplayTextOf together: the display text of the row a source name
// gives, or nothing when it is not listed.
std::optional<std::string> ContentsDisplayText(std::string_view sourceName, bool german);

}  // namespace tomelet
