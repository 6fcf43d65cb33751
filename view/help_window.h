#pragma once
// The help window: the program's own documents, one per tab, in a modeless window beside
// the main window. It opens where it was last closed (tab, place, scroll position).
#include <windows.h>

#include <cstdint>
#include <string>

namespace tomelet {

// Where the help window's state is kept (the program's settings record): read when a
// window opens, written when the tab changes and when it closes.
struct HelpFields {
  std::int32_t &helpShowState, &helpLeft, &helpTop, &helpWidth, &helpHeight, &helpTab, &helpScrollY, &helpTopChar;
};

// What the help window needs from the program.
struct HelpWindowHost {
  HINSTANCE instance = nullptr;  // its dialog and documents
  std::wstring modulePath;       // the program file, for the version in the caption
  std::wstring programName;      // the caption before the version
  HelpFields* fields = nullptr;  // must outlive every help window
  HWND* served = nullptr;        // the handle the message loop serves; cleared when that window closes
  HWND mainWindow = nullptr;     // gets the focus back when a help window closes
};

// Creates a new help window owned by `owner`; each call makes another one. Returns its
// handle (null when it could not be created).
HWND OpenHelpWindow(HWND owner, const HelpWindowHost& host);

// Hands a clicked link to whatever opens it: the shell ("open") unless replaced. Tests put
// their own opener here so that no browser starts. Returns the previous opener.
using LinkOpener = void (*)(const std::wstring& link);
LinkOpener SetLinkOpener(LinkOpener opener);

}  // namespace tomelet
