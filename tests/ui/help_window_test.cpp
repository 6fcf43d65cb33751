// The help window as a reader uses it: opening beside the main window where it was
// closed, tabs, scrolling, links, keys, both languages and a restart with kept settings;
// and the program's own documents in the real rich-edit control.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <climits>
#include <map>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/viewer.h"
#include "base/wide.h"
#include "res/resource_ids.h"
#include "tests/ui/settings_support.h"
#include "tests/ui/viewer_harness.h"
#include "view/help_window.h"

namespace tomelet::test {
namespace {

const int kScreenW = GetSystemMetrics(SM_CXSCREEN);
const int kScreenH = GetSystemMetrics(SM_CYSCREEN);

// Where a help window is and what it shows, read on the viewer's thread.
struct HelpView {
  RECT frame{};
  int tab = -1;
  std::vector<std::wstring> labels;
  std::wstring caption, text;
  LONG firstLine = -1;
  POINT scroll{};
  RECT textRect{}, client{};
  int tabHeight = 0;
};

HelpView Look(ViewerRun& viewer, HWND help) {
  HelpView v;
  viewer.OnViewerThread([&] {
    const HWND tabs = GetDlgItem(help, IDC_HELP_TABS), text = GetDlgItem(help, IDC_HELP_TEXT);
    GetWindowRect(help, &v.frame);
    v.tab = static_cast<int>(SendMessageW(tabs, TCM_GETCURSEL, 0, 0));
    for (int i = 0; i < static_cast<int>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0)); ++i) {
      wchar_t label[64] = {};
      TCITEMW item{};
      item.mask = TCIF_TEXT;
      item.pszText = label;
      item.cchTextMax = 64;
      SendMessageW(tabs, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
      v.labels.emplace_back(label);
    }
    wchar_t caption[128] = {};
    GetWindowTextW(help, caption, 128);
    v.caption = caption;
    v.text = PaneText(text);
    v.firstLine = static_cast<LONG>(SendMessageW(text, EM_GETFIRSTVISIBLELINE, 0, 0));
    SendMessageW(text, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&v.scroll));
    v.textRect = ChildRect(text);
    GetClientRect(help, &v.client);
    RECT strip{};
    GetWindowRect(tabs, &strip);
    v.tabHeight = strip.bottom - strip.top;
  });
  return v;
}

HWND OpenHelp(ViewerRun& viewer) {
  viewer.Command(CMD_HELP);
  viewer.Settle();  // the document is loaded by a posted command
  HWND help = nullptr;
  viewer.OnViewerThread([&help] { help = Main().helpWindow; });
  return help;
}

void CloseHelp(ViewerRun& viewer, HWND help) {
  PostMessageW(help, WM_CLOSE, 0, 0);  // the close box: the dialog posts itself Cancel
  viewer.Settle();
  viewer.Settle();
}

// The plain text a document gives in a rich-edit control of its own.
std::wstring DocumentText(int id, std::string* rtf = nullptr) {
  const HMODULE module = GetModuleHandleW(nullptr);
  const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), RT_RCDATA);
  if (!found) return L"";
  const DWORD size = SizeofResource(module, found);
  const char* bytes = static_cast<const char*>(LockResource(LoadResource(module, found)));
  if (rtf) rtf->assign(bytes, size);
  LoadLibraryW(L"Msftedit.dll");
  const HWND control = CreateWindowExW(0, MSFTEDIT_CLASS, L"", ES_MULTILINE, 0, 0, 400, 300, nullptr, nullptr,
                                       nullptr, nullptr);
  SETTEXTEX replace{ST_DEFAULT, CP_ACP};
  const LRESULT accepted =
      SendMessageW(control, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&replace), reinterpret_cast<LPARAM>(bytes));
  std::wstring text = accepted ? PaneText(control) : L"";
  DestroyWindow(control);
  return text;
}

