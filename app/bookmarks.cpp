#include "app/bookmarks.h"

#include <algorithm>

#include "base/text.h"

namespace tomelet {
namespace {

// Reads the stored form front to back; any read past the end spoils the whole value.
class ValueReader {
 public:
  explicit ValueReader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
  std::optional<int32_t> Number() {
    if (bytes_.size() - at_ < 4) return std::nullopt;
    uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) value |= static_cast<uint32_t>(bytes_[at_ + i]) << (8 * i);
    at_ += 4;
    return static_cast<int32_t>(value);
  }
  // A text of `least` to `most` characters without a NUL.
  std::optional<std::u16string> Text(std::size_t least, std::size_t most) {
    const std::optional<int32_t> length = Number();
    if (!length || *length < static_cast<int32_t>(least) || static_cast<std::size_t>(*length) > most) return std::nullopt;
    if ((bytes_.size() - at_) / 2 < static_cast<std::size_t>(*length)) return std::nullopt;
    std::u16string text;
    for (int32_t i = 0; i < *length; ++i, at_ += 2) text.push_back(static_cast<char16_t>(bytes_[at_] | (bytes_[at_ + 1] << 8)));
    if (text.find(u'\0') != std::u16string::npos) return std::nullopt;
    return text;
  }
  bool AtEnd() const { return at_ == bytes_.size(); }

 private:
  const std::vector<uint8_t>& bytes_;
  std::size_t at_ = 0;
};

void Append(std::vector<uint8_t>& to, int32_t number) {
  const std::vector<uint8_t> bytes = DwordBytes(number);
  to.insert(to.end(), bytes.begin(), bytes.end());
}

void Append(std::vector<uint8_t>& to, const std::u16string& text) {
  Append(to, static_cast<int32_t>(text.size()));
  const std::vector<uint8_t> bytes = PathBytes(text);
  to.insert(to.end(), bytes.begin(), bytes.end());
}

std::optional<BookBookmarks> ReadBook(const StoredValue& value) {
  if (value.type != kRegBinary || value.bytes.size() > Bookmarks::kLargestValue) return std::nullopt;
  ValueReader reader(value.bytes);
  BookBookmarks book;
  std::optional<std::u16string> path = reader.Text(1, kMaxPathChars);
  const std::optional<int32_t> count = reader.Number();
  if (!path || !count || *count < 1 || static_cast<std::size_t>(*count) > Bookmarks::kPerBookLimit) return std::nullopt;
  book.path = std::move(*path);
  for (int32_t i = 0; i < *count; ++i) {
    Bookmark mark;
    const auto row = reader.Number(), first = reader.Number(), start = reader.Number(), end = reader.Number();
    std::optional<std::u16string> name = reader.Text(0, Bookmarks::kMaxNameChars);
    if (!row || !first || !start || !end || !name) return std::nullopt;
    if (*row < 0 || *first < 0 || *start < 0 || *end < *start) return std::nullopt;
    book.marks.push_back({std::move(*name), {*row, *first, *start, *end}});
  }
  if (!reader.AtEnd()) return std::nullopt;
  return book;
}

}  // namespace

const std::vector<Bookmark>& Bookmarks::Of(const std::u16string& path) const {
  static const std::vector<Bookmark> kNone;
  const auto book = std::ranges::find_if(books_, [&](const BookBookmarks& b) { return EqualIgnoringCase(b.path, path); });
  return book == books_.end() ? kNone : book->marks;
}

AddOutcome Bookmarks::Preview(const std::u16string& path) const {
  if (path.empty() || path.size() > kMaxPathChars) return {AddOutcome::Refusal::PathTooLong, std::nullopt};
  const std::size_t held = Of(path).size();
  if (held >= kPerBookLimit) return {AddOutcome::Refusal::BookFull, std::nullopt};
  if (held == 0 && books_.size() >= kBookLimit) return {AddOutcome::Refusal::None, books_.back().path};
  return {};
}

AddOutcome Bookmarks::Add(const std::u16string& path, Bookmark mark) {
  const AddOutcome outcome = Preview(path);
  if (outcome.refused != AddOutcome::Refusal::None) return outcome;
  std::vector<Bookmark> marks = Of(path);
  marks.push_back(std::move(mark));
  Replace(path, std::move(marks));
  return outcome;
}

void Bookmarks::Replace(const std::u16string& path, std::vector<Bookmark> marks) {
  const auto same = [&](const BookBookmarks& b) { return EqualIgnoringCase(b.path, path); };
  const auto kept = std::ranges::find_if(books_, same);
  const std::u16string spelling = kept == books_.end() ? path : kept->path;  // as first kept
  std::erase_if(books_, same);
  if (marks.empty()) return;
  if (marks.size() > kPerBookLimit) marks.resize(kPerBookLimit);
  for (Bookmark& mark : marks) mark.name.resize(std::min(mark.name.size(), kMaxNameChars));
  books_.insert(books_.begin(), {spelling, std::move(marks)});
  if (books_.size() > kBookLimit) books_.resize(kBookLimit);
}

std::vector<StoredValue> Bookmarks::ToValues() const {
  std::vector<StoredValue> values;
  for (const BookBookmarks& book : books_) {
    StoredValue value{kRegBinary, {}};
    Append(value.bytes, book.path);
    Append(value.bytes, static_cast<int32_t>(book.marks.size()));
    for (const Bookmark& mark : book.marks) {
      for (const int32_t number : {mark.place.row, mark.place.firstChar, mark.place.selectionStart, mark.place.selectionEnd})
        Append(value.bytes, number);
      Append(value.bytes, mark.name);
    }
    values.push_back(std::move(value));
  }
  return values;
}

Bookmarks Bookmarks::FromValues(const std::vector<std::optional<StoredValue>>& values) {
  Bookmarks bookmarks;
  for (const std::optional<StoredValue>& value : values) {
    if (bookmarks.books_.size() == kBookLimit) break;
    std::optional<BookBookmarks> book = value ? ReadBook(*value) : std::nullopt;
    if (!book || !bookmarks.Of(book->path).empty()) continue;  // the newer one counts
    bookmarks.books_.push_back(std::move(*book));
  }
  return bookmarks;
}

}  // namespace tomelet
