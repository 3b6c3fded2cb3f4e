#include "printing/win/page_printer.h"

#include <algorithm>
#include <cmath>
#include <exception>

#include "common/win/window_base.h"
#include "common/win/window_class.h"
#include "markup/win/gdi_canvas.h"
#include "printing/progress_text.h"
#include "printing/win/print_progress.h"
#include "printing/win/system_printer.h"

namespace vt9::win {

namespace {

constexpr char kPreviewClass[] = "TPagePrinter";
constexpr int kScrollIncrement = 16;

constexpr unsigned long kPrepareRepaintMs = 100;

int ScreenPixelsPerInch(bool horizontal) {
  HDC screen = GetDC(nullptr);
  int ppi = GetDeviceCaps(screen, horizontal ? LOGPIXELSX : LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return ppi > 0 ? ppi : 96;
}

}  // namespace

OwnPrinter::OwnPrinter(bool selected) {
  // Printers come and go between two print jobs: every page printer starts from the current
  // default printer, unless it lays out for the printer just chosen for this job; either way
  // it keeps its own copy of the settings.
  if (!selected) Printer().Refresh();
  printer = std::make_unique<SystemPrinter>(Printer());
}
OwnPrinter::~OwnPrinter() = default;

// The preview window: a scroll box whose paint handler draws the current page.
class TPagePrinter::Preview : public WindowBase<Preview> {
 public:
  explicit Preview(HWND hwnd) : WindowBase(hwnd) {}
  TPagePrinter* owner = nullptr;
  int wheelDelta = 0;  // wheel movement not yet scrolled

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_ERASEBKGND:
        return 1;  // the paint handler covers everything, without flicker
      case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd_, &ps);
        RECT client;
        GetClientRect(hwnd_, &client);
        if (owner) owner->Paint(dc, client);
        EndPaint(hwnd_, &ps);
        return 0;
      }
      case WM_SIZE:
        if (owner) owner->UpdateScrollRanges();
        return 0;
      case WM_HSCROLL:
      case WM_VSCROLL:
        Scroll(message == WM_HSCROLL ? SB_HORZ : SB_VERT, LOWORD(wParam));
        return 0;
      case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
      case WM_LBUTTONDOWN:
        SetFocus(hwnd_);
        return 0;
      case WM_KEYDOWN:
        // The keyboard scrolls as the bars do: arrows by the increment, Page Up/Down by a
        // screen, Home/End to the top and bottom; with Ctrl the arrows go sideways by a screen.
        switch (wParam) {
          case VK_UP:
            Scroll(SB_VERT, SB_LINEUP);
            return 0;
          case VK_DOWN:
            Scroll(SB_VERT, SB_LINEDOWN);
            return 0;
          case VK_LEFT:
            Scroll(SB_HORZ, GetKeyState(VK_CONTROL) < 0 ? SB_PAGEUP : SB_LINEUP);
            return 0;
          case VK_RIGHT:
            Scroll(SB_HORZ, GetKeyState(VK_CONTROL) < 0 ? SB_PAGEDOWN : SB_LINEDOWN);
            return 0;
          case VK_PRIOR:
            Scroll(SB_VERT, SB_PAGEUP);
            return 0;
          case VK_NEXT:
            Scroll(SB_VERT, SB_PAGEDOWN);
            return 0;
          case VK_HOME:
            Scroll(SB_VERT, SB_TOP);
            return 0;
          case VK_END:
            Scroll(SB_VERT, SB_BOTTOM);
            return 0;
        }
        break;
      case WM_MOUSEWHEEL: {
        // Fine-grained wheels and touch pads send steps smaller than a notch: they add up
        // until a notch is reached, and what is left over waits for the next step.
        wheelDelta += GET_WHEEL_DELTA_WPARAM(wParam);
        const int notches = wheelDelta / WHEEL_DELTA;
        wheelDelta -= notches * WHEEL_DELTA;
        for (int i = 0; i < 3 * std::abs(notches); ++i)
          Scroll(SB_VERT, notches > 0 ? SB_LINEUP : SB_LINEDOWN);
        return 0;
      }
      case WM_NCDESTROY:
        if (owner) owner->hwnd_ = nullptr;
        return DefWindowProcA(hwnd_, message, wParam, lParam);
    }
    return DefWindowProcA(hwnd_, message, wParam, lParam);
  }

  void Scroll(int bar, int code) {
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    GetScrollInfo(hwnd_, bar, &si);
    int pos = si.nPos;
    switch (code) {
      case SB_LINEUP:
        pos -= kScrollIncrement;
        break;
      case SB_LINEDOWN:
        pos += kScrollIncrement;
        break;
      case SB_PAGEUP:
        pos -= static_cast<int>(si.nPage);
        break;
      case SB_PAGEDOWN:
        pos += static_cast<int>(si.nPage);
        break;
      case SB_THUMBTRACK:
      case SB_THUMBPOSITION:
        pos = si.nTrackPos;
        break;
      case SB_TOP:
        pos = si.nMin;
        break;
      case SB_BOTTOM:
        pos = si.nMax;
        break;
      default:
        return;
    }
    SetPos(bar, pos);
  }

  void SetPos(int bar, int pos) {
    // SetScrollInfo keeps the position inside the range.
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_POS;
    si.nPos = pos;
    SetScrollInfo(hwnd_, bar, &si, TRUE);
    InvalidateRect(hwnd_, nullptr, FALSE);
  }
};

