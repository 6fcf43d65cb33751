// An encrypted book read through the real password dialog, answered as a user answers it:
// Cancel, a wrong password, "show password" kept by OK, the right one (beyond ASCII),
// "don't ask again".
#include <gtest/gtest.h>

#include "app/book_view.h"
#include "app/viewer.h"
#include "res/resource_ids.h"
#include "tests/support/book_writer.h"
#include "tests/ui/viewer_harness.h"

namespace tomelet::test {
namespace {

bool Hidden(HWND dialog) { return SendDlgItemMessageW(dialog, IDE_PASSWORD, EM_GETPASSWORDCHAR, 0, 0) != 0; }

// Types into the dialog and presses OK (or Cancel when the password is null).
void Answer(ViewerRun& viewer, HWND dialog, const wchar_t* password, bool dontAskAgain = false) {
  if (password) SetDlgItemTextW(dialog, IDE_PASSWORD, password);
  if (dontAskAgain) SendDlgItemMessageW(dialog, IDB_DONT_ASK_AGAIN, BM_CLICK, 0, 0);
  viewer.Answer(dialog, password ? IDOK : IDCANCEL);
}

// A command that may ask for the password on the way; the dialog if it does.
HWND Step(ViewerRun& viewer, int command, bool asks = true) {
  PostMessageW(viewer.window(), WM_COMMAND, static_cast<WPARAM>(command), 0);
  HWND dialog = viewer.WaitForDialog(asks ? 5000 : 300);
  viewer.Settle();
  return dialog;
}

TEST(PasswordStory, CancelWrongShownRightAndDontAskAgain) {
  TempDir dir;
  // Written with the UTF-8 bytes of a password beyond ASCII, as typed into the dialog.
  ASSERT_TRUE(BookWriter()
                  .Password("p\xC3\xA4ss")
                  .Add("01 One.rtf", Rtf("AES chapter one"), Encryption::Aes256)
                  .Add("02 Two.rtf", Rtf("AES chapter two"), Encryption::Aes128)
                  .Add("03 Plain.rtf", Rtf("Plain chapter"))
                  .Write(dir.File("aes.tmk")));
  ViewerRun viewer(WinPath(dir.File("aes.tmk")));
  HWND dialog = viewer.WaitForDialog();
  ASSERT_TRUE(dialog);
  EXPECT_EQ(DialogText(dialog), L"Password:");
  EXPECT_TRUE(Hidden(dialog));
  SendDlgItemMessageW(dialog, IDB_SHOW_PASSWORD, BM_CLICK, 0, 0);  // shows the text at once
  EXPECT_FALSE(Hidden(dialog));
  SendDlgItemMessageW(dialog, IDB_DONT_ASK_AGAIN, BM_CLICK, 0, 0);
  Answer(viewer, dialog, nullptr);  // Cancel keeps neither box
  EXPECT_TRUE(viewer.Shows(L"No password provided"));
  EXPECT_EQ(TheProgram().settings.showPassword, 0);
  EXPECT_FALSE(Session().dontAskPassword);

  dialog = Step(viewer, CMD_CHAPTER_DOWN);
  ASSERT_TRUE(dialog);
  EXPECT_TRUE(Hidden(dialog));
  SendDlgItemMessageW(dialog, IDB_SHOW_PASSWORD, BM_CLICK, 0, 0);
  Answer(viewer, dialog, L"guess");
  EXPECT_EQ(PaneText(viewer.text()).rfind(L"Could not open chapter.\r(\"Wrong password provided\")", 0), 0u);
  EXPECT_EQ(TheProgram().settings.showPassword, 1);  // kept by OK

  // The wrong password is forgotten: the next prompt is empty and shows what is typed.
  dialog = Step(viewer, CMD_CHAPTER_UP);
  ASSERT_TRUE(dialog);
  EXPECT_FALSE(Hidden(dialog));
  EXPECT_EQ(DialogText(dialog, IDE_PASSWORD), L"");
  Answer(viewer, dialog, L"p\u00e4ss");
  EXPECT_TRUE(viewer.Shows(L"AES chapter one"));
  EXPECT_FALSE(Step(viewer, CMD_CHAPTER_DOWN, false)) << "one password opens every entry";
  EXPECT_TRUE(viewer.Shows(L"AES chapter two"));

  // Don't ask again holds until the book is opened anew.
  dialog = Step(viewer, CMD_OPEN_BOOK_COMMAND);
  ASSERT_TRUE(dialog);
  Answer(viewer, dialog, L"guess", true);
  EXPECT_TRUE(viewer.Shows(L"Could not open chapter."));
  EXPECT_FALSE(Step(viewer, CMD_CHAPTER_DOWN, false));
  EXPECT_TRUE(viewer.Shows(L"Could not open chapter."));
  dialog = Step(viewer, CMD_OPEN_BOOK_COMMAND);
  ASSERT_TRUE(dialog);
  Answer(viewer, dialog, L"p\u00e4ss");
  EXPECT_TRUE(viewer.Shows(L"AES chapter one"));
}

}  // namespace
}  // namespace tomelet::test
