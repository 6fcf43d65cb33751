// Books written here (libzip; zip -P and 7z at build time), opened, listed and read through
// the book layer as the window does it, with the password dialog answered by the test.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/wide.h"
#include "book/attachment_page.h"
#include "book/book_session.h"
#include "book/info_page.h"
#include "book/pages.h"
#include "output/keynote_writer.h"
#include "output/save_rules.h"
#include "tests/support/bad_books.h"
#include "tests/support/book_writer.h"
#include "tests/support/zip_patch.h"

namespace tomelet {
namespace {

using test::BookWriter;
using test::Encryption;
using test::Field;
using Damage = std::function<void(std::string& zip)>;

const std::string kEllipsis = "\xE2\x80\xA6";
const std::string kUmlautUtf8 = "p\xC3\xA4ss", kUmlautAnsi = "p\xE4ss";

std::string Rtf(const std::string& text) { return "{\\rtf1\\ansi " + text + "\\par}"; }
std::string Pattern(std::size_t size) {
  std::string data(size, '\0');
  for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<char>('A' + (i * 7 + i / 13) % 26);
  return data;
}
std::string BuiltBook(const char* name) { return std::string(TOMELET_TEST_BOOKS) + "/" + name; }
void Patch(std::string& zip, const char* entry, Field field, std::uint32_t value) {
  test::PatchField(zip, test::FindEntry(zip, entry), field, value);
}

class BookTest : public ::testing::Test {
 protected:
  OpenStatus Open(const BookWriter& writer, const Damage& damage = nullptr) {
    session_.archive.reset();  // Windows cannot replace a file that is still open
    const std::string path = dir_.File("book.tmk");
    EXPECT_TRUE(writer.Write(path));
    if (damage) {
      std::string zip = test::ReadFileBytes(path);
      damage(zip);
      test::WriteFileBytes(path, zip);
    }
    return OpenPath(path);
  }
  OpenStatus OpenPath(const std::string& path) { return OpenBookFile(session_, Utf8ToWide(path), false, Asker()); }
  // The password dialog's answers from now on: the next in turn, Cancel when none is left.
  void Answers(std::vector<std::optional<PasswordAnswer>> answers) {
    answers_ = std::move(answers);
    shown_ = 0;
  }
  PasswordAsker Asker() {
    return [this]() -> std::optional<PasswordAnswer> {
      return ++shown_ <= static_cast<int>(answers_.size()) ? answers_[shown_ - 1] : std::nullopt;
    };
  }
  // Shown rows as "display text|archive entry".
  std::vector<std::string> Rows() const {
    std::vector<std::string> rows;
    for (const ContentsRow& row : session_.rows) {
      const ChapterEntry& chapter = session_.chapters.at(static_cast<std::size_t>(row.chapterRow));
      const char* name = zip_get_name(session_.archive.get(), static_cast<zip_uint64_t>(chapter.entryIndex), 0);
      rows.push_back(row.displayText + "|" + (name ? name : "?"));
    }
    return rows;
  }
  ChapterEntryData Read(int row, zip_uint64_t limit = DefaultEntrySizeLimit()) {
    const bool valid = row >= 0 && static_cast<std::size_t>(row) < session_.rows.size();
    const EntryRead how =
        valid ? ReadForPage(session_.chapters[static_cast<std::size_t>(session_.rows[row].chapterRow)]) : EntryRead::Whole;
    return ReadChapterEntry(session_, row, Asker(), how, limit);
  }
  ChapterEntryData ExpectRead(int row, EntryStatus status, int shown, const std::string& error = "") {
    ChapterEntryData data = Read(row);
    EXPECT_EQ(data.status, status) << "row " << row << ": " << data.errorText;
    EXPECT_EQ(data.errorText, error) << "row " << row;
    EXPECT_EQ(shown_, shown) << "row " << row;
    return data;
  }

