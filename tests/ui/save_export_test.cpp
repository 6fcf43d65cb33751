// Saving a chapter and exporting a KeyNote file through the real dialogs, answered as a
// user answers them, and the files compared byte for byte.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "app/book_view.h"
#include "app/viewer.h"
#include "res/resource_ids.h"
#include "tests/support/book_writer.h"
#include "tests/support/png_writer.h"
#include "tests/support/zip_patch.h"
#include "tests/ui/viewer_harness.h"
#include "view/picture_to_rtf.h"

namespace tomelet::test {
namespace {

constexpr int kFileNameBox = 0x47C, kFileNameEdit = 0x480, kFileTypeBox = 0x470;

std::string Rtf(const std::string& text) { return "{\\rtf1\\ansi " + text + "\\par}"; }

struct DialogSearch {
  HWND except, found;
};

BOOL CALLBACK FindDialog(HWND w, LPARAM p) {
  auto* s = reinterpret_cast<DialogSearch*>(p);
  wchar_t name[16] = {};
  GetClassNameW(w, name, 16);
  if (w != s->except && IsWindowVisible(w) && std::wstring(name) == L"#32770") s->found = w;
  return s->found ? FALSE : TRUE;
}

// A dialog of the viewer's thread other than `except`, waited for.
HWND WaitForDialogBesides(const ViewerRun& viewer, HWND except, DWORD milliseconds = 10000) {
  const DWORD thread = GetWindowThreadProcessId(viewer.window(), nullptr);
  DialogSearch search{except, nullptr};
  for (DWORD start = GetTickCount(); GetTickCount() - start < milliseconds; Sleep(10)) {
    EnumThreadWindows(thread, FindDialog, reinterpret_cast<LPARAM>(&search));
    if (search.found) {
      Sleep(50);
      return search.found;
    }
  }
  return nullptr;
}

void WaitClosed(ViewerRun& viewer, HWND dialog) {
  for (int i = 0; i < 200 && IsWindow(dialog); ++i) Sleep(10);
  viewer.Settle();
}

// Reads and closes the message box in front of `except`.
std::wstring AnswerMessageBox(ViewerRun& viewer, HWND except = nullptr) {
  HWND box = WaitForDialogBesides(viewer, except);
  if (!box) return L"<no message box>";
  const std::wstring text = ReadMessageBox(box).message;
  PressButton(box, IDOK);
  WaitClosed(viewer, box);
  return text;
}

struct SaveDialogSeen {
  std::wstring offered;
  LRESULT filters = 0;
};

// Answers the save dialog: the name, and a filter (1-based; 0 keeps the preselected one).
SaveDialogSeen AnswerSaveDialog(ViewerRun& viewer, const std::wstring& name, int filter = 0, bool ok = true) {
  SaveDialogSeen seen;
  HWND dialog = WaitForDialogBesides(viewer, nullptr);
  if (!dialog) return seen;
  HWND nameBox = GetDlgItem(dialog, kFileNameBox) ? GetDlgItem(dialog, kFileNameBox) : GetDlgItem(dialog, kFileNameEdit);
  seen.offered = DialogText(dialog, GetDlgCtrlID(nameBox));
  seen.filters = SendDlgItemMessageW(dialog, kFileTypeBox, CB_GETCOUNT, 0, 0);
  if (filter > 0) {
    SendDlgItemMessageW(dialog, kFileTypeBox, CB_SETCURSEL, static_cast<WPARAM>(filter - 1), 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(kFileTypeBox, CBN_SELENDOK),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, kFileTypeBox)));
  }
  SetWindowTextW(nameBox, name.c_str());
  PressButton(dialog, ok ? IDOK : IDCANCEL);
  WaitClosed(viewer, dialog);
  return seen;
}

void Show(ViewerRun& viewer, int row) {
  viewer.OnViewerThread([row] { LoadChapter(row); });
}

std::string Hex(const std::string& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string hex;
  for (unsigned char b : bytes) (hex += digits[b >> 4]) += digits[b & 15];
  return hex;
}

bool Exists(const std::string& path) { return std::filesystem::exists(std::filesystem::u8path(path)); }

