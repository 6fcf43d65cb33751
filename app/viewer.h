#pragma once
// The program's start routine and the values it publishes for the other modules.
#include <windows.h>

#include <optional>
#include <string>

#include "app/bookmarks.h"
#include "app/reading_places.h"
#include "app/settings_record.h"
#include "view/find_all_rules.h"

namespace tomelet {

// Exit codes besides the quit message's 0.
inline constexpr int kExitRichEditMissing = 2;
inline constexpr int kExitWindowFailed = 3;

// The remembered reading place (registry values of the same names).
struct RememberedPlace {
  std::wstring lastArchiveFile;  // book at the last close
  int32_t lastChapterFile = 0;   // contents row selected then (-1 none)
  int32_t lastChapterPosition = 0;
};

// Program-wide values, set by the start routine and valid for the whole run.
struct Program {
  HINSTANCE instance = nullptr;
  std::wstring modulePath;  // long form of the program file's path, once ModulePath() asked
  int itemHeight = 16;      // screen font height + 3 (96-DPI units): contents rows and their font
  HACCEL accelerators = nullptr;
  WindowSettings settings;
  RememberedPlace place;
  BookPlaces bookPlaces;  // where the last books were left
  Bookmarks bookmarks;    // the reader's own, per book
  int32_t noFileAssociation = 0;  // read at start, written back unchanged
  LANGID userUiLanguage = 0;      // 0: the system's; tests name another
  std::optional<WindowPlace> findAllPlace;  // the Find all window's, once placed
};
Program& TheProgram();

// The long form of the program file's path, found at the first call (the help window's
// version and the association at the end need it; the start does not wait for it).
const std::wstring& ModulePath();

struct ViewerOptions {
  // The rich-edit library, loaded from the system folder only. Tests name a missing one.
  std::wstring richEditLibrary = L"Msftedit.dll";
  // The user's UI language as the system would report it; 0 asks the system.
  LANGID userUiLanguage = 0;
  // High contrast as the system would report it; nullopt asks the system.
  std::optional<bool> highContrast;
};

// Runs the viewer: settings, main window, message loop, and at the end settings and file
// association stored or removed. bookPath is the book named on the command line (may be
// empty). Returns the exit code.
int RunViewer(HINSTANCE instance, const std::wstring& bookPath, int showCommand, const ViewerOptions& options = {});

// The program's own message boxes: caption "Tomelet viewer", owned by the window in front.
int ShowMessage(HWND owner, const std::wstring& text, UINT flags);

}  // namespace tomelet
