// Edit > Find all through the real window: hits in book order across chapters, the case
// and whole-words options, encrypted chapters, Stop in the middle, another book, opening a
// hit into the main window, and the window's place kept in the settings.
#include <gtest/gtest.h>
#include <richedit.h>

#include <optional>
#include <utility>
#include <vector>

#include "app/main_window.h"
#include "res/resource_ids.h"
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
      {L"alpha", false, false, nullptr, L"Searched 305 of 305 chapters, 5 hits; 2 chapters could not be searched",
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

}  // namespace
}  // namespace tomelet::test