  test::TempDir dir_;
  BookSession session_;
  std::vector<std::optional<PasswordAnswer>> answers_;
  int shown_ = 0;
};

TEST_F(BookTest, TheContentsFollowTheEntryNamesOrTheIndexFile) {
  struct Case { const char* what; BookWriter book; Damage damage; std::vector<std::string> rows; std::size_t chapters; };
  const Case cases[] = {
      {"names sorted ignoring case, equal ones in archive order",
       BookWriter().Add("003 C.rtf", "c").Add("B.rtf", "1").Add("001 a.rtf", "a").Add("b.RTF", "3").Add("a.rtf", "4"),
       nullptr, {"02a|001 a.rtf", "02C|003 C.rtf", "02a|a.rtf", "02B|B.rtf", "02b|b.RTF"}, 5},
      {"reserved and plain-text names are chapters but no rows",
       BookWriter().Add("readme.txt", "t").Add("002 Cover.PNG", "p").Add("#notes.rtf", "n").Add("#meta.txt", "m")
           .Add("001 Start.rtf", "s").Add("001-1.rtf", "c").Add("images/", ""),
       nullptr, {"01[About...]|#meta.txt", "02Start|001 Start.rtf", "22" + kEllipsis + "|001-1.rtf",
                 "03Cover|002 Cover.PNG", "04images/|images/"}, 7},
      {"the index file decides rows, order and titles",
       BookWriter().Add("0001", "1").Add("0002", "2").Add("0003", "3").Add("0004 Unlisted.rtf", "4")
           .Add("#index.txt", "0003-1 Third first.rtf\r\n0001 First.rtf\r\n\r\n0009 Missing.rtf\n"
                              "0001-2 Again as picture.png\n0002\n-1 No token.rtf\n0002 Notes.txt\r0002-9.rtf"),
       nullptr, {"12Third first|0003", "02First|0001", "23Again as picture|0001", "92" + kEllipsis + "|0002"}, 5},
      {"index name in any case", BookWriter().Add("1", "x").Add("#InDeX.tXt", "1 One.rtf"), nullptr, {"02One|1"}, 1},
      {"an index below the top level is an entry",
       BookWriter().Add("1", "x").Add("docs/#INDEX.TXT", "1 One.rtf"), nullptr, {"14" + kEllipsis + "|1"}, 2},
      {"tokens must equal stored names exactly",
       BookWriter().Add("#INDEX.TXT", "001 A.rtf\nABC-1 B.rtf\n").Add("0001", "x").Add("abc", "z"), nullptr, {}, 0},
      {"UTF-8 index after its mark, tokens included",
       BookWriter().Add("#INDEX.TXT", "\xEF\xBB\xBF" "01 \xD0\x9A\xD0\xBD.rtf\n\xC3\xA4-1 Umlaut.rtf").Add("01", "x")
           .Add("\xC3\xA4", "y"),
       nullptr, {"02\xD0\x9A\xD0\xBD|01", "02\xC3\xA4-1 Umlaut|\xC3\xA4"}, 2},
      {"an index that cannot be read whole gives an empty table",
       BookWriter().AddStored("#INDEX.TXT", "01 One.rtf\n").Add("01", "x"),
       [](std::string& zip) { zip[test::FindEntry(zip, "#INDEX.TXT").data + 3] ^= 1; }, {}, 0},
      {"an index declaring a huge size gives an empty table",
       BookWriter().AddStored("#INDEX.TXT", "01 One.rtf\n").Add("01", "x"),
       [](std::string& zip) { Patch(zip, "#INDEX.TXT", Field::Size, 0xFFFFFFFEu); }, {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(Open(c.book, c.damage), OpenStatus::Opened);
    EXPECT_EQ(Rows(), c.rows);
    EXPECT_EQ(session_.chapters.size(), c.chapters);
  }
}

TEST_F(BookTest, FilesThatAreNoBooksDoNotOpen) {
  const std::string folder = dir_.File("B\xC3\xBC" "cher \xD0\xBA\xD0\xBD\xD0\xB8\xD0\xB3\xD0\xB8"), path = folder + "/\xF0\x9F\x93\x96.tmk";
  std::filesystem::create_directories(std::filesystem::u8path(folder));  // a path beyond the ANSI code page
  ASSERT_TRUE(BookWriter().Add("001 A.rtf", std::string(5000, 'a')).Add("002 B.rtf", "b").Write(path));
  const std::string good = test::ReadFileBytes(path);
  ASSERT_EQ(OpenPath(path), OpenStatus::Opened);
  const std::vector<std::string> before = Rows();
  const std::pair<std::string, OpenStatus> files[] = {
      {"This is not a ZIP archive.", OpenStatus::CannotOpen}, {std::string("PK\x05\x06", 4) + std::string(18, '\0'), OpenStatus::Empty},
      {good.substr(0, good.size() / 2), OpenStatus::CannotOpen}, {good.substr(0, good.size() - 10), OpenStatus::CannotOpen},
      {"", OpenStatus::CannotOpen},
  };
  for (const auto& [bytes, status] : files) {
    test::WriteFileBytes(path, bytes);
    EXPECT_EQ(OpenPath(path), status) << bytes.size();
    EXPECT_FALSE(session_.archive);
    EXPECT_EQ(session_.rows.size(), before.size());  // the previous book's rows stay
  }
  EXPECT_EQ(OpenPath(dir_.File("missing.tmk")), OpenStatus::CannotOpen);
}

TEST_F(BookTest, EveryEntryGivesItsPageOrTheMessageWhyNot) {
  const std::string big = Pattern(9u << 20);  // more than one read step
  ASSERT_EQ(Open(BookWriter()
                     .Add("01 Chapter.rtf", Rtf("chapter")).Add("02 Big.rtf", big).AddStored("03 Stored.rtf", "stored")
                     .Add("04 Tiny.png", "abc").Add("05 Empty.rtf", "").Add("06 Picture.png", "picture bytes")
                     .Add("07 Broken.jpeg", "no picture").Add("#meta.txt", "Title: x").Add("08 Manual.pdf", Pattern(150000))
                     .AddStored("09 Flipped.rtf", Pattern(1000)).Add("10 Crc.rtf", Pattern(5000))
                     .AddStored("11 Short.rtf", Pattern(100)).AddStored("12 Long.rtf", Pattern(100))
                     .AddStored("13 Bomb.rtf", Pattern(64)).AddStored("14 Method.rtf", Pattern(100))
                     .AddStored("15 Strong.rtf", Pattern(100)).AddStored("16 Lost.rtf", Pattern(100)),
                 [](std::string& zip) {
                   zip[test::FindEntry(zip, "09 Flipped.rtf").data + 500] ^= 0x20;
                   const test::EntryHeaders crc = test::FindEntry(zip, "10 Crc.rtf");
                   test::PatchField(zip, crc, Field::Crc, test::GetLe(zip, crc.central + 16, 4) ^ 1u);
                   Patch(zip, "11 Short.rtf", Field::Size, 50u << 20);
                   Patch(zip, "12 Long.rtf", Field::Size, 60);
                   Patch(zip, "13 Bomb.rtf", Field::Size, 0xFFFFFFFEu);
                   Patch(zip, "14 Method.rtf", Field::Method, 97);  // WavPack
                   Patch(zip, "15 Strong.rtf", Field::Flags, 0x41);  // encrypted, strong encryption
                   const test::EntryHeaders lost = test::FindEntry(zip, "16 Lost.rtf");
                   zip[lost.local] = 'X';
                   test::PutLe(zip, lost.local + 28, 0xFFFF, 2);
                 }),
            OpenStatus::Opened);
  ASSERT_EQ(session_.rows.size(), 17u);
  const auto toRtf = [](std::string encoded) -> std::optional<std::string> {  // refuses "no picture"
    return encoded.rfind("no ", 0) == 0 ? std::nullopt : std::optional("{picture of " + encoded + "}");
  };
  const auto failed = [](const std::string& first, const std::string& detail) { return first + "\r\n(\"" + detail + "\")"; };
  const std::string cannotRead = "Could not read chapter.", crc = "CRC error", incons = "Zip archive inconsistent";
  using enum EntryStatus;
  struct Case { int row; EntryStatus status; std::string error, page; bool german = false; };  // page: a message unless Ok
  const Case cases[] = {
      {0, Ok, "", *BuildInfoPage("Title: x")}, {1, Ok, "", Rtf("chapter")}, {2, Ok, "", big}, {3, Ok, "", "stored"},
      {4, TooShort, "", "Could not load the chapter's text."}, {5, TooShort, "", "Konnte Text des Kapitels nicht laden.", true},
      {6, Ok, "", "{picture of picture bytes}"}, {7, Ok, "", ""},
      {8, Ok, "", BuildAttachmentPage("08 Manual.pdf", 150000, true), true},
      {9, CannotRead, crc, failed(cannotRead, crc)}, {10, CannotRead, crc, failed(cannotRead, crc)},
      // Sizes declared far beyond the data are refused before anything is inflated.
      {11, NotShown, "", "Das Kapitel ist zu gro\xc3\x9f, um angezeigt zu werden: 52.428.800 Bytes, im Buch auf 100 Bytes "
                         "gepackt.\r\nMit \"Speichere Kapitel als...\" (Strg+S) l\xc3\xa4sst es sich speichern und mit "
                         "einem anderen Programm \xc3\xb6" "ffnen.", true},
      {12, CannotRead, incons, failed(cannotRead, incons)},
      {13, NotShown, "", "The chapter is too large to be shown: 4,294,967,294 bytes, packed to 64 bytes in the book.\r\n"
                         "With \"Save chapter as...\" (Ctrl+S) it can be saved and opened in another program."},
      {14, CannotOpen, "Compression method not supported", failed("Could not open chapter.", "Compression method not supported")},
      {15, CannotOpen, "Encryption method not supported",
       failed("Konnte Kapitel nicht \xC3\xB6" "ffnen.", "Encryption method not supported"), true},
      {16, CannotRead, "Invalid argument", failed(cannotRead, "Invalid argument")},
      {-1, NoInformation, "", "Could not obtain file information of chapter."},
      {17, NoInformation, "", "Konnte die Dateiinformationen zum Kapitel nicht ermitteln.", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "row " << c.row);
    ChapterEntryData data = Read(c.row);
    EXPECT_EQ(data.status, c.status);
    EXPECT_EQ(data.errorText, c.error);
    EXPECT_TRUE(c.status == Ok || data.bytes.empty());
    const Page page = BuildPage(std::move(data), c.german, toRtf);
    EXPECT_EQ(page.form, c.status == Ok ? Page::Form::Bytes : Page::Form::Message);
    EXPECT_TRUE(page.text == c.page) << page.text.substr(0, 200);
    EXPECT_EQ(page.centred, c.row == 6 || c.row == 7);  // pictures
  }
  // With a password held, libzip itself would leak while refusing the strong encryption.
  session_.password = "secret";
  zip_set_default_password(session_.archive.get(), "secret");
  EXPECT_EQ(Read(15).errorText, "Encryption method not supported");
  EXPECT_TRUE(Read(8).bytes.empty());  // an attachment is only opened: its page needs the size alone
  // The caller's limit, and a row whose entry has gone.
  EXPECT_EQ(Read(1, 10).status, TooLarge);
  EXPECT_EQ(Read(1, Rtf("chapter").size()).status, Ok);
  session_.chapters[static_cast<std::size_t>(session_.rows[1].chapterRow)].entryIndex = 999;
  EXPECT_EQ(Read(1).status, NoInformation);
  EXPECT_EQ(shown_, 1);  // only for the strongly encrypted entry
}

TEST_F(BookTest, AesEntriesWithAndWithoutCrcReadWholeAndDamageIsACrcError) {
  // AE-2 as 7-Zip and WinZip write it (CRC 0: the authentication code is the only check),
  // made from libzip's entries, and AE-1 (CRC and authentication code both checked).
  using enum Encryption;
  enum Damage { kNone, kData, kAuthCode, kCrc };
  struct Row { Encryption method; bool store; std::size_t size; char version; Damage damage; };
  const Row rows[] = {
      {Aes128, true, 19, 2, kNone}, {Aes128, false, 20, 2, kNone}, {Aes192, false, 300000, 2, kNone},  // many buffers
      {Aes256, true, 100000, 2, kNone}, {Aes256, true, 3000, 2, kData}, {Aes192, false, 3000, 2, kData},
      {Aes256, false, 300000, 2, kAuthCode}, {Aes256, false, 3000, 1, kNone}, {Aes256, false, 3000, 1, kAuthCode},
      {Aes128, true, 3000, 1, kCrc}, {Aes192, false, 3000, 1, kCrc},
  };
  BookWriter writer;
  for (std::size_t i = 0; i < std::size(rows); ++i) writer.Add(std::to_string(i), Pattern(rows[i].size), rows[i].method, rows[i].store);
  ASSERT_EQ(Open(writer, [&rows](std::string& zip) {
              for (std::size_t i = 0; i < std::size(rows); ++i) {
                const Row& r = rows[i];
                const test::EntryHeaders h = test::FindEntry(zip, std::to_string(i));
                const std::size_t size = test::GetLe(zip, h.central + 20, 4), salt = 4 + 4 * static_cast<int>(r.method);
                test::SetAesVersion(zip, h, r.version);
                if (r.version == 2) test::PatchField(zip, h, Field::Crc, 0);
                if (r.damage == kCrc) test::PatchField(zip, h, Field::Crc, test::GetLe(zip, h.central + 16, 4) ^ 1);
                if (r.damage == kData) zip[h.data + salt + 2 + (size - salt - 12) / 2] ^= 1;
                if (r.damage == kAuthCode) zip[h.data + size - 4] ^= 1;
              }
            }),
            OpenStatus::Opened);
  zip_set_default_password(session_.archive.get(), "secret");
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    const EntryData data = ReadEntry(session_.archive.get(), i);
    EXPECT_EQ(data.errorText, rows[i].damage == kNone ? "" : "CRC error") << i;
    EXPECT_TRUE(data.bytes == (rows[i].damage == kNone ? Pattern(rows[i].size) : "")) << i;
  }
}

TEST_F(BookTest, OnePasswordServesTheBookUntilAnEntryRefusesIt) {
  const BookWriter book = BookWriter().Add("01 One.rtf", Rtf("one"), Encryption::Aes128)
                              .Add("02 Plain.rtf", Rtf("plain")).Add("03 Two.rtf", Rtf("two"), Encryption::Aes256);
  Answers({PasswordAnswer{"secret"}});
  ASSERT_EQ(Open(book), OpenStatus::Opened);
  ExpectRead(1, EntryStatus::Ok, 0);  // not encrypted: no dialog
  ExpectRead(0, EntryStatus::Ok, 1);
  ExpectRead(2, EntryStatus::Ok, 1);  // held: no second dialog

  // A wrong password is dropped, so the entry asks again; Cancel changes nothing.
  Answers({PasswordAnswer{"wrong"}, std::nullopt, PasswordAnswer{"secret"}});
  ASSERT_EQ(Open(book), OpenStatus::Opened);
  ExpectRead(0, EntryStatus::CannotOpen, 1, "Wrong password provided");
  EXPECT_EQ(session_.password, "");
  ExpectRead(2, EntryStatus::CannotOpen, 2, "Wrong password provided");  // libzip still holds "wrong"
  EXPECT_EQ(session_.password, "");
  EXPECT_FALSE(session_.dontAskPassword);
  ExpectRead(2, EntryStatus::Ok, 3);

  // "Don't ask again" with a wrong password: no more dialogs until the next book.
  Answers({PasswordAnswer{"wrong", true}, PasswordAnswer{"secret"}});
  ASSERT_EQ(Open(book), OpenStatus::Opened);
  ExpectRead(0, EntryStatus::CannotOpen, 1, "Wrong password provided");
  ExpectRead(2, EntryStatus::CannotOpen, 1, "Wrong password provided");
  ASSERT_EQ(Open(book), OpenStatus::Opened);
  ExpectRead(2, EntryStatus::Ok, 2);

  // Cancelled first: libzip has no password.
  Answers({});
  ASSERT_EQ(Open(book), OpenStatus::Opened);
  ExpectRead(0, EntryStatus::CannotOpen, 1, "No password provided");

  // A password is cut to 511 bytes.
  Answers({PasswordAnswer{std::string(600, 'x')}});
  ASSERT_EQ(Open(BookWriter().Password(std::string(511, 'x')).Add("01 One.rtf", Rtf("one"), Encryption::Aes128)),
            OpenStatus::Opened);
  ExpectRead(0, EntryStatus::Ok, 1);
  EXPECT_EQ(session_.password, std::string(511, 'x'));
}

TEST_F(BookTest, PasswordsBeyondAsciiOpenBooksMadeWithTheirAnsiOrUtf8Bytes) {
  for (const std::string& bytes : {kUmlautAnsi, kUmlautUtf8})
    ASSERT_TRUE(BookWriter().Password(bytes).Add("01 One.rtf", Rtf("one"), Encryption::Aes256)
                    .Add("02 Two.rtf", Rtf("two"), Encryption::Aes128).Write(dir_.File(bytes == kUmlautAnsi ? "ansi" : "utf8")));
  const std::pair<std::string, std::string> cases[] = {
      {dir_.File("ansi"), kUmlautAnsi}, {dir_.File("utf8"), kUmlautUtf8}, {BuiltBook("pkware-utf8.tmk"), kUmlautUtf8}};
  for (const auto& [path, held] : cases) {
    SCOPED_TRACE(path);
    Answers({PasswordAnswer{kUmlautUtf8}});
    ASSERT_EQ(OpenPath(path), OpenStatus::Opened);
    ExpectRead(0, EntryStatus::Ok, 1);
    ExpectRead(1, EntryStatus::Ok, 1);
    EXPECT_EQ(session_.password, held);
  }
}

TEST_F(BookTest, BooksOfOtherWritersAndTheIndexPasswordThatNoOtherBooksPasswordStandsInFor) {
  // The previous book leaves a password and "don't ask again" behind.
  Answers({PasswordAnswer{"other", true}, PasswordAnswer{"secret"}});
  ASSERT_EQ(Open(BookWriter().Password("other").Add("01 One.rtf", Rtf("one"), Encryption::Aes256)), OpenStatus::Opened);
  ExpectRead(0, EntryStatus::Ok, 1);
  ASSERT_EQ(OpenPath(BuiltBook("pkware-index.tmk")), OpenStatus::Opened);
  EXPECT_EQ(shown_, 2);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"02First|01", "02Second|02"}));
  EXPECT_EQ(ExpectRead(0, EntryStatus::Ok, 2).bytes, "{\\rtf1\\ansi First secret chapter\\par}");

