// What a screen reader gets from the real window through oleacc (AccessibleObjectFromWindow,
// in this process and from the real program in another): the contents rows, the text pane,
// the owner-drawn menu items' MSAAMENUINFO names and the Find all hits, in both languages;
// and the window with high contrast faked through the colour rule's seam.
#include <gtest/gtest.h>
#include <oleacc.h>

#include <string>
#include <vector>

#include "app/main_window.h"
#include "base/win_handles.h"
#include "res/resource_ids.h"
#include "tests/support/book_writer.h"
#include "tests/ui/viewer_harness.h"

namespace tomelet::test {
namespace {

struct Releaser {
  void operator()(IAccessible* object) const { object->Release(); }
};
using Accessible = std::unique_ptr<IAccessible, Releaser>;

// oleacc as a screen reader loads it (linked, its IID_IAccessible clashes with uuid's on x86_64).
Accessible ObjectOf(HWND window) {
  using FromWindow = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);
  static const HMODULE oleacc = LoadLibraryW(L"oleacc.dll");
  const auto fromWindow = reinterpret_cast<FromWindow>(reinterpret_cast<void*>(GetProcAddress(oleacc, "AccessibleObjectFromWindow")));
  IAccessible* object = nullptr;
  if (fromWindow) fromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible, reinterpret_cast<void**>(&object));
  return Accessible(object);
}

VARIANT Child(long id) {
  VARIANT child{};
  child.vt = VT_I4;
  child.lVal = id;
  return child;
}

// A text property of a child (0: the object itself).
std::wstring Text(IAccessible* object, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*), long id) {
  BSTR text = nullptr;
  if (FAILED((object->*get)(Child(id), &text)) || !text) return L"<none>";
  std::wstring result(text, SysStringLen(text));
  SysFreeString(text);
  return result;
}
std::wstring Name(IAccessible* object, long id = CHILDID_SELF) { return Text(object, &IAccessible::get_accName, id); }

long Number(IAccessible* object, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*), long id) {
  VARIANT value{};
  return SUCCEEDED((object->*get)(Child(id), &value)) && value.vt == VT_I4 ? value.lVal : -1;
}

// Each row: name | description | role | selected, focused.
std::vector<std::wstring> Rows(IAccessible* list) {
  long count = 0;
  list->get_accChildCount(&count);
  std::vector<std::wstring> rows;
  for (long id = 1; id <= count; ++id) {
    const long state = Number(list, &IAccessible::get_accState, id);
    rows.push_back(Name(list, id) + L" | " + Text(list, &IAccessible::get_accDescription, id) + L" | " +
                   std::to_wstring(Number(list, &IAccessible::get_accRole, id)) +
                   (state & STATE_SYSTEM_SELECTED ? L" selected" : L"") + (state & STATE_SYSTEM_FOCUSED ? L" focused" : L""));
  }
  return rows;
}

// The MSAAMENUINFO names of the owner-drawn items on the bar and in the Window menu.
std::vector<std::wstring> MenuNames(HMENU bar) {
  std::vector<std::wstring> names;
  for (HMENU menu : {GetSubMenu(bar, 2), bar}) {
    for (int pos = 0; pos < GetMenuItemCount(menu); ++pos) {
      MENUITEMINFOW info{};
      info.cbSize = sizeof(info);
      info.fMask = MIIM_FTYPE | MIIM_DATA;
      GetMenuItemInfoW(menu, static_cast<UINT>(pos), TRUE, &info);
      const auto* msaa = reinterpret_cast<const MSAAMENUINFO*>(info.dwItemData);
      if (!(info.fType & MFT_OWNERDRAW)) continue;
      names.push_back(msaa && msaa->dwMSAASignature == static_cast<DWORD>(MSAA_MENU_SIG)
                          ? std::wstring(msaa->pszWText, msaa->cchWText) : L"<no record>");
    }
  }
  return names;
}

std::string WriteBook(const TempDir& dir) {
  BookWriter book;
  book.Add("#META.TXT", "About").Add("01 Welcome.rtf", Rtf("Hello reader, hello world."))
      .Add("02-1 A picture.png", "x").Add("03-2 Deep.rtf", Rtf("deep hello")).Add("04-2.rtf", Rtf("more"))
      .Add("05 Notes.csv", "a,b");
  const std::string path = dir.File("spoken.tmk");
  EXPECT_TRUE(book.Write(path));
  return path;
}

