// The page printer's preview window and its progress dialog under Wine: geometry from the
// form's table, the label texts while a real job prints, the zoomed page with its scroll
// ranges, and a layout of 100,000 lines previewed with hardly any GDI handles left.
#include <windows.h>
// The progress bar messages need <windows.h> first.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "printing/win/page_printer.h"
#include "printing/win/print_progress.h"
#include "printing/win/system_printer.h"
#include "support/win/widget_host.h"

namespace vt9 {
namespace {

using win::TPagePrinter;
using win::TPrintProgressDlg;

RECT ClientRectIn(HWND child, HWND parent) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::string Text(HWND w) {
  char buf[256] = {};
  GetWindowTextA(w, buf, sizeof buf);
  return buf;
}

TEST(PrintProgressDialog, FollowsTheFormTableAndCancelRunsTheCancelRequest) {
  int cancels = 0;
  TPrintProgressDlg dlg(true, [&] { ++cancels; });
  ASSERT_NE(dlg.hwnd(), nullptr);
  RECT client;
  GetClientRect(dlg.hwnd(), &client);
  EXPECT_EQ(client.right, 293);
  EXPECT_EQ(client.bottom, 133);
  const RECT cancel = ClientRectIn(dlg.btnCancel(), dlg.hwnd());
  EXPECT_EQ(cancel.left, 109);
  EXPECT_EQ(cancel.top, 100);
  EXPECT_EQ(cancel.right - cancel.left, 75);
  EXPECT_EQ(cancel.bottom - cancel.top, 25);
  EXPECT_EQ(ClientRectIn(dlg.lblPageNumber(), dlg.hwnd()).top, 40);
  EXPECT_EQ(ClientRectIn(dlg.ProgBar(), dlg.hwnd()).top, 76);
  EXPECT_EQ(Text(dlg.btnCancel()), "&Cancel");

  dlg.SetCaption("Backup log");
  dlg.SetStatus("Sending Pages To Printer");
  dlg.SetPageText("Page 2 of 5 x 3 Copies");
  for (int i = 0; i < 7; ++i) dlg.Step(15);
  EXPECT_EQ(SendMessageA(dlg.ProgBar(), PBM_GETPOS, 0, 0), 7);
  dlg.ShowAndRepaint();
  test::Pump(200, dlg.hwnd());
  test::SaveScreenshot("print_progress_dialog");
  dlg.Step(100000);  // beyond 65,535: the 32-bit range
  EXPECT_EQ(SendMessageA(dlg.ProgBar(), PBM_GETRANGE, FALSE, 0), 100000);

  SendMessageA(dlg.btnCancel(), BM_CLICK, 0, 0);
  EXPECT_EQ(cancels, 1);
  SetForegroundWindow(dlg.hwnd());
  SetFocus(dlg.btnCancel());
  test::PressKey(VK_ESCAPE);
  test::Pump(100, dlg.hwnd());
  EXPECT_EQ(cancels, 2);
}

TEST(PrintProgressDialog, WithoutCancelTheButtonRowIsCutOff) {
  TPrintProgressDlg dlg(false, [] {});
  RECT client;
  GetClientRect(dlg.hwnd(), &client);
  EXPECT_EQ(client.bottom, 98);
  EXPECT_FALSE(IsWindowVisible(dlg.btnCancel()));
  EXPECT_FALSE(IsWindowEnabled(dlg.btnCancel()));
}

// Every text set on any window of this thread while printing, and every maximum the progress
// bar was given.
std::vector<std::string>* g_texts = nullptr;
std::vector<LPARAM> g_barMaximums;
HHOOK g_hook = nullptr;
LRESULT CALLBACK RecordTexts(int code, WPARAM wParam, LPARAM lParam) {
  const auto* msg = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && msg->message == WM_SETTEXT && msg->lParam && g_texts)
    g_texts->push_back(reinterpret_cast<const char*>(msg->lParam));
  if (code == HC_ACTION && msg->message == PBM_SETRANGE32 && g_texts)
    g_barMaximums.push_back(msg->lParam);
  return CallNextHookEx(g_hook, code, wParam, lParam);
}

std::vector<std::string> PageLabelsWhilePrinting(TPagePrinter& pp) {
  std::vector<std::string> texts;
  g_barMaximums.clear();
  g_texts = &texts;
  g_hook = SetWindowsHookExA(WH_CALLWNDPROC, RecordTexts, nullptr, GetCurrentThreadId());
  EXPECT_TRUE(pp.Print());
  UnhookWindowsHookEx(g_hook);
  g_texts = nullptr;
  std::vector<std::string> pages;
  for (const auto& t : texts)
    if (t.rfind("Page ", 0) == 0) pages.push_back(t);
  return pages;
}

std::unique_ptr<TPagePrinter> FivePages() {
  auto pp = std::make_unique<TPagePrinter>(nullptr);
  pp->SetTitle("vt9pp-progress");
  pp->BeginDoc();
  for (int p = 1; p <= 5; ++p) {
    pp->WriteLn("page " + std::to_string(p));
    if (p < 5) pp->NewPage();
  }
  pp->EndDoc();
  return pp;
}

TEST(PrintProgressDialog, LabelsWhileARealJobPrints) {
  ASSERT_FALSE(win::Printer().Name().empty());
  auto pp = FivePages();
  EXPECT_EQ(PageLabelsWhilePrinting(*pp),
            (std::vector<std::string>{"Page 1 of 5", "Page 2 of 5", "Page 3 of 5", "Page 4 of 5",
                                      "Page 5 of 5"}));
  ASSERT_FALSE(g_barMaximums.empty());
  EXPECT_EQ(g_barMaximums.back(), 5) << "the bar runs over the five pages";
  EXPECT_EQ(pp->ProgressDialog(), nullptr);  // closed at the end
  pp->SetCopies(3);
  pp->SetFromPage(1);
  pp->SetToPage(2);
  std::vector<std::string> copies = PageLabelsWhilePrinting(*pp);
  ASSERT_EQ(copies.size(), 6u);
  EXPECT_EQ(copies[4], "Page 1 of 2 x 3 Copies");
  ASSERT_FALSE(g_barMaximums.empty());
  EXPECT_EQ(g_barMaximums.back(), 6) << "two pages, three copies";
  pp->SetCopies(1);
  pp->SetToPage(5);
  pp->SetFromPage(3);
  EXPECT_EQ(PageLabelsWhilePrinting(*pp), (std::vector<std::string>{"Page 3", "Page 4", "Page 5"}));
  pp->SetShowProgress(false);
  EXPECT_TRUE(PageLabelsWhilePrinting(*pp).empty());
}

TEST(PagePrinterPreview, ZoomedPageWithShadowScrollRangesAndPageChanges) {
  test::WidgetHost host;
  TPagePrinter pp(host.hwnd());
  ASSERT_NE(pp.Handle(), nullptr);
  MoveWindow(pp.Handle(), 0, 0, 400, 300, TRUE);
  ShowWindow(pp.Handle(), SW_SHOW);
  pp.SetFriendlyHeader("&cPreview of a log");
  pp.SetPageBorders({pbTop, pbBottom});
  pp.SetPageBorderOffset(0.065);
  pp.SetMarginLeft(0.5);
  pp.BeginDoc();
  for (int i = 1; i <= 150; ++i)
    pp.WriteLn("Line " + std::to_string(i) + "\tcopied C:\\Data\\file.txt");
  pp.EndDoc();
  ASSERT_EQ(pp.PageCount(), 2u);
  EXPECT_EQ(pp.PageNumber(), 1u);
  pp.SetZoomPercent(50);
  pp.SetZoomLocation(zlTopCenter);
  test::Pump(200, host.hwnd());

  const TPageLayout::Geometry g = pp.PageGeometry();
  const int zoomedWidth = static_cast<int>(std::lround(g.pageWidth * 50.0 * 96 / g.ppiX / 100));
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_ALL;
  GetScrollInfo(pp.Handle(), SB_HORZ, &si);
  EXPECT_EQ(si.nMax + 1, zoomedWidth + 2 * 5 + 2);
  // Centred horizontally: half of the largest position.
  EXPECT_EQ(si.nPos, (si.nMax - static_cast<int>(si.nPage) + 1) / 2);
  GetScrollInfo(pp.Handle(), SB_VERT, &si);
  EXPECT_EQ(si.nPos, 0);  // and at the top
  // The keyboard scrolls: a screen down, then to the bottom and back to the top.
  SendMessageA(pp.Handle(), WM_KEYDOWN, VK_NEXT, 0);
  EXPECT_EQ(GetScrollPos(pp.Handle(), SB_VERT), static_cast<int>(si.nPage));
  SendMessageA(pp.Handle(), WM_KEYDOWN, VK_END, 0);
  EXPECT_EQ(GetScrollPos(pp.Handle(), SB_VERT), si.nMax - static_cast<int>(si.nPage) + 1);
  SendMessageA(pp.Handle(), WM_KEYDOWN, VK_HOME, 0);
  EXPECT_EQ(GetScrollPos(pp.Handle(), SB_VERT), 0);
  UpdateWindow(pp.Handle());
  test::SaveScreenshot("page_printer_preview_50");

  // Small enough to fit: the page is white with text on it; the shadow lies right of it.
  pp.SetZoomPercent(20);
  UpdateWindow(pp.Handle());
  const RECT page = pp.PreviewPageRect();
  HDC dc = GetDC(pp.Handle());
  // The first text line's band only (not the header or the border above it): from the top of
  // the text area one line height down, from the left margin.
  auto z = [&](int v, int ppi) { return static_cast<int>(std::lround(v * 20.0 * 96 / ppi / 100)); };
  const int lineTop = page.top + 1 + z(g.offsetY + g.top, g.ppiY);
  const int lineBottom = page.top + 1 + z(g.offsetY + g.top + pp.LineHeight(), g.ppiY);
  const int lineLeft = page.left + 1 + z(g.offsetX + g.left, g.ppiX);
  int dark = 0;
  for (int y = lineTop; y < lineBottom; ++y)
    for (int x = lineLeft; x < lineLeft + 60; ++x)
      if (GetRValue(GetPixel(dc, x, y)) < 250) ++dark;
  EXPECT_GT(dark, 5) << "the first line of text";
  EXPECT_EQ(GetPixel(dc, page.left + 3, page.bottom - 3), RGB(255, 255, 255));
  ReleaseDC(pp.Handle(), dc);
  test::SaveScreenshot("page_printer_preview_20");
  dc = GetDC(pp.Handle());
  EXPECT_EQ(GetPixel(dc, page.right + 2, page.top + 50), GetSysColor(COLOR_BTNSHADOW));
  ReleaseDC(pp.Handle(), dc);

  // Landscape goes to the printer and turns the page in the preview.
  pp.SetOrientation(poLandscape);
  EXPECT_EQ(pp.Orientation(), poLandscape);
  EXPECT_EQ(pp.PageGeometry().pageWidth, g.pageHeight);
  pp.SetOrientation(poPortrait);
  EXPECT_EQ(pp.PageGeometry().pageWidth, g.pageWidth);

  pp.SetPageNumber(2);
  EXPECT_EQ(pp.PageNumber(), 2u);
  EXPECT_THROW(pp.SetPageNumber(3), EPagePrinter);
  EXPECT_EQ(pp.PageNumber(), 2u);
}

TEST(PagePrinterPreview, SmallWheelStepsAddUpToAScroll) {
  test::WidgetHost host;
  TPagePrinter pp(host.hwnd());
  MoveWindow(pp.Handle(), 0, 0, 400, 300, TRUE);
  ShowWindow(pp.Handle(), SW_SHOW);
  pp.BeginDoc();
  pp.WriteLn("A page to scroll");
  pp.EndDoc();
  pp.SetZoomPercent(100);
  test::Pump(100, host.hwnd());
  auto wheel = [&](int delta) {
    SendMessageA(pp.Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)), 0);
    return GetScrollPos(pp.Handle(), SB_VERT);
  };
  ASSERT_EQ(GetScrollPos(pp.Handle(), SB_VERT), 0);
  const int notch = wheel(-WHEEL_DELTA);
  ASSERT_GT(notch, 0) << "a notch down scrolls";
  wheel(WHEEL_DELTA);
  ASSERT_EQ(GetScrollPos(pp.Handle(), SB_VERT), 0);
  // A touch pad's quarter notches: nothing until they make a notch, then as much as a notch.
  EXPECT_EQ(wheel(-WHEEL_DELTA / 4), 0);
  EXPECT_EQ(wheel(-WHEEL_DELTA / 4), 0);
  EXPECT_EQ(wheel(-WHEEL_DELTA / 4), 0);
  EXPECT_EQ(wheel(-WHEEL_DELTA / 4), notch);
  // What is left of a step counts towards the next one.
  EXPECT_EQ(wheel(-WHEEL_DELTA * 3 / 4), notch);
  EXPECT_EQ(wheel(-WHEEL_DELTA / 2), 2 * notch);
}

