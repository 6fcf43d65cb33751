// The help documents name only menu items and keys the program has: every item of the list
// of menus and keys (with the key its menu shows), every menu path (File > Open...) and every
// key named exists in the menus and accelerators of the document's language; every key a menu
// shows is an accelerator. Read from the program's own resources.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <map>
#include <regex>
#include <set>
#include <span>

#include "app/app_texts.h"
#include "base/wide.h"
#include "res/resource_ids.h"

namespace tomelet::test {
namespace {

// A help document's text, its \'xx characters (code page 1252) decoded.
std::wstring Document(int id) {
  const HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));  // RT_RCDATA
  const std::string rtf(static_cast<const char*>(LockResource(LoadResource(nullptr, found))), SizeofResource(nullptr, found));
  std::string bytes;
  for (std::size_t i = 0; i < rtf.size(); ++i) {
    const bool escaped = rtf.compare(i, 2, "\\'") == 0;
    bytes += escaped ? static_cast<char>(std::stoi(rtf.substr(i + 2, 2), nullptr, 16)) : rtf[i];
    i += escaped ? 3 : 0;
  }
  std::wstring text(bytes.size(), L'\0');
  text.resize(static_cast<std::size_t>(MultiByteToWideChar(1252, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                                                           static_cast<int>(text.size()))));
  return text;
}

std::wstring KeyText(const ACCEL& a, bool german) {
  const std::map<WORD, std::pair<const wchar_t*, const wchar_t*>> names = {
      {VK_PRIOR, {L"PageUp", L"BildAuf"}}, {VK_NEXT, {L"PageDown", L"BildAb"}}, {VK_LEFT, {L"Left", L"Links"}},
      {VK_RIGHT, {L"Right", L"Rechts"}},   {VK_TAB, {L"Tab", L"Tab"}}};
  std::wstring text = std::wstring(a.fVirt & FCONTROL ? (german ? L"Strg+" : L"Ctrl+") : L"") +
                      (a.fVirt & FSHIFT ? (german ? L"Umschalt+" : L"Shift+") : L"") + (a.fVirt & FALT ? L"Alt+" : L"");
  if (names.contains(a.key)) return text + (german ? names.at(a.key).second : names.at(a.key).first);
  return text + (a.key >= VK_F1 && a.key <= VK_F24 ? L"F" + std::to_wstring(a.key - VK_F1 + 1) : std::wstring(1, a.key));
}

// A menu item: its text before the tab without '&' (owner-drawn ones by their label), the key after it.
struct Item { std::wstring name, key; HMENU popup; };
std::vector<Item> Items(HMENU menu, bool german) {
  std::vector<Item> items;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    wchar_t text[256] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info), info.fMask = MIIM_STRING | MIIM_ID | MIIM_FTYPE | MIIM_SUBMENU;
    info.dwTypeData = text, info.cch = 256;
    GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
    const TextPair* label = info.fType & MFT_OWNERDRAW ? texts::MenuItemLabel(info.wID) : nullptr;
    std::wstring full = label ? Pick(*label, german) : text, name;
    std::erase(full, L'&');
    const std::size_t tab = std::min(full.find(L'\t'), full.size());
    for (name = full.substr(0, tab); name.ends_with(L' ');) name.pop_back();
    if (label || !(info.fType & MFT_SEPARATOR)) items.push_back({name, full.substr(std::min(tab + 1, full.size())), info.hSubMenu});
  }
  return items;
}

TEST(HelpTruth, EveryMenuItemAndKeyTheHelpNamesExistsInThatLanguage) {
  const HACCEL table = LoadAcceleratorsW(nullptr, MAKEINTRESOURCEW(IDA_MAIN));
  std::vector<ACCEL> accels(static_cast<std::size_t>(CopyAcceleratorTableW(table, nullptr, 0)));
  CopyAcceleratorTableW(table, accels.data(), static_cast<int>(accels.size()));
  std::set<std::wstring> ourMenus;  // paths of another program's menus (Explorer's Send to) are not ours to check
  for (int menu : {IDM_MENU_ENGLISH, IDM_MENU_GERMAN})
    for (const Item& item : Items(LoadMenuW(nullptr, MAKEINTRESOURCEW(menu)), false)) ourMenus.insert(item.name);
  const std::wregex listed(LR"(\{\\b ([^{}]+)\}\\tab ([^:\\]*))"), path(LR"(\{\\b ([^{}]+ > [^{}]+)\})"),
      key(LR"((?:(?:Ctrl|Strg|Shift|Umschalt|Alt)\+)+\w+|\bF\d{1,2}\b)");
  for (bool german : {false, true}) {
    std::set<std::wstring> keys = {L"Alt+F4"};  // the system's close
    for (const ACCEL& a : accels) keys.insert(KeyText(a, german));
    const HMENU bar = LoadMenuW(nullptr, MAKEINTRESOURCEW(german ? IDM_MENU_GERMAN : IDM_MENU_ENGLISH));
    std::map<std::wstring, Item> every;
    std::vector<HMENU> menus = {bar};
    for (std::size_t m = 0; m < menus.size(); ++m)
      for (const Item& item : Items(menus[m], german)) {
        every.insert({item.name, item});
        if (item.popup) menus.push_back(item.popup);
        EXPECT_TRUE(item.key.empty() || keys.contains(item.key)) << "no accelerator: " << WideToUtf8(item.key);
      }
    const int documents[] = {IDR_HELP_ABOUT_ENGLISH, IDR_HELP_TIPS_ENGLISH, IDR_HELP_CREATE_ENGLISH,
                             IDR_HELP_ABOUT_GERMAN,  IDR_HELP_TIPS_GERMAN,  IDR_HELP_CREATE_GERMAN};
    for (int id : std::span(documents + 3 * german, 3)) {
      const std::wstring text = Document(id);
      for (std::wsregex_iterator m(text.begin(), text.end(), listed), end; m != end; ++m) {
        const auto item = every.find((*m)[1].str());
        EXPECT_TRUE(item != every.end() && (*m)[2].str().starts_with(item->second.key)) << WideToUtf8(m->str());
      }
      for (std::wsregex_iterator m(text.begin(), text.end(), path), end; m != end; ++m) {
        HMENU menu = bar;
        std::wstring rest = (*m)[1].str() + L" > ";
        if (!ourMenus.contains(rest.substr(0, rest.find(L" > ")))) continue;
        for (std::size_t cut; menu && (cut = rest.find(L" > ")) != std::wstring::npos; rest.erase(0, cut + 3)) {
          const std::vector<Item> items = Items(menu, german);
          const auto step = std::ranges::find(items, rest.substr(0, cut), &Item::name);
          menu = step == items.end() ? nullptr : step->popup ? step->popup : bar;
        }
        EXPECT_TRUE(menu && rest.empty()) << "no such menu path: " << WideToUtf8((*m)[1].str());
      }
      for (std::wsregex_iterator m(text.begin(), text.end(), key), end; m != end; ++m)
        EXPECT_TRUE(keys.contains(m->str())) << "no such key: " << WideToUtf8(m->str());
    }
  }
}

}  // namespace
}  // namespace tomelet::test
