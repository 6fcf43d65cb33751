#include "base/accessible_object.h"

#include <oleacc.h>

#include <memory>
#include <unordered_map>
#include <utility>

#include "base/system_library.h"

namespace tomelet {
namespace {

struct Oleacc {
  UniqueLibrary library = LoadSystemLibrary(L"oleacc.dll");
  decltype(&LresultFromObject) lresultFromObject =
      SystemFunction<decltype(&LresultFromObject)>(library.get(), "LresultFromObject");
  decltype(&ObjectFromLresult) objectFromLresult =
      SystemFunction<decltype(&ObjectFromLresult)>(library.get(), "ObjectFromLresult");
  decltype(&CreateStdAccessibleObject) createStandard =
      SystemFunction<decltype(&CreateStdAccessibleObject)>(library.get(), "CreateStdAccessibleObject");
};
const Oleacc& Acc() {
  static const Oleacc oleacc;
  return oleacc;
}

struct Releaser {
  void operator()(IUnknown* object) const { object->Release(); }
};
using AccessibleOwner = std::unique_ptr<IAccessible, Releaser>;

BSTR Bstr(const std::wstring& text) { return SysAllocStringLen(text.data(), static_cast<UINT>(text.size())); }

HRESULT GiveText(const std::wstring& text, BSTR* out) {
  *out = Bstr(text);
  return *out ? S_OK : E_OUTOFMEMORY;
}

void SetChild(VARIANT* out, long child) {
  out->vt = VT_I4;
  out->lVal = child;
}

class SpokenObject final : public IAccessible {
 public:
  SpokenObject(HWND window, std::shared_ptr<const Spoken> spoken, AccessibleOwner standard)
      : window_(window), spoken_(std::move(spoken)), standard_(std::move(standard)) {}

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IAccessible) {
      *out = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) std::unique_ptr<SpokenObject> owner(this);  // the last reference went
    return static_cast<ULONG>(left);
  }

