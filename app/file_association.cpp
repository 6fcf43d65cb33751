#include "app/file_association.h"

#include <windows.h>
#include <shlobj.h>

#include "app/registry.h"
#include "base/late_bound.h"
#include "base/win_handles.h"

namespace tomelet {
namespace {

// The user's own classes: what HKEY_CLASSES_ROOT shows merged with the machine's. A
// program started without elevation may write only here (new keys written through
// HKEY_CLASSES_ROOT would go to the machine's part, which it may not write).
constexpr wchar_t kUserClasses[] = L"Software\\Classes";
constexpr wchar_t kOpenCommandKey[] = L"Tomelet viewer\\shell\\open\\command";
constexpr DWORD kLongestValue = 2048;  // bytes: room for the quoted command of any program path

bool OnFixedDrive(const std::wstring& modulePath) {
  // A network path (\\server\share\...) has no drive letter and is never fixed.
  if (modulePath.size() < 3 || modulePath.compare(0, 2, L"\\\\") == 0) return false;
  const std::size_t slash = modulePath.find(L'\\');
  if (slash == std::wstring::npos) return false;
  const std::wstring root = modulePath.substr(0, slash + 1);
  return GetDriveTypeW(root.c_str()) == DRIVE_FIXED;
}

std::wstring UserClass(const wchar_t* key) { return std::wstring(kUserClasses) + L"\\" + key; }

bool RegisteredTo(const std::wstring& modulePath) {
  const std::optional<std::wstring> type =
      registry::DefaultText(HKEY_CURRENT_USER, UserClass(kBookExtension).c_str(), kLongestValue);
  if (!type || *type != kFileType) return false;
  const std::optional<std::wstring> command =
      registry::DefaultText(HKEY_CURRENT_USER, UserClass(kOpenCommandKey).c_str(), kLongestValue);
  // Only the quoted form counts: an older unquoted command is written anew.
  const std::wstring quoted = L"\"" + modulePath + L"\"";
  return command && command->compare(0, quoted.size(), quoted) == 0;
}

}  // namespace

std::wstring OpenCommandFor(const std::wstring& modulePath) { return L"\"" + modulePath + L"\" \"%1\""; }

void RegisterAssociation(const std::wstring& modulePath) {
  if (!OnFixedDrive(modulePath) || RegisteredTo(modulePath)) return;
  registry::SetDefaultText(HKEY_CURRENT_USER, UserClass(kBookExtension).c_str(), kFileType);
  registry::SetDefaultText(HKEY_CURRENT_USER, UserClass(kFileType).c_str(), kFileType);
  registry::SetDefaultText(HKEY_CURRENT_USER, UserClass(kOpenCommandKey).c_str(), OpenCommandFor(modulePath));
  registry::SetDefaultText(HKEY_CURRENT_USER, UserClass(L"Tomelet viewer\\DefaultIcon").c_str(), modulePath);
  late::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

void RemoveAssociation() {
  if (UniqueKey root = registry::Open(HKEY_CURRENT_USER, kUserClasses, MAXIMUM_ALLOWED)) {
    const HKEY r = root.get();
    // ".tmk" is ours only while it names our file type.
    if (registry::DefaultText(r, kBookExtension, kLongestValue) == std::optional<std::wstring>(kFileType))
      RegDeleteKeyW(r, kBookExtension);
    // Deepest first: a plain deletion only removes a key without sub-keys.
    for (const wchar_t* key : {kOpenCommandKey, L"Tomelet viewer\\shell\\open", L"Tomelet viewer\\shell",
                               L"Tomelet viewer\\DefaultIcon", L"Tomelet viewer"})
      RegDeleteKeyW(r, key);
  }
  late::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

}  // namespace tomelet