// A real click at a character of the help text.
void ClickAt(ViewerRun& viewer, HWND text, LONG character) {
  POINTL at{};
  viewer.OnViewerThread([&] { SendMessageW(text, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), character); });
  const LPARAM point = MAKELPARAM(at.x + 2, at.y + 2);
  PostMessageW(text, WM_LBUTTONDOWN, MK_LBUTTON, point);
  PostMessageW(text, WM_LBUTTONUP, 0, point);
  viewer.Settle();
}

std::vector<std::wstring> OpenedLinks;
void RecordLink(const std::wstring& link) { OpenedLinks.push_back(link); }

class HelpWindowTest : public CleanRegistryTest {};

TEST_F(HelpWindowTest, OpensWhereItWasClosedInBothLanguagesAndHandsLinksToTheShell) {
  const LinkOpener shell = SetLinkOpener(RecordLink);
  {
    ViewerRun viewer;
    // A stored tab and rectangle out of range: About, at half the screen, full height.
    viewer.OnViewerThread([] {
      WindowSettings& s = TheProgram().settings;
      s.helpTab = 7, s.helpLeft = -5, s.helpTop = 30, s.helpWidth = 500, s.helpHeight = 10;
    });
    const HWND first = OpenHelp(viewer);
    ASSERT_TRUE(first);
    HelpView v = Look(viewer, first);
    EXPECT_EQ(v.caption, L"Tomelet viewer (Version: 1.0.0)");
    EXPECT_EQ(v.labels, (std::vector<std::wstring>{L"About...", L"Create own Tomelets", L"Tips...", L"History"}));
    EXPECT_EQ(v.tab, 0);
    EXPECT_EQ(v.text, DocumentText(IDR_HELP_ABOUT_ENGLISH));
    EXPECT_EQ(v.frame.left, kScreenW / 2);
    EXPECT_EQ(v.frame.top, 30);
    EXPECT_EQ(v.frame.bottom - v.frame.top, kScreenH);
    viewer.OnViewerThread([] {  // written back at once
      EXPECT_EQ(TheProgram().settings.helpLeft, kScreenW / 2);
      EXPECT_EQ(TheProgram().settings.helpHeight, kScreenH);
      EXPECT_EQ(TheProgram().settings.helpTab, 0);
    });
    // The text fills the client area below the strip.
    EXPECT_EQ(v.textRect.top, v.tabHeight + 1);
    EXPECT_EQ(v.textRect.bottom, v.client.bottom);
    EXPECT_EQ(v.textRect.right, v.client.right);

    // Keys reach the window through the message loop: Tab to the strip, Right to the
    // next tab.
    const HWND tabs = GetDlgItem(first, IDC_HELP_TABS), text = GetDlgItem(first, IDC_HELP_TEXT);
    EXPECT_EQ(viewer.Focus(), text);
    viewer.Key(VK_TAB);
    EXPECT_EQ(viewer.Focus(), tabs);
    viewer.Key(VK_RIGHT);
    viewer.Settle();
    v = Look(viewer, first);
    EXPECT_EQ(v.tab, 1);
    EXPECT_EQ(v.text, DocumentText(IDR_HELP_CREATE_ENGLISH));

    // Read on a smaller window, half-way down, then close and reopen: the same spot.
    MoveWindow(first, 40, 50, 420, 300, TRUE);
    viewer.OnViewerThread([text] { SendMessageW(text, WM_VSCROLL, SB_PAGEDOWN, 0); });
    viewer.OnViewerThread([text] { SendMessageW(text, WM_VSCROLL, SB_PAGEDOWN, 0); });
    const HelpView read = Look(viewer, first);
    ASSERT_GT(read.firstLine, 0);
    ASSERT_GT(read.scroll.y, 0);
    CloseHelp(viewer, first);
    EXPECT_FALSE(IsWindow(first));
    viewer.OnViewerThread([] { EXPECT_EQ(Main().helpWindow, nullptr); });
    EXPECT_EQ(viewer.Focus(), viewer.text());  // the main window hands it on to the text
    const HWND second = OpenHelp(viewer);
    v = Look(viewer, second);
    EXPECT_EQ(v.tab, 1);
    EXPECT_EQ(v.frame.left, 40);
    EXPECT_EQ(v.frame.top, 50);
    EXPECT_EQ(v.frame.right - v.frame.left, 420);
    EXPECT_EQ(v.frame.bottom - v.frame.top, 300);
    EXPECT_EQ(v.firstLine, read.firstLine);
    EXPECT_EQ(v.scroll.y, read.scroll.y);

    // A web address is a link: a click hands it to the shell.
    const std::size_t address = v.text.find(L"https://");
    ASSERT_NE(address, std::wstring::npos);
    const std::wstring url = v.text.substr(address, v.text.find_first_of(L" \r)", address) - address);
    OpenedLinks.clear();
    ClickAt(viewer, GetDlgItem(second, IDC_HELP_TEXT), static_cast<LONG>(address) + 3);
    EXPECT_EQ(OpenedLinks, std::vector<std::wstring>{url});

    // German from now on; each Help command makes another window, and the newest keeps
    // the keyboard even when an older one closes.
    viewer.Command(CMD_LANGUAGE_GERMAN);
    const HWND german = OpenHelp(viewer);
    ASSERT_NE(german, second);
    EXPECT_TRUE(IsWindow(second));
    v = Look(viewer, german);
    EXPECT_EQ(v.labels,
              (std::vector<std::wstring>{L"\u00dcber...", L"Tomelets selber machen", L"Tips...", L"History"}));
    EXPECT_EQ(v.text, DocumentText(IDR_HELP_CREATE_GERMAN));
    CloseHelp(viewer, second);
    viewer.OnViewerThread([german] { EXPECT_EQ(Main().helpWindow, german); });
    // Another tab starts at its top; coming back does too.
    SendMessageW(GetDlgItem(german, IDC_HELP_TABS), TCM_SETCURSEL, 0, 0);
    NMHDR change{GetDlgItem(german, IDC_HELP_TABS), IDC_HELP_TABS, TCN_SELCHANGE};
    SendMessageW(german, WM_NOTIFY, IDC_HELP_TABS, reinterpret_cast<LPARAM>(&change));
    viewer.Settle();
    v = Look(viewer, german);
    EXPECT_EQ(v.tab, 0);
    EXPECT_EQ(v.text, DocumentText(IDR_HELP_ABOUT_GERMAN));
    EXPECT_EQ(v.firstLine, 0);
    EXPECT_EQ(v.scroll.y, 0);
    // History: one document for both languages. Half-way down, then the program ends with
    // its settings kept.
    SendMessageW(GetDlgItem(german, IDC_HELP_TABS), TCM_SETCURSEL, 3, 0);
    SendMessageW(german, WM_NOTIFY, IDC_HELP_TABS, reinterpret_cast<LPARAM>(&change));
    viewer.Settle();
    EXPECT_EQ(Look(viewer, german).text, DocumentText(IDR_HELP_HISTORY));
    viewer.OnViewerThread([german] { SendMessageW(GetDlgItem(german, IDC_HELP_TEXT), WM_VSCROLL, SB_PAGEDOWN, 0); });
    const HelpView history = Look(viewer, german);
    CloseHelp(viewer, german);
    viewer.Command(CMD_SAVE_SETTINGS);
    PostMessageW(viewer.window(), WM_CLOSE, 0, 0);
    ASSERT_EQ(viewer.WaitForExit(), 0);

    ViewerRun again;
    const HWND restored = OpenHelp(again);
    v = Look(again, restored);
    EXPECT_EQ(v.tab, 3);
    EXPECT_EQ(v.frame.left, history.frame.left);
    EXPECT_EQ(v.frame.bottom - v.frame.top, history.frame.bottom - history.frame.top);
    EXPECT_EQ(v.firstLine, history.firstLine);
    EXPECT_EQ(v.scroll.y, history.scroll.y);
    CloseHelp(again, restored);
  }
  SetLinkOpener(shell);
}