  // IDispatch: not offered (clients call IAccessible directly).
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count) *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }

  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    return Gone() ? RPC_E_DISCONNECTED : standard_->get_accParent(parent);
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
    if (Gone()) return RPC_E_DISCONNECTED;
    if (!HasRows()) return standard_->get_accChildCount(count);
    if (!count) return E_POINTER;
    *count = RowCount();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
    if (Gone()) return RPC_E_DISCONNECTED;
    if (!HasRows()) return standard_->get_accChild(child, out);
    if (!out) return E_POINTER;
    *out = nullptr;
    return RowOf(child) >= 0 ? S_FALSE : E_INVALIDARG;  // rows are simple elements
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (Gone()) return RPC_E_DISCONNECTED;
    if (!name) return E_POINTER;
    if (IsSelf(child)) return spoken_->name ? GiveText(spoken_->name(), name) : standard_->get_accName(child, name);
    if (!HasRows()) return standard_->get_accName(child, name);
    const int row = RowOf(child);
    return row < 0 ? E_INVALIDARG : GiveText(spoken_->rowName(window_, row), name);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    if (Gone()) return RPC_E_DISCONNECTED;
    if (IsSelf(child) || !HasRows()) return standard_->get_accValue(child, value);
    if (!value) return E_POINTER;
    *value = nullptr;
    return RowOf(child) < 0 ? E_INVALIDARG : DISP_E_MEMBERNOTFOUND;
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
    if (Gone()) return RPC_E_DISCONNECTED;
    if (IsSelf(child) || !HasRows()) return standard_->get_accDescription(child, description);
    if (!description) return E_POINTER;
    *description = nullptr;
    const int row = RowOf(child);
    if (row < 0) return E_INVALIDARG;
    if (!spoken_->rowDescription) return DISP_E_MEMBERNOTFOUND;
    return GiveText(spoken_->rowDescription(window_, row), description);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (Gone()) return RPC_E_DISCONNECTED;
    if (!HasRows()) return standard_->get_accRole(child, role);
    if (!role) return E_POINTER;
    VariantInit(role);
    if (!IsSelf(child) && RowOf(child) < 0) return E_INVALIDARG;
    SetChild(role, IsSelf(child) ? ROLE_SYSTEM_LIST : ROLE_SYSTEM_LISTITEM);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    if (Gone()) return RPC_E_DISCONNECTED;
    if (IsSelf(child) || !HasRows()) return standard_->get_accState(child, state);
    if (!state) return E_POINTER;
    VariantInit(state);
    const int row = RowOf(child);
    if (row < 0) return E_INVALIDARG;
    long bits = STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_SELECTABLE;
    if (row == Selected()) bits |= STATE_SYSTEM_SELECTED;
    if (HasFocus() && row == Caret()) bits |= STATE_SYSTEM_FOCUSED;
    RECT item{}, client{}, visible{};
    GetClientRect(window_, &client);
    if (SendMessageW(window_, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)) == LB_ERR ||
        !IntersectRect(&visible, &item, &client))
      bits |= STATE_SYSTEM_OFFSCREEN;
    SetChild(state, bits);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
    if (Gone()) return RPC_E_DISCONNECTED;
    if (IsSelf(child) || !HasRows()) return standard_->get_accHelp(child, help);
    if (help) *help = nullptr;
    return DISP_E_MEMBERNOTFOUND;
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
    if (Gone()) return RPC_E_DISCONNECTED;
    if (IsSelf(child) || !HasRows()) return standard_->get_accHelpTopic(file, child, topic);
    if (file) *file = nullptr;
    return DISP_E_MEMBERNOTFOUND;
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
    if (Gone()) return RPC_E_DISCONNECTED;
    if (IsSelf(child) || !HasRows()) return standard_->get_accKeyboardShortcut(child, shortcut);
    if (shortcut) *shortcut = nullptr;
    return DISP_E_MEMBERNOTFOUND;
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
    if (Gone()) return RPC_E_DISCONNECTED;
    if (!HasRows()) return standard_->get_accFocus(focus);
    if (!focus) return E_POINTER;
    VariantInit(focus);
    if (!HasFocus()) return S_FALSE;
    const int caret = Caret();
    SetChild(focus, caret >= 0 && caret < RowCount() ? caret + 1 : CHILDID_SELF);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    if (Gone()) return RPC_E_DISCONNECTED;
    if (!HasRows()) return standard_->get_accSelection(selection);
    if (!selection) return E_POINTER;
    VariantInit(selection);
    const int selected = Selected();
    if (selected < 0) return S_FALSE;
    SetChild(selection, selected + 1);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    if (Gone()) return RPC_E_DISCONNECTED;
    if (IsSelf(child) || !HasRows()) return standard_->get_accDefaultAction(child, action);
    if (action) *action = nullptr;
    return DISP_E_MEMBERNOTFOUND;
  }
  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
    if (Gone()) return RPC_E_DISCONNECTED;
    if (IsSelf(child) || !HasRows()) return standard_->accSelect(flags, child);
    const int row = RowOf(child);
    if (row < 0) return E_INVALIDARG;
    if (flags & SELFLAG_TAKEFOCUS) SetFocus(window_);
    if (flags & (SELFLAG_TAKESELECTION | SELFLAG_ADDSELECTION)) Choose(row);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
    if (Gone()) return RPC_E_DISCONNECTED;
    if (IsSelf(child) || !HasRows()) return standard_->accLocation(left, top, width, height, child);
    if (!left || !top || !width || !height) return E_POINTER;
    const int row = RowOf(child);
    RECT item{};
    if (row < 0 ||
        SendMessageW(window_, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)) == LB_ERR)
      return E_INVALIDARG;
    MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&item), 2);
    *left = item.left, *top = item.top, *width = item.right - item.left, *height = item.bottom - item.top;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
    if (Gone()) return RPC_E_DISCONNECTED;
    if (!HasRows()) return standard_->accNavigate(direction, start, end);
    if (!end) return E_POINTER;
    VariantInit(end);
    const int count = RowCount();
    long target = 0;
    if (IsSelf(start)) {
      if (direction == NAVDIR_FIRSTCHILD) target = 1;
      else if (direction == NAVDIR_LASTCHILD) target = count;
      else return standard_->accNavigate(direction, start, end);
    } else {
      const int row = RowOf(start);
      if (row < 0) return E_INVALIDARG;
      if (direction == NAVDIR_NEXT || direction == NAVDIR_DOWN) target = row + 2;
      else if (direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP) target = row;
    }
    if (target < 1 || target > count) return S_FALSE;
    SetChild(end, target);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* hit) override {
    if (Gone()) return RPC_E_DISCONNECTED;
    if (!HasRows()) return standard_->accHitTest(x, y, hit);
    if (!hit) return E_POINTER;
    VariantInit(hit);
    POINT point{x, y};
    RECT client{};
    ScreenToClient(window_, &point);
    GetClientRect(window_, &client);
    if (!PtInRect(&client, point)) return S_FALSE;
    const LRESULT item = SendMessageW(window_, LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y));
    SetChild(hit, HIWORD(item) == 0 && static_cast<int>(LOWORD(item)) < RowCount() ? LOWORD(item) + 1 : CHILDID_SELF);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    if (Gone()) return RPC_E_DISCONNECTED;
    if (IsSelf(child) || !HasRows()) return standard_->accDoDefaultAction(child);
    return accSelect(SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION, child);
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

 private:
  bool Gone() const { return !IsWindow(window_); }
  bool HasRows() const { return static_cast<bool>(spoken_->rowName); }
  static bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }
  int RowCount() const {
    const LRESULT count = SendMessageW(window_, LB_GETCOUNT, 0, 0);
    return count == LB_ERR ? 0 : static_cast<int>(count);
  }
  // The row a child id names, or -1.
  int RowOf(const VARIANT& child) const {
    if (child.vt != VT_I4 || child.lVal < 1 || child.lVal > RowCount()) return -1;
    return static_cast<int>(child.lVal - 1);
  }
  int Selected() const { return static_cast<int>(SendMessageW(window_, LB_GETCURSEL, 0, 0)); }
  int Caret() const { return static_cast<int>(SendMessageW(window_, LB_GETCARETINDEX, 0, 0)); }
  // The focus of the window's own thread (a client asks from another one).
  bool HasFocus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    return GetGUIThreadInfo(GetWindowThreadProcessId(window_, nullptr), &info) && info.hwndFocus == window_;
  }
  // As a click would: the row selected, and the owner told.
  void Choose(int row) {
    SendMessageW(window_, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
    const int id = GetDlgCtrlID(window_);
    SendMessageW(GetParent(window_), WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(window_));
  }

  LONG references_ = 1;
  HWND window_;
  std::shared_ptr<const Spoken> spoken_;
  AccessibleOwner standard_;
};

