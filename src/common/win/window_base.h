// One window procedure for every window class of the tool. The form object behind a window is
// kept in GWLP_USERDATA from WM_NCCREATE on and cleared on WM_NCDESTROY, after the form saw that
// last message; no exception ever leaves the procedure: it gets the standard error report and
// the message its default handling.
//
// A form derives from WindowBase<Form> and implements
//   LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
// returning DefWindowProcA(hwnd_, ...) for what it does not handle. Its class is registered with
// WindowBase<Form>::WindowProc.
//
// A control that paints its whole client area in one routine hands its painting messages to
// HandlePaintMessages (below) ahead of its own switch.
//
// Who owns the form:
// - FormOwner::Window (controls and self-contained windows): WM_NCCREATE creates it with
//   `Form(HWND)`, WM_NCDESTROY deletes it.
// - FormOwner::Caller (forms with a life of their own): the caller passes the form as
//   CreateWindowEx's lpParam and deletes it after the window is gone.
#pragma once

#include <windows.h>

#include <exception>
#include <new>
#include <optional>
#include <stdexcept>

#include "common/win/error_report.h"

namespace vt9::win {

enum class FormOwner { Window, Caller };

template <typename Form, FormOwner Owner = FormOwner::Window>
class WindowBase {
 public:
  HWND hwnd() const { return hwnd_; }

  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                     LPARAM lParam) noexcept {
    Form* form = message == WM_NCCREATE ? Attach(hwnd, lParam) : FromWindow(hwnd);
    if (!form)
      return message == WM_NCCREATE ? FALSE : DefWindowProcA(hwnd, message, wParam, lParam);
    LRESULT result = 0;
    try {
      result = form->HandleMessage(message, wParam, lParam);
    } catch (const std::exception& e) {
      ReportUnhandledError(e);
      result = DefWindowProcA(hwnd, message, wParam, lParam);
    } catch (...) {
      ReportUnhandledError(std::runtime_error("Unexpected error."));
      result = DefWindowProcA(hwnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) Detach(hwnd, form);
    return result;
  }

  // The form of a window of this class, or nullptr before WM_NCCREATE and after WM_NCDESTROY.
  static Form* FromWindow(HWND hwnd) {
    return reinterpret_cast<Form*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  }

 protected:
  explicit WindowBase(HWND hwnd = nullptr) : hwnd_(hwnd) {}
  ~WindowBase() = default;
  WindowBase(const WindowBase&) = delete;
  WindowBase& operator=(const WindowBase&) = delete;

  HWND hwnd_ = nullptr;

  // The painting messages of a control whose `paint(HDC)` covers every pixel of the client
  // area: WM_PAINT; WM_PRINTCLIENT, so a parent, a transparent sibling or a test can render the
  // control into a DC of its own; and WM_ERASEBKGND, answered as done, since erasing first
  // would only make the control flicker. Returns the message's result, or nothing for any
  // other message.
  template <typename Paint>
  std::optional<LRESULT> HandlePaintMessages(UINT message, WPARAM wParam, Paint&& paint) {
    switch (message) {
      case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd_, &ps);
        RunHandler([&] { paint(dc); });
        EndPaint(hwnd_, &ps);
        return 0;
      }
      case WM_PRINTCLIENT:
        RunHandler([&] { paint(reinterpret_cast<HDC>(wParam)); });
        return 0;
      case WM_ERASEBKGND:
        return 1;
      default:
        return std::nullopt;
    }
  }

 private:
  static Form* Attach(HWND hwnd, LPARAM lParam) {
    Form* form = nullptr;
    if constexpr (Owner == FormOwner::Window) {
      form = new (std::nothrow) Form(hwnd);
    } else {
      form = static_cast<Form*>(reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpCreateParams);
    }
    if (!form) return nullptr;
    static_cast<WindowBase*>(form)->hwnd_ = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    return form;
  }

  static void Detach(HWND hwnd, Form* form) {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    static_cast<WindowBase*>(form)->hwnd_ = nullptr;
    if constexpr (Owner == FormOwner::Window) delete form;
  }
};

}  // namespace vt9::win