TEST(PagePrinterPreview, EachPagePrinterKeepsThePrinterSettingsItWasMadeWith) {
  ASSERT_FALSE(win::Printer().Name().empty());
  TPagePrinter first(nullptr);
  const int portraitWidth = first.PageGeometry().pageWidth;
  first.SetOrientation(poLandscape);
  const TPageLayout::Geometry turned = first.PageGeometry();
  ASSERT_NE(turned.pageWidth, portraitWidth);
  // A second page printer starts from the default printer's own settings...
  TPagePrinter second(nullptr);
  EXPECT_EQ(second.PageGeometry().pageWidth, portraitWidth);
  // ...and leaves the first one's alone.
  EXPECT_EQ(first.Orientation(), poLandscape);
  EXPECT_EQ(first.PageGeometry().pageWidth, turned.pageWidth);
  EXPECT_EQ(first.PageGeometry().pageHeight, turned.pageHeight);
}

TEST(PagePrinterPreview, TakesAWindowFontBySizeInPoints) {
  TPagePrinter pp(nullptr);
  HFONT font =
      CreateFontA(-16, 0, 0, 0, FW_BOLD, TRUE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Arial");
  pp.SetFont(font);
  DeleteObject(font);
  EXPECT_EQ(pp.Font().name, "Arial");
  EXPECT_EQ(pp.Font().size, 12);  // 16 pixels at 96 dpi
  EXPECT_EQ(pp.Font().style, unsigned(kFontBold | kFontItalic));
  EXPECT_EQ(pp.HeaderFont(), pp.Font());
  // A 12-point line is 12/72 inch apart at the printer's resolution (50 pixels at 300 dpi).
  EXPECT_EQ(pp.LineHeight(), MulDiv(12, pp.PixelsPerInchY(), 72));
}

// Line i of a log of `count` lines, made up when read.
class NumberedLines : public LineSource {
 public:
  explicit NumberedLines(std::uint64_t count) : count_(count) {}
  std::uint64_t LineCount() override { return count_; }
  bool ReadLine(std::uint64_t index, std::string& line) override {
    line = "Line " + std::to_string(index + 1) + "\tcopied C:\\Data\\file.txt";
    return index < count_;
  }

 private:
  std::uint64_t count_;
};

// The preview window's pixels, copied in one blit (reading them one by one from the window is
// far too slow for a thousand pages).
class WindowPixels {
 public:
  WindowPixels(HWND window, int width, int height) : window_(window), w_(width), h_(height) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ =
        CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
  }
  ~WindowPixels() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  bool Ok() const { return bits_ != nullptr; }
  void Capture() {
    HDC screen = GetDC(window_);
    BitBlt(dc_, 0, 0, w_, h_, screen, 0, 0, SRCCOPY);
    ReleaseDC(window_, screen);
    GdiFlush();
  }
  // Pixels darker than the page's white (text at 40 % is grey) within [left, right) x [top,
  // bottom).
  int Dark(int left, int top, int right, int bottom) const {
    int n = 0;
    for (int y = std::max(0, top); y < std::min(h_, bottom); ++y)
      for (int x = std::max(0, left); x < std::min(w_, right); ++x)
        if ((bits_[y * w_ + x] & 0xFF) < 240) ++n;
    return n;
  }

 private:
  HWND window_;
  int w_, h_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  std::uint32_t* bits_ = nullptr;
};

