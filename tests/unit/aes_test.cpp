// WinZip AES entries in both forms: AE-1 (with a CRC) and AE-2 (CRC 0, as 7-Zip and
// WinZip write them, where the authentication code is the only check).
#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "book/entry_reader.h"
#include "book/table_of_contents.h"
#include "tests/support/book_writer.h"
#include "tests/support/zip_patch.h"

namespace tomelet {
namespace {

using test::BookWriter;
using test::Encryption;
using test::Field;

std::string Pattern(std::size_t size) {
  std::string data(size, '\0');
  for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<char>('A' + (i * 7 + i / 13) % 26);
  return data;
}

std::string BuiltBook(const char* name) { return std::string(TOMELET_TEST_BOOKS) + "/" + name; }

enum class Damage { None, Data, AuthCode, Crc };

void Flip(std::string& zip, const test::EntryHeaders& h, Encryption method, Damage damage) {
  const std::size_t salt = method == Encryption::Aes128 ? 8 : method == Encryption::Aes192 ? 12 : 16;
  const std::size_t size = test::GetLe(zip, h.central + 20, 4);
  if (damage == Damage::Data) zip[h.data + salt + 2 + (size - salt - 12) / 2] ^= 0x01;
  if (damage == Damage::AuthCode) zip[h.data + size - 4] ^= 0x01;
  if (damage == Damage::Crc) test::PatchField(zip, h, Field::Crc, test::GetLe(zip, h.central + 16, 4) ^ 0x01);
}

TEST(AesEntries, WithoutCrcTheyReadWholeAndDamageIsACrcError) {
  // AE-2 entries (CRC 0, as 7-Zip and WinZip write them) and AE-1 entries (with a CRC)
  // made from libzip's entries.
  struct Row {
    Encryption method;
    bool store;
    std::size_t size;
    int version;
    Damage damage;
  };
  const Row rows[] = {
      {Encryption::Aes128, true, 12, 2, Damage::None},
      {Encryption::Aes128, false, 19, 2, Damage::None},
      {Encryption::Aes128, true, 20, 2, Damage::None},
      {Encryption::Aes128, false, 5000, 2, Damage::None},
      {Encryption::Aes192, true, 5, 2, Damage::None},
      {Encryption::Aes192, false, 300000, 2, Damage::None},  // more than one buffer of each layer
      {Encryption::Aes256, true, 100000, 2, Damage::None},
      {Encryption::Aes256, false, 25, 2, Damage::None},
      {Encryption::Aes256, true, 3000, 2, Damage::Data},
      {Encryption::Aes192, false, 3000, 2, Damage::Data},
      {Encryption::Aes128, true, 3000, 2, Damage::AuthCode},
      {Encryption::Aes192, false, 3000, 2, Damage::AuthCode},
      {Encryption::Aes256, false, 300000, 2, Damage::AuthCode},
      {Encryption::Aes256, true, 10, 2, Damage::AuthCode},
      // AE-1: CRC and authentication code are both checked.
      {Encryption::Aes256, false, 3000, 1, Damage::None},
      {Encryption::Aes256, false, 3000, 1, Damage::AuthCode},
      {Encryption::Aes128, true, 3000, 1, Damage::Crc},
      {Encryption::Aes192, false, 3000, 1, Damage::Crc},
  };
  const std::size_t count = std::size(rows);
  BookWriter writer;
  for (std::size_t i = 0; i < count; ++i) {
    const std::string name = "row " + std::to_string(i);
    if (rows[i].store)
      writer.AddStored(name, Pattern(rows[i].size), rows[i].method);
    else
      writer.Add(name, Pattern(rows[i].size), rows[i].method);
  }
  test::TempDir dir;
  const std::string path = dir.File("book.tmk");
  ASSERT_TRUE(writer.Write(path));
  std::string zip = test::ReadFileBytes(path);
  {
    for (std::size_t i = 0; i < count; ++i) {
      const test::EntryHeaders h = test::FindEntry(zip, "row " + std::to_string(i));
      ASSERT_NE(h.central, std::string::npos) << i;
      ASSERT_TRUE(rows[i].version == 1 ? test::SetAesVersion(zip, h, 1) : test::MakeAe2(zip, h)) << i;
      Flip(zip, h, rows[i].method, rows[i].damage);
    }
  }
  const OpenedBook book = OpenBookArchiveFromBuffer(zip);
  ASSERT_EQ(book.status, OpenStatus::Opened);
  zip_t* archive = book.archive.get();
  zip_set_default_password(archive, "secret");
  for (std::size_t i = 0; i < count; ++i) {
    const EntryData data = ReadEntry(archive, static_cast<zip_uint64_t>(zip_name_locate(archive, ("row " + std::to_string(i)).c_str(), 0)));
    EXPECT_NE(data.info.encryptionMethod, ZIP_EM_NONE) << i;
    if (rows[i].damage == Damage::None) {
      EXPECT_EQ(data.status, EntryStatus::Ok) << i << ": " << data.errorText;
      EXPECT_TRUE(data.bytes == Pattern(rows[i].size)) << i;
    } else {
      EXPECT_EQ(data.status, EntryStatus::CannotRead) << i;
      EXPECT_EQ(data.errorText, LibzipText(ZIP_ER_CRC)) << i;
      EXPECT_TRUE(data.bytes.empty()) << i;
    }
  }
}

TEST(AesEntries, BooksWrittenBy7zipReadAndADamagedAuthenticationCodeIsACrcError) {
  // Made by make_7z_books.sh at build time: AES-128, -192 and -256 entries, stored and
  // deflated, short and long, and their unencrypted copies.
  const std::string aes = test::ReadFileBytes(BuiltBook("7z-aes.tmk"));
  const std::string plain = test::ReadFileBytes(BuiltBook("7z-plain.tmk"));
  ASSERT_FALSE(aes.empty() || plain.empty()) << "the test books are made by make_7z_books.sh";
  std::string damaged = aes;
  const OpenedBook plainBook = OpenBookArchiveFromBuffer(plain);
  ASSERT_EQ(plainBook.status, OpenStatus::Opened);
  const zip_int64_t count = zip_get_num_entries(plainBook.archive.get(), 0);
  EXPECT_EQ(count, 7);
  for (zip_int64_t i = 0; i < count; ++i) {
    const test::EntryHeaders h = test::FindEntry(aes, zip_get_name(plainBook.archive.get(), i, 0));
    ASSERT_NE(h.central, std::string::npos);
    EXPECT_EQ(test::GetLe(aes, h.central + 16, 4), 0u) << "no CRC";
    damaged[h.data + test::GetLe(aes, h.central + 20, 4) - 1] ^= 0x01;
  }
  const OpenedBook book = OpenBookArchiveFromBuffer(aes);
  const OpenedBook damagedBook = OpenBookArchiveFromBuffer(damaged);
  ASSERT_EQ(book.status, OpenStatus::Opened);
  ASSERT_EQ(damagedBook.status, OpenStatus::Opened);
  zip_set_default_password(book.archive.get(), "secret");
  zip_set_default_password(damagedBook.archive.get(), "secret");
  for (zip_int64_t i = 0; i < count; ++i) {
    const char* name = zip_get_name(plainBook.archive.get(), i, 0);
    const EntryData expected = ReadEntry(plainBook.archive.get(), i);
    const EntryData data = ReadEntry(book.archive.get(), zip_name_locate(book.archive.get(), name, 0));
    ASSERT_EQ(expected.status, EntryStatus::Ok) << name;
    EXPECT_NE(data.info.encryptionMethod, ZIP_EM_NONE) << name;
    EXPECT_EQ(data.status, EntryStatus::Ok) << name << ": " << data.errorText;
    EXPECT_TRUE(data.bytes == expected.bytes) << name;
    const EntryData bad = ReadEntry(damagedBook.archive.get(), zip_name_locate(damagedBook.archive.get(), name, 0));
    EXPECT_EQ(bad.status, EntryStatus::CannotRead) << name;
    EXPECT_EQ(bad.errorText, LibzipText(ZIP_ER_CRC)) << name;
  }
}

}  // namespace
}  // namespace tomelet
