#pragma once
// The open book as data: its archive, its two tables, and its password state. Every
// reader of an entry (the chapter loader, the search walk, saving, the KeyNote export)
// goes through ReadChapterEntry, so the steps "information, password, open, read whole
// and check" are written once.
#include <zip.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/zip_handles.h"
#include "book/entry_reader.h"
#include "book/table_of_contents.h"

namespace tomelet {

// What the user answered in the password dialog.
struct PasswordAnswer {
  std::string typedUtf8;      // the password as typed
  bool dontAskAgain = false;  // the box that stops further prompts for this book
};

// Shows the password dialog; nothing when the user cancelled it. The caller of the book
// layer supplies it (the dialog belongs to the window).
using PasswordAsker = std::function<std::optional<PasswordAnswer>()>;

struct BookSession {
  ZipArchivePtr archive;       // null while no book is open
  std::wstring bookPath;       // the book to open / the open book
  std::string password;        // held password as given to libzip (ANSI or UTF-8 bytes); empty = none
  bool dontAskPassword = false;
  bool firstLoadDone = false;  // the first chapter load of the run has happened
  std::vector<ChapterEntry> chapters;  // the chapter table of the last successful opening
  std::vector<ContentsRow> rows;       // what the contents list shows, in the same order
  IndexReading index;                  // how much of its index file was read
};

// Longest password kept, in bytes of the ANSI code page.
inline constexpr std::size_t kMaxPasswordBytes = 511;

// Replaces the open book by the one at `path` (cut at 259 characters). The password
// state is cleared before the new book's index file is read, so an old book's password
// never stands in for the new one's and the index file's password also opens chapters.
// After a failure no book is open and the tables keep the previous book's rows.
OpenStatus OpenBookFile(BookSession& session, const std::wstring& path, bool german, const PasswordAsker& ask);

// The one password rule: an encrypted entry while no password is held and the user has
// not asked to stop being asked brings up the dialog; the password typed becomes the
// book's default password. It is held only when the entry it was typed for reads with
// it (at most `checkBytes` of it, and no more than the show rule admits): a wrong password can pass the opening's one-byte check and then fail with a
// checksum or inflate error, so such a failure refuses it (true is returned, and the
// next encrypted entry asks again). When its ANSI form is refused and it has characters
// beyond ASCII, its UTF-8 form (what many ZIP tools write) is tried once; the form that
// reads the entry is kept.
bool AskPasswordIfNeeded(BookSession& session, zip_uint64_t entry, const EntryInfo& info, const PasswordAsker& ask,
                         zip_uint64_t checkBytes = UINT64_MAX);

// How much of an attachment is read to check a password typed for it.
inline constexpr zip_uint64_t kAttachmentCheckBytes = zip_uint64_t{64} << 10;

// How much of an entry ReadChapterEntry takes: all of it, all of it when the show rule
// lets it be shown (NotShown otherwise), or nothing.
enum class EntryRead { Whole, ToShow, OpenOnly };

// Entries of this many bytes or fewer hold nothing worth showing or saving.
inline constexpr zip_uint64_t kShortEntryBytes = 3;

struct ChapterEntryData : EntryData {
  const ChapterEntry* chapter = nullptr;  // the row's chapter-table entry (null: no such row)
};

// Reads the archive entry behind contents row `row`: information, the password rule,
// opening, and (for Whole and ToShow) the whole entry, checked. A row without a valid
// entry gives NoInformation; an entry that does not open, or refuses the password just
// typed for it, gives CannotOpen and drops the held password, so the next encrypted
// entry asks again (a password that has read an entry stays when a later one is
// damaged); an entry of 3 bytes or fewer gives TooShort after it was opened.
ChapterEntryData ReadChapterEntry(BookSession& session, int row, const PasswordAsker& ask,
                                  EntryRead how = EntryRead::Whole, zip_uint64_t limit = DefaultEntrySizeLimit());

}  // namespace tomelet
