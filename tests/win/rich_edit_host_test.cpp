// The text pane's host callback, called as the rich-edit control calls it.
#include <gtest/gtest.h>
#include <windows.h>
#include <richole.h>

#include "view/rich_edit_host.h"

namespace tomelet {
namespace {

TEST(RichEditHost, AnswersOnlyForItsOwnInterfacesAndIsNeverCounted) {
  IRichEditOleCallback* host = RichEditHost();
  void* object = reinterpret_cast<void*>(1);
  EXPECT_EQ(host->QueryInterface(IID_IUnknown, &object), S_OK);
  EXPECT_EQ(object, host);
  EXPECT_EQ(host->QueryInterface(IID_IRichEditOleCallback, &object), S_OK);
  EXPECT_EQ(object, host);
  EXPECT_EQ(host->QueryInterface(IID_IStorage, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(host->AddRef(), 0u);
  EXPECT_EQ(host->Release(), 0u);
  EXPECT_EQ(RichEditHost(), host);
}

TEST(RichEditHost, DeclinesEverythingButStorageAndInsertion) {
  IRichEditOleCallback* host = RichEditHost();
  LPOLEINPLACEFRAME frame = nullptr;
  LPOLEINPLACEUIWINDOW window = nullptr;
  OLEINPLACEFRAMEINFO info{};
  EXPECT_EQ(host->GetInPlaceContext(&frame, &window, &info), E_NOTIMPL);
  EXPECT_EQ(host->ShowContainerUI(TRUE), E_NOTIMPL);
  EXPECT_EQ(host->QueryInsertObject(nullptr, nullptr, 0), S_OK);
  EXPECT_EQ(host->DeleteObject(nullptr), E_NOTIMPL);
  CLIPFORMAT format = 0;
  EXPECT_EQ(host->QueryAcceptData(nullptr, &format, 0, FALSE, nullptr), E_NOTIMPL);
  EXPECT_EQ(host->ContextSensitiveHelp(TRUE), E_NOTIMPL);
  CHARRANGE range{0, 1};
  LPDATAOBJECT data = nullptr;
  EXPECT_EQ(host->GetClipboardData(&range, 0, &data), E_NOTIMPL);
  DWORD effect = 0;
  EXPECT_EQ(host->GetDragDropEffect(FALSE, 0, &effect), E_NOTIMPL);
  HMENU menu = nullptr;
  EXPECT_EQ(host->GetContextMenu(0, nullptr, &range, &menu), E_NOTIMPL);
  EXPECT_EQ(menu, nullptr);
}

TEST(RichEditHost, NewStorageIsAWorkingStorageInMemory) {
  ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
  {
    IStorage* storage = nullptr;
    ASSERT_EQ(RichEditHost()->GetNewStorage(&storage), S_OK);
    ASSERT_TRUE(storage);
    IStream* stream = nullptr;
    ASSERT_EQ(storage->CreateStream(L"Contents", STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &stream),
              S_OK);
    const char text[] = "object data";
    ULONG written = 0;
    EXPECT_EQ(stream->Write(text, sizeof text, &written), S_OK);
    EXPECT_EQ(written, sizeof text);
    LARGE_INTEGER start{};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    char back[sizeof text] = {};
    ULONG read = 0;
    EXPECT_EQ(stream->Read(back, sizeof back, &read), S_OK);
    EXPECT_STREQ(back, text);
    stream->Release();
    EXPECT_EQ(storage->Release(), 0u);  // the last reference: the memory goes with it
  }
  OleUninitialize();
}

}  // namespace
}  // namespace tomelet
