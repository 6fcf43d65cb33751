#pragma once
// The settings key of the current user, "Software\Tomelet viewer": read once at start,
// written (settings kept) or deleted (settings not kept) once at the end.

namespace tomelet {

inline constexpr wchar_t kSettingsKey[] = L"Software\\Tomelet viewer";

// Fills the program's settings, remembered place and "NoFileAssociation" from the key
// (defaults without one) and marks the run as in progress.
void LoadSettings();

// Settings kept: writes every value and reports whether all of them were written.
// Settings not kept: deletes the key and reports false.
bool SaveSettings();

}  // namespace tomelet
