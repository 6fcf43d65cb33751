#pragma once
// Damages test books on purpose: finds an entry's local and central headers in the bytes
// of a written archive and patches their fields.
#include <cstdint>
#include <string>
#include <string_view>

namespace tomelet::test {

struct EntryHeaders {
  std::size_t local = std::string::npos;    // offset of the local header
  std::size_t central = std::string::npos;  // offset of the central directory header
  std::size_t data = std::string::npos;     // offset of the entry's (compressed) data
};

inline std::uint32_t GetLe(const std::string& zip, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(zip[at + i]);
  return v;
}

inline void PutLe(std::string& zip, std::size_t at, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) zip[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// Headers of the entry named `name` (raw bytes), found by walking the central directory.
inline EntryHeaders FindEntry(const std::string& zip, std::string_view name) {
  EntryHeaders found;
  std::size_t pos = 0;
  while ((pos = zip.find("PK\x01\x02", pos)) != std::string::npos && pos + 46 <= zip.size()) {
    const std::uint32_t nameLength = GetLe(zip, pos + 28, 2);
    if (zip.compare(pos + 46, nameLength, name) == 0 && nameLength == name.size()) {
      found.central = pos;
      found.local = GetLe(zip, pos + 42, 4);
      found.data = found.local + 30 + GetLe(zip, found.local + 26, 2) + GetLe(zip, found.local + 28, 2);
      return found;
    }
    pos += 4;
  }
  return found;
}

// A field's offset in the local header; the central header has it 2 bytes further on.
enum class Field { Flags = 6, Method = 8, Crc = 14, CompressedSize = 18, Size = 22 };

inline void PatchField(std::string& zip, const EntryHeaders& at, Field field, std::uint32_t value) {
  const auto offset = static_cast<std::size_t>(field);
  const int bytes = field == Field::Flags || field == Field::Method ? 2 : 4;
  PutLe(zip, at.local + offset, value, bytes);
  PutLe(zip, at.central + offset + 2, value, bytes);
}

// Offset of the extra field `id` inside the extra fields starting at `at`, or npos.
inline std::size_t FindExtraField(const std::string& zip, std::size_t at, std::size_t length, std::uint32_t id) {
  for (std::size_t end = at + length; at + 4 <= end && at + 4 <= zip.size(); at += 4 + GetLe(zip, at + 2, 2))
    if (GetLe(zip, at, 2) == id) return at;
  return std::string::npos;
}

// Sets the vendor version (1: AE-1, 2: AE-2) in both headers' WinZip AES extra field.
inline bool SetAesVersion(std::string& zip, const EntryHeaders& at, std::uint32_t version) {
  if (at.central == std::string::npos) return false;
  const std::size_t local = FindExtraField(zip, at.local + 30 + GetLe(zip, at.local + 26, 2),
                                           GetLe(zip, at.local + 28, 2), 0x9901);
  const std::size_t central = FindExtraField(zip, at.central + 46 + GetLe(zip, at.central + 28, 2),
                                             GetLe(zip, at.central + 30, 2), 0x9901);
  if (local == std::string::npos || central == std::string::npos) return false;
  PutLe(zip, local + 4, version, 2);
  PutLe(zip, central + 4, version, 2);
  return true;
}

// libzip 1.7 writes WinZip AES entries with vendor version 2 and a real CRC; 7-Zip and
// WinZip write AE-2 as it is meant: CRC 0, the authentication code is the check.
inline bool MakeAe2(std::string& zip, const EntryHeaders& at) {
  if (!SetAesVersion(zip, at, 2)) return false;
  PatchField(zip, at, Field::Crc, 0);
  return true;
}

}  // namespace tomelet::test
