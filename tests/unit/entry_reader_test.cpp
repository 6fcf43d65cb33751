#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

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

class EntryReaderTest : public ::testing::Test {
 protected:
  // Writes the book, lets `damage` patch its bytes, and opens it.
  template <typename Damage>
  zip_t* Open(const BookWriter& writer, Damage damage) {
    const std::string path = dir_.File("book.tmk");
    EXPECT_TRUE(writer.Write(path));
    bytes_ = test::ReadFileBytes(path);
    damage(bytes_);
    test::WriteFileBytes(path, bytes_);
    OpenedBook book = OpenBookArchive(path);
    EXPECT_EQ(book.status, OpenStatus::Opened);
    archive_ = std::move(book.archive);
    return archive_.get();
  }
  zip_t* Open(const BookWriter& writer) {
    return Open(writer, [](std::string&) {});
  }
  zip_uint64_t Index(const char* name) { return static_cast<zip_uint64_t>(zip_name_locate(archive_.get(), name, 0)); }

  test::TempDir dir_;
  std::string bytes_;
  ZipArchivePtr archive_;
};

TEST_F(EntryReaderTest, ReadsStoredAndDeflatedEntriesWhole) {
  const std::string big = Pattern(9u << 20);  // more than one read step
  zip_t* archive = Open(BookWriter()
                            .Add("001 Deflated.rtf", big)
                            .AddStored("002 Stored.bin", "stored bytes")
                            .Add("003 Empty.rtf", "")
                            .Add("004 Tiny.png", "abc"));
  const EntryData deflated = ReadEntry(archive, Index("001 Deflated.rtf"));
  ASSERT_EQ(deflated.status, EntryStatus::Ok) << deflated.errorText;
  EXPECT_EQ(deflated.info.size, big.size());
  EXPECT_EQ(deflated.info.encryptionMethod, ZIP_EM_NONE);
  EXPECT_TRUE(deflated.bytes == big);

  EXPECT_EQ(ReadEntry(archive, Index("002 Stored.bin")).bytes, "stored bytes");
  const EntryData empty = ReadEntry(archive, Index("003 Empty.rtf"));
  EXPECT_EQ(empty.status, EntryStatus::Ok);
  EXPECT_EQ(empty.info.size, 0u);
  const EntryData tiny = ReadEntry(archive, Index("004 Tiny.png"));
  EXPECT_EQ(tiny.status, EntryStatus::Ok);
  EXPECT_EQ(tiny.bytes, "abc");
}

TEST_F(EntryReaderTest, TheStepsRunSeparatelyAndTheHookRunsBeforeOpening) {
  zip_t* archive = Open(BookWriter().Add("001 Secret.rtf", "{\\rtf1 hidden}", Encryption::Aes256));
  const zip_uint64_t entry = Index("001 Secret.rtf");

  EntryInfo info;
  ASSERT_EQ(StatEntry(archive, entry, info), EntryStatus::Ok);
  EXPECT_EQ(info.size, 14u);
  EXPECT_EQ(info.encryptionMethod, ZIP_EM_AES_256);

  // No password: opening fails with libzip's text.
  ZipFilePtr file;
  std::string error;
  EXPECT_EQ(OpenEntry(archive, entry, file, error), EntryStatus::CannotOpen);
  EXPECT_FALSE(file);
  EXPECT_EQ(error, LibzipText(ZIP_ER_NOPASSWD));

  // A wrong password.
  zip_set_default_password(archive, "wrong");
  EXPECT_EQ(OpenEntry(archive, entry, file, error), EntryStatus::CannotOpen);
  EXPECT_EQ(error, LibzipText(ZIP_ER_WRONGPASSWD));
  zip_set_default_password(archive, nullptr);

  // The hook is where the program asks for the password.
  std::vector<zip_uint64_t> asked;
  const EntryData data = ReadEntry(archive, entry, [&](zip_uint64_t e, const EntryInfo& i) {
    asked.push_back(e);
    EXPECT_EQ(i.encryptionMethod, ZIP_EM_AES_256);
    zip_set_default_password(archive, "secret");
  });
  EXPECT_EQ(asked, std::vector<zip_uint64_t>{entry});
  ASSERT_EQ(data.status, EntryStatus::Ok) << data.errorText;
  EXPECT_EQ(data.bytes, "{\\rtf1 hidden}");

  // No such entry: no information, and the hook does not run.
  asked.clear();
  EXPECT_EQ(ReadEntry(archive, 99, [&](zip_uint64_t e, const EntryInfo&) { asked.push_back(e); }).status,
            EntryStatus::NoInformation);
  EXPECT_TRUE(asked.empty());
  EXPECT_EQ(OpenEntry(archive, 99, file, error), EntryStatus::CannotOpen);
  EXPECT_FALSE(error.empty());
}

