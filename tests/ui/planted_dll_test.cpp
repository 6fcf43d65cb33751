// The program file is often started from a downloads folder. DLLs of system names planted
// there must not run in it: Wine is told to prefer DLLs beside this program, as Windows
// does for DLLs outside its KnownDLLs list, and the program starts and shows a picture
// (GDI+) with marker DLLs beside it. (Not version.dll and comctl32.dll: Wine's own user32
// and comdlg32 import them, and Wine, unlike Windows, takes them from beside the program
// too under that order.)
#include <gtest/gtest.h>
#include <windows.h>

#include "tests/support/book_writer.h"
#include "tests/support/png_writer.h"
#include "tests/ui/viewer_harness.h"

namespace tomelet::test {
namespace {

TEST(PlantedDllTest, NoDllBesideTheProgramRuns) {
  const wchar_t* planted[] = {L"\\bcrypt.dll", L"\\gdiplus.dll"};
  const wchar_t key[] = L"Software\\Wine\\AppDefaults\\TomeletViewer.exe";
  TempDir dir;
  const std::wstring folder = WinPath(dir.path()), exe = folder + L"\\TomeletViewer.exe";
  const std::wstring markers = TestProgramPath().substr(0, TestProgramPath().rfind(L'\\')) + L"\\planted";
  ASSERT_TRUE(CopyFileW(ViewerExePath().c_str(), exe.c_str(), FALSE));
  for (const std::wstring dll : planted) {
    ASSERT_TRUE(CopyFileW((markers + dll).c_str(), (folder + dll).c_str(), FALSE));
    const wchar_t order[] = L"native,builtin";
    RegSetKeyValueW(HKEY_CURRENT_USER, (key + std::wstring(L"\\DllOverrides")).c_str(), dll.substr(1, dll.size() - 5).c_str(), REG_SZ, order, sizeof(order));
  }
  ASSERT_TRUE(BookWriter().Add("1 Bild.png", EncodePng({2, 1, 8, 0, {}, {{0, 255}}})).Write(dir.File("b.tmk")));
  ViewerProcess viewer(exe, folder + L"\\b.tmk");
  EXPECT_TRUE(viewer.window());
  EXPECT_EQ(viewer.Close(), 0u);
  RegDeleteTreeW(HKEY_CURRENT_USER, key);
  for (const std::wstring dll : planted) EXPECT_EQ(GetFileAttributesW((folder + dll + L".ran").c_str()), INVALID_FILE_ATTRIBUTES) << dll;
}

}  // namespace
}  // namespace tomelet::test
