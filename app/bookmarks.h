#pragma once
// The reader's named bookmarks, free of any window system: kept per book (by its whole
// path) in the order they were made, bounded, and stored as one registry value per book
// in a key of their own below the settings key.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "app/reading_places.h"
#include "app/settings_record.h"

namespace tomelet {

struct Bookmark {
  std::u16string name;  // as the reader gave it; names may repeat
  ReadingPlace place;   // row, first visible character, selection
  bool operator==(const Bookmark&) const = default;
};

struct BookBookmarks {
  std::u16string path;
  std::vector<Bookmark> marks;  // in the order they were made (or put by the reader)
  bool operator==(const BookBookmarks&) const = default;
};

// What adding a bookmark to a book does besides adding it.
struct AddOutcome {
  enum class Refusal { None, BookFull, PathTooLong };  // kPerBookLimit held; a path beyond kMaxPathChars
  Refusal refused = Refusal::None;
  std::optional<std::u16string> bookDropped;  // the oldest book whose bookmarks make room
};

class Bookmarks {
 public:
  static constexpr std::size_t kBookLimit = 100;
  static constexpr std::size_t kPerBookLimit = 200;
  static constexpr std::size_t kMaxNameChars = 100;

  // The book's bookmarks (none when it has none).
  const std::vector<Bookmark>& Of(const std::u16string& path) const;
  // What Add would do, for the dialog to say before it is done.
  AddOutcome Preview(const std::u16string& path) const;
  // Adds a bookmark at the end of the book's list; the book becomes the newest. Beyond
  // kBookLimit books, the bookmarks of the one changed longest ago go.
  AddOutcome Add(const std::u16string& path, Bookmark mark);
  // The book's list as the reader arranged it (renamed, deleted, moved), names cut to
  // kMaxNameChars; none left forgets the book.
  void Replace(const std::u16string& path, std::vector<Bookmark> marks);
  const std::vector<BookBookmarks>& books() const { return books_; }  // newest first

  // The registry values "1" to "100", newest book first, REG_BINARY little-endian: path
  // length, path (UTF-16), number of bookmarks, then for each row, first character,
  // selection start and end, name length, name.
  static constexpr std::size_t kLargestValue = 8 + 2 * kMaxPathChars + kPerBookLimit * (20 + 2 * kMaxNameChars);
  std::vector<StoredValue> ToValues() const;
  // Values in that order (missing ones as nullopt). A value of another type, cut short
  // or too long, with a number out of range, an empty or too long path, a too long name, or a book
  // seen before is left out whole.
  static Bookmarks FromValues(const std::vector<std::optional<StoredValue>>& values);

 private:
  std::vector<BookBookmarks> books_;
};

}  // namespace tomelet
