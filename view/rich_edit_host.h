#pragma once
// What the text pane's rich-edit control needs from its host: storage in memory for
// embedded objects. Everything else is declined, so the control uses its own defaults.
#include <windows.h>
#include <richole.h>

namespace tomelet {

// The one host callback object of the run.
IRichEditOleCallback* RichEditHost();

// Gives the control the host callback (one object for the whole run); returns the
// control's answer to EM_SETOLECALLBACK.
LRESULT InstallRichEditCallback(HWND richEdit);

}  // namespace tomelet
