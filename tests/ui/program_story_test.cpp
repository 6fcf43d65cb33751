// The real program file started as a process, the way the shell starts it, and the ways
// a run ends.
#include <gtest/gtest.h>

#include "app/viewer.h"
#include "res/resource_ids.h"
#include "tests/support/book_writer.h"
#include "tests/ui/viewer_harness.h"

namespace tomelet::test {
namespace {

TEST(ProgramStory, ABookNamedOnTheCommandLineAndTheExitCodes) {
  // An unquoted path, split by the shell at its blank, of characters outside the ANSI code page.
  TempDir dir;
  const std::string book = dir.File("\xD0\x9A\xD0\xBD\xD0\xB8\xD0\xB3\xD0\xB0 \xE6\x9C\xAC.tmk");  // "Книга 本"
  ASSERT_TRUE(BookWriter().Add("001 One.rtf", "{\\rtf1 one\\par}").Add("002 Two.rtf", "{\\rtf1 two\\par}").Write(book));
  {
    ViewerProcess viewer(ViewerExePath(), WinPath(book));
    ASSERT_TRUE(viewer.window());
    EXPECT_EQ(viewer.Title(), L"Tomelet: \u041a\u043d\u0438\u0433\u0430 \u672c.tmk");
    EXPECT_EQ(SendMessageW(GetDlgItem(viewer.window(), IDW_CONTENTS_LIST), LB_GETCOUNT, 0, 0), 2);
    viewer.Command(CMD_EXIT);
    ASSERT_TRUE(viewer.Close());
    EXPECT_EQ(viewer.ExitCode(), 0u);
  }
  // Without the rich-edit library: a message, and the run ends with its own exit code.
  ViewerOptions options;
  options.richEditLibrary = L"NoSuchRichEdit.dll";
  ViewerRun viewer(L"", options);
  EXPECT_FALSE(viewer.window());
  EXPECT_EQ(viewer.AnswerMessageBox().rfind(L"The rich text library (Msftedit.dll) could not be loaded", 0), 0u);
  EXPECT_EQ(viewer.WaitForExit(), kExitRichEditMissing);
}

}  // namespace
}  // namespace tomelet::test