  // PKWARE books with plain entries, and AES as 7-Zip writes it (no CRC): every entry reads,
  // and a damaged authentication code is a CRC error.
  for (const char* name : {"pkware.tmk", "7z-aes.tmk"}) {
    SCOPED_TRACE(name);
    Answers({PasswordAnswer{"secret"}});
    ASSERT_EQ(OpenPath(BuiltBook(name)), OpenStatus::Opened);
    for (int row = 0; row < static_cast<int>(session_.rows.size()); ++row)
      EXPECT_EQ(ExpectRead(row, EntryStatus::Ok, 1).bytes.back(), '}');
  }
  ASSERT_EQ(session_.rows.size(), 7u);
  std::string zip = test::ReadFileBytes(BuiltBook("7z-aes.tmk"));
  for (int row : {0, 1, 2, 4, 5, 6}) {  // row 3 reads, so the password is held
    const test::EntryHeaders h = test::FindEntry(zip, session_.chapters[session_.rows[row].chapterRow].sourceName);
    EXPECT_EQ(test::GetLe(zip, h.central + 16, 4), 0u) << "no CRC";
    zip[h.data + test::GetLe(zip, h.central + 20, 4) - 1] ^= 1;
  }
  test::WriteFileBytes(dir_.File("damaged.tmk"), zip);
  Answers({PasswordAnswer{"secret"}});
  ASSERT_EQ(OpenPath(dir_.File("damaged.tmk")), OpenStatus::Opened);
  ExpectRead(3, EntryStatus::Ok, 1);
  for (int row : {0, 1, 2, 4, 5, 6}) ExpectRead(row, EntryStatus::CannotRead, 1, "CRC error");
}

