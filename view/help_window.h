#pragma once
// The help window: the program's own documents, one per tab, in a modeless window beside
// the main window. It opens where it was last closed (tab, place, scroll position).
#include <windows.h>

#include <string>

namespace tomelet {

// Creates a new help window owned by `owner`; each call makes another one. Returns its
// handle (null when it could not be created).
HWND OpenHelpWindow(HWND owner);

// Hands a clicked link to whatever opens it: the shell ("open") unless replaced. Tests put
// their own opener here so that no browser starts. Returns the previous opener.
using LinkOpener = void (*)(const std::wstring& link);
LinkOpener SetLinkOpener(LinkOpener opener);

}  // namespace tomelet
