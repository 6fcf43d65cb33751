// Saving and exporting without a window: the name rules, the picture document and the
// KeyNote file, byte for byte.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "output/keynote_writer.h"
#include "output/picture_document.h"
#include "output/save_rules.h"
#include "tests/support/book_writer.h"
#include "tests/support/zip_patch.h"

namespace tomelet {
namespace {

using test::BookWriter;

TEST(SaveRules, ClassFormAndTargetFollowTheEntryAndTheChosenFilter) {
  struct Case { const char* entry; unsigned filter; const wchar_t *chosen, *target; SaveForm form; const wchar_t* extension; };
  const Case cases[] = {
      {"pics/photo.png", 1, L"C:\\a.rtf", L"C:\\a.rtf", SaveForm::PngDocument, L"rtf"},
      {"photo.png", 1, L"C:\\a.jpg", L"C:\\a.jpg.rtf", SaveForm::PngDocument, L"rtf"},
      {"x.jpeg", 1, L"C:\\x.jpeg", L"C:\\x.jpeg.rtf", SaveForm::JpegDocument, L"rtf"},
      {"x.JPG", 1, L"C:\\x.txt", L"C:\\x.txt", SaveForm::JpegDocument, L"rtf"},
      {"photo.png", 2, L"C:\\a.png", L"C:\\a.png", SaveForm::AsStored, L"rtf"},
      {"01 Intro.RTF", 1, L"C:\\a.png", L"C:\\a.png", SaveForm::AsStored, L"rtf"},
      {"data.bin", 1, L"C:\\data.png", L"C:\\data.png", SaveForm::AsStored, L""},
      {"#META.TXT", 1, L"C:\\m", L"C:\\m", SaveForm::AsStored, L""},
      {"PNG", 1, L"C:\\png", L"C:\\png", SaveForm::PngDocument, L"rtf"},  // no "." : the whole name
  };
  for (const Case& c : cases) {
    const SaveClass kind = SaveClassOf(c.entry);
    const SaveForm form = SaveFormOf(kind, c.entry, c.filter);
    EXPECT_EQ(form, c.form) << c.entry;
    EXPECT_EQ(SaveTargetName(c.chosen, form), c.target) << c.entry;
    EXPECT_STREQ(SaveDefaultExtension(kind), c.extension) << c.entry;
  }
  const std::pair<const char*, const wchar_t*> offered[] = {
      {"pics/photo.png", L"photo.png"}, {"..\\..\\Startup\\run.bat", L"run.bat"}, {"C:\\x.bat", L"x.bat"},
      {"004 a:b.rtf", L"004 a_b.rtf"}, {"a<>\"|?*\x01.rtf", L"a_______.rtf"}, {"dots. . .", L"dots"},
      {"CON.rtf", L"_CON.rtf"}, {"nul", L"_nul"}, {"Com9.x.y", L"_Com9.x.y"}, {"LPT1 .rtf", L"_LPT1 .rtf"},
      {"aux.", L"_aux"}, {"COM0.rtf", L"COM0.rtf"}, {"CONSOLE.rtf", L"CONSOLE.rtf"}, {"dir/", L""}};
  for (const auto& [entry, name] : offered) EXPECT_EQ(SaveNameOffered(entry), name) << entry;
}

TEST(ExportRules, ProposedNameSuffixOkRuleAndNoteName) {
  EXPECT_EQ(ProposedKeyNoteName(L"D:\\Books\\Tale.tmk"), L"D:\\Books\\Tale.knt");
  EXPECT_EQ(ProposedKeyNoteName(L"Tale"), L"knt");
  struct Suffix { const wchar_t *name, *suffix; unsigned filter; };  // filter 1 KeyNote files, 2 all files
  const Suffix suffixes[] = {{L"C:\\x\\Book.KnT", L".KNT", 1}, {L"C:\\x\\Book.txt", L".TXT", 2},
                             {L"C:\\x.y\\Book", L".Y\\BOOK", 2}, {L"Book", L"", 2}};
  for (const Suffix& s : suffixes) {
    EXPECT_EQ(NameSuffix(s.name), s.suffix) << s.name;
    EXPECT_EQ(IsKeyNoteSuffix(NameSuffix(s.name)), s.filter == 1) << s.name;
    EXPECT_EQ(KeyNoteFilterFor(s.name), s.filter) << s.name;
  }
  EXPECT_FALSE(ExportOkEnabled(0, 20) || ExportOkEnabled(1, 4));
  EXPECT_TRUE(ExportOkEnabled(1, 5));
  EXPECT_EQ(NoteNameOf(L"C:\\t\\Book.knt"), L"Book.knt");
  EXPECT_EQ(NoteNameOf(L"Book.knt"), L"Book.knt");
}

TEST(ExportRules, RowsCarryLevelKindAndTitleAndReadBackAndNamesOutsideTheCodePageBecomeQuestionMarks) {
  struct Case { const char* display; const wchar_t* row; int level; bool picture; };
  const Case cases[] = {
      {"02Intro", L"\u25AAIntro", 0, false}, {"13Bild", L"    \u25ABBild", 1, true},
      {"22Tief \xC3\xA4", L"        \u25AATief \u00e4", 2, false},
      {"04data.bin", L"", 0, false}, {"11[About...]", L"", 0, false},  // attachments and the information row: never
  };
  for (const Case& c : cases) {
    const std::wstring row = ExportRowText(c.display);
    EXPECT_EQ(row, c.row) << c.display;
    const ExportRow read = ReadExportRow(row);
    EXPECT_TRUE(row.empty() || (read.level == c.level && read.picture == c.picture && read.title == row.substr(4 * c.level + 1)))
        << c.display;
  }
  EXPECT_EQ(ExportRowText("92" + std::string(300, 't')).size(), 259u);
  const std::pair<const char*, const char*> names[] = {
      {"Intro", "Intro"}, {"Stra\xC3\x9F" "e", "Stra\xDF" "e"},  // in the code page: kept
      {"Stra\xC3\x9F" "e \xD0\x93\xD0\xBB", "Stra?e ??"},        // one character outside: all non-ASCII
      {"\xF0\x9D\x84\x9E x", "? x"},                             // a surrogate pair counts as one
  };
  for (const auto& [utf8, ansi] : names) EXPECT_EQ(AnsiOrQuestionMarks(utf8), ansi) << utf8;
}

// A sink that refuses only its write number `refused` (from 0): every failed write must
// stop the writer, even when the writes after it would succeed.
struct FailingSink final : FileSink {
  explicit FailingSink(int refused) : left(refused) {}
  bool Write(std::string_view) override { return left-- != 0; }
  int left;
};

TEST(PictureDocument, HexOfEveryByteInPiecesBetweenHeaderAndEnd) {
  const std::string head = "{\\rtf1\\ansi \r{\\pict\\wmetafile1\\pngblip\\picwgoal240\\pichgoal240 ";
  for (std::size_t piece : {1, 4, 64 * 1024}) {
    StringSink png, jpeg;
    ASSERT_TRUE(WritePictureDocument(png, std::string("\x89PNG\x00\xFF", 6), true, piece));
    EXPECT_EQ(png.text, head + "89504E4700FF }}") << piece;
    ASSERT_TRUE(WritePictureDocument(jpeg, "", false, piece));
    EXPECT_EQ(jpeg.text, "{\\rtf1\\ansi \r{\\pict\\wmetafile1\\jpegblip\\picwgoal240\\pichgoal240  }}") << piece;
  }
  const std::string big(200000, 'Z');  // 0x5A
  std::string hex;
  while (hex.size() < 2 * big.size()) hex += "5A";
  StringSink sink;
  ASSERT_TRUE(WritePictureDocument(sink, big, true));
  EXPECT_EQ(sink.text, head + hex + " }}");
  FailingSink failing(2);
  EXPECT_FALSE(WritePictureDocument(failing, big, true));
}

// --- the KeyNote file -------------------------------------------------------------------

std::string Node(int level, const std::string& title) {
  return "%-\r\nLV=" + std::to_string(level) + "\r\nND=" + title + "\r\nNF=000000100100000000000000\r\n%:\r\n";
}

TEST(KeyNoteWriter, FilesAreWrittenExactlyLineByLineAndFailedWritesStop) {
  const std::string intro = "{\\rtf1\\ansi Intro text\\par}", deepText = "{\\rtf1 deep}";
  // Rows (sorted names): 0 Intro, 1 Deep, 2 Pic, 3 Tiny, 4 Secret, 5 Damaged, 6 Real.
  test::TempDir dir;
  const std::string path = dir.File("book.tmk");
  ASSERT_TRUE(BookWriter().Add("01 Intro.rtf", intro).Add("02 Deep.rtf", deepText).Add("03 Pic.png", "not a picture")
                  .Add("04 Tiny.rtf", "abc").Add("05 Secret.rtf", "{\\rtf1 secret}", test::Encryption::Aes256)
                  .AddStored("06 Damaged.rtf", "{\\rtf1 damaged}").Add("07 Real.png", "PNGBYTES").Write(path));
  std::string bytes = test::ReadFileBytes(path);
  test::PatchField(bytes, test::FindEntry(bytes, "06 Damaged.rtf"), test::Field::Crc, 0x1234);
  test::WriteFileBytes(path, bytes);
  const auto exportTo = [&path](FileSink& out, const std::vector<KeyNoteNode>& nodes, bool dontAsk) {
    BookSession session;
    EXPECT_EQ(OpenBookFile(session, std::wstring(path.begin(), path.end()), false, {}), OpenStatus::Opened);
    const auto toRtf = [](const std::string& bytes) -> std::optional<std::string> {  // refuses "not a picture"
      return bytes.rfind("not ", 0) == 0 ? std::nullopt : std::optional("{\\pict " + bytes + "}");
    };
    return WriteKeyNote(out, session, "Book.knt", nodes, [dontAsk] { return PasswordAnswer{"wrong", dontAsk}; }, toRtf);
  };
  const std::string head = "#!GFKNT 2.0\r\n#^011000000000000000000000\r\n%+\r\nNN=Book.knt\r\n";
  const std::string deep = Node(0, "Deep") + deepText + "\r\n";
  struct Case { const char* what; std::vector<KeyNoteNode> nodes; bool dontAsk; ExportState state; std::string bytes; };
  const Case cases[] = {
      {"one chapter at level 0", {{0, false, "Intro", 0}}, false, ExportState::Done,
       head + "%-\r\nLV=0\r\nND=Intro\r\nNF=000000100100000000000000\r\n%:\r\n" + intro + "\r\n%%"},
      {"levels", {{0, false, "Intro", 0}, {2, false, "Deep", 1}}, false, ExportState::Done,
       head + Node(0, "Intro") + intro + "\r\n" + Node(2, "Deep") + deepText + "\r\n%%"},
      {"pictures through the converter, one it refuses", {{1, true, "Pic", 2}, {0, true, "Real", 6}, {0, false, "Deep", 1}},
       false, ExportState::Done, head + Node(1, "Pic") + "\r\n" + Node(0, "Real") + "{\\pict PNGBYTES}\r\n" + deep + "%%"},
      {"3 bytes stop the export", {{0, false, "Tiny", 3}, {0, false, "Deep", 1}}, false, ExportState::CannotLoadChapter,
       head + Node(0, "Tiny")},
      {"a checksum error", {{0, false, "Damaged", 5}}, false, ExportState::CannotLoadChapter, head + Node(0, "Damaged")},
      {"a wrong password", {{0, false, "Secret", 4}, {0, false, "Deep", 1}}, false, ExportState::CannotOpenChapter,
       head + Node(0, "Secret")},
      {"don't ask again: no body", {{0, false, "Secret", 4}, {0, false, "Deep", 1}}, true, ExportState::Done,
       head + Node(0, "Secret") + deep + "%%"},
  };
  for (const Case& c : cases) {
    StringSink sink;
    const KeyNoteResult result = exportTo(sink, c.nodes, c.dontAsk);
    EXPECT_EQ(result.state, c.state) << c.what;
    EXPECT_EQ(sink.text, c.bytes) << c.what;
  }
  StringSink sink;
  const KeyNoteResult result = exportTo(sink, {{0, false, "Secret", 4}}, false);
  EXPECT_EQ(result.failedTitle + ": " + result.errorText, "Secret: Wrong password provided");
  for (int refused = 0; refused < 5; ++refused) {
    FailingSink failing(refused);
    EXPECT_EQ(exportTo(failing, {{0, true, "Real", 6}}, false).state, ExportState::WriteFailed) << refused;
  }
}

}  // namespace
}  // namespace tomelet
