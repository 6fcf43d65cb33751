#include "view/accessible_rules.h"

#include "base/language.h"

namespace tomelet {
namespace {

using TextPair16 = BasicTextPair<char16_t>;

constexpr TextPair16 kContinued = {u"continued", u"Fortsetzung"};
constexpr TextPair16 kLevel = {u", level ", u", Ebene "};
constexpr TextPair16 kBookInfo = {u"Book information", u"Buchinformation"};
constexpr TextPair16 kChapter = {u"Chapter", u"Kapitel"};
constexpr TextPair16 kPicture = {u"Picture", u"Bild"};
constexpr TextPair16 kAttachment = {u"Attachment", u"Anhang"};
constexpr char16_t kEllipsis[] = u"\u2026";

int LevelOf(std::u16string_view text) {
  return !text.empty() && text[0] >= u'0' && text[0] <= u'9' ? text[0] - u'0' : 0;
}

std::u16string_view TitleOf(std::u16string_view text) { return text.size() > 2 ? text.substr(2) : std::u16string_view(); }

bool IsContinuation(std::u16string_view text) { return TitleOf(text) == kEllipsis; }

// The kind as the row's icon shows it: any code but 1 to 3 is an attachment.
const TextPair16& KindOf(std::u16string_view text) {
  switch (text.size() > 1 ? text[1] : u'\0') {
    case u'1': return kBookInfo;
    case u'2': return kChapter;
    case u'3': return kPicture;
    default: return kAttachment;
  }
}

}  // namespace

SpokenRow SpeakContentsRow(int row, const std::function<std::u16string(int row)>& rowText, bool german) {
  const std::u16string text = rowText(row);
  SpokenRow spoken;
  const TextPair16& kind = KindOf(text);
  spoken.description = Pick(kind, german);
  // Rows at the top level (and the information row, always there) say their kind alone.
  if (const int level = LevelOf(text); level > 0 && &kind != &kBookInfo) {
    spoken.description += Pick(kLevel, german);
    spoken.description += static_cast<char16_t>(u'0' + level);
  }
  if (!IsContinuation(text)) {
    spoken.name = TitleOf(text);
    return spoken;
  }
  spoken.description += u", ";
  spoken.description += Pick(kContinued, german);
  for (int above = row - 1; above >= 0 && above >= row - kContinuationLookBack; --above) {
    const std::u16string before = rowText(above);
    if (IsContinuation(before)) continue;
    spoken.name = TitleOf(before);
    return spoken;
  }
  spoken.name = Pick(kContinued, german);
  return spoken;
}

std::u16string SpeakHit(std::u16string_view chapterTitle, std::u16string_view line) {
  std::u16string spoken(chapterTitle);
  spoken += u": ";
  spoken += line;
  return spoken;
}

const char16_t* SpokenName(SpokenPart part, bool german) {
  static constexpr TextPair16 kNames[] = {
      {u"Table of contents", u"Inhaltsverzeichnis"},
      {u"Chapter", u"Kapitel"},
      {u"Hits", u"Treffer"},
      {u"Help text", u"Hilfetext"},
      {u"Choose file", u"Datei w\u00e4hlen"},
  };
  return Pick(kNames[static_cast<int>(part)], german);
}

}  // namespace tomelet
