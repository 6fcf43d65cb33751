// The ".tmk" file association, seen through HKEY_CLASSES_ROOT as the shell sees it (under
// Wine that is HKLM\Software\Classes): written at the end of a run that keeps its
// settings, left as it is when it already points to this program file, never written
// from a removable drive, removed without touching another program's ".tmk", and used
// by the shell to open a book.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>
#include <winioctl.h>

#include <cstring>
#include <cwctype>

#include "res/resource_ids.h"
#include "tests/support/book_writer.h"
#include "tests/ui/settings_support.h"
#include "tests/ui/viewer_harness.h"

namespace tomelet::test {
namespace {

constexpr wchar_t kCommandKey[] = L"Tomelet viewer\\shell\\open\\command";
constexpr wchar_t kIconKey[] = L"Tomelet viewer\\DefaultIcon";

std::wstring QuotedCommand(const std::wstring& program) { return L"\"" + program + L"\" \"%1\""; }

std::wstring LongPathOf(const std::wstring& path) {
  wchar_t buffer[1024] = {};
  const DWORD length = GetLongPathNameW(path.c_str(), buffer, 1024);
  return length > 0 && length < 1024 ? std::wstring(buffer, length) : path;
}

bool OnFixedDrive(const std::wstring& path) {
  return GetDriveTypeW((path.substr(0, path.find(L'\\') + 1)).c_str()) == DRIVE_FIXED;
}

// An association as a run of some program file left it.
void WriteAssociation(const std::wstring& command, const std::wstring& icon) {
  SetDefaultValue(HKEY_CLASSES_ROOT, L".tmk", L"Tomelet viewer");
  SetDefaultValue(HKEY_CLASSES_ROOT, L"Tomelet viewer", L"Tomelet viewer");
  SetDefaultValue(HKEY_CLASSES_ROOT, kCommandKey, command);
  SetDefaultValue(HKEY_CLASSES_ROOT, kIconKey, icon);
}

void RunKeepingSettings() {
  ViewerRun viewer;
  ASSERT_TRUE(viewer.window());
  viewer.Command(CMD_SAVE_SETTINGS);
}

void RunNotKeepingSettings() {
  ViewerRun viewer;
  ASSERT_TRUE(viewer.window());
  viewer.Command(CMD_DONT_SAVE_SETTINGS);
}

class AssociationTest : public CleanRegistryTest {
 protected:
  void SetUp() override {
    CleanRegistryTest::SetUp();
    program_ = TestProgramPath();
  }
  std::wstring program_;  // the program file the viewer runs in: this test program
};

#define REQUIRE_FIXED_DRIVE(path) \
  if (!OnFixedDrive(path)) GTEST_SKIP() << "the tests do not run from a fixed drive"

TEST_F(AssociationTest, AKeptRunRegistersThisProgramFileWithItsPathAndTheBookQuoted) {
  REQUIRE_FIXED_DRIVE(program_);
  RunKeepingSettings();
  EXPECT_EQ(DefaultValue(HKEY_CLASSES_ROOT, L".tmk"), L"Tomelet viewer");
  EXPECT_EQ(DefaultValue(HKEY_CLASSES_ROOT, L"Tomelet viewer"), L"Tomelet viewer");
  EXPECT_EQ(DefaultValue(HKEY_CLASSES_ROOT, kCommandKey), QuotedCommand(program_));
  EXPECT_EQ(DefaultValue(HKEY_CLASSES_ROOT, kIconKey), program_);
  // A run without kept settings takes all of it away again.
  RunNotKeepingSettings();
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, L".tmk"));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, L"Tomelet viewer"));
}

TEST_F(AssociationTest, AnAssociationOfThisProgramFileIsLeftAsItIs) {
  REQUIRE_FIXED_DRIVE(program_);
  // Nothing is written: the icon value, which a rewrite would replace, stays.
  WriteAssociation(QuotedCommand(program_) + L" /from-before", L"icon written before");
  RunKeepingSettings();
  EXPECT_EQ(DefaultValue(HKEY_CLASSES_ROOT, kIconKey), L"icon written before");
  EXPECT_EQ(DefaultValue(HKEY_CLASSES_ROOT, kCommandKey), QuotedCommand(program_) + L" /from-before");
}

