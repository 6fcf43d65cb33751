#include "app/registry.h"

namespace tomelet::registry {

UniqueKey Open(HKEY root, const wchar_t* path, REGSAM access) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path, 0, access, &key) != ERROR_SUCCESS) return nullptr;
  return UniqueKey(key);
}

UniqueKey Create(HKEY root, const wchar_t* path, REGSAM access) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return nullptr;
  return UniqueKey(key);
}

std::optional<StoredValue> Read(HKEY key, const wchar_t* name, DWORD maxBytes) {
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || size > maxBytes)
    return std::nullopt;
  StoredValue value;
  value.bytes.resize(size);
  if (RegQueryValueExW(key, name, nullptr, &type, value.bytes.data(), &size) != ERROR_SUCCESS) return std::nullopt;
  value.bytes.resize(size);  // the value may have shrunk in between
  value.type = type;
  return value;
}

bool Write(HKEY key, const wchar_t* name, DWORD type, const std::vector<uint8_t>& bytes) {
  return RegSetValueExW(key, name, 0, type, bytes.data(), static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
}

bool WriteDword(HKEY key, const wchar_t* name, int32_t value) { return Write(key, name, REG_DWORD, DwordBytes(value)); }

std::optional<std::wstring> DefaultText(HKEY root, const wchar_t* path, DWORD maxBytes) {
  UniqueKey key = Open(root, path, KEY_QUERY_VALUE);
  if (!key) return std::nullopt;
  const std::optional<StoredValue> value = Read(key.get(), nullptr, maxBytes);
  if (!value || value->type != REG_SZ) return std::nullopt;
  std::wstring text;
  for (std::size_t i = 0; i + 1 < value->bytes.size(); i += 2) {
    const auto c = static_cast<wchar_t>(value->bytes[i] | (value->bytes[i + 1] << 8));
    if (c == L'\0') break;
    text.push_back(c);
  }
  return text;
}

bool SetDefaultText(HKEY root, const wchar_t* path, const std::wstring& text) {
  UniqueKey key = Create(root, path, KEY_SET_VALUE);
  if (!key) return false;
  const auto* data = reinterpret_cast<const BYTE*>(text.c_str());
  const auto size = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
  return RegSetValueExW(key.get(), nullptr, 0, REG_SZ, data, size) == ERROR_SUCCESS;
}

}  // namespace tomelet::registry
