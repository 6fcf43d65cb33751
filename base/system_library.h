#pragma once
// DLLs the program binds at run time, from the system folder only. At start the program
// binds only DLLs that Windows always takes from its own folder (its KnownDLLs; checked by
// scripts/check-imports.sh after every link); the others (version, gdiplus, comctl32,
// bcrypt, msftedit) come through here, so a DLL of such a name beside the program, a book
// or in the current folder never runs.
#include <windows.h>

#include "base/win_handles.h"

namespace tomelet {

// The system folder's copy of a DLL, or null.
UniqueLibrary LoadSystemLibrary(const wchar_t* name);

// A function of a loaded DLL as the pointer type `Function`; null when either is missing.
template <typename Function>
Function SystemFunction(HMODULE module, const char* name) {
  return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

}  // namespace tomelet
