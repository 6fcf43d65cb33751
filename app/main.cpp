// Program entry: the command line (taken as UTF-16, so any path can be opened) becomes
// the book to open.
#include <windows.h>

#include "app/command_line.h"
#include "app/viewer.h"
#include "base/wide.h"

namespace {

// DLLs come from the system folder only. The program is often started from a downloads
// folder, where a planted DLL of a system name would otherwise run its code in it; the
// system DLLs it uses outside Windows' KnownDLLs list are delay-loaded (CMakeLists.txt),
// so they are loaded after this. (SetDefaultDllDirectories came with Windows 8 and an
// update of Windows 7; without it, at least the current folder is left out.)
void LoadDllsFromSystemFolderOnly() {
  using SetDirectories = BOOL(WINAPI*)(DWORD);
  const auto setDirectories = reinterpret_cast<SetDirectories>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
  if (!setDirectories || !setDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) SetDllDirectoryW(L"");
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  LoadDllsFromSystemFolderOnly();
  const std::vector<std::string> arguments = tomelet::ArgumentsOfCommandLine(tomelet::WideToUtf8(GetCommandLineW()));
  const std::wstring bookPath = tomelet::Utf8ToWide(tomelet::BookPathFromArguments(arguments));
  return tomelet::RunViewer(instance, bookPath, SW_SHOWNORMAL);
}
