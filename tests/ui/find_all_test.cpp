// Edit > Find all through the real window: hits in book order across chapters, the case
// and whole-words options, encrypted chapters, Stop in the middle, another book, opening a
// hit into the main window, and the window's place kept in the settings.
#include <gtest/gtest.h>
#include <richedit.h>

#include <cstdlib>
#include <optional>
#include <utility>
#include <vector>

#include "app/main_window.h"
#include "app/book_view.h"
#include "res/resource_ids.h"
#include "tests/support/bad_books.h"
#include "tests/support/book_writer.h"
#include "tests/ui/viewer_harness.h"
#include "view/find_all_window.h"

namespace tomelet::test {
namespace {

using Place = std::pair<int, std::pair<long, long>>;  // row shown, selection

Place Shown(ViewerRun& viewer) {
  CHARRANGE r{};
  viewer.OnViewerThread([&] { SendMessageW(viewer.text(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r)); });
  return {static_cast<int>(SendMessageW(viewer.contents(), LB_GETCURSEL, 0, 0)), {r.cpMin, r.cpMax}};
}

FindAllProgress Progress(ViewerRun& viewer, HWND window) {
  FindAllProgress progress;
  viewer.OnViewerThread([&] { progress = FindAllProgressOf(window); });
  return progress;
}

int Listed(HWND window) { return static_cast<int>(SendDlgItemMessageW(window, IDL_FIND_ALL_HITS, LB_GETCOUNT, 0, 0)); }

// A walk: the options, the password dialog's answer (nullptr: cancelled, nullopt: none
// comes), the status line, and where each listed hit opens.
struct Walk {
  const wchar_t* term;
  bool matchCase, wholeWords;
  std::optional<const wchar_t*> password;
  std::wstring status;
  std::vector<Place> hits;
};

TEST(FindAllStory, EveryHitInBookOrderOpensInTheMainWindow) {
  ClearRegistry();
  TempDir dir;
  BookWriter book;
  book.Add("#META.TXT", "About alpha")
      .Add("01 One.rtf", Rtf("Alpha alphabet, alpha."))
      .Add("02 Data.csv", "alpha in an attachment")
      .Add("03 Secret.rtf", Rtf("secret alpha"), Encryption::Aes256)
      .Add("04 Two.rtf", "{\\rtf1\\ansi first\\par second ALPHA}")
      .Add("05 Hidden.rtf", Rtf("alpha hidden"), Encryption::Aes128);
  for (int i = 0; i < 300; ++i) book.Add("06 Filler " + std::to_string(1000 + i) + ".rtf", Rtf("filler\\par filler"));
  ASSERT_TRUE(book.Write(dir.File("find.tmk")));
  ViewerRun viewer(WinPath(dir.File("find.tmk")));
  viewer.Command(CMD_FIND_ALL);
  HWND window = nullptr;
  viewer.OnViewerThread([&] { window = Main().findAllWindow; });
  ASSERT_TRUE(window);
  const HWND list = GetDlgItem(window, IDL_FIND_ALL_HITS);

  const Walk walks[] = {
      // No password held: asked once; cancelled, both encrypted chapters are counted.
      {L"alpha", false, false, nullptr, L"Searched 305 of 305 chapters, 5 hits; 2 chapters could not be searched (the first: \"Secret\")",
       {{0, {6, 11}}, {1, {0, 5}}, {1, {6, 11}}, {1, {16, 21}}, {4, {13, 18}}}},
      {L"alpha", false, false, L"secret", L"Searched 305 of 305 chapters, 7 hits",
       {{0, {6, 11}}, {1, {0, 5}}, {1, {6, 11}}, {1, {16, 21}}, {3, {7, 12}}, {4, {13, 18}}, {5, {0, 5}}}},
      {L"alpha", true, true, std::nullopt, L"Searched 305 of 305 chapters, 4 hits",  // the password is held now
       {{0, {6, 11}}, {1, {16, 21}}, {3, {7, 12}}, {5, {0, 5}}}},
  };
  for (const Walk& walk : walks) {
    SetDlgItemTextW(window, IDE_FIND_ALL_TERM, walk.term);
    CheckDlgButton(window, IDB_FIND_ALL_MATCH_CASE, walk.matchCase ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(window, IDB_FIND_ALL_WHOLE_WORDS, walk.wholeWords ? BST_CHECKED : BST_UNCHECKED);
    PressButton(window, IDB_FIND_ALL_FIND);
    if (walk.password) {
      const HWND dialog = viewer.WaitForDialog(10000, window);
      ASSERT_TRUE(dialog);
      if (*walk.password) SetDlgItemTextW(dialog, IDE_PASSWORD, *walk.password);
      viewer.Answer(dialog, *walk.password ? IDOK : IDCANCEL);
    }
    viewer.Settle();
    for (int i = 0; i < 1000 && Progress(viewer, window).running; ++i) Sleep(10);
    EXPECT_FALSE(viewer.WaitForDialog(50, window)) << "asked a second time";
    EXPECT_EQ(WindowText(window, IDC_FIND_ALL_STATUS), walk.status);
    ASSERT_EQ(Listed(window), static_cast<int>(walk.hits.size()));
    // Enter on each row shows its chapter with the hit selected.
    for (int row = 0; row < Listed(window); ++row) {
      viewer.OnViewerThread([&] { SetFocus(list); SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0); });
      viewer.Key(VK_RETURN);
      EXPECT_EQ(Shown(viewer), walk.hits[static_cast<std::size_t>(row)]) << WindowText(window, IDC_FIND_ALL_STATUS);
    }
  }
  viewer.OnViewerThread([&] { MoveWindow(window, 60, 80, 560, 260, TRUE); UpdateWindow(window); });
  viewer.Screenshot(ScreenshotPath(L"find-all.png"));

  // Esc in the middle of a walk stops it: the rows listed are those of the chapters searched.
  SetDlgItemTextW(window, IDE_FIND_ALL_TERM, L"filler");
  PressButton(window, IDB_FIND_ALL_FIND);
  for (int i = 0; i < 1000 && Progress(viewer, window).counts.searched < 20; ++i) Sleep(1);
  PostMessageW(list, WM_KEYDOWN, VK_ESCAPE, 0);
  viewer.Settle();
  const FindAllProgress stopped = Progress(viewer, window);
  Sleep(100);
  EXPECT_FALSE(Progress(viewer, window).running);
  EXPECT_EQ(Progress(viewer, window).counts.searched, stopped.counts.searched);
  EXPECT_LT(stopped.counts.searched, 305u);
  EXPECT_EQ(Listed(window), 2 * (static_cast<int>(stopped.counts.searched) - 5));
  // Opening a book in the middle of a walk ends it and empties the list.
  PressButton(window, IDB_FIND_ALL_FIND);
  viewer.Command(CMD_OPEN_BOOK_COMMAND);
  EXPECT_FALSE(Progress(viewer, window).running);
  EXPECT_EQ(Listed(window), 0);

  // Its place is kept for the run, and with Save settings in the settings key.
  RECT placed{};
  GetWindowRect(window, &placed);
  PostMessageW(list, WM_KEYDOWN, VK_ESCAPE, 0);  // no walk: Esc closes it
  viewer.Settle();
  EXPECT_FALSE(IsWindow(window));
  viewer.Command(CMD_FIND_ALL);
  viewer.OnViewerThread([&] { window = Main().findAllWindow; });
  RECT reopened{};
  GetWindowRect(window, &reopened);
  EXPECT_TRUE(EqualRect(&placed, &reopened));
  viewer.Command(CMD_SAVE_SETTINGS);
  viewer.Command(CMD_EXIT);
  viewer.WaitForExit();
  std::int32_t stored[4] = {};
  DWORD size = sizeof(stored);
  EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, kSettingsPath, L"FindAllWindow", RRF_RT_REG_BINARY, nullptr, stored, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(std::vector<std::int32_t>(stored, stored + 4),
            (std::vector<std::int32_t>{placed.left, placed.top, placed.right - placed.left, placed.bottom - placed.top}));
  ClearRegistry();
}

// Waits up to 20 s for the walk to end; true when it did.
bool WalkEnds(ViewerRun& viewer, HWND window) {
  for (int i = 0; i < 2000 && Progress(viewer, window).running; ++i) Sleep(10);
  return !Progress(viewer, window).running;
}

TEST(FindAllStory, HostileChaptersArePassedByTheHitsStopAtTheLimitAndTheWindowFollowsTheDpi) {
  ClearRegistry();
  TempDir dir;
  std::string dense;
  for (int i = 0; i < 1500000; ++i) dense += "e ";
  ASSERT_TRUE(BookWriter()
                  .Add("01 Bomb.rtf", "{\\rtf1 " + std::string(kBombBytes - 8, 'a') + "}")  // packed a thousandfold
                  .Add("02 Deep.rtf", "{\\urtf1 " + std::string(99999, '{') + "e" + std::string(100000, '}'))
                  .Add("03 Dense.rtf", Rtf(dense))
                  .Add("04 After.rtf", Rtf("e"))
                  .Write(dir.File("hostile.tmk")));
  WriteBadBooks(dir.path(), {"index-bomb"});
  ViewerRun viewer(WinPath(dir.File("hostile.tmk")));
  viewer.Command(CMD_FIND_ALL);
  HWND window = nullptr;
  viewer.OnViewerThread([&] { window = Main().findAllWindow; });
  ASSERT_TRUE(window);
  SetDlgItemTextW(window, IDE_FIND_ALL_TERM, L"e");
  PressButton(window, IDB_FIND_ALL_FIND);
  ASSERT_TRUE(WalkEnds(viewer, window));
  EXPECT_EQ(WindowText(window, IDC_FIND_ALL_STATUS),
            L"Searched 3 of 4 chapters, 100,000 hits; 1 chapter too large to be shown, 1 chapter nested too deeply "
            L"(the first: \"Bomb\"); stopped at 100,000 hits");
  ASSERT_EQ(Listed(window), 100000);
  const HWND list = GetDlgItem(window, IDL_FIND_ALL_HITS);
  SendMessageW(list, LB_SETCURSEL, 99999, 0);  // the list stays usable: the last hit is shown
  EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 99999);
  EXPECT_GT(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 99900);

