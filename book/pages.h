#pragma once
// The pages the text pane shows for a contents row, as values: the window places them.
#include <functional>
#include <optional>
#include <string>

#include "book/book_session.h"
#include "book/entry_reader.h"

namespace tomelet {

struct Page {
  enum class Form {
    Bytes,    // 8-bit text: RTF (recognised by its header) or plain text in the ANSI code page
    Message,  // a message about what went wrong, UTF-8, placed as UTF-16
  };
  Form form = Form::Bytes;
  std::string text;
  bool centred = false;  // a picture page: centred, with a little space above
};

// Turns encoded picture bytes into an RTF page (the window side decodes with GDI+);
// nothing when the picture cannot be decoded.
using PictureConverter = std::function<std::optional<std::string>(std::string encoded)>;

// The page for an entry read by ReadChapterEntry: the chapter as stored, the picture
// page, the information page, the attachment page, or the message that says what failed
// (the failure's first line, then libzip's text in brackets on the second).
Page BuildPage(ChapterEntryData entry, bool german, const PictureConverter& toRtf);

// How an entry is read for showing: attachments are opened only (their page shows the
// size), everything else is read whole.
EntryRead ReadForPage(const ChapterEntry& chapter);

}  // namespace tomelet