TEST(AccessibilityStory, RowsMenuItemsPaneAndHitsReadByName) {
  ClearRegistry();
  TempDir dir;
  const std::string path = WriteBook(dir);
  const ComApartment apartment;
  ViewerRun viewer(WinPath(path));
  viewer.Command(CMD_LANGUAGE_ENGLISH);
  const Accessible list = ObjectOf(viewer.contents());
  ASSERT_TRUE(list);
  EXPECT_EQ(Name(list.get()), L"Table of contents");
  EXPECT_EQ(Number(list.get(), &IAccessible::get_accRole, CHILDID_SELF), ROLE_SYSTEM_LIST);
  const std::wstring item = std::to_wstring(ROLE_SYSTEM_LISTITEM);
  viewer.SelectRow(2);
  viewer.OnViewerThread([&] { SetFocus(viewer.contents()); });
  EXPECT_EQ(Rows(list.get()), (std::vector<std::wstring>{
      L"[About...] | Book information | " + item, L"Welcome | Chapter | " + item,
      L"A picture | Picture, level 1 | " + item + L" selected focused", L"Deep | Chapter, level 2 | " + item,
      L"Deep | Chapter, level 3, continued | " + item, L"Notes | Attachment | " + item}));
  long left = 0, top = 0, width = 0, height = 0;
  ASSERT_EQ(list->accLocation(&left, &top, &width, &height, Child(2)), S_OK);
  POINT origin{0, 0};
  ClientToScreen(viewer.contents(), &origin);
  EXPECT_EQ(std::vector<long>({left, top, height}), std::vector<long>({origin.x, origin.y + height, height}));
  EXPECT_EQ(Name(ObjectOf(viewer.text()).get()), L"Chapter");
  EXPECT_EQ(MenuNames(GetMenu(viewer.window())), (std::vector<std::wstring>{
      L"Zoom smaller\tF10", L"Normal size\tF11", L"Zoom bigger\tF12", L"Previous chapter\tCtrl+PageUp",
      L"Next chapter\tCtrl+PageDown", L"Zoom smaller\tF10", L"Normal size\tF11", L"Zoom bigger\tF12",
      L"Previous chapter\tCtrl+PageUp", L"Next chapter\tCtrl+PageDown"}));

  // Another row chosen by the reader's object, then German: the same object says it so.
  ASSERT_EQ(list->accSelect(SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION, Child(4)), S_OK);
  viewer.Settle();
  EXPECT_TRUE(viewer.Shows(L"deep hello"));
  viewer.Command(CMD_LANGUAGE_GERMAN);
  EXPECT_EQ(Name(list.get()), L"Inhaltsverzeichnis");
  EXPECT_EQ(Rows(list.get())[3], L"Deep | Kapitel, Ebene 2 | " + item + L" selected focused");
  EXPECT_EQ(Name(ObjectOf(viewer.text()).get()), L"Kapitel");
  const std::vector<std::wstring> german = MenuNames(GetMenu(viewer.window()));
  EXPECT_EQ(std::vector<std::wstring>(german.begin(), german.begin() + 5), (std::vector<std::wstring>{
      L"Kleiner zoomen\tF10", L"Normalgr\u00f6\u00dfe\tF11", L"Gr\u00f6\u00dfer zoomen\tF12",
      L"Vorheriges Kapitel\tStrg+BildAuf", L"N\u00e4chstes Kapitel\tStrg+BildAb"}));

  // The Find all hits, each by its chapter and the words around it.
  viewer.Command(CMD_FIND_ALL);
  HWND window = nullptr;
  viewer.OnViewerThread([&] { window = Main().findAllWindow; });
  ASSERT_TRUE(window);
  SetDlgItemTextW(window, IDE_FIND_ALL_TERM, L"hello");
  PressButton(window, IDB_FIND_ALL_FIND);
  viewer.Settle();
  const HWND hitList = GetDlgItem(window, IDL_FIND_ALL_HITS);
  for (int i = 0; i < 500 && IsWindowEnabled(GetDlgItem(window, IDB_FIND_ALL_STOP)); ++i) Sleep(10);
  viewer.Settle();
  const Accessible hits = ObjectOf(hitList);
  ASSERT_TRUE(hits);
  EXPECT_EQ(Name(hits.get()), L"Treffer");
  long count = 0;
  hits->get_accChildCount(&count);
  std::vector<std::wstring> names;
  for (long id = 1; id <= count; ++id) names.push_back(Name(hits.get(), id));
  EXPECT_EQ(names, (std::vector<std::wstring>{L"Welcome: Hello reader, hello world.", L"Welcome: Hello reader, hello world.",
                                             L"Deep: deep hello"}));
}

// The real program in a process of its own answers a reader there as well.
TEST(AccessibilityStory, AnotherProcessReadsTheRows) {
  ClearRegistry();
  TempDir dir;
  const std::string path = WriteBook(dir);
  const ComApartment apartment;
  ViewerProcess program(ViewerExePath(), L"\"" + WinPath(path) + L"\"");
  ASSERT_TRUE(program.window());
  const HWND contents = GetDlgItem(program.window(), IDW_CONTENTS_LIST);
  for (int i = 0; i < 500 && SendMessageW(contents, LB_GETCOUNT, 0, 0) < 6; ++i) Sleep(10);
  const Accessible list = ObjectOf(contents);
  ASSERT_TRUE(list);
  EXPECT_EQ(Name(list.get(), 2), L"Welcome");
  EXPECT_EQ(Text(list.get(), &IAccessible::get_accDescription, 3), L"Picture, level 1");
  program.Close();
}

// High contrast faked through the seam: the list's rows and empty area in the system's
// window colour, the shown row in the highlight colours.
TEST(AccessibilityStory, HighContrastDrawsInSystemColours) {
  ClearRegistry();
  TempDir dir;
  const std::string path = WriteBook(dir);
  ViewerOptions options;
  options.highContrast = true;
  ViewerRun viewer(WinPath(path), options);
  viewer.SelectRow(1);
  viewer.OnViewerThread([&] { SetFocus(viewer.contents()); UpdateWindow(viewer.window()); });
  const RECT list = ChildRect(viewer.contents());
  RECT empty{5, list.bottom - list.top - 40, 40, list.bottom - list.top - 10};
  EXPECT_GT(CountPixels(viewer.contents(), empty, GetSysColor(COLOR_WINDOW)), 0.9 * 35 * 30);
  EXPECT_EQ(CountPixels(viewer.contents(), empty, RGB(255, 239, 192)), 0);
  RECT row{};
  SendMessageW(viewer.contents(), LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
  EXPECT_GT(CountPixels(viewer.contents(), row, GetSysColor(COLOR_HIGHLIGHT)), 0);
  viewer.Screenshot(ScreenshotPath(L"high-contrast.png"));
}

}  // namespace
}  // namespace tomelet::test
