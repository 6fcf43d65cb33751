#pragma once
// Functions of comdlg32 and shell32, bound at their first call. Both are KnownDLLs and
// safe to import, but loading them (and comdlg32's own imports) at start costs the viewer
// a tenth of its start-up before the first chapter shows, and none of them is needed
// until the user asks for a dialog, drops a file or follows a link. A function whose DLL
// or entry cannot be found fails as the original reports failure.
#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>

namespace tomelet::late {

BOOL GetOpenFileNameW(OPENFILENAMEW* dialog);
BOOL GetSaveFileNameW(OPENFILENAMEW* dialog);
BOOL PrintDlgW(PRINTDLGW* dialog);  // also from the printing thread
UINT DragQueryFileW(HDROP drop, UINT file, wchar_t* path, UINT size);
void DragFinish(HDROP drop);
void SHChangeNotify(LONG event, UINT flags, const void* item1, const void* item2);
HINSTANCE ShellExecuteW(HWND owner, const wchar_t* verb, const wchar_t* file, const wchar_t* parameters,
                        const wchar_t* folder, int show);

// Marks the window as taking dropped files, as DragAcceptFiles does (its extended style).
void AcceptDroppedFiles(HWND window);

}  // namespace tomelet::late
