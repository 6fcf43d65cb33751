#pragma once
// Small helpers over the registry: keys are owned by UniqueKey, values are read whole
// with their type, so the caller decides what a usable value is.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "app/settings_record.h"
#include "base/win_handles.h"

namespace tomelet::registry {

UniqueKey Open(HKEY root, const wchar_t* path, REGSAM access);
UniqueKey Create(HKEY root, const wchar_t* path, REGSAM access);

// A value's type and bytes; nullopt when it is missing or larger than maxBytes.
std::optional<StoredValue> Read(HKEY key, const wchar_t* name, DWORD maxBytes);

bool Write(HKEY key, const wchar_t* name, DWORD type, const std::vector<uint8_t>& bytes);
bool WriteDword(HKEY key, const wchar_t* name, int32_t value);

// The default value of root\path as text when it is a REG_SZ of at most maxBytes.
std::optional<std::wstring> DefaultText(HKEY root, const wchar_t* path, DWORD maxBytes);
// Sets the default value of root\path (created when missing) to text, terminator included.
bool SetDefaultText(HKEY root, const wchar_t* path, const std::wstring& text);

}  // namespace tomelet::registry
