#include "view/rich_edit_host.h"

#include <ole2.h>
#include <richedit.h>
#include <richole.h>

namespace tomelet {
namespace {

// Lives as long as the process: no reference counting.
class RichEditHostCallback final : public IRichEditOleCallback {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IRichEditOleCallback)) {
      *object = static_cast<IRichEditOleCallback*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 0; }
  ULONG STDMETHODCALLTYPE Release() override { return 0; }

  // Embedded objects get a compound storage in memory that goes with the storage.
  HRESULT STDMETHODCALLTYPE GetNewStorage(LPSTORAGE* storage) override {
    if (!storage) return E_POINTER;
    ILockBytes* bytes = nullptr;
    const HRESULT created = CreateILockBytesOnHGlobal(nullptr, TRUE, &bytes);
    if (FAILED(created)) return created;
    const HRESULT result =
        StgCreateDocfileOnILockBytes(bytes, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, storage);
    bytes->Release();  // the storage holds the byte array now
    return result;
  }
  HRESULT STDMETHODCALLTYPE GetInPlaceContext(LPOLEINPLACEFRAME*, LPOLEINPLACEUIWINDOW*,
                                              LPOLEINPLACEFRAMEINFO) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE ShowContainerUI(BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryInsertObject(LPCLSID, LPSTORAGE, LONG) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DeleteObject(LPOLEOBJECT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryAcceptData(LPDATAOBJECT, CLIPFORMAT*, DWORD, BOOL, HGLOBAL) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetClipboardData(CHARRANGE*, DWORD, LPDATAOBJECT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetDragDropEffect(BOOL, DWORD, LPDWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetContextMenu(WORD, LPOLEOBJECT, CHARRANGE*, HMENU*) override { return E_NOTIMPL; }
};

}  // namespace

IRichEditOleCallback* RichEditHost() {
  static RichEditHostCallback callback;
  return &callback;
}

LRESULT InstallRichEditCallback(HWND richEdit) {
  return SendMessageW(richEdit, EM_SETOLECALLBACK, 0, reinterpret_cast<LPARAM>(RichEditHost()));
}

}  // namespace tomelet
