#include "common/win/window_accessible.h"

#include <new>
#include <utility>

#include "common/win/window_text.h"

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

class StaticTextAccessible : public WindowAccessible {
 public:
  StaticTextAccessible(HWND hwnd, std::string name)
      : WindowAccessible(hwnd), name_(std::move(name)) {}
  LONG Role() const override { return ROLE_SYSTEM_STATICTEXT; }
  std::string Name() const override { return name_; }
  HRESULT State(VARIANT* state) override {
    state->vt = VT_I4;
    state->lVal = STATE_SYSTEM_READONLY | (IsWindowVisible(hwnd_) ? 0 : STATE_SYSTEM_INVISIBLE);
    return S_OK;
  }

 private:
  std::string name_;
};

class PushButtonAccessible : public WindowAccessible {
 public:
  PushButtonAccessible(HWND hwnd, std::string name, std::string description)
      : WindowAccessible(hwnd), name_(std::move(name)), description_(std::move(description)) {}
  LONG Role() const override { return ROLE_SYSTEM_PUSHBUTTON; }
  std::string Name() const override { return name_; }
  std::string Description() const override { return description_; }
  HRESULT State(VARIANT* state) override {
    state->vt = VT_I4;
    state->lVal = WindowStates();
    return S_OK;
  }
  std::string DefaultAction() const override { return "Press"; }
  HRESULT DoDefaultAction() override {
    if (!IsWindowEnabled(hwnd_)) return DISP_E_MEMBERNOTFOUND;
    PostMessageA(hwnd_, BM_CLICK, 0, 0);  // the reader may be in another process: do it async
    return S_OK;
  }

 private:
  std::string name_;
  std::string description_;
};

}  // namespace

std::string WithoutAccelerators(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&') {
      if (i + 1 < text.size() && text[i + 1] == '&') out += text[++i];
      continue;
    }
    out += text[i];
  }
  return out;
}

WindowAccessible::~WindowAccessible() {
  if (inner_) inner_->Release();
}

std::string WindowAccessible::Name() const { return WithoutAccelerators(WindowText(hwnd_)); }

LONG WindowAccessible::WindowStates() const {
  LONG s = 0;
  if (!IsWindowVisible(hwnd_)) s |= STATE_SYSTEM_INVISIBLE;
  if (!IsWindowEnabled(hwnd_)) {
    s |= STATE_SYSTEM_UNAVAILABLE;
  } else {
    s |= STATE_SYSTEM_FOCUSABLE;
    if (GetFocus() == hwnd_) s |= STATE_SYSTEM_FOCUSED;
  }
  return s;
}

HRESULT WindowAccessible::State(VARIANT* state) {
  VARIANT self;
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  return inner_->get_accState(self, state);
}

