#include "app/recent_books.h"

#include <algorithm>

#include "base/text.h"

namespace tomelet {
namespace {

// The last `count` parts of the path (all of it when it has no more).
std::u16string Tail(const std::u16string& path, std::size_t count) {
  std::size_t start = path.size();
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t slash = start == 0 ? std::u16string::npos : path.rfind(u'\\', start - 1);
    if (slash == std::u16string::npos) return path;
    start = slash;
  }
  return path.substr(start + 1);
}

bool SameText(const std::u16string& a, const std::u16string& b) { return EqualIgnoringCase(a, b); }

}  // namespace

std::vector<std::u16string> RecentBooks(const BookPlaces& places, const std::u16string& openBook) {
  std::vector<std::u16string> books;
  const auto add = [&](const std::u16string& path) {
    if (path.empty() || books.size() == kRecentBooksShown) return;
    if (std::ranges::none_of(books, [&](const std::u16string& b) { return SameText(b, path); })) books.push_back(path);
  };
  add(openBook);
  for (const BookPlace& place : places.places()) add(place.path);
  return books;
}

std::vector<std::u16string> RecentLabels(const std::vector<std::u16string>& paths) {
  std::vector<std::u16string> labels;
  for (const std::u16string& path : paths) {
    // One more folder until no other book of the same name reads the same.
    std::size_t parts = 1;
    for (;; ++parts) {
      const std::u16string mine = Tail(path, parts);
      const bool clash = std::ranges::any_of(paths, [&](const std::u16string& other) {
        return &other != &path && SameText(Tail(other, parts), mine);
      });
      if (!clash || mine == path) break;
    }
    labels.push_back(Tail(path, parts));
  }
  return labels;
}

std::u16string NumberedMenuText(std::size_t index, const std::u16string& label) {
  std::u16string text;
  if (index < 9) text = {u'&', static_cast<char16_t>(u'1' + index), u' '};
  for (const char16_t c : label) {
    if (c == u'&') text += u'&';
    text += c == u'\t' ? u' ' : c;  // a tab would start the item's key column
  }
  return text;
}

}  // namespace tomelet
