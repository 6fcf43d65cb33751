#include "book/table_of_contents.h"

#include <algorithm>
#include <climits>
#include <new>

#include "base/text.h"
#include "book/index_file.h"
#include "book/name_rules.h"
#include "book/show_rule.h"

namespace tomelet {
namespace {

OpenedBook Checked(zip_t* archive) {
  OpenedBook book;
  if (!archive) return book;
  book.archive.reset(archive);
  if (zip_get_num_entries(archive, 0) < 1) {
    book.archive.reset();
    book.status = OpenStatus::Empty;
    return book;
  }
  book.status = OpenStatus::Opened;
  return book;
}

// Entry indices beyond the range of a row's 32-bit index are not listed.
zip_int64_t ListableEntries(zip_t* archive) {
  const zip_int64_t count = zip_get_num_entries(archive, 0);
  return std::clamp<zip_int64_t>(count, 0, INT_MAX);
}

std::vector<ChapterEntry> SortedEntryNames(zip_t* archive) {
  const zip_int64_t count = ListableEntries(archive);
  std::vector<ChapterEntry> names;
  std::vector<std::string> keys;  // computed once per name
  names.reserve(static_cast<std::size_t>(count));
  keys.reserve(static_cast<std::size_t>(count));
  for (zip_int64_t i = 0; i < count; ++i) {
    const char* name = zip_get_name(archive, static_cast<zip_uint64_t>(i), 0);
    if (!name) continue;
    names.push_back({SanitizeUtf8(name), static_cast<int>(i)});
    keys.push_back(CollationKey(names.back().sourceName));
  }
  std::vector<std::size_t> order(names.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
  std::vector<ChapterEntry> chapters;
  chapters.reserve(names.size());
  for (std::size_t i : order) chapters.push_back(std::move(names[i]));
  return chapters;
}

// The index file's bytes: whole, or, when the show rule refuses it (an index packed like
// a bomb), its first kAlwaysShownBytes.
EntryData ReadIndexBytes(zip_t* archive, zip_uint64_t indexEntry, const BeforeOpenHook& beforeOpen,
                         zip_uint64_t limit, bool& cut) {
  EntryData index;
  index.status = StatEntry(archive, indexEntry, index.info);
  if (index.status != EntryStatus::Ok) return index;
  if (JudgeShowing(index.info.size, index.info.compressedSize) == ShowVerdict::Show)
    return ReadEntry(archive, indexEntry, beforeOpen, limit);
  if (beforeOpen) beforeOpen(indexEntry, index.info);
  ZipFilePtr file;
  index.status = OpenEntry(archive, indexEntry, file, index.errorText);
  if (index.status != EntryStatus::Ok) return index;
  bool complete = false;
  index.status = ReadOpenedEntryStart(file.get(), index.info.size, kAlwaysShownBytes, index.bytes, complete,
                                      index.errorText);
  if (index.status == EntryStatus::Ok && !complete) {
    // The last line read is kept when its token is whole (it names the entry it names in
    // the file); its title may be cut.
    cut = true;
    const std::size_t lineEnd = index.bytes.find_last_of("\r\n");
    const std::size_t lastLine = lineEnd == std::string::npos ? 0 : lineEnd + 1;
    if (IndexLineToken(std::string_view(index.bytes).substr(lastLine)).empty()) index.bytes.resize(lastLine);
  }
  return index;
}

std::vector<ChapterEntry> IndexedLines(zip_t* archive, zip_uint64_t indexEntry, const BeforeOpenHook& beforeOpen,
                                       zip_uint64_t limit, IndexReading& reading) {
  std::vector<ChapterEntry> chapters;
  std::string text;
  {
    EntryData index = ReadIndexBytes(archive, indexEntry, beforeOpen, limit, reading.cut);
    if (index.status != EntryStatus::Ok) return chapters;
    text = DecodeIndexText(index.bytes);
  }
  std::string token;
  const std::vector<std::string_view> lines = SplitIndexLines(text);
  reading.linesRead = lines.size();
  for (std::size_t n = 0; n < lines.size(); ++n) {
    const std::string_view line = lines[n];
    const std::string_view t = IndexLineToken(line);
    // Entry names hold no NUL, and a token cut at one would name the wrong entry.
    if (t.empty() || t.find('\0') != std::string_view::npos) continue;
    token.assign(t);
    const zip_int64_t entry = zip_name_locate(archive, token.c_str(), 0);
    if (entry < 0 || entry > INT_MAX) continue;
    if (chapters.size() == kMaxIndexRows) {  // the rest is left out
      reading.cut = true;
      reading.linesRead = n;
      break;
    }
    chapters.push_back({std::string(line), static_cast<int>(entry)});
  }
  return chapters;
}

}  // namespace

OpenedBook OpenBookArchive(const std::string& utf8Path) {
  if (utf8Path.empty() || utf8Path.find('\0') != std::string::npos) return {};
  int error = 0;
  return Checked(zip_open(utf8Path.c_str(), ZIP_RDONLY, &error));
}

OpenedBook OpenBookArchiveFromBuffer(std::string_view bytes) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
  zip_t* archive = source ? zip_open_from_source(source, ZIP_RDONLY, &error) : nullptr;
  if (source && !archive) zip_source_free(source);
  zip_error_fini(&error);
  return Checked(archive);
}

zip_int64_t LocateIndexFile(zip_t* archive) {
  return archive ? zip_name_locate(archive, kIndexFileName, ZIP_FL_NOCASE) : -1;
}

std::vector<ChapterEntry> BuildChapterTable(zip_t* archive, const BeforeOpenHook& beforeOpen, bool* hasIndexFile,
                                            zip_uint64_t indexLimit, IndexReading* reading) {
  IndexReading ignored;
  IndexReading& read = reading ? *reading : ignored;
  read = {};
  if (hasIndexFile) *hasIndexFile = false;
  if (!archive) return {};
  const zip_int64_t index = LocateIndexFile(archive);
  if (hasIndexFile) *hasIndexFile = index >= 0;
  try {
    return index >= 0 ? IndexedLines(archive, static_cast<zip_uint64_t>(index), beforeOpen, indexLimit, read)
                      : SortedEntryNames(archive);
  } catch (const std::bad_alloc&) {
    return {};
  }
}

std::vector<ContentsRow> BuildContentsRows(const std::vector<ChapterEntry>& chapters, bool german) {
  std::vector<ContentsRow> rows;
  try {
    rows.reserve(chapters.size());
    for (std::size_t r = 0; r < chapters.size(); ++r) {
      std::optional<std::string> text = ContentsDisplayText(chapters[r].sourceName, german);
      if (text) rows.push_back({std::move(*text), static_cast<int>(r)});
    }
  } catch (const std::bad_alloc&) {
    rows.clear();
  }
  return rows;
}

TableOfContents BuildTableOfContents(zip_t* archive, bool german, const BeforeOpenHook& beforeOpen,
                                     zip_uint64_t indexLimit) {
  TableOfContents toc;
  toc.chapters = BuildChapterTable(archive, beforeOpen, &toc.hasIndexFile, indexLimit, &toc.index);
  toc.rows = BuildContentsRows(toc.chapters, german);
  return toc;
}

}  // namespace tomelet
