// Saving a chapter and exporting a KeyNote file through the real dialogs, answered as a
// user answers them, and the files compared byte for byte.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "app/book_view.h"
#include "app/viewer.h"
#include "res/resource_ids.h"
#include "tests/support/book_writer.h"
#include "tests/support/png_writer.h"
#include "tests/ui/viewer_harness.h"
#include "view/picture_to_rtf.h"

namespace tomelet::test {
namespace {

void AnswerPassword(ViewerRun& viewer, const wchar_t* password, HWND except = nullptr) {
  HWND dialog = viewer.WaitForDialog(10000, except);
  ASSERT_TRUE(dialog && GetDlgItem(dialog, IDB_DONT_ASK_AGAIN));
  SetDlgItemTextW(dialog, IDE_PASSWORD, password);
  viewer.Answer(dialog, password ? IDOK : IDCANCEL);
}

// Saves the selected row under `name` with filter `filter` (0: as preselected); gives the
// number of filters offered.
LRESULT SaveAs(ViewerRun& viewer, const std::wstring& name, int filter = 0) {
  PostMessageW(viewer.window(), WM_COMMAND, CMD_SAVE_CHAPTER, 0);
  HWND dialog = viewer.WaitForDialog();
  if (!FileNameBox(dialog)) return -1;
  const LRESULT filters = SendDlgItemMessageW(dialog, 0x470, CB_GETCOUNT, 0, 0);
  if (filter > 0) {
    SendDlgItemMessageW(dialog, 0x470, CB_SETCURSEL, static_cast<WPARAM>(filter - 1), 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(0x470, CBN_SELENDOK), 0);
  }
  SetWindowTextW(FileNameBox(dialog), name.c_str());
  viewer.Answer(dialog, IDOK);
  return filters;
}

std::size_t Leftovers(const std::string& folder) {  // temporary files of the writer
  std::size_t n = 0;
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::u8path(folder)))
    n += entry.path().filename().string().rfind("~tomelet", 0) == 0;
  return n;
}

class SaveExportTest : public testing::Test {
 protected:
  std::wstring Write(const std::string& name, const BookWriter& book) {
    EXPECT_TRUE(book.Write(dir_.File(name)));
    return WinPath(dir_.File(name));
  }
  std::wstring Out(const std::string& name) const { return WinPath(dir_.File(name)); }
  std::string Read(const std::string& name) const { return ReadFileBytes(dir_.File(name)); }
  TempDir dir_;
};

