#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "base/text.h"
#include "book/table_of_contents.h"
#include "tests/support/book_writer.h"
#include "tests/support/zip_patch.h"

namespace tomelet {
namespace {

using test::BookWriter;
using test::Encryption;

const std::string kEllipsis = "\xE2\x80\xA6";

struct Row {
  std::string sourceName;
  std::string entryName;
  std::string displayText;
  bool operator==(const Row&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Row& r) {
  return out << "{" << r.sourceName << " | " << r.entryName << " | " << r.displayText << "}";
}

class TableOfContentsTest : public ::testing::Test {
 protected:
  OpenStatus Open(const BookWriter& writer) {
    archive_.reset();  // Windows cannot replace a file that is still open
    const std::string path = dir_.File("book.tmk");
    EXPECT_TRUE(writer.Write(path));
    return OpenPath(path);
  }
  OpenStatus OpenPath(const std::string& path) {
    OpenedBook book = OpenBookArchive(path);
    archive_ = std::move(book.archive);
    EXPECT_EQ(archive_ != nullptr, book.status == OpenStatus::Opened);
    return book.status;
  }
  // The shown rows, each with the chapter-table row and archive entry behind it.
  std::vector<Row> Shown(bool german = false, const BeforeOpenHook& hook = {}) {
    toc_ = BuildTableOfContents(archive_.get(), german, hook);
    std::vector<Row> rows;
    for (const ContentsRow& row : toc_.rows) {
      const ChapterEntry& chapter = toc_.chapters.at(static_cast<std::size_t>(row.chapterRow));
      const char* name = zip_get_name(archive_.get(), static_cast<zip_uint64_t>(chapter.entryIndex), 0);
      rows.push_back({chapter.sourceName, name ? name : "?", row.displayText});
    }
    return rows;
  }

