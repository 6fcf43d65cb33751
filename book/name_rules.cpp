#include "book/name_rules.h"

#include "base/text.h"

namespace tomelet {
namespace {

constexpr std::string_view kEllipsis = "\xE2\x80\xA6";  // U+2026

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool EqualsIgnoringAsciiCase(std::string_view text, std::string_view upper) {
  if (text.size() != upper.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != upper[i]) return false;
  }
  return true;
}

// The name is numbered when its leading integer (white space skipped, optional sign,
// decimal digits) is greater than 0, or when it starts with the digit "0". A value too
// large for an integer still counts as greater than 0.
bool IsNumbered(std::string_view name) {
  if (!name.empty() && name.front() == '0') return true;
  std::size_t i = 0;
  while (i < name.size() && (name[i] == ' ' || (name[i] >= '\t' && name[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < name.size() && (name[i] == '+' || name[i] == '-')) negative = name[i++] == '-';
  for (; i < name.size() && IsDigit(name[i]); ++i)
    if (name[i] != '0') return !negative;
  return false;
}

}  // namespace

std::string_view ExtensionOf(std::string_view sourceName) {
  const std::size_t dot = sourceName.rfind('.');
  return dot == std::string_view::npos ? sourceName : sourceName.substr(dot + 1);
}

EntryKind KindOfExtension(std::string_view extension) {
  if (EqualsIgnoringAsciiCase(extension, "TXT")) return EntryKind::PlainText;
  if (EqualsIgnoringAsciiCase(extension, "RTF")) return EntryKind::Chapter;
  if (EqualsIgnoringAsciiCase(extension, "PNG") || EqualsIgnoringAsciiCase(extension, "JPG") ||
      EqualsIgnoringAsciiCase(extension, "JPEG"))
    return EntryKind::Picture;
  return EntryKind::Attachment;
}

bool IsBookInfoName(std::string_view sourceName) { return EqualsIgnoringAsciiCase(sourceName, "#META.TXT"); }

EntryKind PageKindOf(std::string_view sourceName) {
  const EntryKind kind = KindOfName(sourceName);
  if (kind == EntryKind::PlainText) return IsBookInfoName(sourceName) ? EntryKind::BookInfo : EntryKind::Attachment;
  return kind;
}

std::optional<NameRow> ReadSourceName(std::string_view name, bool german) {
  if (!name.empty() && name.front() == '#') {
    if (!IsBookInfoName(name)) return std::nullopt;
    return NameRow{EntryKind::BookInfo, '0', false, german ? "[\xC3\x9C" "ber...]" : "[About...]"};
  }
  NameRow row;
  row.kind = KindOfName(name);
  if (row.kind == EntryKind::PlainText) return std::nullopt;

  // 0-based index of the first character of the title.
  std::size_t start = 0;
  char level = '0';
  if (IsNumbered(name)) {
    const std::size_t hyphen = name.find('-');
    std::size_t space = std::string_view::npos;
    if (hyphen != std::string_view::npos && hyphen + 1 < name.size() && name[hyphen + 1] >= '1' &&
        name[hyphen + 1] <= '9') {
      level = name[hyphen + 1];
      space = name.find(' ', hyphen + 1);
    } else {
      space = name.find(' ');
    }
    start = space == std::string_view::npos ? 0 : space + 1;
  }

  if (start == 0 && !name.empty() && IsDigit(name.front())) {
    // A continuation is shown one level deeper; the shown level is a single digit, so
    // the continuation of a level-9 row stays at level 9.
    row.continuation = true;
    row.shownLevel = level == '9' ? '9' : static_cast<char>(level + 1);
    row.title = kEllipsis;
    return row;
  }

  row.shownLevel = level;
  const std::size_t dot = name.rfind('.');
  const std::size_t end = dot == std::string_view::npos ? name.size() : dot;  // one past the title
  if (start >= name.size())
    row.title.clear();
  else if (end < start)  // a "." before the title: the title runs to the end of the name
    row.title = name.substr(start);
  else
    row.title = name.substr(start, end - start);
  return row;
}

std::string DisplayTextOf(const NameRow& row) {
  std::string text;
  text += row.shownLevel;
  text += static_cast<char>(row.kind);
  text += TruncateUtf16(row.title, kMaxDisplayTextUnits - 2);
  return text;
}

std::optional<std::string> ContentsDisplayText(std::string_view sourceName, bool german) {
  std::optional<NameRow> row = ReadSourceName(sourceName, german);
  if (!row) return std::nullopt;
  return DisplayTextOf(*row);
}

}  // namespace tomelet
