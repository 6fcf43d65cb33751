// The real program file, started as its own process the way the shell starts it.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/support/book_writer.h"
#include "tests/ui/settings_support.h"
#include "tests/ui/viewer_harness.h"

namespace tomelet::test {
namespace {

std::string MakeBook(const std::string& path) {
  EXPECT_TRUE(BookWriter().Add("001 One.rtf", "{\\rtf1 one\\par}").Add("002 Two.rtf", "{\\rtf1 two\\par}").Write(path));
  return path;
}

TEST(Program, OpensABookWhosePathIsOutsideTheAnsiCodePage) {
  TempDir dir;
  const std::string book = MakeBook(dir.File("\xD0\x9A\xD0\xBD\xD0\xB8\xD0\xB3\xD0\xB0 \xE6\x9C\xAC.tmk"));  // "Книга 本"
  ViewerProcess viewer(ViewerExePath(), L"\"" + WinPath(book) + L"\"");
  ASSERT_TRUE(viewer.window());
  EXPECT_EQ(viewer.Title(), L"Tomelet: \u041a\u043d\u0438\u0433\u0430 \u672c.tmk");
  EXPECT_EQ(SendMessageW(GetDlgItem(viewer.window(), 9998), LB_GETCOUNT, 0, 0), 2);
  ASSERT_TRUE(viewer.Close());
  EXPECT_EQ(viewer.ExitCode(), 0u);
}

TEST(Program, JoinsAnUnquotedPathThatTheShellSplitAtItsBlanks) {
  TempDir dir;
  const std::string book = MakeBook(dir.File("my book.tmk"));
  ViewerProcess viewer(ViewerExePath(), WinPath(book));  // no quotes: two arguments
  ASSERT_TRUE(viewer.window());
  EXPECT_EQ(viewer.Title(), L"Tomelet: my book.tmk");
  ASSERT_TRUE(viewer.Close());
  EXPECT_EQ(viewer.ExitCode(), 0u);
}

}  // namespace
}  // namespace tomelet::test
