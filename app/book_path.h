#pragma once
// A book's path as the program keeps it: whole (from the drive or share on, long names),
// so that one book opened from two folders, or by a relative or short name, is one book.
#include <string>

namespace tomelet {

// The whole form of `path` (GetFullPathNameW, then GetLongPathNameW when the file exists);
// `path` itself when it cannot be made whole.
std::wstring WholeBookPath(const std::wstring& path);

// Whether two paths name one book: their whole forms compared by the system's case folding.
bool SameBookPath(const std::wstring& a, const std::wstring& b);

}  // namespace tomelet
