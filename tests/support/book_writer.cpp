#include "tests/support/book_writer.h"

#include <zip.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace tomelet::test {

BookWriter& BookWriter::Add(std::string name, std::string data, Encryption encryption) {
  entries_.push_back({std::move(name), std::move(data), encryption, false});
  return *this;
}

BookWriter& BookWriter::AddStored(std::string name, std::string data, Encryption encryption) {
  entries_.push_back({std::move(name), std::move(data), encryption, true});
  return *this;
}

BookWriter& BookWriter::Password(std::string password) {
  password_ = std::move(password);
  return *this;
}

bool BookWriter::Write(const std::string& path) const {
  std::error_code ignored;
  std::filesystem::remove(std::filesystem::u8path(path), ignored);
  int error = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (!archive) return false;
  for (const BookEntry& e : entries_) {
    zip_source_t* source = zip_source_buffer(archive, e.data.data(), e.data.size(), 0);
    // Names that are not valid UTF-8 are stored as raw bytes, as old tools write them.
    zip_int64_t index = source ? zip_file_add(archive, e.name.c_str(), source, ZIP_FL_ENC_UTF_8) : -1;
    if (source && index < 0) index = zip_file_add(archive, e.name.c_str(), source, ZIP_FL_ENC_RAW);
    if (index < 0) {
      if (source) zip_source_free(source);
      zip_discard(archive);
      return false;
    }
    if (e.store) zip_set_file_compression(archive, index, ZIP_CM_STORE, 0);
    if (e.encryption != Encryption::None) {
      const zip_uint16_t method = e.encryption == Encryption::Aes128   ? ZIP_EM_AES_128
                                  : e.encryption == Encryption::Aes192 ? ZIP_EM_AES_192
                                                                       : ZIP_EM_AES_256;
      if (zip_file_set_encryption(archive, index, method, password_.c_str()) != 0) {
        zip_discard(archive);
        return false;
      }
    }
  }
  return zip_close(archive) == 0;
}

TempDir::TempDir() {
  static std::atomic<unsigned> counter{0};
  std::random_device random;
  std::ostringstream name;
  name << "tomelet-test-" << random() << "-" << counter++;
  const auto dir = std::filesystem::temp_directory_path() / name.str();
  std::filesystem::create_directories(dir);
  const std::u8string u8 = dir.u8string();
  path_.assign(u8.begin(), u8.end());
  for (char& c : path_)
    if (c == '\\') c = '/';
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::u8path(path_), ignored);
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(std::filesystem::u8path(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace tomelet::test