// Stored help fields of any value: the window opens on the screen, at a valid tab.
TEST_F(HelpWindowTest, AnyStoredValuesOpenOnTheScreenAtAValidTab) {
  ViewerRun viewer;
  const int32_t values[] = {INT32_MIN, -1, 0, 9, kScreenW, kScreenH - 19, INT32_MAX};
  for (const int32_t value : values) {
    SCOPED_TRACE(value);
    viewer.OnViewerThread([value] {
      WindowSettings& s = TheProgram().settings;
      s.helpTab = s.helpLeft = s.helpTop = s.helpWidth = s.helpHeight = s.helpScrollY = s.helpTopChar = value;
    });
    const HWND help = OpenHelp(viewer);
    ASSERT_TRUE(help);
    const HelpView v = Look(viewer, help);
    EXPECT_GE(v.tab, 0);
    EXPECT_LE(v.tab, 3);
    EXPECT_GE(v.frame.left, 0);
    EXPECT_LE(v.frame.left, kScreenW - 20);
    EXPECT_GE(v.frame.top, 0);
    EXPECT_LE(v.frame.top, kScreenH - 20);
    EXPECT_FALSE(v.text.empty());
    CloseHelp(viewer, help);
  }
}

// Menu item texts as a reader finds them named: without "&", "..." and the key after a tab.
void CollectMenuTexts(HMENU menu, std::vector<std::wstring>& texts) {
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    wchar_t text[128] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING | MIIM_FTYPE | MIIM_SUBMENU;
    info.dwTypeData = text;
    info.cch = 128;
    GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
    std::wstring name = text;
    name = name.substr(0, name.find(L'\t'));
    std::erase(name, L'&');
    if (name.ends_with(L"...")) name.resize(name.size() - 3);
    if (!name.empty()) texts.push_back(name);
    if (info.hSubMenu) CollectMenuTexts(info.hSubMenu, texts);
  }
}

