#include "app/book_path.h"

#include <windows.h>

#include "base/text.h"

namespace tomelet {
namespace {

// Calls `get(buffer, size)` with a buffer grown to the length it asks for.
template <typename Get>
std::wstring Grown(Get get) {
  std::wstring buffer(MAX_PATH, L'\0');
  for (int tries = 0; tries < 3; ++tries) {
    const DWORD n = get(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) {
      buffer.resize(n);
      return buffer;
    }
    buffer.assign(n, L'\0');
  }
  return {};
}

}  // namespace

std::wstring WholeBookPath(const std::wstring& path) {
  if (path.empty() || path.find(L'\0') != std::wstring::npos) return path;
  std::wstring whole = Grown([&](wchar_t* buffer, DWORD size) {
    return GetFullPathNameW(path.c_str(), size, buffer, nullptr);
  });
  if (whole.empty()) return path;
  std::wstring longer = Grown([&](wchar_t* buffer, DWORD size) { return GetLongPathNameW(whole.c_str(), buffer, size); });
  return longer.empty() ? whole : longer;
}

bool SameBookPath(const std::wstring& a, const std::wstring& b) {
  // No path is the same as another only when both are empty (and asks no file system).
  if (a.empty() || b.empty()) return a.empty() && b.empty();
  const std::wstring wholeA = WholeBookPath(a), wholeB = WholeBookPath(b);
  return EqualIgnoringCase({reinterpret_cast<const char16_t*>(wholeA.data()), wholeA.size()},
                           {reinterpret_cast<const char16_t*>(wholeB.data()), wholeB.size()});
}

}  // namespace tomelet
