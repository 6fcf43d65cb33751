// A whole book from memory, read as the window, saving and the export read it: every row
// through the password rule and the entry reader, the page builders, the show rule, the
// name the save dialog offers, and the KeyNote writer (into memory).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "book/book_session.h"
#include "book/name_rules.h"
#include "book/pages.h"
#include "book/table_of_contents.h"
#include "output/file_sink.h"
#include "output/keynote_writer.h"
#include "output/save_rules.h"

namespace {

using namespace tomelet;

constexpr zip_uint64_t kFuzzEntryLimit = zip_uint64_t{8} << 20;
constexpr std::size_t kMaxRows = 256;

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  OpenedBook book = OpenBookArchiveFromBuffer(bytes);
  if (book.status != OpenStatus::Opened) return 0;
  BookSession session;
  session.archive = std::move(book.archive);
  // The first dialog gets a password that passes a PKWARE check now and then, the second
  // one the right one, then Cancel.
  int asked = 0;
  const PasswordAsker ask = [&asked]() -> std::optional<PasswordAnswer> {
    ++asked;
    if (asked > 2) return std::nullopt;
    return PasswordAnswer{asked == 1 ? "w7" : "secret", false};
  };
  TableOfContents toc = BuildTableOfContents(session.archive.get(), false, [&](zip_uint64_t entry, const EntryInfo& info) {
    AskPasswordIfNeeded(session, entry, info, ask);
  }, kFuzzEntryLimit);
  session.chapters = std::move(toc.chapters);
  session.rows = std::move(toc.rows);
  const auto toRtf = [](std::string encoded) -> std::optional<std::string> {
    if (encoded.size() < 8) return std::nullopt;
    return "{\\pict " + encoded.substr(0, 8) + "}";
  };
  std::vector<KeyNoteNode> nodes;
  for (std::size_t row = 0; row < session.rows.size() && row < kMaxRows; ++row) {
    const ChapterEntry& chapter = session.chapters[static_cast<std::size_t>(session.rows[row].chapterRow)];
    const std::wstring offered = SaveNameOffered(chapter.sourceName);
    Check(offered.find_first_of(L"\\/:*?\"<>|") == std::wstring::npos);
    Check(offered.empty() || (offered.back() != L'.' && offered.back() != L' '));
    ChapterEntryData entry = ReadChapterEntry(session, static_cast<int>(row), ask, ReadForPage(chapter), kFuzzEntryLimit);
    // A password is held only after it has read an entry whole.
    if (entry.status == EntryStatus::CannotOpen) Check(session.password.empty());
    const bool picture = PageKindOf(chapter.sourceName) == EntryKind::Picture;
    const Page page = BuildPage(std::move(entry), row % 2 == 1, toRtf);
    Check(page.form == Page::Form::Bytes || !page.text.empty());
    nodes.push_back({static_cast<int>(row % 10), picture, "node", static_cast<int>(row)});
  }
  StringSink sink;
  const KeyNoteResult result = WriteKeyNote(sink, session, "fuzz.knt", nodes, ask, toRtf, kFuzzEntryLimit);
  Check(result.state != ExportState::WriteFailed);
  Check(sink.text.starts_with(KeyNoteHead("fuzz.knt")));
  Check((result.state == ExportState::Done) == sink.text.ends_with(kKeyNoteEnd));
  return 0;
}
