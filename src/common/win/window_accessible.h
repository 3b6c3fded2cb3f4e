// What assistive tools (screen readers) read of a window whose class does not tell them enough:
// the system's standard object for the window, with the role, name, state and default action
// answered by the window's owner. Location, navigation, focus and hit-testing stay the
// standard object's. oleacc.dll is looked up at run time: without it a window simply gets the
// default answer.
#pragma once

#include <oleacc.h>
#include <windows.h>

#include <string>

namespace vt9::win {

// The standard object's answers, overridden where a derived class says better.
class WindowAccessible : public IAccessible {
 public:
  // The window's role (ROLE_SYSTEM_...).
  virtual LONG Role() const = 0;
  // The name spoken for the window; by default its text without the accelerator's "&".
  virtual std::string Name() const;
  // The state; by default the standard object's.
  virtual HRESULT State(VARIANT* state);
  // A longer description read after the name (a command link's lines below its heading);
  // the standard object's when empty.
  virtual std::string Description() const { return {}; }
  // The default action's name and what doing it does; none by default.
  virtual std::string DefaultAction() const { return {}; }
  virtual HRESULT DoDefaultAction() { return DISP_E_MEMBERNOTFOUND; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT i, LCID l, ITypeInfo** t) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID r, LPOLESTR* n, UINT c, LCID l,
                                          DISPID* d) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID d, REFIID r, LCID l, WORD f, DISPPARAMS* p, VARIANT* v,
                                   EXCEPINFO* e, UINT* a) override;
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** p) override;
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* n) override;
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT c, IDispatch** d) override;
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT c, BSTR* v) override;
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT c, BSTR* d) override;
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT c, BSTR* h) override;
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* f, VARIANT c, LONG* t) override;
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT c, BSTR* k) override;
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* f) override;
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* s) override;
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
  HRESULT STDMETHODCALLTYPE accSelect(LONG f, VARIANT c) override;
  HRESULT STDMETHODCALLTYPE accLocation(LONG* x, LONG* y, LONG* w, LONG* h, VARIANT c) override;
  HRESULT STDMETHODCALLTYPE accNavigate(LONG d, VARIANT s, VARIANT* e) override;
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* c) override;
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

 protected:
  explicit WindowAccessible(HWND hwnd) : hwnd_(hwnd) {}
  virtual ~WindowAccessible();
  // The states every control of ours shares: invisible, unavailable, or focusable and maybe
  // focused.
  LONG WindowStates() const;
  HWND hwnd_;

 private:
  friend LRESULT AnswerWindowAccessibility(WindowAccessible* object, WPARAM wp);
  IAccessible* inner_ = nullptr;
  LONG refs_ = 1;
};

// The answer to WM_GETOBJECT for OBJID_CLIENT with `object` (created with new, one reference,
// which this call takes over): 0 when accessibility support is missing, so the caller falls back
// to the default answer.
LRESULT AnswerWindowAccessibility(WindowAccessible* object, WPARAM wp);

// A window's text without accelerator "&"s ("&&" stays one "&").
std::string WithoutAccelerators(const std::string& text);

// Answers WM_GETOBJECT for a window that shows a text of its own: role static text, the given
// name.
LRESULT AnswerStaticTextAccessibility(HWND window, WPARAM wp, const std::string& name);
// ... and for a push button the window draws itself, with the given name (and description);
// its default action clicks it (BM_CLICK).
LRESULT AnswerPushButtonAccessibility(HWND window, WPARAM wp, const std::string& name,
                                      const std::string& description = {});

}  // namespace vt9::win