// The window's own client object, or Windows' standard one for it.
AccessibleOwner OwnObject(HWND window, WNDPROC previous, WPARAM wParam) {
  const Oleacc& acc = Acc();
  IAccessible* object = nullptr;
  const LRESULT own = CallWindowProcW(previous, window, WM_GETOBJECT, wParam, static_cast<LPARAM>(OBJID_CLIENT));
  if (own > 0 && acc.objectFromLresult &&
      SUCCEEDED(acc.objectFromLresult(own, IID_IAccessible, wParam, reinterpret_cast<void**>(&object))) && object)
    return AccessibleOwner(object);
  if (acc.createStandard &&
      SUCCEEDED(acc.createStandard(window, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&object))))
    return AccessibleOwner(object);
  return nullptr;
}

struct SpokenWindow {
  WNDPROC previous = nullptr;
  std::shared_ptr<const Spoken> spoken;
};
// By window; a map, not a window property: the list's every message passes here, and a
// property is looked up through Wine's server.
std::unordered_map<HWND, std::unique_ptr<SpokenWindow>>& SpokenWindows() {
  static std::unordered_map<HWND, std::unique_ptr<SpokenWindow>> windows;
  return windows;
}

LRESULT AnswerGetObject(HWND window, WPARAM wParam, const SpokenWindow& record) {
  const Oleacc& acc = Acc();
  if (!acc.lresultFromObject) return 0;
  AccessibleOwner standard = OwnObject(window, record.previous, wParam);
  if (!standard) return 0;
  const AccessibleOwner object(std::make_unique<SpokenObject>(window, record.spoken, std::move(standard)).release());
  const LRESULT result = acc.lresultFromObject(IID_IAccessible, wParam, object.get());
  return result > 0 ? result : 0;  // a failure: Windows' own object answers
}

LRESULT CALLBACK SpokenWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto found = SpokenWindows().find(window);
  if (found == SpokenWindows().end()) return DefWindowProcW(window, message, wParam, lParam);
  const SpokenWindow* record = found->second.get();
  const WNDPROC previous = record->previous;
  if (message == WM_GETOBJECT && static_cast<DWORD>(lParam) == static_cast<DWORD>(OBJID_CLIENT)) {
    if (const LRESULT answer = AnswerGetObject(window, wParam, *record)) return answer;
  } else if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    SpokenWindows().erase(found);
  }
  return CallWindowProcW(previous, window, message, wParam, lParam);
}

}  // namespace

void MakeSpoken(HWND window, Spoken spoken) {
  if (!window || SpokenWindows().contains(window)) return;
  auto record = std::make_unique<SpokenWindow>();
  record->spoken = std::make_shared<const Spoken>(std::move(spoken));
  SpokenWindow& kept = *SpokenWindows().emplace(window, std::move(record)).first->second;
  kept.previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SpokenWindowProc)));
}

void NotifyNameChanged(HWND window) { NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, window, OBJID_CLIENT, CHILDID_SELF); }

void NotifyRowsChanged(HWND list) { NotifyWinEvent(EVENT_OBJECT_REORDER, list, OBJID_CLIENT, CHILDID_SELF); }

}  // namespace tomelet