TEST(HelpDocuments, AreRtfTheControlAcceptsAndNameEveryMenuCommand) {
  const std::map<int, std::vector<int>> documentsOf = {
      {IDM_MENU_ENGLISH, {IDR_HELP_ABOUT_ENGLISH, IDR_HELP_CREATE_ENGLISH, IDR_HELP_TIPS_ENGLISH, IDR_HELP_HISTORY}},
      {IDM_MENU_GERMAN, {IDR_HELP_ABOUT_GERMAN, IDR_HELP_CREATE_GERMAN, IDR_HELP_TIPS_GERMAN, IDR_HELP_HISTORY}}};
  for (const auto& [menuId, documents] : documentsOf) {
    std::wstring all;
    for (int id : documents) {
      SCOPED_TRACE(id);
      std::string rtf;
      const std::wstring text = DocumentText(id, &rtf);
      ASSERT_GT(rtf.size(), 1u);
      EXPECT_TRUE(rtf.starts_with("{\\rtf1"));
      EXPECT_EQ(rtf.back(), '\0');
      EXPECT_EQ(rtf.find('\0'), rtf.size() - 1);
      EXPECT_GT(text.size(), 500u);  // read as RTF: words, not control words
      EXPECT_EQ(text.find(L"\\par"), std::wstring::npos);
      all += text;
    }
    const HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(menuId));
    ASSERT_TRUE(menu);
    std::vector<std::wstring> commands;
    CollectMenuTexts(menu, commands);
    DestroyMenu(menu);
    EXPECT_GT(commands.size(), 20u);
    for (const std::wstring& command : commands)
      EXPECT_NE(all.find(command), std::wstring::npos) << "menu " << menuId << " names it, the documents do not: "
                                                       << WideToUtf8(command);
  }
}

}  // namespace
}  // namespace tomelet::test
