#include "widgets/win/check_box_accessible.h"

#include <oleacc.h>

#include <string>

namespace vt9::win {
namespace {

// IID_IAccessible, spelled out so the program needs no import library for it.
constexpr GUID kIidAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

using CreateStdAccessibleObjectFn = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
using LresultFromObjectFn = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);

struct Oleacc {
  CreateStdAccessibleObjectFn createStd = nullptr;
  LresultFromObjectFn lresultFromObject = nullptr;
};

// oleacc.dll is found at run time: without it the control still works, only unannotated.
const Oleacc& OleaccFunctions() {
  static const Oleacc functions = [] {
    Oleacc f;
    if (HMODULE module = LoadLibraryA("oleacc.dll")) {
      f.createStd = reinterpret_cast<CreateStdAccessibleObjectFn>(
          reinterpret_cast<void*>(GetProcAddress(module, "CreateStdAccessibleObject")));
      f.lresultFromObject = reinterpret_cast<LresultFromObjectFn>(
          reinterpret_cast<void*>(GetProcAddress(module, "LresultFromObject")));
    }
    return f;
  }();
  return functions;
}

BSTR ToBstr(const std::string& text) {
  const int n =
      MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  BSTR out = SysAllocStringLen(nullptr, static_cast<UINT>(n));
  if (out && n > 0)
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out, n);
  return out;
}

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

// Wraps the system's standard client object and answers as a check button would; everything
// else (location, navigation, focus, hit-testing) is the standard object's.
class CheckBoxAccessible : public IAccessible {
 public:
  CheckBoxAccessible(HWND hwnd, IAccessible* inner) : hwnd_(hwnd), inner_(inner) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
        IsEqualIID(riid, kIidAccessible)) {
      *out = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0) {
      inner_->Release();
      delete this;
    }
    return static_cast<ULONG>(left);
  }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
    return inner_->GetTypeInfoCount(n);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT i, LCID l, ITypeInfo** t) override {
    return inner_->GetTypeInfo(i, l, t);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID r, LPOLESTR* n, UINT c, LCID l,
                                          DISPID* d) override {
    return inner_->GetIDsOfNames(r, n, c, l, d);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID d, REFIID r, LCID l, WORD f, DISPPARAMS* p, VARIANT* v,
                                   EXCEPINFO* e, UINT* a) override {
    return inner_->Invoke(d, r, l, f, p, v, e, a);
  }

  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** p) override {
    return inner_->get_accParent(p);
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* n) override {
    if (!n) return E_POINTER;
    *n = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT c, IDispatch** d) override {
    return inner_->get_accChild(c, d);
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (!name) return E_POINTER;
    if (!IsSelf(child)) return E_INVALIDARG;
    // The window text is the caption without markup; the accelerator's "&" is not spoken.
    char buffer[1024] = {};
    GetWindowTextA(hwnd_, buffer, static_cast<int>(std::size(buffer)));
    std::string text;
    for (const char* p = buffer; *p; ++p) {
      if (*p == '&') {
        if (p[1] == '&') text += *++p;
        continue;
      }
      text += *p;
    }
    *name = ToBstr(text);
    return *name ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT c, BSTR* v) override {
    return inner_->get_accValue(c, v);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT c, BSTR* d) override {
    return inner_->get_accDescription(c, d);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (!role) return E_POINTER;
    if (!IsSelf(child)) return E_INVALIDARG;
    role->vt = VT_I4;
    role->lVal = ROLE_SYSTEM_CHECKBUTTON;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    if (!state) return E_POINTER;
    if (!IsSelf(child)) return E_INVALIDARG;
    LONG s = 0;
    const LRESULT check = SendMessageA(hwnd_, BM_GETCHECK, 0, 0);
    if (check == BST_CHECKED) s |= STATE_SYSTEM_CHECKED;
    if (check == BST_INDETERMINATE) s |= STATE_SYSTEM_MIXED;
    const LRESULT flags = SendMessageA(hwnd_, BM_GETSTATE, 0, 0);
    if (flags & BST_PUSHED) s |= STATE_SYSTEM_PRESSED;
    if (flags & kButtonStateHot) s |= STATE_SYSTEM_HOTTRACKED;
    if (!IsWindowVisible(hwnd_)) s |= STATE_SYSTEM_INVISIBLE;
    if (!IsWindowEnabled(hwnd_)) {
      s |= STATE_SYSTEM_UNAVAILABLE;
    } else {
      s |= STATE_SYSTEM_FOCUSABLE;
      if (GetFocus() == hwnd_) s |= STATE_SYSTEM_FOCUSED;
    }
    state->vt = VT_I4;
    state->lVal = s;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT c, BSTR* h) override {
    return inner_->get_accHelp(c, h);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* f, VARIANT c, LONG* t) override {
    return inner_->get_accHelpTopic(f, c, t);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT c, BSTR* k) override {
    return inner_->get_accKeyboardShortcut(c, k);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* f) override { return inner_->get_accFocus(f); }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* s) override {
    return inner_->get_accSelection(s);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    if (!action) return E_POINTER;
    if (!IsSelf(child)) return E_INVALIDARG;
    const bool checked = SendMessageA(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED;
    *action = ToBstr(checked ? "Uncheck" : "Check");
    return *action ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT STDMETHODCALLTYPE accSelect(LONG f, VARIANT c) override {
    return inner_->accSelect(f, c);
  }
  HRESULT STDMETHODCALLTYPE accLocation(LONG* x, LONG* y, LONG* w, LONG* h, VARIANT c) override {
    return inner_->accLocation(x, y, w, h, c);
  }
  HRESULT STDMETHODCALLTYPE accNavigate(LONG d, VARIANT s, VARIANT* e) override {
    return inner_->accNavigate(d, s, e);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* c) override {
    return inner_->accHitTest(x, y, c);
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    if (!IsSelf(child)) return E_INVALIDARG;
    if (!IsWindowEnabled(hwnd_)) return DISP_E_MEMBERNOTFOUND;
    PostMessageA(hwnd_, BM_CLICK, 0, 0);  // the tool may be in another process: do it async
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

 private:
  virtual ~CheckBoxAccessible() = default;
  HWND hwnd_;
  IAccessible* inner_;
  LONG refs_ = 1;
};

}  // namespace

LRESULT AnswerCheckBoxAccessibility(HWND box, WPARAM wp) {
  const Oleacc& oleacc = OleaccFunctions();
  if (!oleacc.createStd || !oleacc.lresultFromObject) return 0;
  IAccessible* inner = nullptr;
  if (FAILED(
          oleacc.createStd(box, OBJID_CLIENT, kIidAccessible, reinterpret_cast<void**>(&inner))) ||
      !inner) {
    return 0;
  }
  auto* wrapper = new (std::nothrow) CheckBoxAccessible(box, inner);
  if (!wrapper) {
    inner->Release();
    return 0;
  }
  const LRESULT result = oleacc.lresultFromObject(kIidAccessible, wp, wrapper);
  wrapper->Release();  // LresultFromObject holds its own reference
  return result > 0 ? result : 0;
}

}  // namespace vt9::win