TEST_F(EntryReaderTest, ChecksumErrorsAreFailuresWithLibzipsText) {
  const std::string stored = "stored data " + Pattern(1000);
  zip_t* archive = Open(BookWriter().AddStored("001 Stored.bin", stored).Add("002 Deflated.rtf", Pattern(5000)),
                        [&](std::string& zip) {
                          // One flipped byte in the stored data; a wrong CRC for the deflated entry.
                          const test::EntryHeaders s = test::FindEntry(zip, "001 Stored.bin");
                          ASSERT_NE(s.data, std::string::npos);
                          ASSERT_EQ(zip.compare(s.data, 12, "stored data "), 0);
                          zip[s.data + 500] ^= 0x20;
                          const test::EntryHeaders d = test::FindEntry(zip, "002 Deflated.rtf");
                          ASSERT_NE(d.central, std::string::npos);
                          test::PatchField(zip, d, Field::Crc, test::GetLe(zip, d.central + 16, 4) ^ 1u);
                        });
  for (const char* name : {"001 Stored.bin", "002 Deflated.rtf"}) {
    const EntryData data = ReadEntry(archive, Index(name));
    EXPECT_EQ(data.status, EntryStatus::CannotRead) << name;
    EXPECT_EQ(data.errorText, LibzipText(ZIP_ER_CRC)) << name;
    EXPECT_TRUE(data.bytes.empty()) << name;
  }
}

// One flipped byte in an AES entry: in its encrypted data, in its authentication code
// (the last 10 bytes of the entry's data), or in its CRC.
enum class Damage { None, Data, AuthCode, Crc };

void Flip(std::string& zip, const test::EntryHeaders& h, Encryption method, Damage damage) {
  const std::size_t salt = method == Encryption::Aes128 ? 8 : method == Encryption::Aes192 ? 12 : 16;
  const std::size_t size = test::GetLe(zip, h.central + 20, 4);
  if (damage == Damage::Data) zip[h.data + salt + 2 + (size - salt - 12) / 2] ^= 0x01;
  if (damage == Damage::AuthCode) zip[h.data + size - 4] ^= 0x01;
  if (damage == Damage::Crc) test::PatchField(zip, h, Field::Crc, test::GetLe(zip, h.central + 16, 4) ^ 0x01);
}

