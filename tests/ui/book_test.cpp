// Opening books and showing their rows in the real window.
#include <gtest/gtest.h>
#include <richedit.h>

#include "app/main_window.h"
#include "app/viewer.h"
#include "app/book_view.h"
#include "res/resource_ids.h"
#include "tests/support/book_writer.h"
#include "tests/support/zip_patch.h"
#include "tests/ui/viewer_harness.h"

namespace tomelet::test {
namespace {

std::string Rtf(const std::string& text) { return "{\\rtf1\\ansi " + text + "\\par}"; }

std::vector<std::wstring> Rows(HWND list) {
  std::vector<std::wstring> rows;
  const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) rows.push_back(ListRowText(list, i));
  return rows;
}

int Selected(HWND list) { return static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0)); }

std::wstring Title(HWND window) {
  wchar_t title[300] = {};
  GetWindowTextW(window, title, 300);
  return title;
}

bool Greyed(HWND window, UINT barPosition) {
  return (GetMenuState(GetMenu(window), barPosition, MF_BYPOSITION) & MF_GRAYED) != 0;
}
constexpr UINT kBarChapterUp = 6, kBarChapterDown = 7;

class BookTest : public testing::Test {
 protected:
  std::wstring Write(const std::string& name, const BookWriter& book) {
    const std::string path = dir_.File(name);
    EXPECT_TRUE(book.Write(path));
    return WinPath(path);
  }
  std::wstring WriteBytes(const std::string& name, const std::string& bytes) {
    WriteFileBytes(dir_.File(name), bytes);
    return WinPath(dir_.File(name));
  }
  TempDir dir_;
};

TEST_F(BookTest, ListsTheEntriesInSortedOrderWithLevelsKindsAndContinuations) {
  BookWriter book;
  book.Add("003 Third.rtf", Rtf("three"))
      .Add("001 First.rtf", Rtf("one"))
      .Add("002-1 Second at one.rtf", Rtf("two"))
      .Add("004-2.rtf", Rtf("continued"))
      .Add("005 Photo.png", "not really a picture")
      .Add("006 Manual.pdf", std::string(150000, 'x'))
      .Add("#META.TXT", "Title: Sample")
      .Add("readme.txt", "never listed")
      .Add("#notes.rtf", "never listed");
  ViewerRun viewer(Write("sorted.tmk", book));
  EXPECT_EQ(Title(viewer.window()), L"Tomelet: sorted.tmk");
  const std::vector<std::wstring> expected = {L"01[About...]", L"02First",      L"12Second at one", L"02Third",
                                              L"32\u2026",      L"03Photo",      L"04Manual"};
  EXPECT_EQ(Rows(viewer.contents()), expected);
  EXPECT_EQ(Selected(viewer.contents()), 0);
}

TEST_F(BookTest, IndexFileDecidesRowsAndOrderInBothEncodings) {
  for (const std::string& index : {std::string("\xEF\xBB\xBF" "02-1 Zwei \xC3\xA4.rtf\r\n\r\n01 Eins.rtf\n"
                                               "09 Nothing.rtf\r01 Again.rtf\r\n"),
                                   std::string("02-1 Zwei \xE4.rtf\r\n01 Eins.rtf\r\n09 Nothing.rtf\r\n01 Again.rtf")}) {
    BookWriter book;
    book.Add("01", Rtf("one")).Add("02", Rtf("two")).Add("03", Rtf("never named")).Add("#Index.txt", index);
    ViewerRun viewer(Write("index.tmk", book));
    const std::vector<std::wstring> expected = {L"12Zwei \u00e4", L"02Eins", L"02Again"};
    EXPECT_EQ(Rows(viewer.contents()), expected);
    EXPECT_NE(PaneText(viewer.text()).find(L"two"), std::wstring::npos);
  }
}

