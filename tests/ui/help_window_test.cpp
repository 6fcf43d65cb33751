// The help window as a reader uses it: the program's own documents in both languages in
// the real rich-edit control, the place it was closed at, links handed to the shell.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <climits>
#include <set>

#include "app/main_window.h"
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

}  // namespace
}  // namespace tomelet::test
