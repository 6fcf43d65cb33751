// The interface language: automatic (from the user's UI language), English or German,
// switched while a book is open; and the real program started in a German Wine.
#include <gtest/gtest.h>

#include "app/book_view.h"
#include "app/main_window.h"
#include "app/viewer.h"
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

// The radio marks of the Settings sub-menu as it shows them when it opens (high word 0) or
// when the system menu opens (high word 1), which changes nothing.
std::vector<UINT> Marks(const ViewerRun& viewer, WORD systemMenu = 0) {
  const HMENU settings = GetSubMenu(GetSubMenu(GetMenu(viewer.window()), 0), 6);
  SendMessageW(viewer.window(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(settings), MAKELPARAM(6, systemMenu));
  std::vector<UINT> marks;
  for (UINT id : {CMD_LANGUAGE_ENGLISH, CMD_LANGUAGE_GERMAN, CMD_LANGUAGE_AUTOMATIC, CMD_SAVE_SETTINGS,
                  CMD_DONT_SAVE_SETTINGS})
    if (GetMenuState(settings, id, MF_BYCOMMAND) & MF_CHECKED) marks.push_back(id);
  return marks;
}


TEST(LanguageStory, AutomaticEnglishAndGermanSwapTheMenusWhileABookIsOpen) {
  TempDir dir;
  ASSERT_TRUE(BookWriter().Add("#META.TXT", "Title: T").Add("01 A.rtf", "{\\rtf1 a\\par}").Write(dir.File("b.tmk")));
  ViewerOptions austrian;
  austrian.userUiLanguage = MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN_AUSTRIAN);
  ViewerRun viewer(WinPath(dir.File("b.tmk")), austrian);
  EXPECT_EQ(BarText(viewer, 0), L"&Datei");
  EXPECT_EQ(ListRowText(viewer.contents(), 0), L"01[\u00dcber...]");
  EXPECT_EQ(Marks(viewer), (std::vector<UINT>{CMD_LANGUAGE_AUTOMATIC, CMD_DONT_SAVE_SETTINGS}));

  // English: a fresh menu (the old one destroyed) that keeps the greyed zoom button.
  viewer.OnViewerThread([] {
    Main().zoomLevel = 1;
    UpdateMenuState();
  });
  const HMENU german = GetMenu(viewer.window());
  viewer.Command(CMD_LANGUAGE_ENGLISH);
  EXPECT_FALSE(IsMenu(german));
  EXPECT_EQ(Main().menuBar, GetMenu(viewer.window()));
  EXPECT_EQ(BarText(viewer, 0), L"&File");
  EXPECT_TRUE(GetMenuState(GetMenu(viewer.window()), 3, MF_BYPOSITION) & MF_GRAYED);
  EXPECT_EQ(Marks(viewer), (std::vector<UINT>{CMD_LANGUAGE_ENGLISH, CMD_DONT_SAVE_SETTINGS}));
  // Rows built before keep their label until the book is opened again.
  EXPECT_EQ(ListRowText(viewer.contents(), 0), L"01[\u00dcber...]");
  viewer.Command(CMD_OPEN_BOOK_COMMAND);
  EXPECT_EQ(ListRowText(viewer.contents(), 0), L"01[About...]");

  viewer.Command(CMD_LANGUAGE_AUTOMATIC);  // the system is German
  EXPECT_EQ(BarText(viewer, 0), L"&Datei");
  EXPECT_EQ(Marks(viewer), (std::vector<UINT>{CMD_LANGUAGE_AUTOMATIC, CMD_DONT_SAVE_SETTINGS}));
  viewer.Command(CMD_SAVE_SETTINGS);
  EXPECT_EQ(Marks(viewer, 1), (std::vector<UINT>{CMD_LANGUAGE_AUTOMATIC, CMD_DONT_SAVE_SETTINGS}));
  EXPECT_EQ(Marks(viewer), (std::vector<UINT>{CMD_LANGUAGE_AUTOMATIC, CMD_SAVE_SETTINGS}));
  viewer.Command(CMD_LANGUAGE_GERMAN);
  EXPECT_EQ(Marks(viewer), (std::vector<UINT>{CMD_LANGUAGE_GERMAN, CMD_SAVE_SETTINGS}));

  // A message shown after a switch speaks the new language.
  viewer.Command(CMD_LANGUAGE_ENGLISH);
  const std::wstring missing = WinPath(dir.File("gone.tmk"));
  viewer.OnViewerThread([&] { Session().bookPath = missing; });
  PostMessageW(viewer.window(), WM_COMMAND, CMD_OPEN_BOOK_COMMAND, 0);
  EXPECT_EQ(viewer.AnswerMessageBox(), L"Error opening file\r" + missing);
}

}  // namespace
}  // namespace tomelet::test