TEST_F(BookTest, ClickingAndArrowKeysShowEachKindOfPage) {
  BookWriter book;
  book.Add("01 Chapter.rtf", Rtf("Chapter text"))
      .Add("02 Plain.rtf", "Just plain text, no RTF here")
      .Add("03 Tiny.rtf", "abc")
      .Add("04 Data.bin", std::string(1024, 'd'));
  ViewerRun viewer(Write("kinds.tmk", book));
  EXPECT_NE(PaneText(viewer.text()).find(L"Chapter text"), std::wstring::npos);

  viewer.Key(VK_TAB);
  ASSERT_EQ(viewer.Focus(), viewer.contents());
  viewer.Key(VK_DOWN);
  EXPECT_EQ(Selected(viewer.contents()), 1);
  EXPECT_EQ(PaneText(viewer.text()), L"Just plain text, no RTF here");
  viewer.Key(VK_DOWN);
  EXPECT_EQ(PaneText(viewer.text()), L"Could not load the chapter's text.");
  viewer.Key(VK_DOWN);
  const std::wstring attachment = PaneText(viewer.text());
  EXPECT_NE(attachment.find(L"Binary Attachemnt. To extract the file to disc please click the following link:"),
            std::wstring::npos);
  EXPECT_NE(attachment.find(L"(1 KB)"), std::wstring::npos);
  EXPECT_TRUE(Greyed(viewer.window(), kBarChapterDown));
  EXPECT_FALSE(Greyed(viewer.window(), kBarChapterUp));

  // A click on a row, as the list reports it.
  SendMessageW(viewer.contents(), LB_SETCURSEL, 0, 0);
  PostMessageW(viewer.window(), WM_COMMAND, MAKEWPARAM(IDW_CONTENTS_LIST, LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(viewer.contents()));
  viewer.Settle();
  EXPECT_NE(PaneText(viewer.text()).find(L"Chapter text"), std::wstring::npos);
  EXPECT_TRUE(Greyed(viewer.window(), kBarChapterUp));
}

TEST_F(BookTest, FilesThatAreNotBooksAreReportedWithTheirPath) {
  const struct {
    std::wstring path;
    std::wstring message;
  } cases[] = {
      {WinPath(dir_.File("missing.tmk")), L"Error opening file\r"},
      {WriteBytes("text.tmk", "This is not a ZIP archive at all."), L"Error opening file\r"},
      {WriteBytes("empty.tmk", std::string("PK\x05\x06", 4) + std::string(18, '\0')), L"The file is empty!\r\r"},
  };
  for (const auto& c : cases) {
    ViewerRun viewer(c.path);
    HWND box = viewer.WaitForDialog();
    ASSERT_TRUE(box);
    const MessageBoxText text = ReadMessageBox(box);
    EXPECT_EQ(text.caption, L"Tomelet viewer");
    EXPECT_EQ(text.message, c.message + c.path);
    PressButton(box, IDOK);
    viewer.Settle();
    EXPECT_EQ(SendMessageW(viewer.contents(), LB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(Title(viewer.window()), L"Tomelet viewer");
    EXPECT_FALSE(Session().archive);
    viewer.Command(CMD_CHAPTER_DOWN);  // nothing to step through
    EXPECT_EQ(PaneText(viewer.text()), L"");
  }
}

TEST_F(BookTest, ABookOfOneEntryGivesTheWholeWindowToTheText) {
  ViewerRun viewer(Write("one.tmk", BookWriter().Add("01 Only.rtf", Rtf("The only chapter"))));
  RECT client{};
  GetClientRect(viewer.window(), &client);
  const RECT pane = ChildRect(viewer.text());
  EXPECT_EQ(pane.left, 0);
  EXPECT_EQ(pane.top, 0);
  EXPECT_EQ(pane.right, client.right);
  EXPECT_EQ(pane.bottom, client.bottom);
  EXPECT_FALSE(IsWindowEnabled(viewer.contents()));
  EXPECT_FALSE(IsWindowEnabled(viewer.splitter()));
  EXPECT_EQ(viewer.Focus(), viewer.text());
  EXPECT_TRUE(Greyed(viewer.window(), kBarChapterUp));
  EXPECT_FALSE(Greyed(viewer.window(), kBarChapterDown));
  viewer.Key(VK_F9);
  EXPECT_EQ(ChildRect(viewer.text()).left, 0);
  viewer.Key(VK_NEXT, true);
  EXPECT_EQ(Selected(viewer.contents()), 0);
}

TEST_F(BookTest, ARememberedRowBeyondTheLastRowSelectsNothing) {
  const std::wstring path = Write("short.tmk", BookWriter().Add("01 A.rtf", Rtf("a")).Add("02 B.rtf", Rtf("b")));
  ViewerRun viewer;
  viewer.OnViewerThread([&] {
    TheProgram().place.lastChapterFile = 5;
    Session().bookPath = path;
  });
  viewer.Command(CMD_OPEN_BOOK_COMMAND);
  EXPECT_EQ(SendMessageW(viewer.contents(), LB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(Selected(viewer.contents()), -1);
  EXPECT_EQ(PaneText(viewer.text()), L"");
}

TEST_F(BookTest, ASecondBookOpenedWithCtrlOKeepsTheRowNumber) {
  const std::wstring first =
      Write("first.tmk", BookWriter().Add("01 A.rtf", Rtf("a1")).Add("02 B.rtf", Rtf("b1")).Add("03 C.rtf", Rtf("c1")));
  const std::wstring second =
      Write("second.tmk", BookWriter().Add("01 X.rtf", Rtf("x2")).Add("02 Y.rtf", Rtf("y2")).Add("03 Z.rtf", Rtf("z2")));
  ViewerRun viewer;
  viewer.OnViewerThread([&] {
    TheProgram().place.lastChapterFile = 2;
    Session().bookPath = first;
  });
  viewer.Command(CMD_OPEN_BOOK_COMMAND);
  EXPECT_EQ(Selected(viewer.contents()), 2);
  viewer.Key(VK_PRIOR, true);

  viewer.Key('O', true);
  HWND dialog = viewer.WaitForDialog();
  ASSERT_TRUE(dialog);
  HWND nameBox = GetDlgItem(dialog, 0x47C);  // the file name box
  if (!nameBox) nameBox = GetDlgItem(dialog, 0x480);
  ASSERT_TRUE(nameBox);
  SetWindowTextW(nameBox, second.c_str());
  PressButton(dialog, IDOK);
  for (int i = 0; i < 100 && Title(viewer.window()) != L"Tomelet: second.tmk"; ++i) Sleep(20);
  viewer.Settle();
  EXPECT_EQ(Title(viewer.window()), L"Tomelet: second.tmk");
  EXPECT_EQ(ListRowText(viewer.contents(), 0), L"02X");
  EXPECT_EQ(Selected(viewer.contents()), 2);
  EXPECT_NE(PaneText(viewer.text()).find(L"z2"), std::wstring::npos);
}

TEST_F(BookTest, DamagedEntriesShowAFailureInsteadOfTheirBytes) {
  BookWriter book;
  book.AddStored("01 Good.rtf", Rtf("good chapter"))
      .AddStored("02 Checksum.rtf", Rtf("checksum will not match"))
      .AddStored("03 Huge.rtf", Rtf("declares four gigabytes"));
  const std::string path = dir_.File("damaged.tmk");
  ASSERT_TRUE(book.Write(path));
  std::string bytes = ReadFileBytes(path);
  PatchField(bytes, FindEntry(bytes, "02 Checksum.rtf"), Field::Crc, 0x12345678);
  const EntryHeaders huge = FindEntry(bytes, "03 Huge.rtf");
  PatchField(bytes, huge, Field::Size, 0xFFFFFFF0u);
  PatchField(bytes, huge, Field::CompressedSize, 0xFFFFFFF0u);
  WriteFileBytes(path, bytes);

  ViewerRun viewer(WinPath(path));
  EXPECT_NE(PaneText(viewer.text()).find(L"good chapter"), std::wstring::npos);
  viewer.Key(VK_NEXT, true);
  const std::wstring checksum = PaneText(viewer.text());
  EXPECT_EQ(checksum.find(L"Could not read chapter."), 0u) << checksum;
  EXPECT_EQ(checksum.find(L"checksum will not match"), std::wstring::npos);
  viewer.Key(VK_NEXT, true);
  const std::wstring huge4g = PaneText(viewer.text());
  EXPECT_TRUE(huge4g.find(L"Could not") == 0 || huge4g.find(L"too large") != std::wstring::npos) << huge4g;
  EXPECT_TRUE(viewer.running());
}

TEST_F(BookTest, DamagedArchivesNeverCrashTheViewer) {
  BookWriter book;
  book.Add("01 A.rtf", Rtf(std::string(5000, 'a'))).Add("02 B.rtf", Rtf("b")).Add("03 C.rtf", Rtf("c"));
  const std::string path = dir_.File("whole.tmk");
  ASSERT_TRUE(book.Write(path));
  const std::string whole = ReadFileBytes(path);
  std::string brokenDirectory = whole;
  const std::size_t directory = brokenDirectory.find("PK\x01\x02");
  for (std::size_t i = directory; i < directory + 40; ++i) brokenDirectory[i] = '\x7F';

  BookWriter names;
  names.Add(std::string("04 ") + std::string(3000, 'L') + ".rtf", Rtf("long"))
      .Add("05 Bad \xFF\xFE name.rtf", Rtf("bad"))
      .Add("06 Tab\tand\x01control.rtf", Rtf("control"))
      .Add("#INDEX.TXT", std::string(3 * 1024 * 1024, 'x'));  // no line end at all
  const std::wstring oddNames = Write("odd.tmk", names);

  for (const std::wstring& book : {WriteBytes("half.tmk", whole.substr(0, whole.size() / 2)),
                                   WriteBytes("directory.tmk", brokenDirectory),
                                   WriteBytes("tail.tmk", whole.substr(0, whole.size() - 10)), oddNames}) {
    ViewerRun viewer(book);
    if (HWND box = viewer.WaitForDialog(500)) {
      EXPECT_EQ(ReadMessageBox(box).message, L"Error opening file\r" + book);
      PressButton(box, IDOK);
    }
    viewer.Settle();
    for (int i = 0; i < 4; ++i) viewer.Key(VK_NEXT, true);
    EXPECT_TRUE(viewer.running());
  }
}

}  // namespace
}  // namespace tomelet::test
