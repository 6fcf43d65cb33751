// The table of contents as it is drawn: cream background, kind icons indented by level,
// titles one row height further right, the selection's colours with and without focus.
#include <gtest/gtest.h>

#include "app/viewer.h"
#include "tests/support/book_writer.h"
#include "tests/ui/viewer_harness.h"

namespace tomelet::test {
namespace {

constexpr COLORREF kCream = RGB(255, 239, 192);
constexpr COLORREF kLightOrange = RGB(255, 207, 160);

std::string Rtf(const std::string& text) { return "{\\rtf1\\ansi " + text + "\\par}"; }

struct Counts {
  int cream = 0, black = 0, white = 0, orange = 0, total = 0;
};

// Colours in a rectangle of the list's client area.
Counts CountColours(HWND list, const RECT& r) {
  Counts c;
  POINT origin{0, 0};
  ClientToScreen(list, &origin);
  HDC screen = GetDC(nullptr);
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) {
      const COLORREF p = GetPixel(screen, origin.x + x, origin.y + y);
      ++c.total;
      if (p == kCream) ++c.cream;
      else if (p == RGB(0, 0, 0)) ++c.black;
      else if (p == RGB(255, 255, 255)) ++c.white;
      else if (p == kLightOrange) ++c.orange;
    }
  ReleaseDC(nullptr, screen);
  return c;
}


RECT RowRect(HWND list, int row) {
  RECT r{};
  SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
  return r;
}

bool Dominant(COLORREF c, int channel) {  // 0 red, 1 green, 2 blue
  const int v[3] = {GetRValue(c), GetGValue(c), GetBValue(c)};
  return v[channel] > 150 && v[(channel + 1) % 3] < 110 && v[(channel + 2) % 3] < 110;
}

class ContentsDrawingTest : public testing::Test {
 protected:
  void SetUp() override {
    BookWriter book;
    book.Add("01 Chapter one.rtf", Rtf("one"))
        .Add("02-1 Picture at one.png", "x")
        .Add("03-2 Attachment at two.bin", "data")
        .Add("04-2.rtf", Rtf("continued"))
        .Add("#META.TXT", "Title: T");
    ASSERT_TRUE(book.Write(dir_.File("drawing.tmk")));
    viewer_ = std::make_unique<ViewerRun>(WinPath(dir_.File("drawing.tmk")));
    list_ = viewer_->contents();
    RedrawWindow(list_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    viewer_->Settle();
  }
  TempDir dir_;
  std::unique_ptr<ViewerRun> viewer_;
  HWND list_ = nullptr;
};

TEST_F(ContentsDrawingTest, RowsShowIconsByKindIndentedByLevel) {
  // Rows: 01[About...], 02Chapter one, 13Picture at one, 24Attachment at two, 32…
  const RECT info = RowRect(list_, 0);
  const int h = info.bottom - info.top;
  ASSERT_GT(h, 8);
  viewer_->Screenshot(L"screenshots\\contents-rows.png");

  // Book information: a blue square at the left edge.
  EXPECT_TRUE(Dominant(ClientPixel(list_, h / 2, info.top + 2 + h / 2), 2));
  // Chapter: the white page at the left edge.
  const RECT chapter = RowRect(list_, 1);
  EXPECT_EQ(ClientPixel(list_, h / 2, chapter.top + 2 + h / 2), RGB(255, 255, 255));
  // Picture at level 1: four panes, red in the top right, one row height in.
  const RECT picture = RowRect(list_, 2);
  EXPECT_TRUE(Dominant(ClientPixel(list_, h + 3 * h / 4, picture.top + 2 + h / 4), 0));
  EXPECT_EQ(ClientPixel(list_, h / 2, picture.top + 2 + h / 2), kCream);  // nothing left of it
  // Attachment at level 2: yellow square, two row heights in.
  const RECT attachment = RowRect(list_, 3);
  const COLORREF yellow = ClientPixel(list_, 2 * h + h / 4, attachment.top + 2 + h / 2 + 2);
  EXPECT_GT(GetRValue(yellow), 200);
  EXPECT_GT(GetGValue(yellow), 200);
  EXPECT_LT(GetBValue(yellow), 100);

  // Titles start one row height after the icon: unselected rows are black on cream.
  // (Icons are drawn 2 pixels down, so the row above reaches 2 pixels into this one.)
  const Counts leftOfIcon = CountColours(list_, {0, attachment.top + 2, 2 * h, attachment.bottom});
  EXPECT_EQ(leftOfIcon.cream, leftOfIcon.total);
  const Counts title = CountColours(list_, {2 * h, picture.top + 2, 2 * h + 60, picture.bottom});
  EXPECT_GT(title.black, 5);
  EXPECT_GT(title.cream, title.total / 2);
  // The empty part of the list is cream too.
  RECT client{};
  GetClientRect(list_, &client);
  EXPECT_EQ(ClientPixel(list_, client.right - 5, client.bottom - 5), kCream);
}

TEST_F(ContentsDrawingTest, SelectionIsWhiteOnBlackWithFocusAndLightOrangeWithout) {
  SendMessageW(list_, LB_SETCURSEL, 1, 0);
  viewer_->Key(VK_TAB);  // focus to the list
  ASSERT_EQ(viewer_->Focus(), list_);
  RedrawWindow(list_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  viewer_->Settle();
  const RECT row = RowRect(list_, 1);
  const int h = row.bottom - row.top;
  const RECT titleCell{h, row.top + 2, h + 40, row.bottom};
  Counts focused = CountColours(list_, titleCell);
  viewer_->Screenshot(L"screenshots\\contents-focused.png");
  EXPECT_GT(focused.black, focused.total / 2);
  EXPECT_GT(focused.white, 5);
  EXPECT_EQ(focused.cream, 0);

  viewer_->Key(VK_TAB);  // focus to the text
  RedrawWindow(list_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  viewer_->Settle();
  Counts unfocused = CountColours(list_, titleCell);
  viewer_->Screenshot(L"screenshots\\contents-unfocused.png");
  EXPECT_GT(unfocused.orange, unfocused.total / 2);
  EXPECT_GT(unfocused.black, 5);
  // The icon keeps its cream square behind it on a selected row.
  EXPECT_EQ(ClientPixel(list_, 0, row.top + 2), kCream);
}

}  // namespace
}  // namespace tomelet::test
