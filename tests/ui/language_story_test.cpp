// The interface language: automatic (from the user's UI language), English or German,
// switched while a book is open; the real program started in a German Wine.
#include <gtest/gtest.h>

#include "app/book_view.h"
#include "app/main_window.h"
#include "res/resource_ids.h"
#include "tests/support/book_writer.h"
#include "tests/ui/viewer_harness.h"

namespace tomelet::test {
namespace {

std::wstring BarText(const ViewerRun& viewer, UINT position) {
  wchar_t text[64] = {};
  GetMenuStringW(GetMenu(viewer.window()), position, text, 64, MF_BYPOSITION);
  return text;
}

// The radio marks of the Settings sub-menu as it shows them when it opens.
std::vector<UINT> Marks(const ViewerRun& viewer) {
  const HMENU settings = GetSubMenu(GetSubMenu(GetMenu(viewer.window()), 0), 6);
  SendMessageW(viewer.window(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(settings), MAKELPARAM(6, 0));
  std::vector<UINT> marks;
  for (UINT id : {CMD_LANGUAGE_ENGLISH, CMD_LANGUAGE_GERMAN, CMD_LANGUAGE_AUTOMATIC, CMD_SAVE_SETTINGS,
                  CMD_DONT_SAVE_SETTINGS})
    if (GetMenuState(settings, id, MF_BYCOMMAND) & MF_CHECKED) marks.push_back(id);
  return marks;
}

TEST(LanguageStory, AutomaticEnglishAndGermanSwapTheMenusWhileABookIsOpen) {
  TempDir dir;
  ASSERT_TRUE(BookWriter().Add("#META.TXT", "Title: T").Add("01 A.rtf", Rtf("a")).Write(dir.File("b.tmk")));
  ViewerOptions austrian;
  austrian.userUiLanguage = MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN_AUSTRIAN);
  ViewerRun viewer(WinPath(dir.File("b.tmk")), austrian);
  EXPECT_EQ(ListRowText(viewer.contents(), 0), L"01[\u00dcber...]");
  viewer.OnViewerThread([] {
    Main().zoomLevel = 1;
    UpdateMenuState();  // the zoom-smaller button greyed
  });
  // A command (0: none), then the File menu's name and the marks of the Settings menu.
  const struct { int command; const wchar_t* file; std::vector<UINT> marks; } steps[] = {
      {0, L"&Datei", {CMD_LANGUAGE_AUTOMATIC, CMD_DONT_SAVE_SETTINGS}},
      {CMD_LANGUAGE_ENGLISH, L"&File", {CMD_LANGUAGE_ENGLISH, CMD_DONT_SAVE_SETTINGS}},
      {CMD_LANGUAGE_AUTOMATIC, L"&Datei", {CMD_LANGUAGE_AUTOMATIC, CMD_DONT_SAVE_SETTINGS}},  // the system's
      {CMD_SAVE_SETTINGS, L"&Datei", {CMD_LANGUAGE_AUTOMATIC, CMD_SAVE_SETTINGS}},
      {CMD_LANGUAGE_GERMAN, L"&Datei", {CMD_LANGUAGE_GERMAN, CMD_SAVE_SETTINGS}},
  };
  for (const auto& step : steps) {
    const HMENU before = GetMenu(viewer.window());
    if (step.command) viewer.Command(step.command);
    const HMENU bar = GetMenu(viewer.window());
    EXPECT_EQ(BarText(viewer, 0), step.file) << step.command;
    EXPECT_EQ(Marks(viewer), step.marks) << step.command;
    // Another language comes with a fresh menu (the old one destroyed) that keeps the greyed button.
    EXPECT_TRUE(bar == before || !IsMenu(before)) << step.command;
    EXPECT_TRUE(GetMenuState(bar, 3, MF_BYPOSITION) & MF_GRAYED) << step.command;
  }

  // The rows of the book opened again and a message speak the new language.
  viewer.Command(CMD_LANGUAGE_ENGLISH);
  viewer.Command(CMD_OPEN_BOOK_COMMAND);
  EXPECT_EQ(ListRowText(viewer.contents(), 0), L"01[About...]");
  const std::wstring missing = WinPath(dir.File("gone.tmk"));
  viewer.OnViewerThread([&] { Session().bookPath = missing; });
  PostMessageW(viewer.window(), WM_COMMAND, CMD_OPEN_BOOK_COMMAND, 0);
  EXPECT_EQ(viewer.AnswerMessageBox(), L"Error opening file\r" + missing);
}

// The real program file started as a process, the way the shell starts it, in a German
// Wine: Wine takes its UI language from LC_ALL, so this is the real system's language.
TEST(LanguageStory, ABookNamedOnTheCommandLineOfAGermanSystem) {
  // An unquoted path, split by the shell at its blank, of characters outside the ANSI code page.
  TempDir dir;
  const std::string book = dir.File("\xD0\x9A\xD0\xBD\xD0\xB8\xD0\xB3\xD0\xB0 \xE6\x9C\xAC.tmk");  // "Книга 本"
  ASSERT_TRUE(BookWriter().Add("#META.TXT", "Title: T").Add("01 One.rtf", Rtf("one")).Write(book));
  ViewerProcess viewer(ViewerExePath(), WinPath(book), "de_DE.UTF-8");
  ASSERT_TRUE(viewer.window());
  EXPECT_EQ(WindowText(viewer.window()), L"Tomelet: \u041a\u043d\u0438\u0433\u0430 \u672c.tmk");
  EXPECT_EQ(ListRowText(GetDlgItem(viewer.window(), IDW_CONTENTS_LIST), 0), L"01[\u00dcber...]");
  viewer.Command(CMD_EXIT);
  EXPECT_EQ(viewer.Close(), 0u);
}

}  // namespace
}  // namespace tomelet::test
