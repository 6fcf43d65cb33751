#pragma once
// The KeyNote 2.0 outline file ("#!GFKNT 2.0"): one note named after the file, one node
// per exported row in the order of the table of contents, each node's text the chapter's
// RTF as stored or the RTF of a picture. Every line the writer makes ends in CR LF; the
// bodies are copied as they are; the file ends in "%%" with no line end.
#include <zip.h>

#include <string>
#include <string_view>
#include <vector>

#include "book/book_session.h"
#include "book/pages.h"
#include "output/file_sink.h"

namespace tomelet {

enum class ExportState {
  Done = 0,
  NotCreated = 1,         // the file could not be created
  WriteFailed = 2,        // a write failed
  CannotOpenChapter = 3,  // an entry did not open (a wrong or missing password)
  CannotLoadChapter = 4,  // an entry too short, damaged or too large to read
};

// One exported row: its level, kind, title (8-bit, ANSI code page) and the contents row
// whose entry is its text.
struct KeyNoteNode {
  int level = 0;
  bool picture = false;
  std::string title;
  int contentsRow = -1;
};

struct KeyNoteResult {
  ExportState state = ExportState::Done;
  std::string failedTitle;  // the title of the node that stopped the export
  std::string errorText;    // libzip's text when an entry did not open
};

// Lines 1 to 4: format line, fixed line, the note's start, "NN=" and the note name.
std::string KeyNoteHead(std::string_view noteName);
// A node's lines up to its text: "%-", "LV=" level, "ND=" title, the fixed "NF=" line, "%:".
std::string KeyNoteNodeHead(int level, std::string_view title);
inline constexpr std::string_view kKeyNoteEnd = "%%";

// Writes the file: the head, then per node its lines and its text read through
// ReadChapterEntry (pictures through `toRtf`; an empty text when it gives nothing), then
// "%%". Stops at the first failure. An entry that does not open while the user chose not
// to be asked for passwords again leaves its node without text, and the export goes on.
KeyNoteResult WriteKeyNote(FileSink& out, BookSession& session, std::string_view noteName,
                           const std::vector<KeyNoteNode>& nodes, const PasswordAsker& ask,
                           const PictureConverter& toRtf, zip_uint64_t limit = DefaultEntrySizeLimit());

}  // namespace tomelet