TEST_F(SaveExportTest, EachKindIsSavedThroughTheSaveDialogAndFailuresSpeakTheLanguage) {
  ViewerRun viewer;
  viewer.OnViewerThread([] { TheProgram().settings.languageId = 7; TheProgram().settings.autoLanguage = 0; });
  PostMessageW(viewer.window(), WM_COMMAND, CMD_SAVE_CHAPTER, 0);
  EXPECT_EQ(viewer.AnswerMessageBox(), L"Kein Buch ge\u00f6ffnet!");
  const std::string photo("\x89PNG\r\n\x1A\n picture \x00\xFF", 19), data("attachment\x00\x01", 12);
  viewer.OnViewerThread([&] {
    TheProgram().settings.languageId = 9;
    Session().bookPath = Write("save.tmk", BookWriter().Add("01 Intro.rtf", Rtf("intro")).Add("02 Photo.png", photo)
                                               .Add("03 data.bin", data).Add("04 Tiny.rtf", "abc")
                                               .Add("05 Secret.rtf", Rtf("s"), Encryption::Aes256));
  });
  viewer.Command(CMD_OPEN_BOOK_COMMAND);
  viewer.Key('S', true);
  HWND dialog = viewer.WaitForDialog();
  EXPECT_EQ(WindowText(FileNameBox(dialog)), L"01 Intro.rtf");
  viewer.Answer(dialog, IDCANCEL);  // cancel writes nothing (the file count below)

  // A picture with the first filter is an RTF document, under the default extension or
  // with ".rtf" after a picture's name; the other filters keep the bytes.
  const std::string document = "{\\rtf1\\ansi \r{\\pict\\wmetafile1\\pngblip\\picwgoal240\\pichgoal240 " +
                               std::string("89504E470D0A1A0A20706963747572652000FF") + " }}";
  const struct { int row; const char *name, *file; int filter; LRESULT filters; std::string bytes; } saves[] = {
      {0, "intro.rtf", "intro.rtf", 0, 2, Rtf("intro")}, {1, "a", "a.rtf", 0, 3, document},
      {1, "b.jpg", "b.jpg.rtf", 0, 3, document}, {1, "c.png", "c.png", 2, 3, photo}, {2, "data.bin", "data.bin", 0, 1, data}};
  for (const auto& save : saves) {
    viewer.SelectRow(save.row);
    EXPECT_EQ(SaveAs(viewer, Out(save.name), save.filter), save.filters) << save.name;
    EXPECT_EQ(Read(save.file), save.bytes) << save.name;
  }
  // The document's own name is not replaced unasked.
  WriteFileBytes(dir_.File("b.jpg.rtf"), "OLD");
  viewer.SelectRow(1);
  SaveAs(viewer, Out("b.jpg"));
  const HWND question = viewer.WaitForDialog();
  EXPECT_EQ(WindowText(question, 0xFFFF), Out("b.jpg.rtf") + L" already exists.\rDo you want to replace it?");
  viewer.Answer(question, IDNO);
  EXPECT_EQ(Read("b.jpg.rtf"), "OLD");
  viewer.SelectRow(3);
  PostMessageW(viewer.window(), WM_COMMAND, CMD_SAVE_CHAPTER, 0);
  EXPECT_EQ(viewer.AnswerMessageBox(), L"Could not load file.");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()), {}), 6);
  SendMessageW(viewer.contents(), LB_SETCURSEL, 4, 0);
  PostMessageW(viewer.window(), WM_COMMAND, MAKEWPARAM(IDW_CONTENTS_LIST, LBN_SELCHANGE), 0);
  AnswerPassword(viewer, nullptr);  // showing it asks first: cancelled, so saving asks again
  PostMessageW(viewer.window(), WM_COMMAND, CMD_SAVE_CHAPTER, 0);
  AnswerPassword(viewer, L"wrong");
  EXPECT_EQ(viewer.AnswerMessageBox(), L"Could not open chapter.");
}

// --- the KeyNote export -------------------------------------------------------------------

struct ExportRun {
  explicit ExportRun(ViewerRun& v) : viewer(v) {
    PostMessageW(v.window(), WM_COMMAND, CMD_EXPORT, 0);
    dialog = v.WaitForDialog();
    list = GetDlgItem(dialog, IDL_EXPORT_LIST);
    v.Settle();
  }
  bool OkEnabled() const { return viewer.Settle(), IsWindowEnabled(GetDlgItem(dialog, IDOK)); }
  void Select(std::initializer_list<int> rows) const {
    SendMessageW(list, LB_SETSEL, FALSE, -1);
    for (int row : rows) SendMessageW(list, LB_SETSEL, TRUE, row);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDL_EXPORT_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
  }
  std::wstring Export(const std::wstring& name, const wchar_t* password = L"") const {
    SetDlgItemTextW(dialog, IDE_EXPORT_NAME, name.c_str());
    PressButton(dialog, IDOK);
    if (*password) AnswerPassword(viewer, password, dialog);
    return viewer.AnswerMessageBox(dialog);
  }
  ViewerRun& viewer;
  HWND dialog, list;
};

std::string Node(int level, const std::string& title) {
  return "%-\r\nLV=" + std::to_string(level) + "\r\nND=" + title + "\r\nNF=000000100100000000000000\r\n%:\r\n";
}