std::size_t LeftoverFiles(const std::string& folder) {
  std::size_t n = 0;
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::u8path(folder)))
    n += entry.path().filename().string().rfind("~tomelet", 0) == 0;
  return n;
}

std::string Listing(const std::string& folder) {
  std::string names;
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::u8path(folder)))
    names += entry.path().filename().string() + " ";
  return names;
}

class SaveExportTest : public testing::Test {
 protected:
  std::wstring Write(const std::string& name, const BookWriter& book) {
    EXPECT_TRUE(book.Write(dir_.File(name)));
    return WinPath(dir_.File(name));
  }
  std::wstring Out(const std::string& name) const { return WinPath(dir_.File(name)); }
  TempDir dir_;
};

TEST_F(SaveExportTest, EachKindIsSavedThroughTheSaveDialog) {
  const std::string photo("\x89PNG\r\n\x1A\n picture bytes \x00\xFF", 25);
  const std::string data = std::string("attachment\x00\x01\x02", 13);
  ViewerRun viewer(Write("save.tmk", BookWriter()
                                         .Add("01 Intro.rtf", Rtf("intro"))
                                         .Add("02 Photo.png", photo)
                                         .Add("03 data.bin", data)
                                         .Add("04 Tiny.rtf", "abc")
                                         .Add("05 Four.rtf", "abcd")));
  Show(viewer, 0);
  viewer.Key('S', true);  // Ctrl+S
  SaveDialogSeen seen = AnswerSaveDialog(viewer, Out("intro.rtf"));
  EXPECT_EQ(seen.offered, L"01 Intro.rtf");
  EXPECT_EQ(seen.filters, 2);
  EXPECT_EQ(ReadFileBytes(dir_.File("intro.rtf")), Rtf("intro"));

  // A picture with the first filter: the RTF document, under a name without extension
  // (the default "rtf") and under a picture's name (".rtf" appended).
  const std::string document =
      "{\\rtf1\\ansi \r{\\pict\\wmetafile1\\pngblip\\picwgoal240\\pichgoal240 " + Hex(photo) + " }}";
  Show(viewer, 1);
  PostMessageW(viewer.window(), WM_COMMAND, CMD_SAVE_CHAPTER, 0);
  seen = AnswerSaveDialog(viewer, Out("a"));
  EXPECT_EQ(seen.filters, 3);
  EXPECT_EQ(ReadFileBytes(dir_.File("a.rtf")), document);
  PostMessageW(viewer.window(), WM_COMMAND, CMD_SAVE_CHAPTER, 0);
  AnswerSaveDialog(viewer, Out("b.jpg"));
  EXPECT_EQ(ReadFileBytes(dir_.File("b.jpg.rtf")), document);
  EXPECT_FALSE(Exists(dir_.File("b.jpg")));
  PostMessageW(viewer.window(), WM_COMMAND, CMD_SAVE_CHAPTER, 0);
  AnswerSaveDialog(viewer, Out("c.png"), 2);
  EXPECT_EQ(ReadFileBytes(dir_.File("c.png")), photo) << Listing(dir_.path());

  // An attachment: one filter, no default extension, the bytes as stored.
  Show(viewer, 2);
  PostMessageW(viewer.window(), WM_COMMAND, CMD_SAVE_CHAPTER, 0);
  seen = AnswerSaveDialog(viewer, Out("data.bin"));
  EXPECT_EQ(seen.filters, 1);
  EXPECT_EQ(ReadFileBytes(dir_.File("data.bin")), data);

  // Cancel writes nothing; 3 bytes are refused before the dialog, 4 are saved.
  const std::size_t before = std::distance(std::filesystem::directory_iterator(dir_.path()), {});
  PostMessageW(viewer.window(), WM_COMMAND, CMD_SAVE_CHAPTER, 0);
  AnswerSaveDialog(viewer, Out("never.bin"), 0, false);
  Show(viewer, 3);
  PostMessageW(viewer.window(), WM_COMMAND, CMD_SAVE_CHAPTER, 0);
  EXPECT_EQ(AnswerMessageBox(viewer), L"Could not load file.");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()), {}), static_cast<long>(before));
  Show(viewer, 4);
  PostMessageW(viewer.window(), WM_COMMAND, CMD_SAVE_CHAPTER, 0);
  AnswerSaveDialog(viewer, Out("four.rtf"));
  EXPECT_EQ(ReadFileBytes(dir_.File("four.rtf")), "abcd");
}

