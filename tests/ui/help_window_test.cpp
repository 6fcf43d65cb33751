// The help window as a reader uses it: the program's own documents in both languages in
// the real rich-edit control, the place it was closed at, links handed to the shell; and
// the documents name only menu items and keys the program has.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <climits>
#include <map>
#include <regex>
#include <set>
#include <span>

#include "app/app_texts.h"
#include "app/main_window.h"
#include "base/wide.h"
#include "res/resource_ids.h"
#include "tests/ui/viewer_harness.h"
#include "view/help_window.h"

namespace tomelet::test {
namespace {

// What a help window shows: selected tab, text, scroll position and frame.
struct HelpView {
  int tab = -1;
  std::wstring text;
  LONG scrollY = 0, left = 0, top = 0, width = 0, height = 0;
  bool operator==(const HelpView&) const = default;
};

HelpView Look(ViewerRun& viewer, HWND help) {
  HelpView v;
  viewer.OnViewerThread([&] {
    const HWND text = GetDlgItem(help, IDC_HELP_TEXT);
    v.tab = static_cast<int>(SendDlgItemMessageW(help, IDC_HELP_TABS, TCM_GETCURSEL, 0, 0));
    v.text = PaneText(text);
    POINT scroll{};
    SendMessageW(text, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll));
    v.scrollY = scroll.y;
    RECT frame{};
    GetWindowRect(help, &frame);
    v.left = frame.left, v.top = frame.top, v.width = frame.right - frame.left, v.height = frame.bottom - frame.top;
  });
  return v;
}

HWND OpenHelp(ViewerRun& viewer) {
  viewer.Command(CMD_HELP);
  viewer.Settle();  // the document comes with a posted command
  HWND help = nullptr;
  viewer.OnViewerThread([&help] { help = Main().helpWindow; });
  return help;
}

// Every page as a click on its tab shows it: the document read as RTF, words and no
// control words.
std::vector<HelpView> EveryPage(ViewerRun& viewer, HWND help) {
  const HWND tabs = GetDlgItem(help, IDC_HELP_TABS);
  std::vector<HelpView> pages;
  for (int tab = 0; tab < 4; ++tab) {
    SendMessageW(tabs, TCM_SETCURSEL, tab, 0);
    NMHDR change{tabs, IDC_HELP_TABS, TCN_SELCHANGE};
    SendMessageW(help, WM_NOTIFY, IDC_HELP_TABS, reinterpret_cast<LPARAM>(&change));
    viewer.Settle();
    pages.push_back(Look(viewer, help));
    EXPECT_GT(pages.back().text.size(), 1000u) << tab;
    EXPECT_EQ(pages.back().text.find(L"\\par"), std::wstring::npos) << tab;
  }
  return pages;
}

std::wstring OpenedLink;

TEST(HelpWindowTest, OpensWhereItWasClosedInBothLanguagesAndHandsLinksToTheShell) {
  const LinkOpener shell = SetLinkOpener([](const std::wstring& link) { OpenedLink = link; });
  ViewerRun viewer;
  // Stored values out of range: About, at half the screen, as tall as it.
  viewer.OnViewerThread([] {
    WindowSettings& s = TheProgram().settings;
    s.helpTab = 7, s.helpLeft = -5, s.helpHeight = 10, s.helpTopChar = INT32_MAX, s.helpScrollY = INT32_MIN;
  });
  const HWND first = OpenHelp(viewer), text = GetDlgItem(first, IDC_HELP_TEXT);
  const HelpView opened = Look(viewer, first);
  EXPECT_EQ(opened.tab, 0);
  EXPECT_EQ(opened.left, GetSystemMetrics(SM_CXSCREEN) / 2);
  EXPECT_EQ(opened.height, GetSystemMetrics(SM_CYSCREEN));
  RECT client{};
  GetClientRect(first, &client);
  EXPECT_EQ(ChildRect(text).top, ChildRect(GetDlgItem(first, IDC_HELP_TABS)).bottom + 1);
  EXPECT_EQ(ChildRect(text).bottom, client.bottom);  // the text fills the rest

  // Keys come through the message loop: Tab to the strip, Right to the next page.
  viewer.Key(VK_TAB);
  viewer.Key(VK_RIGHT);
  viewer.Settle();
  EXPECT_EQ(Look(viewer, first).tab, 1);
  // Read half-way on a smaller window, close, reopen: the same spot.
  MoveWindow(first, 40, 50, 420, 300, TRUE);
  viewer.OnViewerThread([text] { SendMessageW(text, WM_VSCROLL, SB_PAGEDOWN, 0); });
  const HelpView read = Look(viewer, first);
  ASSERT_GT(read.scrollY, 0);
  PostMessageW(first, WM_CLOSE, 0, 0);  // the close box: the dialog posts itself Cancel
  viewer.Settle();
  viewer.Settle();
  EXPECT_EQ(viewer.Focus(), viewer.text());
  const HWND second = OpenHelp(viewer);
  EXPECT_EQ(Look(viewer, second), read);

  // A web address is a link: a real click hands it to the shell.
  const std::size_t at = read.text.find(L"https://");
  POINTL point{};
  viewer.OnViewerThread([&] {
    SendMessageW(GetDlgItem(second, IDC_HELP_TEXT), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&point), at + 3);
  });
  PostMessageW(GetDlgItem(second, IDC_HELP_TEXT), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x + 1, point.y + 2));
  viewer.Settle();
  EXPECT_EQ(OpenedLink, read.text.substr(at, read.text.find(L')', at) - at));

  // German: another window with German documents (the history is one for both), each page
  // from its top. The newest window keeps the keyboard when an older one closes.
  const std::vector<HelpView> english = EveryPage(viewer, second);
  // One version: the caption, from the program's version resource, names the newest History entry.
  const std::wstring& history = english[3].text;
  const std::size_t v = history.find(L"Version ") + 8;
  EXPECT_EQ(WindowText(second), L"Tomelet viewer (Version: " + history.substr(v, history.find_first_of(L"\r\n", v) - v) + L")");
  viewer.Command(CMD_LANGUAGE_GERMAN);
  const HWND german = OpenHelp(viewer);
  PostMessageW(second, WM_CLOSE, 0, 0);
  viewer.Settle();
  viewer.OnViewerThread([german] { EXPECT_EQ(Main().helpWindow, german); });
  const std::vector<HelpView> pages = EveryPage(viewer, german);
  std::set<std::wstring> texts;
  for (int tab = 0; tab < 4; ++tab) {
    EXPECT_EQ(pages[tab].scrollY, 0) << tab;
    texts.insert({english[tab].text, pages[tab].text});
  }
  EXPECT_EQ(texts.size(), 7u);
  EXPECT_EQ(pages[3].text, english[3].text);
  SetLinkOpener(shell);
}

