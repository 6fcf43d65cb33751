#pragma once
// Writes test books (ZIP archives) with libzip: deflated or stored entries, plain or
// WinZip-AES encrypted. PKWARE encryption (zip -P) and AES as 7-Zip writes it are made by
// make_books.sh at build time, since libzip writes neither.
#include <string>
#include <tuple>
#include <vector>

namespace tomelet::test {

enum class Encryption { None, Aes128, Aes192, Aes256 };

class BookWriter {
 public:
  BookWriter& Add(std::string name, std::string data, Encryption encryption = Encryption::None, bool store = false) {
    entries_.emplace_back(std::move(name), std::move(data), encryption, store);
    return *this;
  }
  BookWriter& AddStored(std::string name, std::string data, Encryption encryption = Encryption::None) {
    return Add(std::move(name), std::move(data), encryption, true);
  }
  BookWriter& Password(std::string password) { password_ = std::move(password); return *this; }
  bool Write(const std::string& path) const;  // false (and no file) on failure

 private:
  std::vector<std::tuple<std::string, std::string, Encryption, bool>> entries_;
  std::string password_ = "secret";
};

// A temporary folder removed with the object.
// A book of three chapters "00N Chapter N.rtf" of 300 lines each ("c1 line 1" ...), long
// enough to scroll.
bool WriteLongBook(const std::string& path);

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