TEST_F(SaveExportTest, SaveFailuresAreReportedInTheInterfaceLanguage) {
  BookWriter book;
  book.AddStored("01 Damaged.rtf", Rtf("damaged")).Add("02 Secret.rtf", Rtf("secret"), Encryption::Aes256);
  const std::string path = dir_.File("fail.tmk");
  ASSERT_TRUE(book.Write(path));
  std::string bytes = ReadFileBytes(path);
  PatchField(bytes, FindEntry(bytes, "01 Damaged.rtf"), Field::Crc, 0x1234);
  WriteFileBytes(path, bytes);

  ViewerRun viewer;
  PostMessageW(viewer.window(), WM_COMMAND, CMD_SAVE_CHAPTER, 0);
  EXPECT_EQ(AnswerMessageBox(viewer), L"No book open.");
  viewer.OnViewerThread([] { TheProgram().settings.languageId = 7; TheProgram().settings.autoLanguage = 0; });
  PostMessageW(viewer.window(), WM_COMMAND, CMD_SAVE_CHAPTER, 0);
  EXPECT_EQ(AnswerMessageBox(viewer), L"Kein Buch ge\u00f6ffnet!");
  viewer.OnViewerThread([&] {
    TheProgram().settings.languageId = 9;
    TheProgram().place.lastChapterFile = 0;
    Session().bookPath = WinPath(path);
  });
  viewer.Command(CMD_OPEN_BOOK_COMMAND);
  PostMessageW(viewer.window(), WM_COMMAND, CMD_SAVE_CHAPTER, 0);
  EXPECT_EQ(AnswerMessageBox(viewer), L"Could not load file.");  // a checksum error
  // Showing the encrypted chapter asks first: cancelled, so saving asks again.
  SendMessageW(viewer.contents(), LB_SETCURSEL, 1, 0);
  PostMessageW(viewer.window(), WM_COMMAND, MAKEWPARAM(IDW_CONTENTS_LIST, LBN_SELCHANGE), 0);
  HWND asked = WaitForDialogBesides(viewer, nullptr);
  ASSERT_TRUE(asked);
  PressButton(asked, IDCANCEL);
  WaitClosed(viewer, asked);
  PostMessageW(viewer.window(), WM_COMMAND, CMD_SAVE_CHAPTER, 0);
  HWND password = WaitForDialogBesides(viewer, nullptr);
  ASSERT_TRUE(password && GetDlgItem(password, IDB_DONT_ASK_AGAIN));
  SetDlgItemTextW(password, IDE_PASSWORD, L"wrong");
  PressButton(password, IDOK);
  WaitClosed(viewer, password);
  EXPECT_EQ(AnswerMessageBox(viewer), L"Could not open chapter.");
}

// --- the KeyNote export -------------------------------------------------------------------

class ExportDialogRun {
 public:
  explicit ExportDialogRun(ViewerRun& viewer) : viewer_(viewer) {
    PostMessageW(viewer.window(), WM_COMMAND, CMD_EXPORT, 0);
    dialog_ = WaitForDialogBesides(viewer, nullptr);
    viewer.Settle();
  }
  HWND dialog() const { return dialog_; }
  HWND list() const { return GetDlgItem(dialog_, IDL_EXPORT_LIST); }
  bool OkEnabled() const {
    viewer_.Settle();
    return IsWindowEnabled(GetDlgItem(dialog_, IDOK));
  }
  void Select(std::initializer_list<int> rows) {
    SendMessageW(list(), LB_SETSEL, FALSE, -1);
    for (int row : rows) SendMessageW(list(), LB_SETSEL, TRUE, row);
    SendMessageW(dialog_, WM_COMMAND, MAKEWPARAM(IDL_EXPORT_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list()));
  }
  // Names the file, presses OK and reads the message box that follows.
  std::wstring Export(const std::wstring& name) {
    SetDlgItemTextW(dialog_, IDE_EXPORT_NAME, name.c_str());
    PressButton(dialog_, IDOK);
    return AnswerMessageBox(viewer_, dialog_);
  }
  bool open() const { return IsWindow(dialog_) != FALSE; }
  void Cancel() {
    PressButton(dialog_, IDCANCEL);
    WaitClosed(viewer_, dialog_);
  }

