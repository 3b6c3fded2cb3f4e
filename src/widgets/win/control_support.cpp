#include "widgets/win/control_support.h"

#include <shellapi.h>
#include <shlwapi.h>

#include "common/win/handles.h"

namespace vt9::win {

COLORREF ToColorRef(Color c, COLORREF fallback) {
  if (c == kColorNone) return fallback;
  if (IsSystemColor(c)) return GetSysColor(static_cast<int>(c & 0xFF));
  return static_cast<COLORREF>(c & 0xFFFFFF);
}

FontSpec FontSpecFromHandle(HFONT handle, Color color) {
  FontSpec font;
  LOGFONTA lf{};
  if (handle && GetObjectA(handle, sizeof(lf), &lf) == sizeof(lf)) {
    font.name = lf.lfFaceName;
    font.height = lf.lfHeight;
    unsigned style = 0;
    if (lf.lfWeight >= FW_BOLD) style |= kFontBold;
    if (lf.lfItalic) style |= kFontItalic;
    if (lf.lfUnderline) style |= kFontUnderline;
    if (lf.lfStrikeOut) style |= kFontStrikeOut;
    font.style = style;
    font.escapement = lf.lfEscapement;
  }
  font.color = color;
  return font;
}

bool IsHighContrast() {
  HIGHCONTRASTA contrast{};
  contrast.cbSize = sizeof(contrast);
  return SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) &&
         (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

int WindowDpi(HWND hwnd) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
  if (getDpiForWindow && hwnd) {
    const UINT dpi = getDpiForWindow(hwnd);
    if (dpi != 0) return static_cast<int>(dpi);
  }
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

HFONT DefaultControlFont() {
  static const HFONT font = [] {
    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = sizeof(ncm);
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0)) {
      if (HFONT f = CreateFontIndirectA(&ncm.lfMessageFont)) return f;
    }
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  }();
  return font;
}

PaintBuffer::PaintBuffer(HDC target, int width, int height, bool buffered)
    : target_(target), width_(width), height_(height) {
  if (!buffered || width <= 0 || height <= 0) return;
  mem_ = CreateCompatibleDC(target);
  bitmap_ = mem_ ? CreateCompatibleBitmap(target, width, height) : nullptr;
  if (!bitmap_) {
    // Out of GDI resources: draw straight to the screen rather than not at all.
    if (mem_) DeleteDC(mem_);
    mem_ = nullptr;
    return;
  }
  oldBitmap_ = SelectObject(mem_, bitmap_);
}

PaintBuffer::~PaintBuffer() {
  if (!mem_) return;
  BitBlt(target_, 0, 0, width_, height_, mem_, 0, 0, SRCCOPY);
  SelectObject(mem_, oldBitmap_);
  DeleteObject(bitmap_);
  DeleteDC(mem_);
}

ThemeLibrary& ThemeLibrary::Instance() {
  static ThemeLibrary library;
  return library;
}

ThemeLibrary::ThemeLibrary() {
  // Loaded once for the process and never freed: theme handles may outlive any one control.
  HMODULE module = LoadLibraryA("uxtheme.dll");
  if (!module) return;
  const auto find = [module](const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(module, name));
  };
  isThemeActive_ = reinterpret_cast<IsThemeActiveFn>(find("IsThemeActive"));
  openThemeData_ = reinterpret_cast<OpenThemeDataFn>(find("OpenThemeData"));
  drawThemeBackground_ = reinterpret_cast<DrawThemeBackgroundFn>(find("DrawThemeBackground"));
  closeThemeData_ = reinterpret_cast<CloseThemeDataFn>(find("CloseThemeData"));
  if (!isThemeActive_ || !openThemeData_ || !drawThemeBackground_ || !closeThemeData_) {
    isThemeActive_ = nullptr;  // a partial library is as good as none
  }
}

bool ThemeLibrary::IsThemeActive() const { return isThemeActive_ && isThemeActive_(); }

HANDLE ThemeLibrary::Open(HWND hwnd, const wchar_t* classList) const {
  return isThemeActive_ ? openThemeData_(hwnd, classList) : nullptr;
}

bool ThemeLibrary::DrawBackground(HANDLE theme, HDC dc, int part, int state, const RECT& r) const {
  return theme && isThemeActive_ &&
         SUCCEEDED(drawThemeBackground_(theme, dc, part, state, &r, nullptr));
}

void ThemeLibrary::Close(HANDLE theme) const {
  if (theme && closeThemeData_) closeThemeData_(theme);
}

bool IsXpOrLater() {
  static const bool xp = [] {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&info)) return false;
#pragma GCC diagnostic pop
    return info.dwMajorVersion > 5 || (info.dwMajorVersion == 5 && info.dwMinorVersion > 0);
  }();
  return xp;
}

int CommonControlsMajorVersion() {
  static const int major = [] {
    HMODULE comctl = LoadLibraryA("comctl32.dll");  // kept loaded: the process uses it anyway
    if (!comctl) return 5;
    using DllGetVersionFn = HRESULT(CALLBACK*)(DLLVERSIONINFO*);
    const auto getVersion = reinterpret_cast<DllGetVersionFn>(
        reinterpret_cast<void*>(GetProcAddress(comctl, "DllGetVersion")));
    DLLVERSIONINFO info{};
    info.cbSize = sizeof(info);
    if (!getVersion || FAILED(getVersion(&info))) return 5;
    return static_cast<int>(info.dwMajorVersion);
  }();
  return major;
}

void OpenLinkTarget(HWND owner, const std::string& target) {
  ShellExecuteA(owner, "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace vt9::win
