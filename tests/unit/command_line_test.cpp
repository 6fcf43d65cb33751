#include <gtest/gtest.h>

#include "app/command_line.h"

namespace tomelet {
namespace {

// Each line split as Windows' CommandLineToArgvW splits it, the program's name left out.
TEST(CommandLine, SplitAsWindowsSplitsIt) {
  const struct {
    const char* line;
    std::vector<std::string> arguments;
  } cases[] = {
      {"v.exe", {}},
      {R"("C:\Program Files\v.exe" C:\My Books\a.tmk)", {R"(C:\My)", R"(Books\a.tmk)"}},
      {R"(v.exe "C:\My Books\a.tmk")", {R"(C:\My Books\a.tmk)"}},
      {R"("C:\v.exe"a.tmk)", {"a.tmk"}},
      {"v.exe\ta \t b", {"a", "b"}},
      {R"(v.exe a\\\b d"e f"g h)", {R"(a\\\b)", "de fg", "h"}},
      {R"(v.exe a\\\"b c)", {R"(a\"b)", "c"}},
      {R"(v.exe a\\\\"b c" d)", {R"(a\\b c)", "d"}},
      {R"(v.exe "a""b c)", {R"(a"b)", "c"}},
      {R"(v.exe "a""b" c)", {R"(a"b c)"}},
      {R"(v.exe """a""" "")", {R"("a")", ""}},
  };
  for (const auto& c : cases) EXPECT_EQ(ArgumentsOfCommandLine(c.line), c.arguments) << c.line;
}

}  // namespace
}  // namespace tomelet
