// Helpers shared by the markup check box and the markup panel: colour and font conversion
// between the markup canvas and GDI, the window's dpi, an off-screen paint buffer, and the
// theme library looked up at run time.
#pragma once

#include <windows.h>

#include <string>

#include "platform/canvas.h"

namespace vt9::win {

// A plain, system or no colour as a GDI colour; colour-none gives `fallback`.
COLORREF ToColorRef(Color c, COLORREF fallback = RGB(0, 0, 0));

// The description of a GDI font, in the given text colour.
FontSpec FontSpecFromHandle(HFONT font, Color color);

// Whether the user asked for high contrast: the controls then draw in system colours and
// ignore the colours of their markup and properties.
bool IsHighContrast();

// Pixels per inch the window is drawn at.
int WindowDpi(HWND hwnd);

// A font of the system's message font face scaled to the dpi, for controls whose parent has
// none. The handle lives for the process.
HFONT DefaultControlFont();

// Draws into an off-screen bitmap of the target's size and copies it on destruction, so a
// paint never shows half-drawn states (no flicker). With buffered false it draws directly.
class PaintBuffer {
 public:
  PaintBuffer(HDC target, int width, int height, bool buffered = true);
  ~PaintBuffer();
  PaintBuffer(const PaintBuffer&) = delete;
  PaintBuffer& operator=(const PaintBuffer&) = delete;
  HDC dc() const { return mem_ ? mem_ : target_; }

 private:
  HDC target_;
  HDC mem_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
  int width_;
  int height_;
};

// The visual-styles functions of "uxtheme.dll", found at run time so the program also runs
// where the library is missing; every call answers "no theme" then.
class ThemeLibrary {
 public:
  static ThemeLibrary& Instance();
  bool IsThemeActive() const;
  HANDLE Open(HWND hwnd, const wchar_t* classList) const;
  bool DrawBackground(HANDLE theme, HDC dc, int part, int state, const RECT& r) const;
  void Close(HANDLE theme) const;

 private:
  ThemeLibrary();
  using IsThemeActiveFn = BOOL(WINAPI*)();
  using OpenThemeDataFn = HANDLE(WINAPI*)(HWND, LPCWSTR);
  using DrawThemeBackgroundFn = HRESULT(WINAPI*)(HANDLE, HDC, int, int, const RECT*, const RECT*);
  using CloseThemeDataFn = HRESULT(WINAPI*)(HANDLE);
  IsThemeActiveFn isThemeActive_ = nullptr;
  OpenThemeDataFn openThemeData_ = nullptr;
  DrawThemeBackgroundFn drawThemeBackground_ = nullptr;
  CloseThemeDataFn closeThemeData_ = nullptr;
};

// Windows XP or later (major above 5, or 5 with a non-zero minor), found once.
bool IsXpOrLater();
// Major version of the common-controls library the program is bound to (5 or 6).
int CommonControlsMajorVersion();

// Opens a link target with the shell's "open" operation in a normal window.
void OpenLinkTarget(HWND owner, const std::string& target);

}  // namespace vt9::win