// The print job on the system spooler: one printer device context per job, a canvas per page.
class TPagePrinter::SpoolJob : public PrintJob {
 public:
  explicit SpoolJob(TPagePrinter& owner) : owner_(owner) {}
  ~SpoolJob() override {
    canvas_.reset();
    if (dc_) DeleteDC(dc_);
  }

  int SystemCopies() override { return owner_.Device().Copies(); }
  void SetSystemCopies(int copies) override { owner_.Device().SetCopies(copies); }
  void StartJob(const std::string& title) override {
    dc_ = owner_.Device().CreatePrinterDC();
    DOCINFOA info{};
    info.cbSize = sizeof(info);
    info.lpszDocName = title.c_str();
    if (StartDocA(dc_, &info) <= 0) throw EPrinter("The print job could not be started.");
  }
  void StartPage() override {
    if (::StartPage(dc_) <= 0) throw EPrinter("The printer did not accept a new page.");
    canvas_ = std::make_unique<GdiCanvas>(dc_);
    // The layout measured on this printer: its own advances place the text as measured.
    canvas_->SetDeviceAdvances(true);
  }
  Canvas& PageCanvas() override { return *canvas_; }
  void EndPage() override {
    canvas_.reset();
    if (::EndPage(dc_) <= 0) throw EPrinter("The printer did not accept a page.");
  }
  void EndJob() override {
    canvas_.reset();
    if (::EndDoc(dc_) <= 0) throw EPrinter("The print job could not be finished.");
  }
  void AbortJob() override {
    canvas_.reset();
    AbortDoc(dc_);
  }
  void ProcessMessages() override { owner_.PumpMessages(); }
  void Progress(const std::string& message, unsigned page, unsigned first, unsigned last) override {
    owner_.ShowProgressStep(message, page, first, last);
  }

 private:
  TPagePrinter& owner_;
  HDC dc_ = nullptr;
  std::unique_ptr<GdiCanvas> canvas_;
};

TPagePrinter::TPagePrinter(HWND parent, Target target)
    : OwnPrinter(target == Target::SelectedPrinter), TPageLayout(*printer) {
  if (!parent) return;
  WindowClassOptions options;
  options.style = CS_HREDRAW | CS_VREDRAW;
  RegisterWindowClass(kPreviewClass, Preview::WindowProc, options);
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE));
  hwnd_ =
      CreateWindowExA(0, kPreviewClass, "", WS_CHILD | WS_HSCROLL | WS_VSCROLL | WS_CLIPSIBLINGS, 0,
                      0, 89, 115, parent, nullptr, instance, nullptr);
  if (Preview* p = Preview::FromWindow(hwnd_)) p->owner = this;
  UpdateScrollRanges();
}

