#include "app/reader_menus.h"

#include <shlwapi.h>

#include <string>
#include <vector>

#include "app/book_view.h"
#include "app/bookmarks.h"
#include "app/main_window.h"
#include "app/recent_books.h"
#include "app/viewer.h"
#include "app/visited_places.h"
#include "base/wide.h"
#include "base/dpi_scale.h"
#include "res/resource_ids.h"

namespace tomelet {
namespace {

constexpr unsigned kMenuLabelChars = 60;  // a longer label is shortened in the middle


// The books as the File menu lists them now (chosen by their position).
std::vector<std::u16string>& ListedBooks() {
  static std::vector<std::u16string> books;
  return books;
}

std::wstring Shortened(const std::u16string& label) {
  std::wstring text = ToWide(label);
  if (text.size() <= kMenuLabelChars) return text;
  std::wstring shortened(text.size() + 1, L'\0');
  if (!PathCompactPathExW(shortened.data(), text.c_str(), kMenuLabelChars + 1, 0)) return text;
  shortened.resize(wcslen(shortened.c_str()));
  return shortened;
}

// Inserts before the item `before` names: a command id, or a position when byPosition.
void InsertItem(HMENU menu, UINT before, bool byPosition, UINT id, const std::wstring& text, bool separator = false) {
  MENUITEMINFOW item{};
  item.cbSize = sizeof(item);
  item.fMask = MIIM_ID | MIIM_FTYPE | (separator ? 0 : MIIM_STRING);
  item.fType = separator ? MFT_SEPARATOR : MFT_STRING;
  item.wID = id;
  item.dwTypeData = const_cast<wchar_t*>(text.c_str());
  InsertMenuItemW(menu, before, byPosition, &item);
}

// Between the separator after Settings and Exit: the books, then a separator of their own.
void FillRecentBooks(HMENU file) {
  for (UINT id = CMD_RECENT_BOOK_FIRST; id <= CMD_RECENT_SEPARATOR; ++id) DeleteMenu(file, id, MF_BYCOMMAND);
  ListedBooks() = RecentBooks(TheProgram().bookPlaces, ToU16(Main().openBook));
  const std::vector<std::u16string>& books = ListedBooks();
  const std::vector<std::u16string> labels = RecentLabels(books);
  for (std::size_t i = 0; i < books.size(); ++i)
    InsertItem(file, CMD_EXIT, false, CMD_RECENT_BOOK_FIRST + static_cast<UINT>(i),
               ToWide(NumberedMenuText(i, ToU16(Shortened(labels[i])))));
  if (!books.empty()) InsertItem(file, CMD_EXIT, false, CMD_RECENT_SEPARATOR, {}, true);
}

HMENU BookmarksMenu(HMENU bar) {
  const HMENU window = bar ? GetSubMenu(bar, 2) : nullptr;
  const int count = window ? GetMenuItemCount(window) : 0;
  for (int pos = count - 1; pos >= 0; --pos)
    if (HMENU sub = GetSubMenu(window, pos)) return sub;
  return nullptr;
}

const std::vector<Bookmark>& OpenBookmarks() { return TheProgram().bookmarks.Of(ToU16(Main().openBook)); }

// Add and Organize, then after a separator the open book's bookmarks.
void FillBookmarks(HMENU menu) {
  while (GetMenuItemCount(menu) > 2) DeleteMenu(menu, 2, MF_BYPOSITION);
  const MainWindowState& m = Main();
  const std::vector<Bookmark>& marks = OpenBookmarks();
  EnableMenuItem(menu, CMD_ADD_BOOKMARK, MF_BYCOMMAND | (m.shownRow >= 0 && !m.openBook.empty() ? MF_ENABLED : MF_GRAYED));
  EnableMenuItem(menu, CMD_ORGANIZE_BOOKMARKS, MF_BYCOMMAND | (marks.empty() ? MF_GRAYED : MF_ENABLED));
  if (marks.empty()) return;
  InsertItem(menu, 2, true, 0, {}, true);
  for (std::size_t i = 0; i < marks.size() && CMD_BOOKMARK_FIRST + i <= CMD_BOOKMARK_LAST; ++i)
    InsertItem(menu, static_cast<UINT>(i) + 3, true, CMD_BOOKMARK_FIRST + static_cast<UINT>(i),
               ToWide(NumberedMenuText(i, marks[i].name)));
}

void OpenRecentBook(HWND window, std::u16string book) {  // a copy: the list may change
  const std::wstring path = ToWide(book);
  Session().bookPath = path;
  if (OpenBook(window, path) == OpenStatus::Opened) return;
  // A book that has gone away leaves the list; one that is there but unreadable stays.
  if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) TheProgram().bookPlaces.Forget(book);
}

}  // namespace

void FillReaderMenu(HMENU popup) {
  const HMENU bar = GetMenu(Main().window);
  if (!bar) return;
  if (popup == GetSubMenu(bar, 0)) FillRecentBooks(popup);
  else if (popup == BookmarksMenu(bar)) FillBookmarks(popup);
}

bool OnReaderMenuCommand(HWND window, int id) {
  if (id >= CMD_RECENT_BOOK_FIRST && id < CMD_RECENT_SEPARATOR) {
    const std::size_t index = static_cast<std::size_t>(id - CMD_RECENT_BOOK_FIRST);
    if (index < ListedBooks().size()) OpenRecentBook(window, ListedBooks()[index]);
    return true;
  }
  if (id >= CMD_BOOKMARK_FIRST && id <= CMD_BOOKMARK_LAST) {
    const std::size_t index = static_cast<std::size_t>(id - CMD_BOOKMARK_FIRST);
    const std::vector<Bookmark>& marks = OpenBookmarks();
    if (index < marks.size()) GoToPlace(marks[index].place);
    return true;
  }
  return false;
}

}  // namespace tomelet
