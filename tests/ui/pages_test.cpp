// Pages that are not plain chapters: pictures and chapters with embedded objects.
#include <gtest/gtest.h>
#include <richedit.h>
#include <richole.h>

#include "app/viewer.h"
#include "app/book_view.h"
#include "res/resource_ids.h"
#include "tests/support/book_writer.h"
#include "tests/support/png_writer.h"
#include "tests/ui/viewer_harness.h"

namespace tomelet::test {
namespace {

std::string RedPicture(std::uint32_t width, std::uint32_t height) {
  PngImage image{width, height, 8, 2, {}, {}};
  std::vector<std::uint8_t> row;
  for (std::uint32_t x = 0; x < width; ++x) row.insert(row.end(), {220, 30, 30});
  image.rows.assign(height, row);
  return EncodePng(image);
}

PARAFORMAT2 ParagraphFormat(HWND pane) {
  PARAFORMAT2 format{};
  format.cbSize = sizeof(format);
  SendMessageW(pane, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
  return format;
}

LONG ObjectCount(ViewerRun& viewer) {
  LONG count = -1;
  viewer.OnViewerThread([&] {
    IRichEditOle* ole = nullptr;
    SendMessageW(viewer.text(), EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(&ole));
    if (ole) {
      count = ole->GetObjectCount();
      ole->Release();
    }
  });
  return count;
}

class PagesTest : public testing::Test {
 protected:
  std::wstring Write(const BookWriter& book) {
    const std::string path = dir_.File("pages.tmk");
    EXPECT_TRUE(book.Write(path));
    return WinPath(path);
  }
  TempDir dir_;
};

TEST_F(PagesTest, PicturesAreShownCentredWithSpaceAbove) {
  BookWriter book;
  book.Add("01 Red.png", RedPicture(120, 80))
      .Add("02 Lying name.jpeg", RedPicture(40, 20))  // a PNG named as a JPEG
      .Add("03 Broken.png", "This is text, not a picture.");
  ViewerRun viewer(Write(book));
  const PARAFORMAT2 format = ParagraphFormat(viewer.text());
  EXPECT_EQ(format.wAlignment, PFA_CENTER);
  EXPECT_EQ(format.dySpaceBefore, 100);
  EXPECT_EQ(ObjectCount(viewer), 1);
  viewer.Screenshot(L"screenshots\\picture-page.png");

  viewer.Key(VK_NEXT, true);
  EXPECT_EQ(ObjectCount(viewer), 1);
  viewer.Key(VK_NEXT, true);  // not decodable: an empty page
  EXPECT_EQ(PaneText(viewer.text()), L"");
  EXPECT_EQ(ObjectCount(viewer), 0);
}

TEST_F(PagesTest, ChaptersWithEmbeddedObjectsLoad) {
  // An embedded object group as word processors write it (OLE 1 "Package" with a
  // result picture), followed by ordinary text.
  const std::string rtf =
      "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}Before the object.\\par "
      "{\\object\\objemb\\objw600\\objh400{\\*\\objclass Package}{\\*\\objdata "
      "01050000020000000800000050616b6167650000000000000000000a000000"
      "0200000000000000000000000000}"
      "{\\result{\\pict\\dibitmap\\wbmwidthbytes4\\picw1\\pich1 "
      "2800000001000000010000000100180000000000040000000000000000000000000000000000000000FF0000}}}"
      "\\par After the object.\\par}";
  BookWriter book;
  book.Add("01 Object.rtf", rtf).Add("02 Next.rtf", "{\\rtf1 next\\par}");
  ViewerRun viewer(Write(book));
  const std::wstring text = PaneText(viewer.text());
  EXPECT_NE(text.find(L"Before the object."), std::wstring::npos);
  EXPECT_NE(text.find(L"After the object."), std::wstring::npos);
  const LONG objects = ObjectCount(viewer);
  RecordProperty("objects", static_cast<int>(objects));
  std::printf("embedded objects Wine's rich-edit kept: %ld\n", static_cast<long>(objects));
  EXPECT_GE(objects, 0);
  viewer.Key(VK_NEXT, true);
  EXPECT_NE(PaneText(viewer.text()).find(L"next"), std::wstring::npos);
}

TEST_F(PagesTest, TheBookInformationRowShowsTheInformationFile) {
  BookWriter book;
  book.Add("#META.TXT", "\xEF\xBB\xBFTitle: Gr\xC3\xBC\xC3\x9F" "e {braces}\r\nAuthor:   A.  Writer\r\n\r\n"
                        "Date of publication: 2026\r\n")
      .Add("01 A.rtf", "{\\rtf1 chapter\\par}");
  const std::wstring path = Write(book);
  ViewerRun viewer(path);
  EXPECT_EQ(ListRowText(viewer.contents(), 0), L"01[About...]");
  const std::wstring page = PaneText(viewer.text());
  for (const wchar_t* piece : {L"Title", L"Gr\u00fc\u00dfe {braces}", L"Author", L"A. Writer", L"Dateofpublication", L"2026"})
    EXPECT_NE(page.find(piece), std::wstring::npos) << piece << " in " << page;
  viewer.Screenshot(L"screenshots\\information-page.png");

  // In a German interface the row is titled in German.
  viewer.OnViewerThread([&] {
    TheProgram().settings.languageId = 7;
    Session().bookPath = path;
  });
  viewer.Command(CMD_OPEN_BOOK_COMMAND);
  EXPECT_EQ(ListRowText(viewer.contents(), 0), L"01[\u00dcber...]");
}

TEST_F(PagesTest, TheTextPaneShowsNoMenuOfItsOwn) {
  BookWriter book;
  book.Add("01 A.rtf", "{\\rtf1 some text\\par}").Add("02 B.rtf", "{\\rtf1 more\\par}");
  ViewerRun viewer(Write(book));
  PostMessageW(viewer.text(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(viewer.text()), MAKELPARAM(100, 100));
  viewer.Settle();
  bool menuOpen = false;
  viewer.OnViewerThread([&] {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(GetCurrentThreadId(), &info);
    menuOpen = (info.flags & GUI_POPUPMENUMODE) != 0;
  });
  EXPECT_FALSE(menuOpen);
}

}  // namespace
}  // namespace tomelet::test