TEST(PagePrinterPreview, AHundredThousandLinesPreviewWithFiveHundredHandlesLeft) {
  test::WidgetHost host;
  // Fill the process's GDI handle table until only 500 handles are left; the layout and the
  // preview of the whole log must make do with them.
  std::vector<HBRUSH> filler;
  for (;;) {
    HBRUSH b = CreateSolidBrush(RGB(1, 2, 3));
    if (!b) break;
    filler.push_back(b);
    if (filler.size() > 200000) break;
  }
  ASSERT_LT(filler.size(), 200000u) << "the handle table never filled up";
  std::printf("GDI handles available to the process: %zu\n", filler.size());
  for (int i = 0; i < 500 && !filler.empty(); ++i) {
    DeleteObject(filler.back());
    filler.pop_back();
  }
  {
    // A whole page at 40 %, where a line of 10-point text is some five pixels high.
    RECT frame{0, 0, 420, 560};
    AdjustWindowRect(&frame, GetWindowLongA(host.hwnd(), GWL_STYLE), FALSE);
    SetWindowPos(host.hwnd(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    TPagePrinter pp(host.hwnd());
    MoveWindow(pp.Handle(), 0, 0, 420, 560, TRUE);
    ShowWindow(pp.Handle(), SW_SHOW);
    pp.SetFont(TPrintFont{"Courier New", 10, 0, kColorBlack});
    pp.SetZoomPercent(40);
    pp.SetFriendlyHeader("&cBig log");
    pp.SetPageBorders({pbTop, pbBottom});
    pp.SetPageBorderOffset(0.065);  // as the viewer prints: the borders clear of the text
    pp.SetShowMargins(false);
    NumberedLines lines(100000);
    pp.BeginDoc();
    pp.WriteLines(lines);
    pp.EndDoc();
    const unsigned pages = pp.PageCount();
    ASSERT_GT(pages, 1000u);

    // Where the layout puts things, in printer pixels from the printable origin: the header
    // above the top border, line k of a page at top + k x line height; a line's text about
    // 37 characters of Courier New wide.
    const TPageLayout::Geometry g = pp.PageGeometry();
    const int lh = pp.LineHeight();
    int perPage = 1;
    while ((perPage + 1) * lh < g.textHeight) ++perPage;
    const unsigned lastCount = 100000 - (pages - 1) * perPage;
    ASSERT_GE(lastCount, 1u);
    ASSERT_LE(lastCount, unsigned(perPage)) << "every page but the last is full";
    const int charWidth = MulDiv(10, g.ppiX, 72) * 6 / 10;  // Courier: 0.6 em
    const int textWidth = 37 * charWidth;
    HDC screen = GetDC(nullptr);
    const int sx = GetDeviceCaps(screen, LOGPIXELSX), sy = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    auto zx = [&](int v) {
      return static_cast<int>(std::lround(double(v) * 40 * sx / g.ppiX / 100));
    };
    auto zy = [&](int v) {
      return static_cast<int>(std::lround(double(v) * 40 * sy / g.ppiY / 100));
    };
    RECT client;
    GetClientRect(pp.Handle(), &client);
    WindowPixels pixels(pp.Handle(), client.right, client.bottom);
    ASSERT_TRUE(pixels.Ok());
    unsigned checked = 0;
    for (unsigned n = 0; n < 1000; ++n) {
      // Pages from all over the log, the first and the last among them.
      const unsigned page =
          n == 999 ? pages : 1 + static_cast<unsigned>(std::uint64_t(n) * pages / 1000);
      pp.SetPageNumber(page);
      UpdateWindow(pp.Handle());
      pixels.Capture();
      if (n == 0) test::SaveScreenshot("page_printer_preview_100k_lines");
      const RECT r = pp.PreviewPageRect();
      const int ox = r.left + zx(g.offsetX) + 1, oy = r.top + zy(g.offsetY) + 1;
      const int left = ox + zx(g.left), right = ox + zx(g.left + g.textWidth) - 2;
      const int centre = (left + right) / 2;
      // The header: centred above the text, nothing at its left.
      const int headerBottom = oy + zy(g.top - MulDiv(65, g.ppiY, 1000)) - 1;
      ASSERT_GT(pixels.Dark(centre - zx(300), r.top + 1, centre + zx(300), headerBottom), 3)
          << "header of page " << page;
      ASSERT_EQ(pixels.Dark(left, r.top + 1, centre - zx(400), headerBottom), 0)
          << "header of page " << page;
      // The first and the last line: text from the left edge, nothing after its end.
      const unsigned count = page == pages ? lastCount : perPage;
      for (unsigned k : {0u, count - 1}) {
        const int top = oy + zy(g.top + int(k) * lh), bottom = oy + zy(g.top + int(k + 1) * lh);
        ASSERT_GT(pixels.Dark(left, top, left + zx(textWidth / 2), bottom), 3)
            << "line " << k + 1 << " of page " << page;
        ASSERT_EQ(pixels.Dark(left + zx(textWidth + 4 * charWidth), top, right, bottom), 0)
            << "line " << k + 1 << " of page " << page;
      }
      // And nothing below the last line, above the bottom border.
      const int below = oy + zy(g.top + int(count) * lh) + 1;
      ASSERT_EQ(pixels.Dark(left, below, right, oy + zy(g.top + g.textHeight) - 1), 0)
          << "below the last line of page " << page;
      ++checked;
    }
    EXPECT_EQ(checked, 1000u);
    std::printf("GDI objects held by the process (GetGuiResources): %lu\n",
                GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
  }
  for (HBRUSH b : filler) DeleteObject(b);
}

}  // namespace
}  // namespace vt9