 private:
  ViewerRun& viewer_;
  HWND dialog_;
};

std::string KeyNoteHead(const std::string& name) {
  return "#!GFKNT 2.0\r\n#^011000000000000000000000\r\n%+\r\nNN=" + name + "\r\n";
}
std::string KeyNoteNode(int level, const std::string& title) {
  return "%-\r\nLV=" + std::to_string(level) + "\r\nND=" + title + "\r\nNF=000000100100000000000000\r\n%:\r\n";
}

std::string SmallPng() {
  PngImage image;
  image.width = 2;
  image.height = 2;
  image.rows = {{255, 0, 0, 0, 255, 0}, {0, 0, 255, 255, 255, 255}};
  return EncodePng(image);
}

TEST_F(SaveExportTest, ExportWritesTheSelectionInContentsOrderAndKeepsFilesOnFailure) {
  const std::string png = SmallPng();
  const std::wstring book = Write("Tale.tmk", BookWriter()
                                                  .Add("#META.TXT", "Title: Tale")
                                                  .Add("01 Intro.rtf", Rtf("intro"))
                                                  .Add("02-1 Bild.png", png)
                                                  .Add("03-2 \xD0\x93\xD0\xBB\xD0\xB0\xD0\xB2\xD0\xB0.rtf", Rtf("deep"))
                                                  .Add("04 data.bin", "attachment")
                                                  .Add("05 Tiny.rtf", "abc")
                                                  .Add("06 Secret.rtf", Rtf("secret"), Encryption::Aes256));
  ViewerRun viewer(book);
  ExportDialogRun run(viewer);
  ASSERT_TRUE(run.dialog());
  EXPECT_EQ(DialogText(run.dialog()), L"Export as KeyNote file...");
  EXPECT_EQ(DialogText(run.dialog(), IDE_EXPORT_NAME), book.substr(0, book.size() - 3) + L"knt");
  ASSERT_EQ(SendMessageW(run.list(), LB_GETCOUNT, 0, 0), 5);
  EXPECT_EQ(ListRowText(run.list(), 0), L"\u25AAIntro");
  EXPECT_EQ(ListRowText(run.list(), 1), L"    \u25ABBild");
  EXPECT_EQ(ListRowText(run.list(), 2), L"        \u25AA\u0413\u043b\u0430\u0432\u0430");
  EXPECT_EQ(ListRowText(run.list(), 3), L"\u25AATiny");
  EXPECT_FALSE(run.OkEnabled());
  run.Select({2, 0, 1});
  EXPECT_TRUE(run.OkEnabled());
  SetDlgItemTextW(run.dialog(), IDE_EXPORT_NAME, L"a.kn");
  EXPECT_FALSE(run.OkEnabled());

  // The wrong suffix keeps the dialog open; then the export itself.
  EXPECT_EQ(run.Export(Out("out.txt")), L"Unknown file suffix \".TXT\"\rCan't determine file type.");
  const std::wstring target = Out("out.KnT");
  EXPECT_EQ(run.Export(target), L"Export done!\r" + target);
  WaitClosed(viewer, run.dialog());
  EXPECT_FALSE(run.open());
  std::optional<std::string> picture;
  viewer.OnViewerThread([&] { picture = PictureToRtf(png); });
  ASSERT_TRUE(picture);
  EXPECT_EQ(ReadFileBytes(dir_.File("out.KnT")),
            KeyNoteHead("out.KnT") + KeyNoteNode(0, "Intro") + Rtf("intro") + "\r\n" + KeyNoteNode(1, "Bild") +
                *picture + "\r\n" + KeyNoteNode(2, "?????") + Rtf("deep") + "\r\n%%");

  // A stopped export, a wrong password and a read-only file leave an existing file as it was.
  WriteFileBytes(dir_.File("old.knt"), "OLD");
  const std::wstring old = Out("old.knt");
  ExportDialogRun again(viewer);
  again.Select({0, 3});
  EXPECT_EQ(again.Export(old), L"Error while loading chapter\rTiny\r\rSystem error message:\r");
  EXPECT_TRUE(again.open());
  again.Select({4});
  SetDlgItemTextW(again.dialog(), IDE_EXPORT_NAME, old.c_str());
  PressButton(again.dialog(), IDOK);
  HWND password = WaitForDialogBesides(viewer, again.dialog());
  ASSERT_TRUE(password && GetDlgItem(password, IDB_DONT_ASK_AGAIN));
  SetDlgItemTextW(password, IDE_PASSWORD, L"wrong");
  PressButton(password, IDOK);
  WaitClosed(viewer, password);
  EXPECT_EQ(AnswerMessageBox(viewer, again.dialog()), L"Could not open chapter:\rSecret\r\r\r\n(\"Wrong password provided\")");
  SetFileAttributesW(old.c_str(), FILE_ATTRIBUTE_READONLY);
  again.Select({0});
  const std::wstring refused = again.Export(old);
  EXPECT_EQ(refused.find(L"Couldn't create file:\r" + old + L"\r\rSystem error message:\r"), 0u) << refused;
  EXPECT_GT(refused.size(), old.size() + 60) << "the system's text follows the label";
  SetFileAttributesW(old.c_str(), FILE_ATTRIBUTE_NORMAL);
  again.Cancel();
  EXPECT_EQ(ReadFileBytes(dir_.File("old.knt")), "OLD");
  EXPECT_EQ(LeftoverFiles(dir_.path()), 0u);
}

