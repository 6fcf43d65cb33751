// The real program file started as a process, the way the shell starts it, in a German
// Wine: Wine takes its UI language from LANG, so this is the real system's language.
#include <gtest/gtest.h>

#include "res/resource_ids.h"
#include "tests/support/book_writer.h"
#include "tests/ui/viewer_harness.h"

namespace tomelet::test {
namespace {

TEST(ProgramStory, ABookNamedOnTheCommandLineOfAGermanSystem) {
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
