#include "app/accessibility.h"

#include <cwctype>
#include <string>
#include <string_view>

#include "app/app_texts.h"
#include "app/viewer.h"
#include "base/language.h"
#include "res/resource_ids.h"
#include "base/accessible_object.h"
#include "view/accessible_rules.h"

namespace tomelet {
namespace {

std::u16string RowText(HWND list, int row) {
  const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
  if (length == LB_ERR || length < 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const LRESULT got = SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text.data()));
  text.resize(got == LB_ERR ? 0 : static_cast<std::size_t>(got));
  return std::u16string(text.begin(), text.end());
}

std::wstring Wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

SpokenRow SpeakRow(HWND list, int row) {
  return SpeakContentsRow(row, [list](int r) { return RowText(list, r); }, IsGerman());
}

// The names screen readers read for the five items, with their keys; the records point
// into these (MSAAMENUINFO takes a writable string).
wchar_t kZoomSmallerEn[] = L"Zoom smaller\tF10", kZoomSmallerDe[] = L"Kleiner zoomen\tF10";
wchar_t kZoomNormalEn[] = L"Normal size\tF11", kZoomNormalDe[] = L"Normalgr\u00f6\u00dfe\tF11";
wchar_t kZoomBiggerEn[] = L"Zoom bigger\tF12", kZoomBiggerDe[] = L"Gr\u00f6\u00dfer zoomen\tF12";
wchar_t kChapterUpEn[] = L"Previous chapter\tCtrl+PageUp", kChapterUpDe[] = L"Vorheriges Kapitel\tStrg+BildAuf";
wchar_t kChapterDownEn[] = L"Next chapter\tCtrl+PageDown", kChapterDownDe[] = L"N\u00e4chstes Kapitel\tStrg+BildAb";

constexpr int kMenuItems = 5;

MenuItemRecord Record(UINT command, wchar_t* name, bool german) {
  const TextPair* label = texts::MenuItemLabel(command);
  return {{static_cast<DWORD>(MSAA_MENU_SIG), static_cast<DWORD>(std::wcslen(name)), name}, command,
          label ? Pick(*label, german) : L""};
}

// The records of both languages, for the whole run.
const MenuItemRecord* RecordFor(UINT command, bool german) {
  static MenuItemRecord records[2][kMenuItems] = {
      {Record(CMD_ZOOM_SMALLER, kZoomSmallerEn, false), Record(CMD_ZOOM_NORMAL, kZoomNormalEn, false),
       Record(CMD_ZOOM_BIGGER, kZoomBiggerEn, false), Record(CMD_CHAPTER_UP, kChapterUpEn, false),
       Record(CMD_CHAPTER_DOWN, kChapterDownEn, false)},
      {Record(CMD_ZOOM_SMALLER, kZoomSmallerDe, true), Record(CMD_ZOOM_NORMAL, kZoomNormalDe, true),
       Record(CMD_ZOOM_BIGGER, kZoomBiggerDe, true), Record(CMD_CHAPTER_UP, kChapterUpDe, true),
       Record(CMD_CHAPTER_DOWN, kChapterDownDe, true)}};
  for (const MenuItemRecord& record : records[german ? 1 : 0])
    if (record.command == command) return &record;
  return nullptr;
}

// The access key of a label: the character after a single '&'.
wchar_t AccessKey(std::wstring_view label) {
  for (std::size_t at = label.find(L'&'); at != std::wstring_view::npos && at + 1 < label.size();
       at = label.find(L'&', at + 2)) {
    if (label[at + 1] != L'&') return label[at + 1];
  }
  return L'\0';
}

std::optional<bool>& FakedHighContrast() {
  static std::optional<bool> faked;
  return faked;
}

bool& HighContrastState() {
  static bool on = false;
  return on;
}

}  // namespace

void MakeMainWindowSpoken(HWND contentsList, HWND textPane) {
  Spoken list;
  list.name = [] { return Wide(SpokenName(SpokenPart::ContentsList, IsGerman())); };
  list.rowName = [](HWND window, int row) { return Wide(SpeakRow(window, row).name); };
  list.rowDescription = [](HWND window, int row) { return Wide(SpeakRow(window, row).description); };
  MakeSpoken(contentsList, std::move(list));
  Spoken pane;
  pane.name = [] { return Wide(SpokenName(SpokenPart::TextPane, IsGerman())); };
  MakeSpoken(textPane, std::move(pane));
}

void NameMenuItems(HMENU menu) {
  const int count = menu ? GetMenuItemCount(menu) : 0;
  for (int pos = 0; pos < count; ++pos) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(pos), TRUE, &info)) continue;
    if (info.hSubMenu) {
      NameMenuItems(info.hSubMenu);
    } else if (info.fType & MFT_OWNERDRAW) {
      if (const MenuItemRecord* record = RecordFor(info.wID, IsGerman())) {
        info.fMask = MIIM_DATA;
        info.dwItemData = reinterpret_cast<ULONG_PTR>(record);
        SetMenuItemInfoW(menu, static_cast<UINT>(pos), TRUE, &info);
      }
    }
  }
}

const MenuItemRecord* MenuItemRecordOf(ULONG_PTR itemData) {
  const auto* record = reinterpret_cast<const MenuItemRecord*>(itemData);
  return record && record->msaa.dwMSAASignature == static_cast<DWORD>(MSAA_MENU_SIG) ? record : nullptr;
}

std::optional<LRESULT> OnMenuChar(wchar_t key, HMENU menu) {
  const int count = menu ? GetMenuItemCount(menu) : 0;
  for (int pos = 0; pos < count; ++pos) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_DATA;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(pos), TRUE, &info) || !(info.fType & MFT_OWNERDRAW)) continue;
    const MenuItemRecord* record = MenuItemRecordOf(info.dwItemData);
    if (record && std::towlower(AccessKey(record->label)) == std::towlower(key))
      return MAKELRESULT(pos, MNC_EXECUTE);
  }
  return std::nullopt;
}

void AnnounceLanguage(HWND contentsList) { NotifyNameChanged(contentsList); }

void FakeHighContrast(std::optional<bool> on) {
  FakedHighContrast() = on;
  RefreshHighContrast();
}

bool HighContrast() { return HighContrastState(); }

void RefreshHighContrast() {
  if (FakedHighContrast()) {
    HighContrastState() = *FakedHighContrast();
    return;
  }
  HIGHCONTRASTW contrast{};
  contrast.cbSize = sizeof(contrast);
  HighContrastState() = SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) &&
                        (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

}  // namespace tomelet
