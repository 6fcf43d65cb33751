#pragma once
// The rules of saving a chapter and of the KeyNote export that need no window: the save
// dialog's filters, the name a picture is saved under, the export dialog's proposed
// name, its OK rule and suffix check, and the rows of its list. Paths and dialog texts
// are wide strings (UTF-16 on Windows); names and titles from the book are UTF-8.
#include <cstddef>
#include <string>
#include <string_view>

namespace tomelet {

// What the save dialog offers, chosen by the entry name's extension.
enum class SaveClass {
  Picture,  // "PNG", "JPG", "JPEG": also as an RTF document that embeds the picture
  RtfText,  // "RTF"
  Other,    // attachments, the information file
};

// The extension of an entry name (after its last ".", the whole name without one),
// upper-cased.
std::string SaveExtensionOf(std::string_view entryName);
SaveClass SaveClassOf(std::string_view entryName);

// The save dialog's filters as the common dialog wants them: caption, NUL, pattern, NUL,
// ..., and a second NUL at the end. Filter 1 is preselected.
std::wstring SaveFilters(SaveClass kind, bool german);
// "rtf" for pictures and RTF text, empty for everything else.
const wchar_t* SaveDefaultExtension(SaveClass kind);

// How the entry is written to the chosen file.
enum class SaveForm {
  AsStored,        // the entry's bytes unchanged
  PngDocument,     // an RTF document embedding the PNG picture (\pngblip)
  JpegDocument,    // the same for a JPEG picture (\jpegblip)
};

// Pictures saved with filter 1 (1-based, as the dialog reports it) become an RTF
// document; everything else is written as stored.
SaveForm SaveFormOf(SaveClass kind, std::string_view entryName, unsigned filterIndex);

// The file a picture document goes to: a chosen name ending in .png, .jpg or .jpeg (in
// any case) gets ".rtf" appended, so the RTF text never hides behind a picture's name.
std::wstring SaveTargetName(std::wstring_view chosen, SaveForm form);

// The entry name offered in the save dialog, a plain file name whatever the book holds:
// the part after the last "/" or "\", as UTF-16, cut to 259 units; characters Windows
// refuses in names (control characters, < > : " / \ | ? *) become "_", trailing dots and
// blanks go, and a device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9, with any extension)
// gets a "_" in front. The user can still type any path.
std::wstring SaveNameOffered(std::string_view entryName);

// --- the KeyNote export dialog ----------------------------------------------------------

// The book path up to and including its last ".", then "knt"; "knt" when it has none.
std::wstring ProposedKeyNoteName(std::wstring_view bookPath);

// OK is enabled when at least one row is selected and the name has more than 4 characters.
constexpr bool ExportOkEnabled(std::size_t selectedRows, std::size_t nameLength) {
  return selectedRows > 0 && nameLength > 4;
}

// The text from the last "." to the end, dot included, upper-cased; empty without a ".".
std::wstring NameSuffix(std::wstring_view name);
inline bool IsKeyNoteSuffix(std::wstring_view suffix) { return suffix == L".KNT"; }

// The file dialog of the export: KeyNote files and all files; the KeyNote filter (1) is
// preselected when the name ends in "knt" in any case, otherwise all files (2).
std::wstring KeyNoteFilters(bool german);
unsigned KeyNoteFilterFor(std::wstring_view name);

// A row of the export list for a contents row's display text (level digit, kind code,
// title): four blanks per level, U+25AA for an RTF chapter or U+25AB for a picture, the
// title; cut to 259 UTF-16 units. Empty for rows that are never exported.
std::wstring ExportRowText(std::string_view displayText);

// An export row read back: level, kind and title.
struct ExportRow {
  int level = 0;
  bool picture = false;
  std::wstring title;
};
ExportRow ReadExportRow(std::wstring_view text);

// --- names in the KeyNote file ------------------------------------------------------------

// The note's name: the path after its last backslash, the whole path without one.
std::wstring NoteNameOf(std::wstring_view path);

// A name or title as 8-bit text in the ANSI code page; when some character has no
// representation there, every character beyond ASCII becomes "?" instead.
std::string AnsiOrQuestionMarks(std::string_view utf8);

}  // namespace tomelet