HRESULT WindowAccessible::QueryInterface(REFIID riid, void** out) {
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
ULONG WindowAccessible::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
ULONG WindowAccessible::Release() {
  const LONG left = InterlockedDecrement(&refs_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT WindowAccessible::GetTypeInfoCount(UINT* n) { return inner_->GetTypeInfoCount(n); }
HRESULT WindowAccessible::GetTypeInfo(UINT i, LCID l, ITypeInfo** t) {
  return inner_->GetTypeInfo(i, l, t);
}
HRESULT WindowAccessible::GetIDsOfNames(REFIID r, LPOLESTR* n, UINT c, LCID l, DISPID* d) {
  return inner_->GetIDsOfNames(r, n, c, l, d);
}
HRESULT WindowAccessible::Invoke(DISPID d, REFIID r, LCID l, WORD f, DISPPARAMS* p, VARIANT* v,
                                 EXCEPINFO* e, UINT* a) {
  return inner_->Invoke(d, r, l, f, p, v, e, a);
}
HRESULT WindowAccessible::get_accParent(IDispatch** p) { return inner_->get_accParent(p); }
HRESULT WindowAccessible::get_accChildCount(LONG* n) {
  if (!n) return E_POINTER;
  *n = 0;
  return S_OK;
}
HRESULT WindowAccessible::get_accChild(VARIANT c, IDispatch** d) {
  return inner_->get_accChild(c, d);
}
HRESULT WindowAccessible::get_accName(VARIANT child, BSTR* name) {
  if (!name) return E_POINTER;
  if (!IsSelf(child)) return E_INVALIDARG;
  *name = ToBstr(Name());
  return *name ? S_OK : E_OUTOFMEMORY;
}
HRESULT WindowAccessible::get_accValue(VARIANT c, BSTR* v) { return inner_->get_accValue(c, v); }
HRESULT WindowAccessible::get_accDescription(VARIANT c, BSTR* d) {
  const std::string description = IsSelf(c) ? Description() : std::string();
  if (description.empty()) return inner_->get_accDescription(c, d);
  if (!d) return E_POINTER;
  *d = ToBstr(description);
  return *d ? S_OK : E_OUTOFMEMORY;
}
HRESULT WindowAccessible::get_accRole(VARIANT child, VARIANT* role) {
  if (!role) return E_POINTER;
  if (!IsSelf(child)) return E_INVALIDARG;
  role->vt = VT_I4;
  role->lVal = Role();
  return S_OK;
}
HRESULT WindowAccessible::get_accState(VARIANT child, VARIANT* state) {
  if (!state) return E_POINTER;
  if (!IsSelf(child)) return E_INVALIDARG;
  return State(state);
}
HRESULT WindowAccessible::get_accHelp(VARIANT c, BSTR* h) { return inner_->get_accHelp(c, h); }
HRESULT WindowAccessible::get_accHelpTopic(BSTR* f, VARIANT c, LONG* t) {
  return inner_->get_accHelpTopic(f, c, t);
}
HRESULT WindowAccessible::get_accKeyboardShortcut(VARIANT c, BSTR* k) {
  return inner_->get_accKeyboardShortcut(c, k);
}
HRESULT WindowAccessible::get_accFocus(VARIANT* f) { return inner_->get_accFocus(f); }
HRESULT WindowAccessible::get_accSelection(VARIANT* s) { return inner_->get_accSelection(s); }
HRESULT WindowAccessible::get_accDefaultAction(VARIANT child, BSTR* action) {
  if (!action) return E_POINTER;
  if (!IsSelf(child)) return E_INVALIDARG;
  const std::string name = DefaultAction();
  if (name.empty()) {
    *action = nullptr;
    return S_FALSE;
  }
  *action = ToBstr(name);
  return *action ? S_OK : E_OUTOFMEMORY;
}
HRESULT WindowAccessible::accSelect(LONG f, VARIANT c) { return inner_->accSelect(f, c); }
HRESULT WindowAccessible::accLocation(LONG* x, LONG* y, LONG* w, LONG* h, VARIANT c) {
  return inner_->accLocation(x, y, w, h, c);
}
HRESULT WindowAccessible::accNavigate(LONG d, VARIANT s, VARIANT* e) {
  return inner_->accNavigate(d, s, e);
}
HRESULT WindowAccessible::accHitTest(LONG x, LONG y, VARIANT* c) {
  return inner_->accHitTest(x, y, c);
}
HRESULT WindowAccessible::accDoDefaultAction(VARIANT child) {
  if (!IsSelf(child)) return E_INVALIDARG;
  return DoDefaultAction();
}

LRESULT AnswerWindowAccessibility(WindowAccessible* object, WPARAM wp) {
  if (!object) return 0;
  const Oleacc& oleacc = OleaccFunctions();
  IAccessible* inner = nullptr;
  if (!oleacc.createStd || !oleacc.lresultFromObject ||
      FAILED(oleacc.createStd(object->hwnd_, OBJID_CLIENT, kIidAccessible,
                              reinterpret_cast<void**>(&inner))) ||
      !inner) {
    object->Release();
    return 0;
  }
  object->inner_ = inner;
  const LRESULT result = oleacc.lresultFromObject(kIidAccessible, wp, object);
  object->Release();  // LresultFromObject holds its own reference
  return result > 0 ? result : 0;
}

LRESULT AnswerStaticTextAccessibility(HWND window, WPARAM wp, const std::string& name) {
  return AnswerWindowAccessibility(new (std::nothrow) StaticTextAccessible(window, name), wp);
}

LRESULT AnswerPushButtonAccessibility(HWND window, WPARAM wp, const std::string& name,
                                      const std::string& description) {
  return AnswerWindowAccessibility(
      new (std::nothrow) PushButtonAccessible(window, name, description), wp);
}

}  // namespace vt9::win
