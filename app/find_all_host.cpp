#include "app/find_all_host.h"

#include <richedit.h>

#include "app/book_view.h"
#include "app/main_window.h"
#include "app/viewer.h"
#include "app/visited_places.h"
#include "base/wide.h"
#include "book/name_rules.h"
#include "book/pages.h"
#include "book/show_rule.h"
#include "view/find_all_window.h"

namespace tomelet {
namespace {

const ChapterEntry* ChapterOf(int row) {
  const BookSession& session = Session();
  if (row < 0 || static_cast<std::size_t>(row) >= session.rows.size()) return nullptr;
  const int chapterRow = session.rows[static_cast<std::size_t>(row)].chapterRow;
  if (chapterRow < 0 || static_cast<std::size_t>(chapterRow) >= session.chapters.size()) return nullptr;
  return &session.chapters[static_cast<std::size_t>(chapterRow)];
}

// RTF chapters and the information page; pictures and attachments are passed over.
std::vector<int> SearchableRows() {
  std::vector<int> rows;
  for (int row = 0; static_cast<std::size_t>(row) < Session().rows.size(); ++row) {
    const ChapterEntry* chapter = ChapterOf(row);
    const EntryKind kind = chapter ? PageKindOf(chapter->sourceName) : EntryKind::Attachment;
    if (kind == EntryKind::Chapter || kind == EntryKind::BookInfo) rows.push_back(row);
  }
  return rows;
}

// The page the text pane would show, read as the text pane reads it (the password and
// show rules included); a chapter the text pane would refuse is passed by.
RowPage ReadRowPage(int row, const PasswordAsker& ask) {
  const ChapterEntry* chapter = ChapterOf(row);
  if (!chapter) return {{}, PassedBy::Unreadable};
  ChapterEntryData entry = ReadChapterEntry(Session(), row, ask, ReadForPage(*chapter));
  switch (entry.status) {
    case EntryStatus::Ok: break;
    case EntryStatus::TooShort: return {};  // nothing in it
    case EntryStatus::NotShown:
    case EntryStatus::TooLarge: return {{}, PassedBy::TooLarge};
    default: return {{}, PassedBy::Unreadable};
  }
  if (PageKindOf(chapter->sourceName) == EntryKind::Chapter && RtfTooDeep(entry.bytes)) return {{}, PassedBy::TooDeep};
  Page page = BuildPage(std::move(entry), IsGerman(), nullptr);
  if (page.form != Page::Form::Bytes) return {{}, PassedBy::Unreadable};
  return {std::move(page.text), PassedBy::None};
}

int EntryOf(int row) {
  const ChapterEntry* chapter = ChapterOf(row);
  return chapter ? chapter->entryIndex : -1;
}

std::wstring RowTitle(int row) {
  const BookSession& session = Session();
  if (row < 0 || static_cast<std::size_t>(row) >= session.rows.size()) return {};
  const std::string& text = session.rows[static_cast<std::size_t>(row)].displayText;
  return Utf8ToWide(text.size() > 2 ? std::string_view(text).substr(2) : std::string_view());  // after level and kind
}

void OpenHit(int row, long start, long length) {
  NoteVisitedPlace();  // back (Alt+Left) returns to the place before the hit
  LoadChapter(row);
  CHARRANGE hit{start, start + length};
  SendMessageW(Main().textPane, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&hit));
  SendMessageW(Main().textPane, EM_SCROLLCARET, 0, 0);
}

}  // namespace

void OpenFindAll(HWND owner) {
  FindAllHost host;
  host.instance = TheProgram().instance;
  host.owner = owner;
  host.searchableRows = SearchableRows;
  host.readRow = ReadRowPage;
  host.entryOf = EntryOf;
  host.ask = PasswordDialog();
  host.rowTitle = RowTitle;
  host.openHit = OpenHit;
  host.place = &TheProgram().findAllPlace;
  host.closed = [](HWND window) {
    if (Main().findAllWindow == window) Main().findAllWindow = nullptr;
  };
  if (HWND window = OpenFindAllWindow(host)) Main().findAllWindow = window;
}

}  // namespace tomelet