TEST_F(AssociationTest, AnyOtherRegistrationIsWrittenAnew) {
  REQUIRE_FIXED_DRIVE(program_);
  const struct {
    const char* what;
    std::wstring type, command;
  } cases[] = {
      {"another copy of the program", L"Tomelet viewer", QuotedCommand(L"C:\\Other copy\\TomeletViewer.exe")},
      {"this program, unquoted as older versions wrote it", L"Tomelet viewer", program_ + L" %1"},
      {".tmk of another file type", L"Other.Book", QuotedCommand(program_)},
      {"a path that only begins like this one", L"Tomelet viewer", QuotedCommand(program_ + L".old")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ClearAssociation();
    WriteAssociation(c.command, L"old icon");
    SetDefaultValue(HKEY_CLASSES_ROOT, L".tmk", c.type);
    RunKeepingSettings();
    EXPECT_EQ(DefaultValue(HKEY_CLASSES_ROOT, L".tmk"), L"Tomelet viewer");
    EXPECT_EQ(DefaultValue(HKEY_CLASSES_ROOT, kCommandKey), QuotedCommand(program_));
    EXPECT_EQ(DefaultValue(HKEY_CLASSES_ROOT, kIconKey), program_);
  }
}

TEST_F(AssociationTest, RemovalLeavesAnotherProgramsTmkAndTmkWithSubKeysAlone) {
  // ".tmk" of another program: it and that program's keys stay; ours go.
  SetDefaultValue(HKEY_CLASSES_ROOT, L".tmk", L"Other.Book");
  SetDefaultValue(HKEY_CLASSES_ROOT, L"Other.Book\\shell\\open\\command", L"\"C:\\Other\\other.exe\" \"%1\"");
  SetDefaultValue(HKEY_CLASSES_ROOT, kCommandKey, QuotedCommand(program_));
  SetDefaultValue(HKEY_CLASSES_ROOT, kIconKey, program_);
  RunNotKeepingSettings();
  EXPECT_EQ(DefaultValue(HKEY_CLASSES_ROOT, L".tmk"), L"Other.Book");
  EXPECT_EQ(DefaultValue(HKEY_CLASSES_ROOT, L"Other.Book\\shell\\open\\command"), L"\"C:\\Other\\other.exe\" \"%1\"");
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, L"Tomelet viewer"));
  SHDeleteKeyW(HKEY_CLASSES_ROOT, L"Other.Book");

  // Our ".tmk" with a sub-key some other software added: the plain deletion leaves it.
  ClearAssociation();
  WriteAssociation(QuotedCommand(program_), program_);
  SetDefaultValue(HKEY_CLASSES_ROOT, L".tmk\\ShellNew", L"");
  RunNotKeepingSettings();
  EXPECT_EQ(DefaultValue(HKEY_CLASSES_ROOT, L".tmk"), L"Tomelet viewer");
  EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, L".tmk\\ShellNew"));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, L"Tomelet viewer"));

  // Ours, plain: gone. A "Tomelet viewer" key with a sub-key of its own stays.
  ClearAssociation();
  WriteAssociation(QuotedCommand(program_), program_);
  SetDefaultValue(HKEY_CLASSES_ROOT, L"Tomelet viewer\\shell\\print\\command", L"print it");
  RunNotKeepingSettings();
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, L".tmk"));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kCommandKey));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kIconKey));
  EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, L"Tomelet viewer\\shell\\print\\command"));
}

// --- a drive letter of Wine's, mapped to a folder with a drive type of our choice -------

constexpr DWORD kMountManagerType = 'm';
constexpr DWORD kDefineUnixDrive = CTL_CODE(kMountManagerType, 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);

// Wine's mount manager request that maps a drive letter (as winecfg does).
struct UnixDriveRequest {
  ULONG size, type, fsType;
  DWORD serial;
  ULONGLONG unixDevice;
  WCHAR letter;
  USHORT mountPointOffset, deviceOffset, labelOffset;
};

class WineDrive {
 public:
  WineDrive(const std::string& folder, DWORD type) {
    using UnixName = char*(CDECL*)(LPCWSTR);
    const auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!unixName) return;
    char* unixFolder = unixName(WinPath(folder).c_str());
    if (!unixFolder) return;
    const DWORD used = GetLogicalDrives();
    for (wchar_t l = L'R'; l <= L'Y' && !letter_; ++l)
      if (!(used & (1u << (l - L'A')))) letter_ = l;
    if (letter_ && Define(type, unixFolder) && GetDriveTypeW(root().c_str()) == type) ready_ = true;
    HeapFree(GetProcessHeap(), 0, unixFolder);
  }
  ~WineDrive() {
    if (letter_) Define(DRIVE_NO_ROOT_DIR, nullptr);
  }
  bool ready() const { return ready_; }
  std::wstring root() const { return std::wstring(1, letter_) + L":\\"; }

 private:
  bool Define(DWORD type, const char* unixFolder) {
    std::vector<char> request(sizeof(UnixDriveRequest) + (unixFolder ? strlen(unixFolder) + 1 : 0));
    auto* drive = reinterpret_cast<UnixDriveRequest*>(request.data());
    drive->size = static_cast<ULONG>(request.size());
    drive->type = type;
    drive->letter = static_cast<WCHAR>(towlower(letter_));
    if (unixFolder) {
      drive->mountPointOffset = sizeof(UnixDriveRequest);
      std::memcpy(request.data() + sizeof(UnixDriveRequest), unixFolder, strlen(unixFolder) + 1);
    }
    HANDLE manager = CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (manager == INVALID_HANDLE_VALUE) return false;
    DWORD returned = 0;
    const BOOL ok = DeviceIoControl(manager, kDefineUnixDrive, request.data(), static_cast<DWORD>(request.size()),
                                    nullptr, 0, &returned, nullptr);
    CloseHandle(manager);
    return ok;
  }
  wchar_t letter_ = 0;
  bool ready_ = false;
};

