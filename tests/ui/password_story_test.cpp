// An encrypted book read through the real password dialog, answered as a user answers it:
// Cancel, a wrong password, "show password" kept by OK, the right one (beyond ASCII),
// "don't ask again".
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "res/resource_ids.h"
#include "tests/support/book_writer.h"
#include "tests/ui/viewer_harness.h"

namespace tomelet::test {
namespace {

bool Hidden(HWND dialog) { return SendDlgItemMessageW(dialog, IDE_PASSWORD, EM_GETPASSWORDCHAR, 0, 0) != 0; }

TEST(PasswordStory, CancelWrongShownRightAndDontAskAgain) {
  TempDir dir;
  // Written with the UTF-8 bytes of a password beyond ASCII, as typed into the dialog.
  ASSERT_TRUE(BookWriter().Password("p\xC3\xA4ss").Add("01 One.rtf", Rtf("AES chapter one"), Encryption::Aes256)
                  .Add("02 Two.rtf", Rtf("AES chapter two"), Encryption::Aes128)
                  .Add("03 Plain.rtf", Rtf("Plain chapter")).Write(dir.File("aes.tmk")));
  ViewerRun viewer(WinPath(dir.File("aes.tmk")));
  // A command (0: the opening), whether the dialog asks with the password hidden (-1: it
  // does not ask), the boxes clicked, the password typed (null: Cancel), what is shown.
  const struct { int command, hidden; std::vector<int> clicks; const wchar_t *password, *shows; } steps[] = {
      {0, 1, {IDB_SHOW_PASSWORD, IDB_DONT_ASK_AGAIN}, nullptr, L"No password provided"},  // Cancel keeps neither
      {CMD_CHAPTER_DOWN, 1, {IDB_SHOW_PASSWORD}, L"guess", L"Could not open chapter.\r(\"Wrong password provided\")"},
      {CMD_CHAPTER_UP, 0, {}, L"p\u00e4ss", L"AES chapter one"},  // shown, as OK kept it; the guess forgotten
      {CMD_CHAPTER_DOWN, -1, {}, nullptr, L"AES chapter two"},   // one password opens every entry
      {CMD_OPEN_BOOK_COMMAND, 0, {IDB_DONT_ASK_AGAIN}, L"guess", L"Could not open chapter."},
      {CMD_CHAPTER_DOWN, -1, {}, nullptr, L"Could not open chapter."},  // not asked until opened anew
      {CMD_OPEN_BOOK_COMMAND, 0, {}, L"p\u00e4ss", L"AES chapter one"},
  };
  for (const auto& step : steps) {
    if (step.command) PostMessageW(viewer.window(), WM_COMMAND, static_cast<WPARAM>(step.command), 0);
    const HWND dialog = viewer.WaitForDialog(step.hidden < 0 ? 300 : 5000);
    ASSERT_EQ(dialog != nullptr, step.hidden >= 0) << step.shows;
    if (dialog) {
      EXPECT_EQ(Hidden(dialog), step.hidden == 1);
      EXPECT_EQ(WindowText(dialog, IDE_PASSWORD), L"");
      for (int box : step.clicks) SendDlgItemMessageW(dialog, box, BM_CLICK, 0, 0);
      EXPECT_EQ(Hidden(dialog), step.hidden == 1 && !std::ranges::count(step.clicks, IDB_SHOW_PASSWORD));  // at once
      if (step.password) SetDlgItemTextW(dialog, IDE_PASSWORD, step.password);
      viewer.Answer(dialog, step.password ? IDOK : IDCANCEL);
    }
    viewer.Settle();
    EXPECT_TRUE(viewer.Shows(step.shows)) << step.shows;
  }
}

}  // namespace
}  // namespace tomelet::test