TEST_F(EntryReaderTest, AesEntriesWithoutCrcReadWholeAndDamageIsACrcError) {
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
  zip_t* archive = Open(writer, [&](std::string& zip) {
    for (std::size_t i = 0; i < count; ++i) {
      const test::EntryHeaders h = test::FindEntry(zip, "row " + std::to_string(i));
      ASSERT_NE(h.central, std::string::npos) << i;
      ASSERT_TRUE(rows[i].version == 1 ? test::SetAesVersion(zip, h, 1) : test::MakeAe2(zip, h)) << i;
      Flip(zip, h, rows[i].method, rows[i].damage);
    }
  });
  zip_set_default_password(archive, "secret");
  for (std::size_t i = 0; i < count; ++i) {
    const EntryData data = ReadEntry(archive, Index(("row " + std::to_string(i)).c_str()));
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

TEST(EntryReader, AesBooksWrittenBy7zipReadAndADamagedAuthenticationCodeIsACrcError) {
  // Made by make_7z_books.sh at build time: AES-128, -192 and -256 entries, stored and
  // deflated, short and long, and their unencrypted copies.
  const std::string aes = test::ReadFileBytes("books/7z-aes.tmk");
  const std::string plain = test::ReadFileBytes("books/7z-plain.tmk");
  ASSERT_FALSE(aes.empty() || plain.empty()) << "books/ in the working folder is made by make_7z_books.sh";
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

TEST_F(EntryReaderTest, EntriesShorterOrLongerThanDeclaredAreFailures) {
  zip_t* archive =
      Open(BookWriter().AddStored("001 Short.bin", Pattern(100)).AddStored("002 Long.bin", Pattern(100)),
           [](std::string& zip) {
             test::PatchField(zip, test::FindEntry(zip, "001 Short.bin"), Field::Size, 50u << 20);
             test::PatchField(zip, test::FindEntry(zip, "002 Long.bin"), Field::Size, 60);
           });
  const EntryData shorter = ReadEntry(archive, Index("001 Short.bin"));
  EXPECT_EQ(shorter.info.size, 50u << 20);
  EXPECT_EQ(shorter.status, EntryStatus::CannotRead);
  EXPECT_FALSE(shorter.errorText.empty());
  EXPECT_TRUE(shorter.bytes.empty());

  const EntryData longer = ReadEntry(archive, Index("002 Long.bin"));
  EXPECT_EQ(longer.status, EntryStatus::CannotRead);
  EXPECT_FALSE(longer.errorText.empty());
  EXPECT_TRUE(longer.bytes.empty());
}

TEST_F(EntryReaderTest, EntriesDeclaringHugeSizesAreRefusedWithoutAllocating) {
  zip_t* archive = Open(BookWriter().AddStored("001 Bomb.bin", Pattern(64)).Add("002 Fine.rtf", Pattern(4096)),
                        [](std::string& zip) {
                          test::PatchField(zip, test::FindEntry(zip, "001 Bomb.bin"), Field::Size, 0xFFFFFFFEu);
                        });
  const EntryData bomb = ReadEntry(archive, Index("001 Bomb.bin"));
  EXPECT_EQ(bomb.info.size, 0xFFFFFFFEu);
  EXPECT_EQ(bomb.status, EntryStatus::TooLarge);
  EXPECT_EQ(bomb.errorText, LibzipText(ZIP_ER_MEMORY));

  // The caller's own limit.
  EXPECT_EQ(ReadEntry(archive, Index("002 Fine.rtf"), {}, 4095).status, EntryStatus::TooLarge);
  EXPECT_EQ(ReadEntry(archive, Index("002 Fine.rtf"), {}, 4096).status, EntryStatus::Ok);
  EXPECT_GE(DefaultEntrySizeLimit(), zip_uint64_t{1} << 30);
  EXPECT_LT(DefaultEntrySizeLimit(), 0xFFFFFFFEu);
}

TEST_F(EntryReaderTest, UnsupportedCompressionMethodFailsToOpenWithLibzipsText) {
  zip_t* archive = Open(BookWriter().AddStored("001 Odd.bin", Pattern(100)).Add("002 Good.rtf", "good text"),
                        [](std::string& zip) {
                          test::PatchField(zip, test::FindEntry(zip, "001 Odd.bin"), Field::Method, 97);  // WavPack
                        });
  ASSERT_TRUE(archive);
  const EntryData odd = ReadEntry(archive, Index("001 Odd.bin"));
  EXPECT_EQ(odd.status, EntryStatus::CannotOpen);
  EXPECT_EQ(odd.errorText, LibzipText(ZIP_ER_COMPNOTSUPP));
  EXPECT_EQ(ReadEntry(archive, Index("002 Good.rtf")).bytes, "good text");
}

TEST_F(EntryReaderTest, UnsupportedEncryptionFailsToOpenWithLibzipsText) {
  // Flags "encrypted" and "strong encryption": a method libzip cannot decrypt, with or
  // without a password (with one, libzip itself would leak while failing).
  zip_t* archive = Open(BookWriter().AddStored("001 Strong.bin", Pattern(100)), [](std::string& zip) {
    const test::EntryHeaders h = test::FindEntry(zip, "001 Strong.bin");
    test::PutLe(zip, h.local + 6, 0x41, 2);
    test::PutLe(zip, h.central + 8, 0x41, 2);
  });
  ASSERT_TRUE(archive);
  const zip_uint64_t entry = Index("001 Strong.bin");
  EntryInfo info;
  ASSERT_EQ(StatEntry(archive, entry, info), EntryStatus::Ok);
  EXPECT_NE(info.encryptionMethod, ZIP_EM_NONE);
  for (const char* password : {static_cast<const char*>(nullptr), "secret"}) {
    zip_set_default_password(archive, password);
    const EntryData data = ReadEntry(archive, entry);
    EXPECT_EQ(data.status, EntryStatus::CannotOpen);
    EXPECT_EQ(data.errorText, LibzipText(ZIP_ER_ENCRNOTSUPP));
  }
}

TEST_F(EntryReaderTest, DamagedLocalHeadersAreFailures) {
  zip_t* archive = Open(BookWriter().AddStored("001 Lost.bin", Pattern(100)).Add("002 Good.rtf", "good text"),
                        [](std::string& zip) {
                          // The local header loses its signature and claims a huge extra field.
                          const test::EntryHeaders lost = test::FindEntry(zip, "001 Lost.bin");
                          zip[lost.local] = 'X';
                          test::PutLe(zip, lost.local + 28, 0xFFFF, 2);
                        });
  ASSERT_TRUE(archive);
  const EntryData lost = ReadEntry(archive, Index("001 Lost.bin"));
  EXPECT_TRUE(lost.status == EntryStatus::CannotOpen || lost.status == EntryStatus::CannotRead);
  EXPECT_FALSE(lost.errorText.empty()) << lost.errorText;
  EXPECT_TRUE(lost.bytes.empty());
  EXPECT_EQ(ReadEntry(archive, Index("002 Good.rtf")).bytes, "good text");
}

TEST(EntryReader, NullArgumentsAreRefused) {
  EntryInfo info;
  EXPECT_EQ(StatEntry(nullptr, 0, info), EntryStatus::NoInformation);
  ZipFilePtr file;
  std::string error, bytes;
  EXPECT_EQ(OpenEntry(nullptr, 0, file, error), EntryStatus::CannotOpen);
  EXPECT_EQ(ReadOpenedEntry(nullptr, 10, bytes, error), EntryStatus::CannotRead);
  EXPECT_EQ(ReadEntry(nullptr, 0).status, EntryStatus::NoInformation);
}

}  // namespace
}  // namespace tomelet
