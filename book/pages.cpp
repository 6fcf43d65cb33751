#include "book/pages.h"

#include <cstdint>
#include <utility>

#include "base/language.h"
#include "book/attachment_page.h"
#include "book/info_page.h"
#include "book/name_rules.h"
#include "book/show_rule.h"

namespace tomelet {
namespace {

const TextPair8 kNoChapterInformation = {"Could not obtain file information of chapter.",
                                         "Konnte die Dateiinformationen zum Kapitel nicht ermitteln."};
const TextPair8 kCannotOpenChapter = {"Could not open chapter.", "Konnte Kapitel nicht \xc3\xb6" "ffnen."};
const TextPair8 kCannotLoadText = {"Could not load the chapter's text.", "Konnte Text des Kapitels nicht laden."};
// A chapter that opened but could not be read whole (damaged data, checksum error).
const TextPair8 kCannotReadChapter = {"Could not read chapter.", "Konnte Kapitel nicht lesen."};
const TextPair8 kChapterTooLarge = {"The chapter is too large to be shown.",
                                    "Das Kapitel ist zu gro\xc3\x9f, um angezeigt zu werden."};
const TextPair8 kChapterTooDeep = {
    "The chapter is nested too deeply to be shown: more than %1 levels of groups.\r\n"
    "With \"Save chapter as...\" (Ctrl+S) it can be saved and opened in another program.",
    "Das Kapitel ist zu tief verschachtelt, um angezeigt zu werden: mehr als %1 Gruppenebenen.\r\n"
    "Mit \"Speichere Kapitel als...\" (Strg+S) l\xc3\xa4sst es sich speichern und mit einem anderen Programm "
    "\xc3\xb6" "ffnen."};
// A chapter the show rule refuses (book/show_rule.h): %1 its size, %2 its packed size.
const TextPair8 kChapterNotShown = {
    "The chapter is too large to be shown: %1 bytes, packed to %2 bytes in the book.\r\n"
    "With \"Save chapter as...\" (Ctrl+S) it can be saved and opened in another program.",
    "Das Kapitel ist zu gro\xc3\x9f, um angezeigt zu werden: %1 Bytes, im Buch auf %2 Bytes gepackt.\r\n"
    "Mit \"Speichere Kapitel als...\" (Strg+S) l\xc3\xa4sst es sich speichern und mit einem anderen Programm "
    "\xc3\xb6" "ffnen."};

Page Message(const TextPair8& text, bool german) { return {Page::Form::Message, Pick(text, german), false}; }

Page MessageWithDetail(const TextPair8& text, bool german, const std::string& detail) {
  return {Page::Form::Message, std::string(Pick(text, german)) + "\r\n(\"" + detail + "\")", false};
}

Page NotShownPage(const EntryInfo& info, bool german) {
  std::string text = Pick(kChapterNotShown, german);
  text.replace(text.find("%2"), 2, GroupedNumber(info.compressedSize, german));
  text.replace(text.find("%1"), 2, GroupedNumber(info.size, german));
  return {Page::Form::Message, std::move(text), false};
}

Page FailurePage(const EntryData& entry, bool german) {
  switch (entry.status) {
    case EntryStatus::CannotOpen: return MessageWithDetail(kCannotOpenChapter, german, entry.errorText);
    case EntryStatus::TooShort: return Message(kCannotLoadText, german);
    case EntryStatus::TooLarge: return Message(kChapterTooLarge, german);
    case EntryStatus::NotShown: return NotShownPage(entry.info, german);
    case EntryStatus::CannotRead: return MessageWithDetail(kCannotReadChapter, german, entry.errorText);
    default: return Message(kNoChapterInformation, german);
  }
}

}  // namespace

EntryRead ReadForPage(const ChapterEntry& chapter) {
  return PageKindOf(chapter.sourceName) == EntryKind::Attachment ? EntryRead::OpenOnly : EntryRead::ToShow;
}

Page BuildPage(ChapterEntryData entry, bool german, const PictureConverter& toRtf) {
  if (entry.status != EntryStatus::Ok || !entry.chapter) return FailurePage(entry, german);
  switch (PageKindOf(entry.chapter->sourceName)) {
    case EntryKind::Chapter:
      if (RtfTooDeep(entry.bytes)) {
        std::string text = Pick(kChapterTooDeep, german);
        text.replace(text.find("%1"), 2, std::to_string(kMaxRtfDepth));
        return {Page::Form::Message, std::move(text), false};
      }
      return {Page::Form::Bytes, std::move(entry.bytes), false};
    case EntryKind::Picture: {
      std::optional<std::string> rtf = toRtf ? toRtf(std::move(entry.bytes)) : std::nullopt;
      return {Page::Form::Bytes, rtf.value_or(std::string()), true};
    }
    case EntryKind::BookInfo: return {Page::Form::Bytes, BuildInfoPage(entry.bytes).value_or(std::string()), false};
    default:
      return {Page::Form::Bytes, BuildAttachmentPage(entry.chapter->sourceName, entry.info.size, german), false};
  }
}

}  // namespace tomelet