  test::TempDir dir_;
  ZipArchivePtr archive_;
  TableOfContents toc_;
};

TEST_F(TableOfContentsTest, WithoutAnIndexFileEntryNamesAreSortedIgnoringCase) {
  ASSERT_EQ(Open(BookWriter().Add("003 C.rtf", "c").Add("001 a.rtf", "a").Add("002 B.rtf", "b")), OpenStatus::Opened);
  EXPECT_EQ(Shown(), (std::vector<Row>{{"001 a.rtf", "001 a.rtf", "02a"},
                                       {"002 B.rtf", "002 B.rtf", "02B"},
                                       {"003 C.rtf", "003 C.rtf", "02C"}}));
  EXPECT_FALSE(toc_.hasIndexFile);
  ASSERT_EQ(toc_.chapters.size(), 3u);
  EXPECT_EQ(toc_.chapters[0].entryIndex, 1);
  EXPECT_EQ(toc_.chapters[2].entryIndex, 0);
}

TEST_F(TableOfContentsTest, ReservedAndPlainTextNamesStayInTheChapterTableButAreNotShown) {
  ASSERT_EQ(Open(BookWriter()
                     .Add("readme.txt", "text")
                     .Add("002 Cover.PNG", "png")
                     .Add("#notes.rtf", "{\\rtf1}")
                     .Add("#meta.txt", "Title: x")
                     .Add("001 Start.rtf", "{\\rtf1}")
                     .Add("001-1.rtf", "{\\rtf1}")
                     .Add("images/", "")),
            OpenStatus::Opened);
  const std::vector<Row> rows = Shown(true);
  EXPECT_EQ(rows, (std::vector<Row>{{"#meta.txt", "#meta.txt", "01[\xC3\x9C" "ber...]"},
                                    {"001 Start.rtf", "001 Start.rtf", "02Start"},
                                    {"001-1.rtf", "001-1.rtf", "22" + kEllipsis},
                                    {"002 Cover.PNG", "002 Cover.PNG", "03Cover"},
                                    {"images/", "images/", "04images/"}}));
  EXPECT_EQ(toc_.chapters.size(), 7u);
  // Every row points at its own chapter-table row.
  std::set<int> used;
  for (const ContentsRow& r : toc_.rows) EXPECT_TRUE(used.insert(r.chapterRow).second);
  EXPECT_EQ(Shown(false).front().displayText, "01[About...]");
}

TEST_F(TableOfContentsTest, TheIndexFileDecidesRowsOrderAndTitles) {
  const std::string index =
      "0003-1 Third first.rtf\r\n"
      "0001 First.rtf\r\n"
      "\r\n"
      "0009 Missing entry.rtf\n"
      "0001-2 Again as picture.png\n"
      "0002\n"             // no token
      "-1 No token.rtf\n"  // no token
      "0002 Notes.txt\r"   // plain text: in the chapter table, not shown
      "0002-9.rtf";        // continuation of a level-9 row
  ASSERT_EQ(Open(BookWriter()
                     .Add("0001", "{\\rtf1 one}")
                     .Add("0002", "{\\rtf1 two}")
                     .Add("#index.txt", index)
                     .Add("0003", "{\\rtf1 three}")
                     .Add("0004 Unlisted.rtf", "{\\rtf1 four}")),
            OpenStatus::Opened);
  EXPECT_EQ(Shown(), (std::vector<Row>{{"0003-1 Third first.rtf", "0003", "12Third first"},
                                       {"0001 First.rtf", "0001", "02First"},
                                       {"0001-2 Again as picture.png", "0001", "23Again as picture"},
                                       {"0002-9.rtf", "0002", "92" + kEllipsis}}));
  EXPECT_TRUE(toc_.hasIndexFile);
  EXPECT_EQ(toc_.chapters.size(), 5u);
  EXPECT_EQ(toc_.chapters[3].sourceName, "0002 Notes.txt");
}

TEST_F(TableOfContentsTest, IndexFileNameIsFoundInAnyCaseButOnlyAtTheTopLevel) {
  ASSERT_EQ(Open(BookWriter().Add("1", "x").Add("#InDeX.tXt", "1 One.rtf")), OpenStatus::Opened);
  EXPECT_EQ(Shown(), (std::vector<Row>{{"1 One.rtf", "1", "02One"}}));

  ASSERT_EQ(Open(BookWriter().Add("1", "x").Add("docs/#INDEX.TXT", "1 One.rtf")), OpenStatus::Opened);
  EXPECT_EQ(Shown(), (std::vector<Row>{{"1", "1", "14" + kEllipsis}}));
  EXPECT_FALSE(toc_.hasIndexFile);
}

TEST_F(TableOfContentsTest, TokensMustEqualTheStoredNamesExactly) {
  ASSERT_EQ(Open(BookWriter()
                     .Add("#INDEX.TXT", "001 Primer.rtf\n002 Second.rtf\nABC-1 Case.rtf\n")
                     .Add("0001", "x")
                     .Add("0002", "y")
                     .Add("abc", "z")),
            OpenStatus::Opened);
  EXPECT_TRUE(Shown().empty());
  EXPECT_TRUE(toc_.chapters.empty());
  EXPECT_TRUE(toc_.hasIndexFile);
}

TEST_F(TableOfContentsTest, IndexFileEncodings) {
  // With the mark: UTF-8 (also in the token); without: the ANSI code page.
  ASSERT_EQ(Open(BookWriter()
                     .Add("#INDEX.TXT", "\xEF\xBB\xBF" "01 \xD0\x9A\xD0\xBD\xD0\xB8\xD0\xB3\xD0\xB0.rtf\n"
                                        "\xC3\xA4-1 Umlaut token.rtf\n")
                     .Add("01", "x")
                     .Add("\xC3\xA4", "y")),
            OpenStatus::Opened);
  EXPECT_EQ(Shown(), (std::vector<Row>{
                         {"01 \xD0\x9A\xD0\xBD\xD0\xB8\xD0\xB3\xD0\xB0.rtf", "01", "02\xD0\x9A\xD0\xBD\xD0\xB8\xD0\xB3\xD0\xB0"},
                         {"\xC3\xA4-1 Umlaut token.rtf", "\xC3\xA4", "02\xC3\xA4-1 Umlaut token"}}));

  ASSERT_EQ(Open(BookWriter().Add("#INDEX.TXT", "01 Gr\xFC\xDF" "e.rtf\r\n").Add("01", "x")), OpenStatus::Opened);
  EXPECT_EQ(Shown(), (std::vector<Row>{{"01 Gr\xC3\xBC\xC3\x9F" "e.rtf", "01", "02Gr\xC3\xBC\xC3\x9F" "e"}}));
}

TEST_F(TableOfContentsTest, AnEncryptedIndexFileIsReadThroughTheHook) {
  ASSERT_EQ(Open(BookWriter().Add("#INDEX.TXT", "01 Hidden.rtf", Encryption::Aes128).Add("01", "x")),
            OpenStatus::Opened);
  const zip_int64_t indexEntry = LocateIndexFile(archive_.get());
  ASSERT_GE(indexEntry, 0);

  // Nobody gives a password: an empty table, no failure.
  int asked = 0;
  EXPECT_TRUE(Shown(false, [&](zip_uint64_t entry, const EntryInfo& info) {
                ++asked;
                EXPECT_EQ(entry, static_cast<zip_uint64_t>(indexEntry));
                EXPECT_EQ(info.encryptionMethod, ZIP_EM_AES_128);
              }).empty());
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(toc_.hasIndexFile);

  // The hook gives the password.
  EXPECT_EQ(Shown(false, [&](zip_uint64_t, const EntryInfo&) { zip_set_default_password(archive_.get(), "secret"); }),
            (std::vector<Row>{{"01 Hidden.rtf", "01", "02Hidden"}}));
}

TEST_F(TableOfContentsTest, IndexFilesThatCannotBeReadGiveAnEmptyTable) {
  const std::string path = dir_.File("book.tmk");
  ASSERT_TRUE(BookWriter().AddStored("#INDEX.TXT", "01 One.rtf\n").Add("01", "x").Write(path));
  std::string zip = test::ReadFileBytes(path);
  std::string bomb = zip, broken = zip;
  test::PatchField(bomb, test::FindEntry(bomb, "#INDEX.TXT"), test::Field::Size, 0xFFFFFFFEu);
  broken[test::FindEntry(broken, "#INDEX.TXT").data + 3] ^= 1;  // CRC error
  for (const std::string* bytes : {&bomb, &broken}) {
    test::WriteFileBytes(path, *bytes);
    ASSERT_EQ(OpenPath(path), OpenStatus::Opened);
    EXPECT_TRUE(Shown().empty());
    EXPECT_TRUE(toc_.hasIndexFile);
  }
}

TEST_F(TableOfContentsTest, ManyLinesAndHugeLinesInTheIndexFile) {
  // A line of 3 MB without any line end, then a line naming an entry with a long title.
  std::string index(3u << 20, 'x');
  index += "\n7 " + std::string(100000, 'T') + ".rtf";
  for (int i = 0; i < 50000; ++i) index += "\r\n7-1 Row " + std::to_string(i) + ".rtf";
  ASSERT_EQ(Open(BookWriter().Add("#INDEX.TXT", index).Add("7", "seven")), OpenStatus::Opened);
  const std::vector<Row> rows = Shown();
  ASSERT_EQ(rows.size(), 50001u);
  EXPECT_EQ(rows[0].sourceName.size(), 100006u);  // the whole line, not cut
  EXPECT_EQ(rows[0].displayText, "02" + std::string(257, 'T'));
  EXPECT_EQ(rows[50000].displayText, "12Row 49999");
}

TEST_F(TableOfContentsTest, OddEntryNames) {
  const std::string longName = "001 " + std::string(3000, 'L') + ".rtf";
  const std::string path = dir_.File("book.tmk");
  ASSERT_TRUE(BookWriter()
                  .Add(longName, "x")
                  .Add("002 Tab\there.rtf", "x")
                  .Add("003 AB.png", "x")
                  .Add("004 \xF0\x9F\x93\x96 Book.rtf", "x")
                  .Write(path));
  // libzip does not write control characters in names; put them in afterwards.
  std::string zip = test::ReadFileBytes(path);
  for (std::size_t pos = 0; (pos = zip.find("003 AB.png", pos)) != std::string::npos; pos += 10) {
    zip[pos + 4] = '\x01';
    zip[pos + 5] = '\x1F';
  }
  test::WriteFileBytes(path, zip);
  ASSERT_EQ(OpenPath(path), OpenStatus::Opened);
  const std::vector<Row> rows = Shown();
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0].sourceName, longName);
  EXPECT_EQ(rows[0].displayText, "02" + std::string(257, 'L'));
  EXPECT_EQ(rows[1].displayText, "02Tab\there");
  // Whatever libzip makes of the control bytes, the row is a picture with a two-character title.
  EXPECT_EQ(rows[2].displayText.substr(0, 2), "03");
  EXPECT_EQ(Utf16Length(rows[2].displayText), 4u);
  EXPECT_EQ(SanitizeUtf8(rows[2].displayText), rows[2].displayText);
  EXPECT_EQ(rows[3].displayText, "02\xF0\x9F\x93\x96 Book");
}

TEST_F(TableOfContentsTest, NamesAreAlwaysValidUtf8) {
  // A name flagged as UTF-8 whose bytes are then damaged: libzip either refuses the
  // archive or hands the name over; whatever it hands over is made valid.
  const std::string path = dir_.File("book.tmk");
  ASSERT_TRUE(BookWriter().Add("001 \xC3\xA4.rtf", "x").Add("002 ok.rtf", "y").Write(path));
  std::string zip = test::ReadFileBytes(path);
  std::size_t pos = 0;
  while ((pos = zip.find("\xC3\xA4", pos)) != std::string::npos) zip[pos + 1] = '\xFF';
  test::WriteFileBytes(path, zip);
  if (OpenPath(path) != OpenStatus::Opened) return;
  const std::vector<Row> rows = Shown();
  for (const ChapterEntry& c : toc_.chapters) EXPECT_EQ(SanitizeUtf8(c.sourceName), c.sourceName);
  for (const Row& r : rows) EXPECT_EQ(SanitizeUtf8(r.displayText), r.displayText);
}

TEST_F(TableOfContentsTest, HundredThousandEntries) {
  BookWriter writer;
  for (int i = 99999; i >= 0; --i) {
    char name[32];
    std::snprintf(name, sizeof name, "%06d %s.rtf", i, i % 2 ? "odd" : "Even");
    writer.AddStored(name, "");
  }
  ASSERT_EQ(Open(writer), OpenStatus::Opened);
  const std::vector<Row> rows = Shown();
  ASSERT_EQ(rows.size(), 100000u);
  EXPECT_EQ(rows.front().sourceName, "000000 Even.rtf");
  EXPECT_EQ(rows.back().sourceName, "099999 odd.rtf");
  EXPECT_EQ(toc_.chapters.front().entryIndex, 99999);
  EXPECT_TRUE(std::is_sorted(toc_.chapters.begin(), toc_.chapters.end(), [](const ChapterEntry& a, const ChapterEntry& b) {
    return CollationKey(a.sourceName) < CollationKey(b.sourceName);
  }));
}

TEST_F(TableOfContentsTest, EqualNamesKeepArchiveOrder) {
  ASSERT_EQ(Open(BookWriter().Add("B.rtf", "1").Add("a.rtf", "2").Add("b.RTF", "3").Add("A.rtf", "4")),
            OpenStatus::Opened);
  Shown();
  std::vector<int> order;
  for (const ChapterEntry& c : toc_.chapters) order.push_back(c.entryIndex);
  EXPECT_EQ(order, (std::vector<int>{1, 3, 0, 2}));
}

TEST_F(TableOfContentsTest, OpeningFailsForMissingDamagedAndEmptyFiles) {
  EXPECT_EQ(OpenPath(dir_.File("missing.tmk")), OpenStatus::CannotOpen);
  EXPECT_EQ(OpenPath(""), OpenStatus::CannotOpen);

  const std::string path = dir_.File("book.tmk");
  test::WriteFileBytes(path, "This is not a ZIP archive at all.");
  EXPECT_EQ(OpenPath(path), OpenStatus::CannotOpen);

  // An archive of no entries: only the end record.
  test::WriteFileBytes(path, std::string("PK\x05\x06", 4) + std::string(18, '\0'));
  EXPECT_EQ(OpenPath(path), OpenStatus::Empty);

  ASSERT_TRUE(BookWriter().Add("001 A.rtf", std::string(5000, 'a')).Add("002 B.rtf", "b").Write(path));
  const std::string good = test::ReadFileBytes(path);
  for (std::size_t cut : {good.size() / 2, good.size() - 10, std::size_t{30}, std::size_t{0}}) {
    test::WriteFileBytes(path, good.substr(0, cut));
    EXPECT_NE(OpenPath(path), OpenStatus::Opened) << cut;
  }

  // A central directory whose record claims a name far longer than the directory.
  std::string broken = good;
  test::PutLe(broken, test::FindEntry(broken, "002 B.rtf").central + 28, 0xFFFF, 2);
  test::WriteFileBytes(path, broken);
  if (OpenPath(path) == OpenStatus::Opened) Shown();
}

TEST_F(TableOfContentsTest, PathsOutsideAscii) {
  const std::filesystem::path folder = std::filesystem::u8path(dir_.File("B\xC3\xBC" "cher \xD0\xBA\xD0\xBD\xD0\xB8\xD0\xB3\xD0\xB8"));
  std::filesystem::create_directories(folder);
  const std::string path = dir_.File("B\xC3\xBC" "cher \xD0\xBA\xD0\xBD\xD0\xB8\xD0\xB3\xD0\xB8/\xF0\x9F\x93\x96.tmk");
  ASSERT_TRUE(BookWriter().Add("001 A.rtf", "a").Write(path));
  EXPECT_EQ(OpenPath(path), OpenStatus::Opened);
}

TEST_F(TableOfContentsTest, OpeningFromMemory) {
  const std::string path = dir_.File("book.tmk");
  ASSERT_TRUE(BookWriter().Add("002 B.rtf", "b").Add("001 A.rtf", "a").Write(path));
  const std::string bytes = test::ReadFileBytes(path);
  OpenedBook book = OpenBookArchiveFromBuffer(bytes);
  ASSERT_EQ(book.status, OpenStatus::Opened);
  const TableOfContents toc = BuildTableOfContents(book.archive.get(), false);
  ASSERT_EQ(toc.rows.size(), 2u);
  EXPECT_EQ(toc.rows[0].displayText, "02A");
  EXPECT_EQ(OpenBookArchiveFromBuffer("").status == OpenStatus::Opened, false);
  EXPECT_EQ(OpenBookArchiveFromBuffer("PK\x03\x04 junk").status, OpenStatus::CannotOpen);
  EXPECT_TRUE(BuildTableOfContents(nullptr, false).chapters.empty());
}

}  // namespace
}  // namespace tomelet
