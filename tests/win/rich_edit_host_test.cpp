// The text pane's host callback, called as the rich-edit control calls it.
#include <gtest/gtest.h>
#include <windows.h>
#include <richole.h>

#include "view/rich_edit_host.h"

namespace tomelet {
namespace {

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