TPagePrinter::~TPagePrinter() {
  progress_.reset();
  if (hwnd_) {
    if (Preview* p = Preview::FromWindow(hwnd_)) p->owner = nullptr;
    DestroyWindow(hwnd_);
  }
}

void TPagePrinter::SetFont(HFONT font) {
  LOGFONTA lf{};
  if (!font || !GetObjectA(font, sizeof(lf), &lf)) return;
  TPrintFont f;
  f.name = lf.lfFaceName;
  // A LOGFONT height is in screen pixels: negative is the character height, positive the cell.
  f.size = std::max(1, MulDiv(std::abs(lf.lfHeight), 72, ScreenPixelsPerInch(false)));
  f.style = (lf.lfWeight >= FW_BOLD ? kFontBold : 0u) | (lf.lfItalic ? kFontItalic : 0u) |
            (lf.lfUnderline ? kFontUnderline : 0u) | (lf.lfStrikeOut ? kFontStrikeOut : 0u);
  SetFont(f);
}

void TPagePrinter::SetOrientation(TPrinterOrientation v) {
  TPageLayout::SetOrientation(v);
  UpdateScrollRanges();
  ScrollToZoomLocation();
}

void TPagePrinter::SetZoomPercent(unsigned percent) {
  zoomPercent_ = std::clamp(percent, kMinZoom, kMaxZoom);
  UpdateScrollRanges();
  ScrollToZoomLocation();
}
void TPagePrinter::SetZoomLocation(TZoomLocation location) {
  zoomLocation_ = location;
  ScrollToZoomLocation();
}
void TPagePrinter::SetShadowColor(Color c) {
  shadowColor_ = c;
  PreviewChanged();
}
void TPagePrinter::SetShadowOffset(unsigned offset) {
  shadowOffset_ = offset;
  UpdateScrollRanges();
  ScrollToZoomLocation();
}
void TPagePrinter::SetShowMargins(bool v) {
  showMargins_ = v;
  PreviewChanged();
}
void TPagePrinter::SetGradientBackground(bool v) {
  gradientBackground_ = v;
  PreviewChanged();
}
void TPagePrinter::SetColor(Color c) {
  color_ = c;
  PreviewChanged();
}

