// Program entry: the command line (taken as UTF-16, so any path can be opened) becomes
// the book to open.
#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "app/command_line.h"
#include "app/viewer.h"
#include "base/wide.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  for (int i = 1; argv && i < count; ++i) arguments.push_back(tomelet::WideToUtf8(argv[i]));
  if (argv) LocalFree(argv);
  const std::wstring bookPath = tomelet::Utf8ToWide(tomelet::BookPathFromArguments(arguments));
  return tomelet::RunViewer(instance, bookPath, SW_SHOWNORMAL);
}
