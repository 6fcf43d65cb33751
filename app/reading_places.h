#pragma once
// Places the reader comes back to, free of any window system: the back and forward
// history of the open book, and where each of the last books was left (kept in a key of
// its own below the settings key).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/settings_record.h"

namespace tomelet {

// A place in the open book: the row shown, the first visible character, the selection.
struct ReadingPlace {
  int32_t row = -1;
  int32_t firstChar = 0;
  int32_t selectionStart = 0, selectionEnd = 0;
  bool operator==(const ReadingPlace&) const = default;
};

// Back and forward as in a web browser: a new step records the place left and drops the
// forward part; going back or forward swaps the place shown with the one recorded.
class PlaceHistory {
 public:
  static constexpr std::size_t kLimit = 100;  // places kept, back and forward together

  // Records `left`, the place before a step (the same place twice in a row counts once).
  void Visit(const ReadingPlace& left);
  // The place to show instead of `current`, or nullopt when there is none (nothing
  // changes then). Recorded places equal to `current` are passed over.
  std::optional<ReadingPlace> Back(const ReadingPlace& current);
  std::optional<ReadingPlace> Forward(const ReadingPlace& current);
  void Clear() { back_.clear(), forward_.clear(); }

  bool CanGoBack() const { return !back_.empty(); }
  bool CanGoForward() const { return !forward_.empty(); }
  std::size_t size() const { return back_.size() + forward_.size(); }

 private:
  std::vector<ReadingPlace> back_, forward_;  // newest last
};

// Where a book was left: its row and first visible character.
struct BookPlace {
  std::u16string path;
  int32_t row = 0;
  int32_t firstChar = 0;
  bool operator==(const BookPlace&) const = default;
};

// The last books read, newest first, each once.
class BookPlaces {
 public:
  static constexpr std::size_t kLimit = 20;

  // The book's place moves to the front; the oldest beyond the limit is dropped.
  void Remember(const BookPlace& place);
  // A book that has gone away.
  void Forget(const std::u16string& path);
  // The place of this book (paths compared by the system's case folding).
  std::optional<BookPlace> Find(const std::u16string& path) const;
  const std::vector<BookPlace>& places() const { return places_; }

  // The registry values "1" to "20", newest first: REG_BINARY, int32 row and int32 first
  // character (little-endian), then the path as UTF-16LE without terminator.
  std::vector<StoredValue> ToValues() const;
  // Values in that order (missing ones as nullopt). Values of another type or size, with
  // negative numbers, an empty or too long path, or a path seen before are left out.
  static BookPlaces FromValues(const std::vector<std::optional<StoredValue>>& values);

 private:
  std::vector<BookPlace> places_;
};

}  // namespace tomelet