void TPagePrinter::PreviewChanged() {
  UpdateScrollRanges();
  if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

namespace {

struct ZoomedPage {
  int width, height;  // screen pixels
};

}  // namespace

static ZoomedPage ZoomedSize(const TPageLayout::Geometry& g, unsigned zoom) {
  const int sx = ScreenPixelsPerInch(true), sy = ScreenPixelsPerInch(false);
  return {static_cast<int>(std::lround(double(g.pageWidth) * zoom * sx / g.ppiX / 100.0)),
          static_cast<int>(std::lround(double(g.pageHeight) * zoom * sy / g.ppiY / 100.0))};
}

void TPagePrinter::UpdateScrollRanges() {
  if (!hwnd_ || updatingScroll_) return;
  updatingScroll_ = true;
  const ZoomedPage z = ZoomedSize(PageGeometry(), zoomPercent_);
  const int ranges[2] = {z.width + 2 * static_cast<int>(shadowOffset_) + 2,
                         z.height + 2 * static_cast<int>(shadowOffset_) + 2};
  // Showing one bar narrows the client area for the other, so the page sizes are taken again
  // until they no longer change.
  for (int pass = 0; pass < 3; ++pass) {
    bool changed = false;
    for (int bar = SB_HORZ; bar <= SB_VERT; ++bar) {
      RECT client;
      GetClientRect(hwnd_, &client);
      SCROLLINFO si{};
      si.cbSize = sizeof(si);
      si.fMask = SIF_RANGE | SIF_PAGE;
      GetScrollInfo(hwnd_, bar, &si);
      const UINT page =
          static_cast<UINT>(std::max<LONG>(0, bar == SB_HORZ ? client.right : client.bottom));
      if (si.nMin == 0 && si.nMax == ranges[bar] - 1 && si.nPage == page) continue;
      changed = true;
      si.fMask = SIF_RANGE | SIF_PAGE;
      si.nMin = 0;
      si.nMax = ranges[bar] - 1;
      si.nPage = page;
      SetScrollInfo(hwnd_, bar, &si, TRUE);
    }
    if (!changed) break;
  }
  updatingScroll_ = false;
}

void TPagePrinter::ScrollToZoomLocation() {
  if (!hwnd_) return;
  Preview* p = Preview::FromWindow(hwnd_);
  if (!p) return;
  for (int bar = SB_HORZ; bar <= SB_VERT; ++bar) {
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    GetScrollInfo(hwnd_, bar, &si);
    const int maxPos = std::max(0, si.nMax - static_cast<int>(si.nPage) + 1);
    const bool centre =
        zoomLocation_ == zlCenter || (zoomLocation_ == zlTopCenter && bar == SB_HORZ);
    p->SetPos(bar, centre ? maxPos / 2 : 0);
  }
}

RECT TPagePrinter::PreviewPageRect() const {
  RECT r{};
  if (!hwnd_) return r;
  const ZoomedPage z = ZoomedSize(PageGeometry(), zoomPercent_);
  RECT client;
  GetClientRect(hwnd_, &client);
  const int extra = 2 * static_cast<int>(shadowOffset_) + 2;
  // The paint area is the scroll range, or the client area when that is larger; the page is
  // centred in it and the scroll position moves it.
  const int areaW = std::max<int>(client.right, z.width + extra);
  const int areaH = std::max<int>(client.bottom, z.height + extra);
  const int sx = GetScrollPos(hwnd_, SB_HORZ), sy = GetScrollPos(hwnd_, SB_VERT);
  r.left = (areaW - z.width) / 2 - sx;
  r.top = (areaH - z.height) / 2 - sy;
  r.right = r.left + z.width;
  r.bottom = r.top + z.height;
  return r;
}

void TPagePrinter::Paint(HDC target, const RECT& client) {
  const int w = client.right, h = client.bottom;
  if (w <= 0 || h <= 0) return;
  // Drawn off screen first and copied in one step, so the preview never flickers.
  HDC dc = CreateCompatibleDC(target);
  HBITMAP bitmap = CreateCompatibleBitmap(target, w, h);
  HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
  const COLORREF back =
      IsSystemColor(color_) ? GetSysColor(static_cast<int>(color_ & 0xFF)) : color_;
  if (gradientBackground_) {
    const int n = std::max(1, h - 1);
    for (int d = 0; d < h; ++d) {
      const COLORREF c =
          RGB(d * GetRValue(back) / n, d * GetGValue(back) / n, d * GetBValue(back) / n);
      HBRUSH brush = CreateSolidBrush(c);
      RECT row{0, d, w, d + 1};
      FillRect(dc, &row, brush);
      DeleteObject(brush);
    }
  } else {
    HBRUSH brush = CreateSolidBrush(back);
    FillRect(dc, &client, brush);
    DeleteObject(brush);
  }
  const RECT page = PreviewPageRect();
  const int shadow = static_cast<int>(shadowOffset_);
  if (shadow > 0) {
    const COLORREF sc = IsSystemColor(shadowColor_)
                            ? GetSysColor(static_cast<int>(shadowColor_ & 0xFF))
                            : shadowColor_;
    HBRUSH brush = CreateSolidBrush(sc);
    RECT right{page.right, page.top + shadow, page.right + shadow, page.bottom + shadow};
    RECT below{page.left + shadow, page.bottom, page.right + shadow, page.bottom + shadow};
    FillRect(dc, &right, brush);
    FillRect(dc, &below, brush);
    DeleteObject(brush);
  }
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(WHITE_BRUSH));
  Rectangle(dc, page.left, page.top, page.right, page.bottom);

  const Geometry g = PageGeometry();
  const int sx = ScreenPixelsPerInch(true), sy = ScreenPixelsPerInch(false);
  auto zx = [&](int printerPx) {
    return static_cast<int>(std::lround(double(printerPx) * zoomPercent_ * sx / g.ppiX / 100.0));
  };
  auto zy = [&](int printerPx) {
    return static_cast<int>(std::lround(double(printerPx) * zoomPercent_ * sy / g.ppiY / 100.0));
  };
  if (PageNumber() >= 1 && PageNumber() <= PageCount()) {
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, page.left + 1, page.top + 1, page.right - 1, page.bottom - 1);
    // The recorded page is in printer pixels from the printable origin; the mapping mode
    // scales it to the zoomed page, so text and lines keep their proportions.
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, g.ppiX * 100, g.ppiY * 100, nullptr);
    SetViewportExtEx(dc, sx * static_cast<int>(zoomPercent_), sy * static_cast<int>(zoomPercent_),
                     nullptr);
    SetViewportOrgEx(dc, page.left + zx(g.offsetX) + 1, page.top + zy(g.offsetY) + 1, nullptr);
    try {
      GdiCanvas canvas(dc);
      ReplayPage(PageNumber() - 1, canvas, g.printableWidth);
    } catch (const std::exception&) {
      // A source that can no longer be read shows a blank page here; printing reports it.
    }
    RestoreDC(dc, saved);
  }
  if (showMargins_) {
    HPEN dotted = CreatePen(PS_DOT, 1, RGB(192, 192, 192));
    SelectObject(dc, dotted);
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    SetBkMode(dc, TRANSPARENT);
    Rectangle(dc, page.left + zx(XPixels(MarginLeft())), page.top + zy(YPixels(MarginTop())),
              page.right - zx(XPixels(MarginRight())), page.bottom - zy(YPixels(MarginBottom())));
    SelectObject(dc, GetStockObject(BLACK_PEN));
    DeleteObject(dotted);
  }
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  BitBlt(target, 0, 0, w, h, dc, 0, 0, SRCCOPY);
  SelectObject(dc, oldBitmap);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

