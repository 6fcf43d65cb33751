#pragma once
// Damages test books on purpose: finds an entry's local and central headers in the bytes
// of a written archive and patches their fields.
#include <cstdint>
#include <string>
#include <string_view>

#include <zlib.h>

namespace tomelet::test {

inline std::uint32_t GetLe(const std::string& zip, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(zip[at + i]);
  return v;
}

inline void PutLe(std::string& zip, std::size_t at, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) zip[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// Offsets of the entry's local header, central directory header and (compressed) data.
struct EntryHeaders {
  std::size_t local = std::string::npos, central = std::string::npos, data = std::string::npos;
};

// The entry named `name` (raw bytes), found by walking the central directory.
inline EntryHeaders FindEntry(const std::string& zip, std::string_view name) {
  for (std::size_t pos = 0; (pos = zip.find("PK\x01\x02", pos)) != std::string::npos && pos + 46 <= zip.size(); pos += 4) {
    if (GetLe(zip, pos + 28, 2) != name.size() || zip.compare(pos + 46, name.size(), name) != 0) continue;
    const std::size_t local = GetLe(zip, pos + 42, 4);
    return {local, pos, local + 30 + GetLe(zip, local + 26, 2) + GetLe(zip, local + 28, 2)};
  }
  return {};
}

// A field's offset in the local header; the central header has it 2 bytes further on.
enum class Field { Flags = 6, Method = 8, Crc = 14, CompressedSize = 18, Size = 22 };

inline void PatchField(std::string& zip, const EntryHeaders& at, Field field, std::uint32_t value) {
  const auto offset = static_cast<std::size_t>(field);
  const int bytes = field == Field::Flags || field == Field::Method ? 2 : 4;
  PutLe(zip, at.local + offset, value, bytes);
  PutLe(zip, at.central + offset + 2, value, bytes);
}

// Sets the vendor version (1: AE-1, 2: AE-2) of the WinZip AES extra field (id 0x9901,
// 7 bytes) in both headers: each header's first such field is its own.
inline void SetAesVersion(std::string& zip, const EntryHeaders& at, char version) {
  for (std::size_t header : {at.local, at.central}) zip.at(zip.find("\x01\x99\x07\x00", header) + 4) = version;
}

// A password other than `right` that passes the one-byte check of the entry's traditional
// PKWARE header (its last decrypted byte equals the high byte of the CRC or of the DOS
// time; libzip takes either), found by trying "w0", "w1", ...
inline std::string FalseCheckPassword(const std::string& zip, std::string_view entry, std::string_view right) {
  const EntryHeaders at = FindEntry(zip, entry);
  const auto crc = [](std::uint32_t key, unsigned char c) { return ~static_cast<std::uint32_t>(crc32(~key, &c, 1)); };
  for (int n = 0;; ++n) {
    const std::string candidate = "w" + std::to_string(n);
    std::uint32_t k0 = 0x12345678u, k1 = 0x23456789u, k2 = 0x34567890u;
    unsigned char plain = 0;
    for (std::size_t i = 0; i < candidate.size() + 12; ++i) {
      const std::uint32_t t = (k2 | 2) & 0xFFFF;
      plain = i < candidate.size() ? static_cast<unsigned char>(candidate[i])
                                   : static_cast<unsigned char>(zip[at.data + i - candidate.size()] ^ ((t * (t ^ 1)) >> 8));
      k0 = crc(k0, plain), k1 = (k1 + (k0 & 0xFF)) * 134775813u + 1, k2 = crc(k2, static_cast<unsigned char>(k1 >> 24));
    }
    if (candidate != right && (plain == GetLe(zip, at.local + 14, 4) >> 24 || plain == GetLe(zip, at.local + 10, 2) >> 8))
      return candidate;
  }
}

}  // namespace tomelet::test
