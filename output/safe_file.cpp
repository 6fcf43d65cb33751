#include "output/safe_file.h"

#include <algorithm>
#include <cwchar>
#include <utility>

namespace tomelet {
namespace {

// Paths of MAX_PATH characters and more only work in their extended form.
std::wstring ExtendedPath(const std::wstring& path) {
  if (path.size() < MAX_PATH || path.rfind(L"\\\\?\\", 0) == 0) return path;
  if (path.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + path.substr(2);
  return L"\\\\?\\" + path;
}

std::wstring FullPath(const std::wstring& path) {
  const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return path;
  std::wstring full(needed, L'\0');
  const DWORD got = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
  if (got == 0 || got >= needed) return path;
  full.resize(got);
  return full;
}

HANDLE OwnedOrNull(HANDLE handle) { return handle == INVALID_HANDLE_VALUE ? nullptr : handle; }

}  // namespace

SafeFileWriter::SafeFileWriter(std::wstring target) : target_(std::move(target)) {}

SafeFileWriter::~SafeFileWriter() {
  file_.reset();
  if (!committed_ && !temp_.empty()) DeleteFileW(temp_.c_str());
}

bool SafeFileWriter::Fail(DWORD error) {
  error_ = error != ERROR_SUCCESS ? error : ERROR_WRITE_FAULT;
  return false;
}

bool SafeFileWriter::Create() {
  const std::wstring full = FullPath(target_);
  const std::size_t slash = full.rfind(L'\\');
  if (target_.empty() || slash == std::wstring::npos || slash + 1 == full.size())
    return Fail(ERROR_INVALID_NAME);
  target_ = ExtendedPath(full);

  // An existing target must be writable now, or replacing it would fail at the end.
  const DWORD attributes = GetFileAttributesW(target_.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) return Fail(ERROR_ACCESS_DENIED);
    UniqueHandle probe(OwnedOrNull(CreateFileW(target_.c_str(), GENERIC_WRITE,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)));
    if (!probe) return Fail(GetLastError());
  }

  const std::wstring folder = full.substr(0, slash + 1);
  const DWORD seed = GetTickCount() ^ (GetCurrentProcessId() << 16);
  for (DWORD attempt = 0; attempt < 16; ++attempt) {
    wchar_t name[32];
    swprintf(name, 32, L"~tomelet%08lX.tmp", static_cast<unsigned long>(seed + attempt * 0x9E37u));
    const std::wstring candidate = ExtendedPath(folder + name);
    file_.reset(OwnedOrNull(CreateFileW(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr)));
    if (file_) {
      temp_ = candidate;
      return true;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return Fail(error);
  }
  return Fail(ERROR_FILE_EXISTS);
}

bool SafeFileWriter::Write(std::string_view bytes) {
  if (!file_) return Fail(error_);
  // WriteFile takes 32-bit counts: large bodies go in pieces.
  constexpr std::size_t kPiece = std::size_t{1} << 24;
  while (!bytes.empty()) {
    const DWORD n = static_cast<DWORD>(std::min(bytes.size(), kPiece));
    DWORD written = 0;
    if (!WriteFile(file_.get(), bytes.data(), n, &written, nullptr)) return Fail(GetLastError());
    if (written != n) return Fail(ERROR_DISK_FULL);
    bytes.remove_prefix(n);
  }
  return true;
}

bool SafeFileWriter::Commit() {
  if (!file_) return Fail(error_);
  if (!FlushFileBuffers(file_.get())) return Fail(GetLastError());
  file_.reset();
  if (!MoveFileExW(temp_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return Fail(GetLastError());
  committed_ = true;
  return true;
}

}  // namespace tomelet