// scripts/test.sh mounts a small disk of 64 KiB (as root) and names its drive here.
TEST_F(SaveExportTest, AFullDiskKeepsTheExistingFile) {
  const char* drive = std::getenv("TOMELET_SMALL_DISK");
  if (!drive || !*drive) GTEST_SKIP() << "no small disk: scripts/test.sh mounts one when it runs as root";
  const std::string root = std::string(drive) + "\\";
  const std::string target = root + "full.knt";
  WriteFileBytes(target, "OLD");
  ASSERT_EQ(ReadFileBytes(target), "OLD");
  // Never shown: the book opens at the small chapter, and attachments are only opened.
  const std::string big(256 * 1024, 'x');
  ViewerRun viewer(Write("big.tmk", BookWriter()
                                        .Add("01 Small.rtf", Rtf("small"))
                                        .Add("02 Big.rtf", Rtf(big))
                                        .Add("03 big.bin", big)));
  ExportDialogRun run(viewer);
  run.Select({1});
  const std::wstring path = WinPath(target);
  const std::wstring message = run.Export(path);
  EXPECT_EQ(message.find(L"Error while writing to file\r" + path + L"\r\rSystem error message:\r"), 0u) << message;
  run.Cancel();
  EXPECT_EQ(ReadFileBytes(target), "OLD");
  EXPECT_EQ(LeftoverFiles(root), 0u);

  // Saving the attachment there fails the same way.
  SendMessageW(viewer.contents(), LB_SETCURSEL, 2, 0);
  PostMessageW(viewer.window(), WM_COMMAND, MAKEWPARAM(IDW_CONTENTS_LIST, LBN_SELCHANGE), 0);
  PostMessageW(viewer.window(), WM_COMMAND, CMD_SAVE_CHAPTER, 0);
  AnswerSaveDialog(viewer, WinPath(root + "big.bin"));
  EXPECT_EQ(AnswerMessageBox(viewer), L"Error writing file.");
  EXPECT_FALSE(Exists(root + "big.bin"));
  EXPECT_EQ(LeftoverFiles(root), 0u);
  std::filesystem::remove(std::filesystem::u8path(target));
}

}  // namespace
}  // namespace tomelet::test