  // Its fonts, rows and place follow a change of DPI.
  const auto fontHeight = [&] {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)), sizeof(font), &font);
    return std::abs(font.lfHeight);
  };
  const LRESULT rowHeight = SendMessageW(list, LB_GETITEMHEIGHT, 0, 0);
  const LONG height = fontHeight();
  RECT suggested{40, 50, 40 + 1100, 50 + 600};
  viewer.OnViewerThread([&] { SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested)); });
  EXPECT_NEAR(fontHeight(), 2 * height, 1);
  EXPECT_NEAR(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0), 2 * rowHeight, 3);
  RECT placed{};
  GetWindowRect(window, &placed);
  EXPECT_TRUE(EqualRect(&placed, &suggested));

  // An index of 20 million lines: the first 400,000 rows, and a message; Find all reads
  // the one chapter they name once.
  viewer.OnViewerThread([&] { Session().bookPath = WinPath(dir.File("index-bomb.tmk")); });
  PostMessageW(viewer.window(), WM_COMMAND, CMD_OPEN_BOOK_COMMAND, 0);
  EXPECT_EQ(viewer.AnswerMessageBox(window),
            L"The book's index file is too long: only its first 400,000 lines were read, the rest is left out.");
  EXPECT_EQ(SendMessageW(viewer.contents(), LB_GETCOUNT, 0, 0), 400000);
  SetDlgItemTextW(window, IDE_FIND_ALL_TERM, L"one");
  PressButton(window, IDB_FIND_ALL_FIND);
  ASSERT_TRUE(WalkEnds(viewer, window));
  EXPECT_EQ(WindowText(window, IDC_FIND_ALL_STATUS), L"Searched 100,000 of 400,000 chapters, 100,000 hits; stopped at 100,000 hits");
  viewer.Command(CMD_EXIT);
  viewer.WaitForExit();
  ClearRegistry();
}

}  // namespace
}  // namespace tomelet::test