TEST_F(SaveExportTest, ExportWritesTheSelectionInContentsOrderAndKeepsFilesOnFailure) {
  PngImage image;
  image.width = image.height = 2;
  image.rows = {{255, 0, 0, 0, 255, 0}, {0, 0, 255, 255, 255, 255}};
  const std::string png = EncodePng(image);
  const std::wstring book = Write("Tale.tmk", BookWriter().Add("#META.TXT", "Title: Tale")
                                                  .Add("01 Intro.rtf", Rtf("intro")).Add("02-1 Bild.png", png)
                                                  .Add("03-2 \xD0\x93\xD0\xBB\xD0\xB0\xD0\xB2\xD0\xB0.rtf", Rtf("deep"))
                                                  .Add("04 data.bin", "attachment").Add("05 Tiny.rtf", "abc")
                                                  .Add("06 Secret.rtf", Rtf("secret"), Encryption::Aes256));
  ViewerRun viewer(book);
  ExportRun run(viewer);
  EXPECT_EQ(WindowText(run.dialog, IDE_EXPORT_NAME), book.substr(0, book.size() - 3) + L"knt");
  ASSERT_EQ(SendMessageW(run.list, LB_GETCOUNT, 0, 0), 5);
  EXPECT_FALSE(run.OkEnabled());
  run.Select({2, 0, 1});
  EXPECT_TRUE(run.OkEnabled());

  EXPECT_EQ(run.Export(Out("out.txt")), L"Unknown file suffix \".TXT\"\rCan't determine file type.");
  EXPECT_EQ(run.Export(Out("out.KnT")), L"Export done!\r" + Out("out.KnT"));
  viewer.Settle();
  EXPECT_FALSE(IsWindow(run.dialog));
  std::optional<std::string> picture;
  viewer.OnViewerThread([&] { picture = PictureToRtf(png); });
  ASSERT_TRUE(picture);
  EXPECT_EQ(Read("out.KnT"), "#!GFKNT 2.0\r\n#^011000000000000000000000\r\n%+\r\nNN=out.KnT\r\n" + Node(0, "Intro") + Rtf("intro") + "\r\n" + Node(1, "Bild") + *picture +
                                 "\r\n" + Node(2, "?????") + Rtf("deep") + "\r\n%%");

  // A stopped export, a wrong password and a read-only file leave an existing file as it was.
  WriteFileBytes(dir_.File("old.knt"), "OLD");
  const std::wstring old = Out("old.knt");
  ExportRun again(viewer);
  again.Select({0, 3});
  EXPECT_EQ(again.Export(old), L"Error while loading chapter\rTiny\r\rSystem error message:\r");
  again.Select({4});
  EXPECT_EQ(again.Export(old, L"wrong"), L"Could not open chapter:\rSecret\r\r\r\n(\"Wrong password provided\")");
  SetFileAttributesW(old.c_str(), FILE_ATTRIBUTE_READONLY);
  again.Select({0});
  const std::wstring refused = again.Export(old);
  EXPECT_EQ(refused.find(L"Couldn't create file:\r" + old + L"\r\rSystem error message:\r"), 0u) << refused;
  EXPECT_GT(refused.size(), old.size() + 60) << "the system's text follows the label";
  SetFileAttributesW(old.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_TRUE(IsWindow(again.dialog));
  viewer.Answer(again.dialog, IDCANCEL);
  EXPECT_EQ(Read("old.knt"), "OLD");
  EXPECT_EQ(Leftovers(dir_.path()), 0u);
}

// scripts/test.sh mounts a disk of 64 KiB (as root) and names its drive here.
TEST_F(SaveExportTest, AFullDiskKeepsTheExistingFile) {
  const char* drive = std::getenv("TOMELET_SMALL_DISK");
  if (!drive || !*drive) GTEST_SKIP() << "no small disk: scripts/test.sh mounts one when it runs as root";
  const std::string root = std::string(drive) + "\\", target = root + "full.knt";
  WriteFileBytes(target, "OLD");
  ASSERT_EQ(ReadFileBytes(target), "OLD");
  // Never shown: the book opens at the small chapter, and attachments are only opened.
  const std::string big(256 * 1024, 'x');
  ViewerRun viewer(Write("big.tmk", BookWriter().Add("01 Small.rtf", Rtf("small")).Add("02 Big.rtf", Rtf(big)).Add("03 big.bin", big)));
  ExportRun run(viewer);
  run.Select({1});
  const std::wstring message = run.Export(WinPath(target));
  EXPECT_EQ(message.find(L"Error while writing to file\r" + WinPath(target) + L"\r\rSystem error message:\r"), 0u) << message;
  viewer.Answer(run.dialog, IDCANCEL);
  viewer.SelectRow(2);
  SaveAs(viewer, WinPath(root + "big.bin"));
  EXPECT_EQ(viewer.AnswerMessageBox(), L"Error writing file.");
  EXPECT_EQ(ReadFileBytes(target), "OLD");
  EXPECT_FALSE(std::filesystem::exists(root + "big.bin"));
  EXPECT_EQ(Leftovers(root), 0u);
  std::filesystem::remove(target);
}

}  // namespace
}  // namespace tomelet::test
