#pragma once
// The ".tmk" file association among the user's classes (HKEY_CURRENT_USER\Software\Classes,
// what HKEY_CLASSES_ROOT shows): the file type "Tomelet viewer"
// whose open command starts this program file with the book's path.
#include <string>

namespace tomelet {

inline constexpr wchar_t kFileType[] = L"Tomelet viewer";
inline constexpr wchar_t kBookExtension[] = L".tmk";

// The open command for a program file: both the program and the book path quoted, so
// that a path with blanks is neither run as another program (C:\Program.exe) nor split.
std::wstring OpenCommandFor(const std::wstring& modulePath);

// Writes the association for modulePath unless it already points to that program file;
// a program on anything but a fixed drive never registers itself.
void RegisterAssociation(const std::wstring& modulePath);

// Removes the "Tomelet viewer" keys, and ".tmk" when it names that file type (another
// program's ".tmk" stays), then tells the shell.
void RemoveAssociation();

}  // namespace tomelet