TEST_F(BookTest, APasswordThatPassesTheOneByteCheckButDoesNotReadIsRefusedLikeAWrongOne) {
  std::string zip = test::ReadFileBytes(BuiltBook("pkware.tmk"));
  const std::string wrong = test::FalseCheckPassword(zip, "01 One.rtf", "secret");
  const test::EntryHeaders two = test::FindEntry(zip, "02 Two.rtf");
  zip[two.data + test::GetLe(zip, two.central + 20, 4) - 1] ^= 1;
  test::WriteFileBytes(dir_.File("damaged.tmk"), zip);
  Answers({PasswordAnswer{wrong}, PasswordAnswer{"secret"}});
  ASSERT_EQ(OpenPath(dir_.File("damaged.tmk")), OpenStatus::Opened);
  ExpectRead(0, EntryStatus::CannotOpen, 1, "Wrong password provided");
  EXPECT_EQ(session_.password, "");
  ExpectRead(0, EntryStatus::Ok, 2);
  EXPECT_EQ(Read(1).status, EntryStatus::CannotRead);  // damaged later: the password stays
  EXPECT_EQ(session_.password, "secret");
  // The index file refuses it too: no rows, nothing held.
  const std::string index = test::ReadFileBytes(BuiltBook("pkware-index.tmk"));
  Answers({PasswordAnswer{test::FalseCheckPassword(index, "#INDEX.TXT", "secret")}});
  ASSERT_EQ(OpenPath(BuiltBook("pkware-index.tmk")), OpenStatus::Opened);
  EXPECT_EQ(shown_, 1);
  EXPECT_TRUE(session_.rows.empty());
  EXPECT_EQ(session_.password, "");
}