// A help document's text, its \'xx characters (code page 1252) decoded.
std::wstring Document(int id) {
  const HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));  // RT_RCDATA
  const std::string rtf(static_cast<const char*>(LockResource(LoadResource(nullptr, found))), SizeofResource(nullptr, found));
  std::wstring text;
  for (std::size_t i = 0; i < rtf.size(); ++i) {
    const bool escaped = rtf.compare(i, 2, "\\'") == 0;
    const char c = escaped ? static_cast<char>(std::stoi(rtf.substr(i + 2, 2), nullptr, 16)) : rtf[i];
    i += escaped ? 3 : 0;
    text.resize(text.size() + 1);
    MultiByteToWideChar(1252, 0, &c, 1, &text.back(), 1);
  }
  return text;
}

std::wstring KeyText(const ACCEL& a, bool german) {
  const std::map<WORD, std::pair<const wchar_t*, const wchar_t*>> names = {
      {VK_PRIOR, {L"PageUp", L"BildAuf"}}, {VK_NEXT, {L"PageDown", L"BildAb"}}, {VK_LEFT, {L"Left", L"Links"}},
      {VK_RIGHT, {L"Right", L"Rechts"}},   {VK_TAB, {L"Tab", L"Tab"}}, {VK_RETURN, {L"Enter", L"Eingabe"}}};
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

TEST(HelpTruth, EveryMenuItemAndKeyTheHelpNamesExistsAndTheHelpNamesEveryOneInThatLanguage) {
  const HACCEL table = LoadAcceleratorsW(nullptr, MAKEINTRESOURCEW(IDA_MAIN));
  std::vector<ACCEL> accels(static_cast<std::size_t>(CopyAcceleratorTableW(table, nullptr, 0)));
  CopyAcceleratorTableW(table, accels.data(), static_cast<int>(accels.size()));
  const std::wregex listed(LR"(\{\\b ([^{}]+)\}\\tab ([^:\\]*))"), path(LR"(\{\\b ([^{}]+ > [^{}]+)\})"),
      key(LR"((?:(?:Ctrl|Strg|Shift|Umschalt|Alt)\+)+\w+|\bF\d{1,2}\b)");
  for (bool german : {false, true}) {
    std::set<std::wstring> keys = {L"Alt+F4", L"F2"};  // the system's close, Organize bookmarks' rename
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
    // And the other way round: the help names every menu item and every key.
    std::wstring all;
    for (int id : std::span(documents + 3 * german, 3)) all += Document(id);
    for (const auto& [name, item] : every) EXPECT_NE(all.find(name), std::wstring::npos) << "not in the help: " << WideToUtf8(name);
    for (const std::wstring& k : keys) EXPECT_NE(all.find(k), std::wstring::npos) << "key not in the help: " << WideToUtf8(k);
    for (int id : std::span(documents + 3 * german, 3)) {
      const std::wstring text = Document(id);
      for (std::wsregex_iterator m(text.begin(), text.end(), listed), end; m != end; ++m) {
        const auto item = every.find((*m)[1].str());
        EXPECT_TRUE(item != every.end() && (*m)[2].str().starts_with(item->second.key)) << WideToUtf8(m->str());
      }
      for (std::wsregex_iterator m(text.begin(), text.end(), path), end; m != end; ++m) {
        std::wstring rest = (*m)[1].str() + L" > ";
        for (std::size_t cut; (cut = rest.find(L" > ")) != std::wstring::npos; rest.erase(0, cut + 3))
          EXPECT_TRUE(every.contains(rest.substr(0, cut))) << "no such menu item: " << WideToUtf8((*m)[1].str());
      }
      for (std::wsregex_iterator m(text.begin(), text.end(), key), end; m != end; ++m)
        EXPECT_TRUE(keys.contains(m->str())) << "no such key: " << WideToUtf8(m->str());
    }
  }
}

}  // namespace
}  // namespace tomelet::test
