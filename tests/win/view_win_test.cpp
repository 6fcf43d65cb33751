// The Win32 pieces of the view without a window: pictures decoded by the real GDI+ and
// written as RTF pages, and the text pane's host callback called as the rich-edit control does.
#include <gtest/gtest.h>
#include <windows.h>
#include <richole.h>

#include <algorithm>
#include <string>
#include <vector>

#include <richedit.h>

#include <cstdio>

#include "book/entry_reader.h"
#include "book/show_rule.h"
#include "book/table_of_contents.h"
#include "tests/support/png_writer.h"
#include "view/picture_to_rtf.h"
#include "view/rich_edit_host.h"

namespace tomelet {
namespace {

using test::EncodePng;
using test::PngImage;

TEST(PictureToRtf, PicturesInTheirBitDepths) {
  const std::string opening = "{\\rtf1\\qc\\vertalc{\\pict\\dibitmap\\wbmwidthbytes", closing = "\r\n}}";
  // The control words after the opening, the header's bit count as GDI+ may report it, and
  // the hexadecimal after the header ("?" for any).
  struct Case { const char* what; std::string encoded, sizes; std::vector<std::string> bpp; std::string colours, rows; };
  const Case cases[] = {
      {"rows padded, bottom row first",
       EncodePng({3, 2, 8, 2, {}, {{1, 2, 3, 4, 5, 6, 7, 8, 9}, {10, 11, 12, 13, 14, 15, 16, 17, 18}}}),
       "12\\picw3\\pich2", {"1800"}, "", "0C0B0A0F0E0D121110000000030201060504090807000000"},
      {"palette zero-filled to 256", EncodePng({2, 1, 8, 3, {255, 0, 0, 0, 255, 0, 0, 0, 255}, {{2, 0}}}),
       "4\\picw2\\pich1", {"0800"}, "0000FFFF00FF00FFFF0000FF" + std::string(2 * 1024 - 24, '0'), "02000000"},
      {"two colours keep one bit", EncodePng({3, 2, 1, 3, {0, 0, 0, 255, 255, 255}, {{0xA0}, {0x60}}}),
       "4\\picw3\\pich2", {"0100"}, "000000FFFFFFFFFF", "?"},
      {"transparency gives 32 bits", EncodePng({1, 1, 8, 6, {}, {{0x11, 0x22, 0x33, 0x80}}}), "4\\picw1\\pich1",
       {"2000"}, "", "?"},
      {"16 bits per channel", EncodePng({1, 1, 16, 2, {}, {{0x11, 0x11, 0x22, 0x22, 0x33, 0x33}}}), "?",
       {"2000", "1800"}, "", "?"},
      {"grey", EncodePng({1, 1, 8, 0, {}, {{0x40}}}), "?", {"0800", "1800", "2000"}, "", "?"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::optional<std::string> rtf = PictureToRtf(c.encoded);
    ASSERT_TRUE(rtf);
    const std::size_t hexStart = rtf->find(" \r\n") + 3;
    ASSERT_EQ(rtf->substr(0, opening.size()), opening);
    EXPECT_TRUE(c.sizes == "?" || rtf->substr(opening.size(), hexStart - 3 - opening.size()) == c.sizes) << *rtf;
    const std::string hex = rtf->substr(hexStart, rtf->size() - hexStart - closing.size());
    EXPECT_EQ(rtf->substr(rtf->size() - closing.size()), closing);
    EXPECT_NE(std::find(c.bpp.begin(), c.bpp.end(), hex.substr(28, 4)), c.bpp.end()) << hex.substr(28, 4);
    EXPECT_EQ(hex.substr(80, c.colours.size()), c.colours);
    EXPECT_TRUE(c.rows == "?" || hex.substr(80 + c.colours.size()) == c.rows) << hex;
  }
  // One bit per pixel, bottom row first; the decoder decides the bits beyond the three pixels.
  const std::string hex = PictureToRtf(cases[2].encoded).value_or("");
  const auto row = [&](int i) { return std::stoi(hex.substr(hex.find(" \r\n") + 3 + 96 + 8 * i, 2), nullptr, 16) & 0xE0; };
  EXPECT_EQ(std::pair(row(0), row(1)), std::pair(0x60, 0xA0));
}

TEST(PictureToRtf, DamagedOrHugePicturesGiveNoPage) {
  const std::string good = EncodePng({4, 4, 8, 2, {}, std::vector<std::vector<std::uint8_t>>(4, std::vector<std::uint8_t>(12, 7))});
  for (const std::string& bytes : {std::string("This entry is text, not a picture."), std::string(), good.substr(0, 30),
                                   EncodePng({100000, 100000, 8, 2, {}, {{}}}), EncodePng({0, 0, 8, 2, {}, {{}}})})
    EXPECT_FALSE(PictureToRtf(bytes)) << bytes.size();
  (void)PictureToRtf(EncodePng({2, 1, 8, 3, {255, 0}, {{0, 1}}}));  // palette cut short: no crash
  const auto cut = PictureToRtf(good.substr(0, good.size() - 20));  // data ends early: never a larger page
  EXPECT_LT(cut.value_or("").size(), 400u);
  // A JPEG cut in half (ImageMagick's, in a book of zip's): a page no larger than the whole picture's.
  const OpenedBook book = OpenBookArchive(std::string(TOMELET_TEST_BOOKS) + "/jpeg-cut.tmk");
  ASSERT_EQ(book.status, OpenStatus::Opened);
  const EntryData half = ReadEntry(book.archive.get(), static_cast<zip_uint64_t>(zip_name_locate(book.archive.get(), "02 Cut.jpg", 0)));
  ASSERT_EQ(half.status, EntryStatus::Ok);
  EXPECT_LT(PictureToRtf(half.bytes).value_or("").size(), 64 * 48 * 8 + 400u);
}

// What the rich-edit control reads as RTF is what the depth rule checks.
TEST(RichEditControl, EveryStartItReadsAsRtfIsCheckedForItsDepth) {
  ASSERT_TRUE(LoadLibraryW(L"msftedit.dll"));
  const HWND pane = CreateWindowExW(0, MSFTEDIT_CLASS, L"", ES_MULTILINE, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(pane);
  for (const std::string start : {"{\\rtf1 ", "{\\urtf1 ", " {\\rtf1 ", "\r\n{\\rtf1 ", "\t{\\urtf1 ", "\xEF\xBB\xBF{\\rtf1 ",
                                  "{\\RTF1 ", "{ \\rtf1 ", "x{\\rtf1 "}) {
    const std::string chapter = start + "{\\b x}}";
    SETTEXTEX how{ST_DEFAULT, CP_ACP};
    SendMessageW(pane, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how), reinterpret_cast<LPARAM>(chapter.c_str()));
    const bool readAsRtf = GetWindowTextLengthW(pane) == 1;  // only the "x"
    if (readAsRtf) EXPECT_TRUE(LooksLikeRtf(chapter)) << start;
  }
  DestroyWindow(pane);
}

TEST(RichEditHost, AnswersForItsOwnInterfacesIsNeverCountedAndGivesWorkingStorage) {
  IRichEditOleCallback* host = RichEditHost();
  void* object = reinterpret_cast<void*>(1);
  for (const IID& iid : {IID_IUnknown, IID_IRichEditOleCallback}) {
    EXPECT_EQ(host->QueryInterface(iid, &object), S_OK);
    EXPECT_EQ(object, host);
  }
  EXPECT_EQ(host->QueryInterface(IID_IStorage, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(host->AddRef(), 0u);
  EXPECT_EQ(host->Release(), 0u);

  ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
  IStorage* storage = nullptr;
  ASSERT_EQ(host->GetNewStorage(&storage), S_OK);
  IStream* stream = nullptr;
  ASSERT_EQ(storage->CreateStream(L"Contents", STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &stream), S_OK);
  EXPECT_EQ(stream->Write("object data", 11, nullptr), S_OK);
  stream->Release();
  EXPECT_EQ(storage->Release(), 0u);  // the last reference: the memory goes with it
  OleUninitialize();
}

}  // namespace
}  // namespace tomelet
