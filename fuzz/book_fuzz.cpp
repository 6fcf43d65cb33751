// Feeds one input to the book-format code four ways: as a source name, as the bytes of
// an index file and of an information file, and as a whole book archive whose contents
// are built and whose every entry is read, through the entry reader and the page builder
// as the window reads it (a password given once) and through the bare reader.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "book/attachment_page.h"
#include "book/book_session.h"
#include "book/entry_reader.h"
#include "book/index_file.h"
#include "book/info_page.h"
#include "book/name_rules.h"
#include "book/pages.h"
#include "book/table_of_contents.h"
#include "base/text.h"

namespace {

using namespace tomelet;

// Entries above this size are not read here (the reader refuses them before allocating).
constexpr zip_uint64_t kFuzzEntryLimit = zip_uint64_t{8} << 20;
constexpr zip_uint64_t kMaxEntriesRead = 256;

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

void CheckDisplayText(const std::string& text) {
  Check(text.size() >= 2);
  Check(text[0] >= '0' && text[0] <= '9');
  Check(text[1] >= '1' && text[1] <= '4');
}

void SourceName(std::string_view bytes) {
  const std::string name = SanitizeUtf8(bytes);
  for (bool german : {false, true}) {
    const std::optional<std::string> text = ContentsDisplayText(name, german);
    if (text) {
      CheckDisplayText(*text);
      Check(Utf16Length(*text) <= kMaxDisplayTextUnits);
      Check(SanitizeUtf8(*text) == *text);
    }
  }
  (void)PageKindOf(name);
  const std::string page = BuildAttachmentPage(name, bytes.size(), false);
  for (char c : page) Check(static_cast<unsigned char>(c) >= 0x20 && static_cast<unsigned char>(c) < 0x80);
}

void IndexBytes(std::string_view bytes) {
  const std::string text = DecodeIndexText(bytes);
  Check(SanitizeUtf8(text) == text);
  for (std::string_view line : SplitIndexLines(text)) {
    Check(!line.empty() && line.find_first_of("\r\n") == std::string_view::npos);
    const std::string_view token = IndexLineToken(line);
    Check(token.find_first_of("- ") == std::string_view::npos);
    if (const std::optional<std::string> shown = ContentsDisplayText(line, false)) CheckDisplayText(*shown);
  }
}

// The information page stays one RTF group of 7-bit text and CRs, whatever the bytes.
void InfoBytes(std::string_view bytes) {
  const std::optional<std::string> page = BuildInfoPage(bytes);
  Check(page.has_value() == !bytes.empty());
  if (!page) return;
  int depth = 0;
  for (std::size_t i = 0; i < page->size(); ++i) {
    const auto c = static_cast<unsigned char>((*page)[i]);
    Check(c == '\r' || (c >= 32 && c < 128));
    if (c == '\\') ++i;
    else if (c == '{') ++depth;
    else if (c == '}') Check(--depth > 0 || i + 1 == page->size());
  }
  Check(depth == 0);
}

// Every row read as the window reads it: the password rule, the entry reader, the page.
void Rows(OpenedBook book) {
  BookSession session;
  session.archive = std::move(book.archive);
  int asked = 0;
  const PasswordAsker ask = [&asked]() -> std::optional<PasswordAnswer> {
    if (asked++) return std::nullopt;
    return PasswordAnswer{"secret", false};
  };
  TableOfContents toc = BuildTableOfContents(session.archive.get(), false, [&](zip_uint64_t entry, const EntryInfo& info) {
    AskPasswordIfNeeded(session, entry, info, ask);
  }, kFuzzEntryLimit);
  session.chapters = std::move(toc.chapters);
  session.rows = std::move(toc.rows);
  for (std::size_t row = 0; row < session.rows.size() && row < kMaxEntriesRead; ++row) {
    const ChapterEntry& chapter = session.chapters[static_cast<std::size_t>(session.rows[row].chapterRow)];
    ChapterEntryData data = ReadChapterEntry(session, static_cast<int>(row), ask, ReadForPage(chapter), kFuzzEntryLimit);
    Check(data.chapter == &chapter);
    Check(data.status == EntryStatus::Ok ? data.bytes.size() == data.info.size || ReadForPage(chapter) == EntryRead::OpenOnly
                                         : data.bytes.empty());
    const Page page = BuildPage(std::move(data), false, [](std::string) { return std::optional<std::string>(); });
    Check(page.form == Page::Form::Bytes || !page.text.empty());
  }
  Check(ReadChapterEntry(session, -1, ask).status == EntryStatus::NoInformation);
}

void Archive(std::string_view bytes) {
  OpenedBook book = OpenBookArchiveFromBuffer(bytes);
  if (book.status != OpenStatus::Opened) return;
  zip_t* archive = book.archive.get();
  zip_set_default_password(archive, "secret");
  const TableOfContents toc = BuildTableOfContents(archive, false, [](zip_uint64_t, const EntryInfo&) {}, kFuzzEntryLimit);
  const zip_int64_t entries = zip_get_num_entries(archive, 0);
  for (const ContentsRow& row : toc.rows) {
    Check(row.chapterRow >= 0 && static_cast<std::size_t>(row.chapterRow) < toc.chapters.size());
    CheckDisplayText(row.displayText);
    const ChapterEntry& chapter = toc.chapters[static_cast<std::size_t>(row.chapterRow)];
    Check(chapter.entryIndex >= 0 && chapter.entryIndex < entries);
  }
  for (zip_int64_t i = 0; i < entries && static_cast<zip_uint64_t>(i) < kMaxEntriesRead; ++i) {
    const EntryData data = ReadEntry(archive, static_cast<zip_uint64_t>(i), {}, kFuzzEntryLimit);
    if (data.status == EntryStatus::Ok)
      Check(data.bytes.size() == data.info.size);
    else
      Check(data.bytes.empty());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  SourceName(bytes);
  IndexBytes(bytes);
  InfoBytes(bytes);
  Archive(bytes);
  Rows(OpenBookArchiveFromBuffer(bytes));
  return 0;
}
