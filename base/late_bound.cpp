#include "base/late_bound.h"

#include <shlobj.h>

#include "base/system_library.h"

namespace tomelet::late {
namespace {

HMODULE Comdlg32() {
  static const UniqueLibrary module = LoadSystemLibrary(L"comdlg32.dll");
  return module.get();
}

HMODULE Shell32() {
  static const UniqueLibrary module = LoadSystemLibrary(L"shell32.dll");
  return module.get();
}

}  // namespace

// Each function is looked up once (thread-safe: the printing thread calls PrintDlgW).
#define TOMELET_LATE(module, name) static const auto function = SystemFunction<decltype(&::name)>(module(), #name)

BOOL GetOpenFileNameW(OPENFILENAMEW* dialog) {
  TOMELET_LATE(Comdlg32, GetOpenFileNameW);
  return function ? function(dialog) : FALSE;
}

BOOL GetSaveFileNameW(OPENFILENAMEW* dialog) {
  TOMELET_LATE(Comdlg32, GetSaveFileNameW);
  return function ? function(dialog) : FALSE;
}

BOOL PrintDlgW(PRINTDLGW* dialog) {
  TOMELET_LATE(Comdlg32, PrintDlgW);
  return function ? function(dialog) : FALSE;
}

UINT DragQueryFileW(HDROP drop, UINT file, wchar_t* path, UINT size) {
  TOMELET_LATE(Shell32, DragQueryFileW);
  return function ? function(drop, file, path, size) : 0;
}

void DragFinish(HDROP drop) {
  TOMELET_LATE(Shell32, DragFinish);
  if (function) function(drop);
}

void SHChangeNotify(LONG event, UINT flags, const void* item1, const void* item2) {
  TOMELET_LATE(Shell32, SHChangeNotify);
  if (function) function(event, flags, item1, item2);
}

HINSTANCE ShellExecuteW(HWND owner, const wchar_t* verb, const wchar_t* file, const wchar_t* parameters,
                        const wchar_t* folder, int show) {
  TOMELET_LATE(Shell32, ShellExecuteW);
  // Below 33 is failure; SE_ERR_DLLNOTFOUND says why.
  return function ? function(owner, verb, file, parameters, folder, show)
                  : reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(SE_ERR_DLLNOTFOUND));
}

#undef TOMELET_LATE

void AcceptDroppedFiles(HWND window) {
  SetWindowLongPtrW(window, GWL_EXSTYLE, GetWindowLongPtrW(window, GWL_EXSTYLE) | WS_EX_ACCEPTFILES);
}

}  // namespace tomelet::late