TEST_F(AssociationTest, AProgramOnARemovableDriveNeverRegistersButStillRemoves) {
  TempDir dir;
  WineDrive stick(dir.path(), DRIVE_REMOVABLE);
  if (!stick.ready()) GTEST_SKIP() << "no Wine mount manager to map a removable drive";
  const std::wstring exe = stick.root() + L"TomeletViewer.exe";
  ASSERT_TRUE(CopyFileW(ViewerExePath().c_str(), exe.c_str(), FALSE));

  WriteKeptSettings(KeptDefaults());
  {
    ViewerProcess viewer(exe, L"");
    ASSERT_TRUE(viewer.window());
    ASSERT_TRUE(viewer.Close());
  }
  EXPECT_EQ(SettingsDword(L"IgnoreFile"), 0);  // the settings were kept...
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, L".tmk"));  // ...but no association written
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, L"Tomelet viewer"));

  WriteAssociation(QuotedCommand(L"C:\\Viewer\\TomeletViewer.exe"), L"C:\\Viewer\\TomeletViewer.exe");
  {
    ViewerProcess viewer(exe, L"");
    ASSERT_TRUE(viewer.window());
    viewer.Command(CMD_DONT_SAVE_SETTINGS);
    ASSERT_TRUE(viewer.Close());
  }
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kSettingsPath));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, L".tmk"));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, L"Tomelet viewer"));
}

// The shell opens a book through the association: the program in a folder with a blank
// in its name, a program file where the unquoted path would break at that blank, and a
// book whose name holds two blanks in a row.
TEST_F(AssociationTest, TheShellStartsThisProgramWithABookPathWithBlanksAsOneArgument) {
  TempDir dir;
  const std::wstring folder = LongPathOf(WinPath(dir.path()));
  REQUIRE_FIXED_DRIVE(folder);
  ASSERT_TRUE(CreateDirectoryW((folder + L"\\Tomelet viewer").c_str(), nullptr));
  const std::wstring exe = folder + L"\\Tomelet viewer\\TomeletViewer.exe";
  ASSERT_TRUE(CopyFileW(ViewerExePath().c_str(), exe.c_str(), FALSE));
  // What an unquoted command would start instead: C:\...\Tomelet.exe.
  wchar_t system[MAX_PATH] = {};
  GetSystemDirectoryW(system, MAX_PATH);
  ASSERT_TRUE(CopyFileW((std::wstring(system) + L"\\hostname.exe").c_str(), (folder + L"\\Tomelet.exe").c_str(), FALSE));

  WriteKeptSettings(KeptDefaults());
  {
    ViewerProcess viewer(exe, L"");
    ASSERT_TRUE(viewer.window());
    ASSERT_TRUE(viewer.Close());
  }
  ASSERT_EQ(DefaultValue(HKEY_CLASSES_ROOT, kCommandKey), QuotedCommand(exe));

  ASSERT_TRUE(BookWriter().Add("01 One.rtf", "{\\rtf1 one\\par}").Add("02 Two.rtf", "{\\rtf1 two\\par}")
                  .Write(dir.File("my  two  blanks.tmk")));
  const std::wstring book = folder + L"\\my  two  blanks.tmk";
  SHELLEXECUTEINFOW open{};
  open.cbSize = sizeof(open);
  open.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  open.lpVerb = L"open";
  open.lpFile = book.c_str();
  open.nShow = SW_SHOWNORMAL;
  ASSERT_TRUE(ShellExecuteExW(&open));
  const HWND window = WaitForForeignWindow(L"TomeletMainWndClass", 20000);
  ASSERT_TRUE(window);
  wchar_t title[300] = {};
  for (int i = 0; i < 100 && std::wstring(title) != L"Tomelet: my  two  blanks.tmk"; ++i) {
    Sleep(50);
    GetWindowTextW(window, title, 300);
  }
  EXPECT_STREQ(title, L"Tomelet: my  two  blanks.tmk");
  EXPECT_EQ(SendMessageW(GetDlgItem(window, IDW_CONTENTS_LIST), LB_GETCOUNT, 0, 0), 2);
  PostMessageW(window, WM_CLOSE, 0, 0);
  if (open.hProcess) {
    EXPECT_EQ(WaitForSingleObject(open.hProcess, 15000), WAIT_OBJECT_0);
    CloseHandle(open.hProcess);
  }
}

}  // namespace
}  // namespace tomelet::test
