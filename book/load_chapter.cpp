// Showing one row of the contents list in the text pane: a chapter, a picture, the
// book-information page, an attachment page, or a message that says what went wrong.
#include <windows.h>
#include <richedit.h>

#include "app/main_window.h"
#include "app/viewer.h"
#include "base/wide.h"
#include "book/attachment_page.h"
#include "book/book_session.h"
#include "book/book_texts.h"
#include "book/info_page.h"
#include "book/name_rules.h"
#include "book/password_prompt.h"
#include "view/picture_to_rtf.h"

namespace tomelet {
namespace {

// 8-bit pages: RTF (recognised by its header) or, for chapters that are not RTF, plain
// text in the ANSI code page.
void PlaceBytes(const std::string& bytes) {
  SETTEXTEX how{ST_DEFAULT, CP_ACP};
  SendMessageW(Main().textPane, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how),
               reinterpret_cast<LPARAM>(bytes.c_str()));
}

void PlaceMessage(const std::wstring& text) {
  SETTEXTEX how{ST_DEFAULT, 1200};
  SendMessageW(Main().textPane, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how),
               reinterpret_cast<LPARAM>(text.c_str()));
}

// The first line names what failed, the second holds libzip's text.
std::wstring MessageWithDetail(const TextPair& message, const std::string& detail) {
  return std::wstring(Pick(message)) + L"\r\n(\"" + Utf8ToWide(detail) + L"\")";
}

void CentrePicture() {
  PARAFORMAT2 format{};
  format.cbSize = sizeof(format);
  format.dwMask = PFM_ALIGNMENT | PFM_SPACEBEFORE;
  format.wAlignment = PFA_CENTER;
  format.dySpaceBefore = 100;
  SendMessageW(Main().textPane, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
}

// Reads the opened entry; on failure the text pane says why and nothing is returned.
std::optional<std::string> ReadWhole(zip_file_t* file, zip_uint64_t size) {
  std::string bytes, error;
  const EntryStatus status = ReadOpenedEntry(file, size, bytes, error);
  if (status == EntryStatus::Ok) return bytes;
  if (status == EntryStatus::TooLarge) PlaceMessage(Pick(texts::kChapterTooLarge));
  else PlaceMessage(MessageWithDetail(texts::kCannotReadChapter, error));
  return std::nullopt;
}

void ShowPage(zip_file_t* file, const EntryInfo& info, const std::string& sourceName) {
  switch (PageKindOf(sourceName)) {
    case EntryKind::Chapter:
      if (auto bytes = ReadWhole(file, info.size)) PlaceBytes(*bytes);
      break;
    case EntryKind::Picture:
      if (auto bytes = ReadWhole(file, info.size)) {
        PlaceBytes(PictureToRtf(std::move(*bytes)).value_or(std::string()));
        CentrePicture();
      }
      break;
    case EntryKind::BookInfo:
      if (auto bytes = ReadWhole(file, info.size)) PlaceBytes(BuildInfoPage(*bytes).value_or(std::string()));
      break;
    default:
      PlaceBytes(BuildAttachmentPage(sourceName, info.size, IsGerman()));
      break;
  }
}

void RestoreReadingPlace() {
  BookSession& session = Session();
  const HWND pane = Main().textPane;
  if (session.firstLoadDone) {
    SendMessageW(pane, EM_SETSEL, 0, 0);
    UpdateMenuState();
    return;
  }
  session.firstLoadDone = true;
  RememberedPlace& place = TheProgram().place;
  if (session.bookPath == place.lastArchiveFile) {
    place.lastArchiveFile.clear();
    SendMessageW(pane, EM_SETSEL, static_cast<WPARAM>(place.lastChapterPosition), place.lastChapterPosition);
    place.lastChapterPosition = 0;
  }
}

}  // namespace

LoadStatus LoadChapter(int row) {
  BookSession& session = Session();
  if (row < 0 || !session.archive || static_cast<std::size_t>(row) >= session.rows.size())
    return LoadStatus::NothingToShow;
  SendMessageW(Main().contentsList, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
  const int chapterRow = session.rows[static_cast<std::size_t>(row)].chapterRow;
  if (chapterRow < 0 || static_cast<std::size_t>(chapterRow) >= session.chapters.size())
    return LoadStatus::NothingToShow;
  const ChapterEntry& chapter = session.chapters[static_cast<std::size_t>(chapterRow)];
  zip_t* archive = session.archive.get();
  const auto entry = static_cast<zip_uint64_t>(chapter.entryIndex);

  EntryInfo info;
  if (chapter.entryIndex < 0 || StatEntry(archive, entry, info) != EntryStatus::Ok) {
    PlaceMessage(Pick(texts::kNoChapterInformation));
    return LoadStatus::NoInformation;
  }
  AskPasswordIfNeeded(archive, entry, info);
  ZipFilePtr file;
  std::string error;
  if (OpenEntry(archive, entry, file, error) != EntryStatus::Ok) {
    session.password.clear();
    PlaceMessage(MessageWithDetail(texts::kCannotOpenChapter, error));
    return LoadStatus::CannotOpen;
  }
  if (info.size > 3) ShowPage(file.get(), info, chapter.sourceName);
  else PlaceMessage(Pick(texts::kCannotLoadText));
  file.reset();

  RestoreReadingPlace();
  ApplyZoom();
  UpdateMenuState();
  return LoadStatus::Shown;
}

}  // namespace tomelet