void TPagePrinter::ShowProgressStep(const std::string& message, unsigned page, unsigned first,
                                    unsigned last) {
  if (ShowProgress() && message != kFinishProgress) {
    if (!progress_)
      progress_ = std::make_unique<TPrintProgressDlg>(ShowCancel(), [this] { RequestCancel(); });
    progress_->SetCaption(Title());
    progress_->SetStatus(ProgressStatus(message));
    progress_->Step(ProgressMaximum(first, last, Copies()));
    progress_->SetPageText(ProgressPageLabel(page, first, last, Copies()));
    progress_->ShowAndRepaint();
  } else {
    progress_.reset();
  }
}

void TPagePrinter::PumpMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    TPrintProgressDlg* dlg = progress_.get();
    if (dlg && dlg->hwnd() && IsDialogMessageA(dlg->hwnd(), &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

bool TPagePrinter::LayoutProgress(unsigned page) {
  if (!preparing_) return true;
  const unsigned long now = GetTickCount();
  // Shown and the messages run some ten times a second: often enough for a painted window and
  // a Cancel that answers, rarely enough to cost nothing against the layout.
  if (progress_ && now - lastPrepareTick_ < kPrepareRepaintMs) return !CancelRequested();
  lastPrepareTick_ = now;
  if (!progress_)
    progress_ = std::make_unique<TPrintProgressDlg>(true, [this] { RequestCancel(); });
  progress_->SetCaption(Title());
  progress_->SetStatus("Preparing page " + std::to_string(page));
  progress_->SetPageText("");
  progress_->ShowAndRepaint();
  PumpMessages();
  return !CancelRequested();
}

bool TPagePrinter::Prepare(const std::function<void()>& write) {
  preparing_ = true;
  struct Done {
    TPagePrinter* self;
    ~Done() {
      self->preparing_ = false;
      self->progress_.reset();
    }
  } done{this};
  BeginDoc();
  try {
    write();
  } catch (const ECancelPrinting&) {
    EndDoc();
    return false;
  }
  EndDoc();
  return !CancelRequested();
}

bool TPagePrinter::Print() {
  // Whatever happens, the cursor the caller showed comes back.
  HCURSOR cursor = GetCursor();
  struct CursorBack {
    HCURSOR c;
    ~CursorBack() { SetCursor(c); }
  } back{cursor};
  SpoolJob job(*this);
  return PrintPages(job);
}

}  // namespace vt9::win
