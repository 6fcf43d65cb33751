// The help window as a reader uses it, and the program's own documents in the real
// rich-edit control.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <climits>

#include "app/main_window.h"
#include "base/wide.h"
#include "res/resource_ids.h"
#include "tests/ui/viewer_harness.h"
#include "view/help_window.h"

namespace tomelet::test {
namespace {

// What a help window shows: tab labels and caption, selected tab, text, first line,
// scroll position and window rectangle.
struct HelpView {
  std::wstring labels, caption, text;
  int tab = -1;
  LONG firstLine = 0, scrollY = 0;
  LONG left = 0, top = 0, width = 0, height = 0;
  bool operator==(const HelpView&) const = default;
};

HelpView Look(ViewerRun& viewer, HWND help) {
  HelpView v;
  viewer.OnViewerThread([&] {
    const HWND tabs = GetDlgItem(help, IDC_HELP_TABS), text = GetDlgItem(help, IDC_HELP_TEXT);
    for (int i = 0; i < 4; ++i) {
      wchar_t label[64] = {};
      TCITEMW item{};
      item.mask = TCIF_TEXT, item.pszText = label, item.cchTextMax = 64;
      SendMessageW(tabs, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
      v.labels += label + std::wstring(L"|");
    }
    wchar_t caption[64] = {};
    GetWindowTextW(help, caption, 64);
    v.caption = caption;
    v.tab = static_cast<int>(SendMessageW(tabs, TCM_GETCURSEL, 0, 0));
    v.text = PaneText(text);
    v.firstLine = static_cast<LONG>(SendMessageW(text, EM_GETFIRSTVISIBLELINE, 0, 0));
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

void CloseHelp(ViewerRun& viewer, HWND help) {
  PostMessageW(help, WM_CLOSE, 0, 0);  // the close box: the dialog posts itself Cancel
  viewer.Settle();
  viewer.Settle();
}

// A document's bytes, and its plain text as a rich-edit control of its own reads it.
std::wstring DocumentText(int id, std::string* rtf = nullptr) {
  const HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(id), RT_RCDATA);
  const char* bytes = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
  if (rtf) rtf->assign(bytes, SizeofResource(nullptr, found));
  LoadLibraryW(L"Msftedit.dll");
  const HWND control = CreateWindowExW(0, MSFTEDIT_CLASS, L"", ES_MULTILINE, 0, 0, 400, 300, nullptr, nullptr,
                                       nullptr, nullptr);
  SETTEXTEX replace{ST_DEFAULT, CP_ACP};
  SendMessageW(control, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&replace), reinterpret_cast<LPARAM>(bytes));
  std::wstring text = PaneText(control);
  DestroyWindow(control);
  return text;
}

std::wstring OpenedLink;

using HelpWindowTest = CleanRegistryTest;

TEST_F(HelpWindowTest, OpensWhereItWasClosedInBothLanguagesAndHandsLinksToTheShell) {
  const LinkOpener shell = SetLinkOpener([](const std::wstring& link) { OpenedLink = link; });
  ViewerRun viewer;
  // Stored values out of range: About, at half the screen, as tall as it.
  viewer.OnViewerThread([] {
    WindowSettings& s = TheProgram().settings;
    s.helpTab = 7, s.helpLeft = -5, s.helpHeight = 10, s.helpTopChar = INT32_MAX, s.helpScrollY = INT32_MIN;
  });
  const HWND first = OpenHelp(viewer), text = GetDlgItem(first, IDC_HELP_TEXT);
  HelpView v = Look(viewer, first);
  EXPECT_EQ(v.caption, L"Tomelet viewer (Version: 1.0.0)");
  EXPECT_EQ(v.labels, L"About...|Create own Tomelets|Tips...|History|");
  EXPECT_EQ(v.tab, 0);
  EXPECT_EQ(v.text, DocumentText(IDR_HELP_ABOUT_ENGLISH));
  EXPECT_EQ(v.left, GetSystemMetrics(SM_CXSCREEN) / 2);
  EXPECT_EQ(v.height, GetSystemMetrics(SM_CYSCREEN));
  RECT client{};
  GetClientRect(first, &client);
  EXPECT_EQ(ChildRect(text).top, ChildRect(GetDlgItem(first, IDC_HELP_TABS)).bottom + 1);
  EXPECT_EQ(ChildRect(text).bottom, client.bottom);  // the text fills the rest

  // Keys come through the message loop: Tab to the strip, Right to the next page.
  viewer.Key(VK_TAB);
  viewer.Key(VK_RIGHT);
  viewer.Settle();
  EXPECT_EQ(Look(viewer, first).text, DocumentText(IDR_HELP_CREATE_ENGLISH));
  // Read half-way on a smaller window, close, reopen: the same spot.
  MoveWindow(first, 40, 50, 420, 300, TRUE);
  viewer.OnViewerThread([text] { SendMessageW(text, WM_VSCROLL, SB_PAGEDOWN, 0); });
  const HelpView read = Look(viewer, first);
  ASSERT_GT(read.scrollY, 0);
  CloseHelp(viewer, first);
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

  // German: another window, German labels; About (document 1) starts at its top. The
  // newest window keeps the keyboard when an older one closes.
  viewer.Command(CMD_LANGUAGE_GERMAN);
  const HWND german = OpenHelp(viewer);
  CloseHelp(viewer, second);
  viewer.OnViewerThread([german] { EXPECT_EQ(Main().helpWindow, german); });
  const HWND tabs = GetDlgItem(german, IDC_HELP_TABS);
  for (const int tab : {0, 3}) {
    SendMessageW(tabs, TCM_SETCURSEL, tab, 0);
    NMHDR change{tabs, IDC_HELP_TABS, TCN_SELCHANGE};
    SendMessageW(german, WM_NOTIFY, IDC_HELP_TABS, reinterpret_cast<LPARAM>(&change));
    viewer.Settle();
    v = Look(viewer, german);
    EXPECT_EQ(v.labels, L"\u00dcber...|Tomelets selber machen|Tips...|History|");
    EXPECT_EQ(v.text, DocumentText(tab == 0 ? IDR_HELP_ABOUT_GERMAN : IDR_HELP_HISTORY));
    EXPECT_EQ(v.scrollY, 0);
  }
  SetLinkOpener(shell);
}

// Menu item texts as the documents name them: no "&", "..." or key after a tab.
void MenuTexts(HMENU menu, std::vector<std::wstring>& texts) {
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    wchar_t text[128] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info), info.fMask = MIIM_STRING | MIIM_SUBMENU, info.dwTypeData = text, info.cch = 128;
    GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
    std::wstring name = std::wstring(text).substr(0, std::wstring(text).find(L'\t'));
    std::erase(name, L'&');
    if (name.ends_with(L"...")) name.resize(name.size() - 3);
    if (!name.empty()) texts.push_back(name);
    if (info.hSubMenu) MenuTexts(info.hSubMenu, texts);
  }
}

TEST(HelpDocuments, AreRtfTheControlAcceptsAndNameEveryMenuCommand) {
  for (const auto& [menuId, documents] :
       {std::pair{IDM_MENU_ENGLISH, std::vector{IDR_HELP_ABOUT_ENGLISH, IDR_HELP_CREATE_ENGLISH, IDR_HELP_TIPS_ENGLISH,
                                                IDR_HELP_HISTORY}},
        std::pair{IDM_MENU_GERMAN, std::vector{IDR_HELP_ABOUT_GERMAN, IDR_HELP_CREATE_GERMAN, IDR_HELP_TIPS_GERMAN,
                                               IDR_HELP_HISTORY}}}) {
    std::wstring all;
    for (const int id : documents) {
      std::string rtf;
      const std::wstring text = DocumentText(id, &rtf);
      EXPECT_TRUE(rtf.starts_with("{\\rtf1") && rtf.find('\0') == rtf.size() - 1) << id;
      EXPECT_GT(text.size(), 1000u) << id;  // read as RTF: words, not control words
      EXPECT_EQ(text.find(L"\\par"), std::wstring::npos) << id;
      all += text;
    }
    std::vector<std::wstring> commands;
    const HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(menuId));
    MenuTexts(menu, commands);
    DestroyMenu(menu);
    EXPECT_GT(commands.size(), 20u);
    for (const std::wstring& command : commands) EXPECT_NE(all.find(command), std::wstring::npos) << WideToUtf8(command);
  }
}

}  // namespace
}  // namespace tomelet::test
