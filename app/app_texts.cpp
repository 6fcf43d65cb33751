#include "app/app_texts.h"

#include "res/resource_ids.h"

namespace tomelet::texts {

const TextPair kRichEditMissing = {
    L"The rich text library (Msftedit.dll) could not be loaded from the system folder.\r"
    L"The Tomelet viewer cannot show books without it.",
    L"Die Rich-Text-Bibliothek (Msftedit.dll) konnte nicht aus dem Systemordner geladen werden.\r"
    L"Ohne sie kann der Tomelet viewer keine B\u00fccher anzeigen."};

const TextPair* MenuItemLabel(unsigned commandId) {
  static const TextPair kZoomSmaller = {L"Text zoom &smaller\tF10", L"Text &kleiner zoomen\tF10"};
  static const TextPair kZoomNormal = {L"Text zoom &normal\tF11", L"Text &normal zoomen\tF11"};
  static const TextPair kZoomBigger = {L"Text zoom &bigger \tF12", L"Text &gr\u00f6\u00dfer zoomen\tF12"};
  static const TextPair kChapterDown = {L"Chapter &down\tCtrl+PageDown", L"Kapitel &runter \tStrg+BildAb"};
  static const TextPair kChapterUp = {L"Chapter &up\tCtrl+PageUp", L"Kapitel &hoch \tStrg+BildAuf"};
  switch (commandId) {
    case CMD_ZOOM_SMALLER: return &kZoomSmaller;
    case CMD_ZOOM_NORMAL: return &kZoomNormal;
    case CMD_ZOOM_BIGGER: return &kZoomBigger;
    case CMD_CHAPTER_DOWN: return &kChapterDown;
    case CMD_CHAPTER_UP: return &kChapterUp;
    default: return nullptr;
  }
}

}  // namespace tomelet::texts
