#pragma once
// Opening a book and building its two tables: the chapter table (every candidate row
// with its source name and archive entry) and the contents rows (the rows the contents
// list shows, each pointing at a chapter-table row).
#include <zip.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "base/zip_handles.h"
#include "book/entry_reader.h"

namespace tomelet {

struct ChapterEntry {
  std::string sourceName;  // UTF-8: the entry name, or the whole index line
  int entryIndex = -1;     // libzip index of the archive entry
};

struct ContentsRow {
  std::string displayText;  // shown level digit, kind code, title (at most 259 UTF-16 units)
  int chapterRow = -1;      // row of the chapter table
};

// The most rows an index file gives: a window lists this many in about two seconds under
// Wine (bench/windows/window_list_bench). Real books have far fewer.
inline constexpr std::size_t kMaxIndexRows = 400000;

// How much of the index file was read. An index the show rule refuses (packed like a
// bomb) is read only as far as the rule admits (a line cut there is kept when its token
// is whole); the lines after the kMaxIndexRows-th that names an entry are left out.
struct IndexReading {
  bool cut = false;           // the rest of the file was left out
  std::size_t linesRead = 0;  // non-empty lines taken into account
};

struct TableOfContents {
  bool hasIndexFile = false;  // the rows follow the index file, not the sorted entry names
  IndexReading index;
  std::vector<ChapterEntry> chapters;
  std::vector<ContentsRow> rows;
};

enum class OpenStatus { Opened = 0, CannotOpen = -1, Empty = -2 };

struct OpenedBook {
  OpenStatus status = OpenStatus::CannotOpen;
  ZipArchivePtr archive;  // set only when status is Opened
};

// Opens a book read-only from a UTF-8 path; an archive without entries is refused.
OpenedBook OpenBookArchive(const std::string& utf8Path);

// The same from bytes in memory, which must outlive the archive.
OpenedBook OpenBookArchiveFromBuffer(std::string_view bytes);

// Name of the index file, found ignoring letter case at the top level of the archive.
inline constexpr const char* kIndexFileName = "#INDEX.TXT";

// The index file's archive entry, or -1 when the book has none.
zip_int64_t LocateIndexFile(zip_t* archive);

// The chapter table. Without an index file: every entry, its name made valid UTF-8,
// sorted ascending by the user's locale's case-insensitive order (equal names keep
// archive order). With one: every index line whose token is the exact name of an entry,
// in file order. The index file is read through ReadEntry with `beforeOpen` and
// `indexLimit`; when it cannot be read the table is empty. `hasIndexFile` (when given)
// tells which case it was, `reading` how much of the index was read.
std::vector<ChapterEntry> BuildChapterTable(zip_t* archive, const BeforeOpenHook& beforeOpen = {},
                                            bool* hasIndexFile = nullptr,
                                            zip_uint64_t indexLimit = DefaultEntrySizeLimit(),
                                            IndexReading* reading = nullptr);

// The contents rows of a chapter table, in its order; names that are not listed give no
// row. `german` chooses the title of the book-information row.
std::vector<ContentsRow> BuildContentsRows(const std::vector<ChapterEntry>& chapters, bool german);

// Both tables. Never throws: when memory runs out the tables are empty.
TableOfContents BuildTableOfContents(zip_t* archive, bool german, const BeforeOpenHook& beforeOpen = {},
                                     zip_uint64_t indexLimit = DefaultEntrySizeLimit());

}  // namespace tomelet
