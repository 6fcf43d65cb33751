#include "book/pages.h"

#include <utility>

#include "base/language.h"
#include "book/attachment_page.h"
#include "book/info_page.h"
#include "book/name_rules.h"

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

Page Message(const TextPair8& text, bool german) { return {Page::Form::Message, Pick(text, german), false}; }

Page MessageWithDetail(const TextPair8& text, bool german, const std::string& detail) {
  return {Page::Form::Message, std::string(Pick(text, german)) + "\r\n(\"" + detail + "\")", false};
}

Page FailurePage(const EntryData& entry, bool german) {
  switch (entry.status) {
    case EntryStatus::CannotOpen: return MessageWithDetail(kCannotOpenChapter, german, entry.errorText);
    case EntryStatus::TooShort: return Message(kCannotLoadText, german);
    case EntryStatus::TooLarge: return Message(kChapterTooLarge, german);
    case EntryStatus::CannotRead: return MessageWithDetail(kCannotReadChapter, german, entry.errorText);
    default: return Message(kNoChapterInformation, german);
  }
}

}  // namespace

EntryRead ReadForPage(const ChapterEntry& chapter) {
  return PageKindOf(chapter.sourceName) == EntryKind::Attachment ? EntryRead::OpenOnly : EntryRead::Whole;
}

Page BuildPage(ChapterEntryData entry, bool german, const PictureConverter& toRtf) {
  if (entry.status != EntryStatus::Ok || !entry.chapter) return FailurePage(entry, german);
  switch (PageKindOf(entry.chapter->sourceName)) {
    case EntryKind::Chapter: return {Page::Form::Bytes, std::move(entry.bytes), false};
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
