#pragma once
// File > Export book as KeyNote file...: dialog 50, where the user names the file and
// picks the RTF chapters and pictures to export, and the writer behind its OK button.
#include <windows.h>

#include <string>

#include "book/book_session.h"
#include "output/keynote_writer.h"

namespace tomelet {

// Runs the dialog modally, owned by `owner`. `listFont` is the contents list's font;
// `ask` the password dialog.
void ExportDialog(HWND owner, HINSTANCE instance, BookSession& session, HFONT listFont, const PasswordAsker& ask);

// Writes the rows selected in `exportList` (rows of the dialog's list, each with its
// chapter-table row as item data) to `path` and reports the outcome in a message box
// owned by `owner`. A failure leaves an existing file at `path` as it was.
ExportState WriteKeyNoteFile(HWND owner, HWND exportList, const std::wstring& path, BookSession& session,
                             const PasswordAsker& ask);

}  // namespace tomelet
