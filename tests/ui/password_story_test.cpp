// An encrypted book read through the real password dialog, answered as a user answers it:
// Cancel, a wrong password, "show password" kept by OK, the right one (beyond ASCII),
// "don't ask again".
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "base/wide.h"
#include "res/resource_ids.h"
#include "tests/support/bad_books.h"
#include "tests/support/book_writer.h"
#include "tests/support/zip_patch.h"
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

// A wrong password that passes the one-byte check of PKWARE encryption (about 1 in 128
// do) is refused like any wrong one: the next encrypted chapter asks again.
TEST(PasswordStory, APasswordThatPassesTheOneByteCheckIsRefusedAndAskedForAgain) {
  const std::string book = std::string(TOMELET_TEST_BOOKS) + "/pkware.tmk";
  const std::wstring wrong = Utf8ToWide(FalseCheckPassword(ReadFileBytes(WideToUtf8(WinPath(book))), "01 One.rtf", "secret"));
  ViewerRun viewer(WinPath(book));
  const struct { int command; const wchar_t *password, *shows; } steps[] = {
      {0, wrong.c_str(), L"Could not open chapter.\r(\"Wrong password provided\")"},
      {CMD_CHAPTER_DOWN, L"secret", L"Second secret chapter"},
      {CMD_CHAPTER_UP, nullptr, L"First secret chapter"},
  };
  for (const auto& step : steps) {
    if (step.command) PostMessageW(viewer.window(), WM_COMMAND, static_cast<WPARAM>(step.command), 0);
    const HWND dialog = viewer.WaitForDialog(step.password ? 5000 : 300);
    ASSERT_EQ(dialog != nullptr, step.password != nullptr) << step.shows;
    if (dialog) {
      SetDlgItemTextW(dialog, IDE_PASSWORD, step.password);
      viewer.Answer(dialog, IDOK);
    }
    viewer.Settle();
    EXPECT_TRUE(viewer.Shows(step.shows)) << step.shows;
  }
}

// A chapter packed a thousandfold is refused at once with its size, one nested 100,000
// groups deep (it ended the viewer inside the control) with its depth; one at the limit
// is shown.
TEST(BadBookStory, HugePackedAndDeeplyNestedChaptersAreRefusedWithTheirMeasure) {
  TempDir dir;
  WriteBadBooks(dir.path(), {"bomb", "deep"});
  const struct { const char* book; int row; const wchar_t* shows; } steps[] = {
      {"bomb", 0, L"The chapter is too large to be shown: 52,428,800 bytes, packed to "},
      {"deep", 0, L"The chapter is nested too deeply to be shown: more than 32 levels of groups."},
      {"deep", 1, L"limit"}};
  for (const auto& step : steps) {
    ViewerRun viewer(WinPath(dir.File(std::string(step.book) + ".tmk")));
    viewer.SelectRow(step.row);
    viewer.Settle();
    EXPECT_TRUE(viewer.running() && viewer.Shows(step.shows)) << step.book << " " << step.row;
    viewer.Screenshot(ScreenshotPath(L"bad-book-" + Utf8ToWide(step.book) + L".png"));
  }
}

}  // namespace
}  // namespace tomelet::test
