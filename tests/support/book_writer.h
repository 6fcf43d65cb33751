#pragma once
// Writes test books (ZIP archives) with libzip: plain, deflated, stored, and WinZip-AES
// encrypted entries (AE-1). PKWARE encryption (zip -P) and AE-2 (7z) are written by
// scripts at build time, since libzip writes neither.
#include <cstdint>
#include <string>
#include <vector>

namespace tomelet::test {

enum class Encryption { None, Aes128, Aes192, Aes256 };

struct BookEntry {
  std::string name;  // UTF-8
  std::string data;
  Encryption encryption = Encryption::None;
  bool store = false;  // stored instead of deflated
};

class BookWriter {
 public:
  BookWriter& Add(std::string name, std::string data, Encryption encryption = Encryption::None);
  BookWriter& AddStored(std::string name, std::string data, Encryption encryption = Encryption::None);
  BookWriter& Password(std::string password);
  // Writes the archive; returns false (and leaves no file) on failure.
  bool Write(const std::string& path) const;

 private:
  std::vector<BookEntry> entries_;
  std::string password_ = "secret";
};

// A temporary folder removed with the object.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

}  // namespace tomelet::test
