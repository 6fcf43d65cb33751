#include "tests/support/book_writer.h"

#include <zip.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace tomelet::test {

bool BookWriter::Write(const std::string& path) const {
  std::error_code ignored;
  std::filesystem::remove(std::filesystem::u8path(path), ignored);
  int error = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (!archive) return false;
  for (const auto& [name, data, encryption, store] : entries_) {
    zip_source_t* source = zip_source_buffer(archive, data.data(), data.size(), 0);
    // Names that are not valid UTF-8 are stored as raw bytes, as old tools write them.
    zip_int64_t index = source ? zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8) : -1;
    if (source && index < 0) index = zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_RAW);
    const zip_uint16_t methods[] = {ZIP_EM_NONE, ZIP_EM_AES_128, ZIP_EM_AES_192, ZIP_EM_AES_256};
    if (index < 0 || (store && zip_set_file_compression(archive, index, ZIP_CM_STORE, 0) != 0) ||
        (encryption != Encryption::None &&
         zip_file_set_encryption(archive, index, methods[static_cast<int>(encryption)], password_.c_str()) != 0)) {
      if (source && index < 0) zip_source_free(source);
      zip_discard(archive);
      return false;
    }
  }
  return zip_close(archive) == 0;
}

bool WriteLongBook(const std::string& path) {
  BookWriter writer;
  for (int c = 1; c <= 3; ++c) {
    std::string rtf = "{\\rtf1\\ansi ";
    for (int i = 1; i <= 300; ++i) rtf += "c" + std::to_string(c) + " line " + std::to_string(i) + "\\par ";
    writer.Add("00" + std::to_string(c) + " Chapter " + std::to_string(c) + ".rtf", rtf + "}");
  }
  return writer.Write(path);
}

TempDir::TempDir() {
  static std::atomic<unsigned> counter{0};
  const auto dir = std::filesystem::temp_directory_path() /
                   ("tomelet-test-" + std::to_string(std::random_device()()) + "-" + std::to_string(counter++));
  std::filesystem::create_directories(dir);
  const std::u8string u8 = dir.generic_u8string();  // with "/" on Windows too
  path_.assign(u8.begin(), u8.end());
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
  std::ofstream(std::filesystem::u8path(path), std::ios::binary | std::ios::trunc) << bytes;
}

}  // namespace tomelet::test