// Every book of the corpus gives its message for the row read, the KeyNote export of all
// its rows ends, contents rows stay short and the save dialog is offered plain names.
TEST_F(BookTest, DamagedHugeAndHostileBooksGiveTheirMessage) {
  test::WriteBadBooks(dir_.path());
  struct Case { const char* book; std::size_t rows; int row; EntryStatus status; const char* shows; };
  const Case cases[] = {
      {"overlapping", 2, 1, EntryStatus::CannotRead, "Could not read chapter."},
      {"bomb", 1, 0, EntryStatus::NotShown, "too large to be shown: 52,428,800 bytes, packed to 5"},
      {"many", 100000, 99999, EntryStatus::Ok, "{\\rtf1}"},
      {"long-name", 1, 0, EntryStatus::Ok, "long"},
      {"long-index", 1, 0, EntryStatus::Ok, "Binary Attachemnt"},  // the line has no extension
      {"names", 5, 0, EntryStatus::Ok, ""},
      {"deep", 2, 0, EntryStatus::Ok, "nested too deeply to be shown: more than 32 levels"},
      {"urtf-deep", 1, 0, EntryStatus::Ok, "nested too deeply to be shown"},
      {"index-bomb", kMaxIndexRows, 0, EntryStatus::Ok, "one"},  // the rest of the index is left out
      {"dense", 2, 0, EntryStatus::Ok, "e e e"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.book);
    ASSERT_EQ(OpenPath(dir_.File(std::string(c.book) + ".tmk")), OpenStatus::Opened);
    ASSERT_EQ(session_.rows.size(), c.rows);
    ChapterEntryData data = Read(c.row);
    EXPECT_EQ(data.status, c.status);
    EXPECT_NE(BuildPage(std::move(data), false, {}).text.find(c.shows), std::string::npos);
    std::vector<KeyNoteNode> nodes;
    for (std::size_t r = 0; r < std::min<std::size_t>(c.rows, 5); ++r) {
      const ContentsRow& row = session_.rows[r];
      EXPECT_LT(row.displayText.size(), 800u);
      nodes.push_back({0, false, "node", static_cast<int>(r)});
      const std::wstring offered = SaveNameOffered(session_.chapters[static_cast<std::size_t>(row.chapterRow)].sourceName);
      EXPECT_EQ(offered.find_first_of(L"\\/:"), std::wstring::npos) << row.displayText;
      EXPECT_NE(offered.substr(0, 3), L"CON");
    }
    StringSink sink;
    EXPECT_NE(WriteKeyNote(sink, session_, "n", nodes, Asker(), {}).state, ExportState::WriteFailed);
    // Index files read in part say how far.
    const std::string book = c.book;
    EXPECT_EQ(session_.index.cut, book == "index-bomb" || book == "long-index");
    EXPECT_EQ(session_.index.linesRead, book == "index-bomb" ? kMaxIndexRows : book == "long-index" ? 1 : 0);
  }
  // Encrypted bombs: the password typed is checked and held without the chapter inflated.
  for (const char* name : {"pkware-bomb.tmk", "7z-aes-bomb.tmk"}) {
    SCOPED_TRACE(name);
    Answers({PasswordAnswer{"secret"}});
    ASSERT_EQ(OpenPath(BuiltBook(name)), OpenStatus::Opened);
    ExpectRead(0, EntryStatus::NotShown, 1);
    EXPECT_EQ(session_.password, "secret");
  }
}

}  // namespace
}  // namespace tomelet
