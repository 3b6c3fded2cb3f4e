// What the check box, the panel and the information window paint, read back pixel by pixel:
// each control renders itself into a memory bitmap (WM_PRINTCLIENT) and the test checks the
// points its layout defines. Colours are compared with a small tolerance (the platform may
// round a gradient band or a mixed colour); positions exactly.
#include <windows.h>
// (kept after windows.h, which it needs)
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/win/info_window.h"
#include "markup/picture.h"
#include "markup/win/gdi_canvas.h"
#include "support/win/report_watcher.h"
#include "support/win/widget_host.h"
#include "widgets/win/control_support.h"
#include "widgets/win/markup_check_box.h"
#include "widgets/win/markup_panel.h"

namespace vt9::test {
namespace {

using namespace vt9::win;

constexpr COLORREF kBlue = RGB(0, 0, 255);      // left half of RES://TWOCOLOURS
constexpr COLORREF kOrange = RGB(255, 128, 0);  // its right half
constexpr COLORREF kWhite = RGB(255, 255, 255);

// A control's client area as it paints itself.
class Capture {
 public:
  explicit Capture(HWND control) {
    RECT rc;
    GetClientRect(control, &rc);
    w_ = rc.right;
    h_ = rc.bottom;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = w_;
    info.bmiHeader.biHeight = -h_;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all{0, 0, w_, h_};
    HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));  // what nobody paints
    FillRect(dc, &all, magenta);
    DeleteObject(magenta);
    SendMessageA(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    GdiFlush();
    const auto* px = static_cast<const std::uint32_t*>(bits);
    pixels_.assign(px, px + static_cast<std::size_t>(w_) * h_);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  int w() const { return w_; }
  int h() const { return h_; }
  COLORREF At(int x, int y) const {
    const std::uint32_t p = pixels_.at(static_cast<std::size_t>(y) * w_ + x);
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }

 private:
  int w_ = 0, h_ = 0;
  std::vector<std::uint32_t> pixels_;
};

bool Near(COLORREF a, COLORREF b, int tolerance = 6) {
  return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
         std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
         std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

std::string Hex(COLORREF c) {
  char text[16];
  wsprintfA(text, "#%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
  return text;
}

#define EXPECT_PIXEL(capture, x, y, colour, ...)                                         \
  EXPECT_TRUE(Near((capture).At(x, y), colour __VA_OPT__(, ) __VA_ARGS__))               \
      << "(" << (x) << "," << (y) << ") is " << Hex((capture).At(x, y)) << ", expected " \
      << Hex(colour)

COLORREF Mix(COLORREF a, COLORREF b, int percent) {
  auto m = [&](int x, int y) { return (x * percent + y * (100 - percent)) / 100; };
  return RGB(m(GetRValue(a), GetRValue(b)), m(GetGValue(a), GetGValue(b)),
             m(GetBValue(a), GetBValue(b)));
}

// A font without anti-aliasing, so every text pixel is exactly the text colour.
class CrispFont {
 public:
  explicit CrispFont(int height = -11)
      : font_(CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                          OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                          DEFAULT_PITCH | FF_DONTCARE, "Tahoma")) {}
  ~CrispFont() { DeleteObject(font_); }
  HFONT get() const { return font_; }

 private:
  HFONT font_;
};

// An image list of one 16 x 16 image in one colour.
HIMAGELIST SolidImageList(COLORREF colour) {
  HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR24, 1, 0);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 16);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all{0, 0, 16, 16};
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &all, brush);
  DeleteObject(brush);
  SelectObject(dc, old);
  DeleteDC(dc);
  ImageList_Add(list, bitmap, nullptr);
  DeleteObject(bitmap);
  return list;
}

class PanelPixels : public ::testing::Test {
 protected:
  HWND Panel(int w, int h, const MarkupPanelStyle& style, const std::string& text = "") {
    HWND panel = CreateMarkupPanel(host.hwnd(), 10, RECT{0, 0, w, h});
    SetMarkupPanelStyle(panel, style);
    SetMarkupPanelText(panel, text);
    return panel;
  }
  static MarkupPanelStyle Plain(Color color) {
    MarkupPanelStyle s;
    s.color = color;
    s.bevelOuter = PanelBevel::None;
    return s;
  }
  WidgetHost host;
};

TEST_F(PanelPixels, BackgroundAndBorderLine) {
  MarkupPanelStyle s = Plain(0xC0DCC0);
  s.borderColor = 0x0000FF;  // red
  s.borderWidth = 8;
  const Capture c(Panel(120, 80, s));
  const COLORREF back = RGB(0xC0, 0xDC, 0xC0);
  const COLORREF red = RGB(255, 0, 0);
  for (auto [x, y] : {std::pair{0, 40}, {119, 40}, {60, 0}, {60, 79}, {0, 0}, {119, 79}})
    EXPECT_PIXEL(c, x, y, red);
  // One pixel wide, the inside not filled.
  for (auto [x, y] : {std::pair{1, 40}, {118, 40}, {60, 1}, {60, 78}, {60, 40}, {8, 8}})
    EXPECT_PIXEL(c, x, y, back);

  // Without a border width there is no line at all.
  s.borderWidth = 0;
  const Capture none(Panel(120, 80, s));
  EXPECT_PIXEL(none, 0, 40, back);
  EXPECT_PIXEL(none, 60, 79, back);
}

TEST_F(PanelPixels, BorderShadowIsTwoLinesOutsideAShortenedOutline) {
  MarkupPanelStyle s = Plain(0xFFFFFF);
  s.borderColor = 0x000000;
  s.borderWidth = 2;
  s.borderShadow = true;
  const Capture c(Panel(120, 80, s));
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const COLORREF half = Mix(RGB(0, 0, 0), face, 50);
  const COLORREF fifth = Mix(RGB(0, 0, 0), face, 20);
  // The outline ends 2 pixels short at the right and the bottom.
  EXPECT_PIXEL(c, 117, 40, RGB(0, 0, 0));
  EXPECT_PIXEL(c, 60, 77, RGB(0, 0, 0));
  EXPECT_PIXEL(c, 116, 40, kWhite);
  // First shadow line right beside it, the second one further out.
  EXPECT_PIXEL(c, 118, 40, half);
  EXPECT_PIXEL(c, 60, 78, half);
  EXPECT_PIXEL(c, 119, 40, fifth);
  EXPECT_PIXEL(c, 60, 79, fifth);
  // The lines start below the top and right of the left edge: the corners stay background.
  EXPECT_PIXEL(c, 118, 1, kWhite);
  EXPECT_PIXEL(c, 119, 2, kWhite);
  EXPECT_PIXEL(c, 1, 79, kWhite);
  EXPECT_PIXEL(c, 118, 2, half);
  EXPECT_PIXEL(c, 119, 3, fifth);
}

TEST_F(PanelPixels, GradientRunsFromColorToColorTo) {
  MarkupPanelStyle s = Plain(0x0000FF);  // red
  s.colorTo = 0xFF0000;                  // blue
  const Capture vertical(Panel(128, 128, s));
  EXPECT_PIXEL(vertical, 64, 0, RGB(255, 0, 0), 8);
  EXPECT_PIXEL(vertical, 64, 127, RGB(0, 0, 255), 8);
  EXPECT_PIXEL(vertical, 0, 64, RGB(128, 0, 128), 12);
  EXPECT_PIXEL(vertical, 127, 0, RGB(255, 0, 0), 8);  // constant along each band
  s.gradientHorizontal = true;
  const Capture horizontal(Panel(128, 128, s));
  EXPECT_PIXEL(horizontal, 0, 64, RGB(255, 0, 0), 8);
  EXPECT_PIXEL(horizontal, 127, 64, RGB(0, 0, 255), 8);
  EXPECT_PIXEL(horizontal, 64, 127, RGB(128, 0, 128), 12);
}

// The text block is one RES:// picture of 24 x 16 (left half blue, right half orange) in a
// small font, so it is 16 high and the measured block 18; the line starts at left + 1.
TEST_F(PanelPixels, TextBlockAtTopCentreAndBottom) {
  struct Case {
    VertLayout align;
    int top;
  } cases[] = {
      {VertLayout::Top, 0}, {VertLayout::Center, (100 - 18) / 2}, {VertLayout::Bottom, 82}};
  for (const Case& k : cases) {
    MarkupPanelStyle s = Plain(0xFFFFFF);
    s.textVAlign = k.align;
    HWND panel = Panel(100, 100, s, "<IMG src=\"RES://TWOCOLOURS\">");
    SetMarkupPanelFont(panel, FontSpec{"Tahoma", -6, 0});
    const Capture c(panel);
    const int t = k.top;
    SCOPED_TRACE(t);
    EXPECT_PIXEL(c, 1, t, kBlue);
    EXPECT_PIXEL(c, 12, t + 15, kBlue);
    EXPECT_PIXEL(c, 13, t, kOrange);
    EXPECT_PIXEL(c, 24, t + 15, kOrange);
    EXPECT_PIXEL(c, 0, t + 8, kWhite);
    EXPECT_PIXEL(c, 25, t + 8, kWhite);
    if (t > 0) {
      EXPECT_PIXEL(c, 5, t - 1, kWhite);
    }
    EXPECT_PIXEL(c, 5, t + 16, kWhite);
    DestroyWindow(panel);
  }
}

// The panel's Images and PictureContainer: an image-list entry and a named picture side by
// side from the line start (1, 0).
TEST_F(PanelPixels, ImagesFromTheImageListAndThePictureContainer) {
  const COLORREF green = RGB(0, 200, 0);
  GdiImageList images(SolidImageList(green), true);
  OlePictureLoader loader;
  PictureContainer container(&loader);
  container.Add("Logo").picture.LoadFromSource("RES://TWOCOLOURS");
  HWND panel = Panel(100, 40, Plain(0xFFFFFF), "<IMG src=\"IDX:0\"><IMG src=\"Logo\">");
  SetMarkupPanelFont(panel, FontSpec{"Tahoma", -6, 0});
  const Capture before(panel);
  EXPECT_PIXEL(before, 1, 0, kWhite);  // no sources: nothing to draw
  SetMarkupPanelImages(panel, &images);
  SetMarkupPanelPictureContainer(panel, &container);
  const Capture c(panel);
  EXPECT_PIXEL(c, 0, 8, kWhite);
  EXPECT_PIXEL(c, 1, 0, green);
  EXPECT_PIXEL(c, 16, 15, green);
  EXPECT_PIXEL(c, 17, 0, kBlue);
  EXPECT_PIXEL(c, 29, 15, kOrange);
  EXPECT_PIXEL(c, 40, 15, kOrange);
  EXPECT_PIXEL(c, 41, 8, kWhite);
  EXPECT_PIXEL(c, 8, 16, kWhite);
}

// A picture that cannot be decoded: the text paints without it, and the standard error report
// comes once, not again on the next paints.
TEST_F(PanelPixels, UndecodablePictureIsReportedOnceAndTheTextStillPaints) {
  ReportWatcher watcher;
  HWND panel =
      Panel(200, 40, Plain(0xFFFFFF), "<B>Before</B><IMG src=\"RES://BROKENPICTURE\"><B>After</B>");
  SetMarkupPanelFont(panel, FontSpec{"Tahoma", -11, 0});
  for (int paint = 0; paint < 3; ++paint) {
    const Capture c(panel);
    int dark = 0;
    for (int y = 0; y < c.h(); ++y)
      for (int x = 0; x < c.w(); ++x) dark += Near(c.At(x, y), RGB(0, 0, 0), 60) ? 1 : 0;
    EXPECT_GT(dark, 20) << "the text is painted";
    InvalidateRect(panel, nullptr, FALSE);
    Pump(300);
  }
  Pump(300);
  const std::vector<std::string> seen = watcher.Seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_NE(seen[0].find("Could not load image. Invalid format"), std::string::npos) << seen[0];
}

class CheckBoxPixels : public ::testing::Test {
 protected:
  HWND Box(const std::string& caption, MarkupCheckBoxStyle style, int w = 160, int h = 40) {
    HWND box = CreateMarkupCheckBox(host.hwnd(), 20, RECT{0, 0, w, h}, caption);
    SendMessageA(box, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    SetMarkupCheckBoxStyle(box, style);
    return box;
  }
  static MarkupCheckBoxStyle Raised(Color background) {
    MarkupCheckBoxStyle s;
    s.buttonType = CheckButtonType::Raised;
    s.color = background;
    s.fontColor = 0x000000;
    s.checkColor = 0x000000;
    return s;
  }
  WidgetHost host;
  CrispFont font;
};

// btRaised: a 12 x 12 square at (1, 4), raised, with a tick of two double lines when checked.
TEST_F(CheckBoxPixels, RaisedMarkUncheckedAndChecked) {
  const COLORREF yellow = RGB(255, 255, 0);
  HWND box = Box("x", Raised(0x00FFFF));
  const Capture off(box);
  SetMarkupCheckBoxChecked(box, true);
  const Capture on(box);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  for (const Capture* c : {&off, &on}) {
    EXPECT_PIXEL(*c, 0, 4, yellow);
    EXPECT_PIXEL(*c, 13, 10, yellow);
    EXPECT_PIXEL(*c, 5, 3, yellow);
    EXPECT_PIXEL(*c, 5, 16, yellow);
    EXPECT_PIXEL(*c, 1, 4, GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_PIXEL(*c, 12, 15, GetSysColor(COLOR_BTNSHADOW));
  }
  // The tick: down from (4, 9) to (6, 11), then up to the right to (11, 6); two pixels thick.
  for (auto [x, y] : {std::pair{4, 9}, {4, 10}, {5, 10}, {6, 11}, {6, 12}, {8, 9}, {10, 7}}) {
    EXPECT_PIXEL(on, x, y, RGB(0, 0, 0));
    EXPECT_PIXEL(off, x, y, face);
  }
  EXPECT_PIXEL(on, 3, 5, face);
  EXPECT_PIXEL(on, 9, 12, face);
}

// The pixels of a bitmap resource of this program, top-down, as COLORREFs.
std::vector<std::vector<COLORREF>> BitmapPixels(const char* name) {
  std::vector<std::vector<COLORREF>> rows;
  HBITMAP bitmap = static_cast<HBITMAP>(
      LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!bitmap) return rows;
  BITMAP info{};
  GetObjectA(bitmap, sizeof info, &info);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  for (int y = 0; y < info.bmHeight; ++y) {
    rows.emplace_back();
    for (int x = 0; x < info.bmWidth; ++x) rows.back().push_back(GetPixel(dc, x, y));
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(bitmap);
  return rows;
}

// Compares the mark area of a capture with a picture drawn transparently (magenta) at (x0, y0).
void ExpectPicture(const Capture& c, const char* name, int x0, int y0, COLORREF back) {
  const auto picture = BitmapPixels(name);
  ASSERT_FALSE(picture.empty()) << name;
  SCOPED_TRACE(name);
  for (int y = 0; y < static_cast<int>(picture.size()); ++y) {
    for (int x = 0; x < static_cast<int>(picture[y].size()); ++x) {
      const COLORREF expected = picture[y][x] == RGB(255, 0, 255) ? back : picture[y][x];
      EXPECT_PIXEL(c, x0 + x, y0 + y, expected, 2);
    }
  }
}

// btBitmap: the pictures CHKBMP01 (checked) and CHKBMP02 (unchecked) at (0, 0), transparent
// where they are magenta; the caption starts 22 pixels from the left, its line at 23.
TEST_F(CheckBoxPixels, BitmapMarkIsItsPictureAndTheCaptionStartsAt22) {
  const COLORREF back = RGB(0, 255, 255);
  MarkupCheckBoxStyle style = Raised(0xFFFF00);
  style.buttonType = CheckButtonType::Bitmap;
  HWND box = Box("<IMG src=\"RES://TWOCOLOURS\">", style);
  for (bool checked : {true, false}) {
    SetMarkupCheckBoxChecked(box, checked);
    const Capture c(box);
    ExpectPicture(c, checked ? "CHKBMP01" : "CHKBMP02", 0, 0, back);
    EXPECT_PIXEL(c, 22, 10, back);
    EXPECT_PIXEL(c, 23, 4, kBlue);
    EXPECT_PIXEL(c, 46, 19, kOrange);
    EXPECT_PIXEL(c, 47, 10, back);
  }
  EXPECT_NE(BitmapPixels("CHKBMP01"), BitmapPixels("CHKBMP02"));
}

// btWinXP, the tool's check boxes: with visual styles, the theme's check box in the 14 x 14
// square at (0, 4) and the caption line at 18; without, CHKBMP05 / CHKBMP06 at (0, 2) and the
// caption line at 23.
TEST_F(CheckBoxPixels, XpMarkInItsSquareAndTheCaptionBesideIt) {
  const COLORREF back = RGB(0, 255, 255);
  MarkupCheckBoxStyle style = Raised(0xFFFF00);
  style.buttonType = CheckButtonType::WinXP;
  HWND box = Box("<IMG src=\"RES://TWOCOLOURS\">", style);
  const bool themed = ThemeLibrary::Instance().IsThemeActive();
  const int line = themed ? 18 : 23;
  for (bool checked : {true, false}) {
    SetMarkupCheckBoxChecked(box, checked);
    const Capture c(box);
    SCOPED_TRACE(checked ? "checked" : "unchecked");
    if (themed) {
      int mark = 0;
      for (int y = 0; y < c.h(); ++y) {
        for (int x = 0; x < line - 1; ++x) {
          if (Near(c.At(x, y), back, 2)) continue;
          EXPECT_TRUE(x < 14 && y >= 4 && y < 18)
              << "mark pixel outside its square: " << x << "," << y;
          ++mark;
        }
      }
      EXPECT_GT(mark, 20);
    } else {
      ExpectPicture(c, checked ? "CHKBMP05" : "CHKBMP06", 0, 2, back);
    }
    EXPECT_PIXEL(c, line - 1, 10, back);
    EXPECT_PIXEL(c, line, 4, kBlue);
    EXPECT_PIXEL(c, line + 23, 19, kOrange);
    EXPECT_PIXEL(c, line + 24, 10, back);
  }
  if (themed) {
    // The tick: the checked square has pixels the unchecked one lacks, or other colours.
    const Capture unchecked(box);
    SetMarkupCheckBoxChecked(box, true);
    const Capture checked(box);
    int differ = 0;
    for (int y = 4; y < 18; ++y)
      for (int x = 0; x < 14; ++x) differ += Near(checked.At(x, y), unchecked.At(x, y), 8) ? 0 : 1;
    EXPECT_GT(differ, 5);
  }
}

// Pixels of the caption that differ from the background, as (x, y).
std::set<std::pair<int, int>> Ink(const Capture& c, COLORREF background, int fromX) {
  std::set<std::pair<int, int>> ink;
  for (int y = 0; y < c.h(); ++y)
    for (int x = fromX; x < c.w(); ++x)
      if (!Near(c.At(x, y), background, 2)) ink.insert({x, y});
  return ink;
}

// Disabled: the caption once in white one pixel right and down, then in grey in place.
TEST_F(CheckBoxPixels, DisabledCaptionIsEngraved) {
  const COLORREF green = RGB(0, 160, 0);
  HWND box = Box("<B>Hm</B> engraved", Raised(0x00A000));
  const auto enabled = Ink(Capture(box), green, 17);
  ASSERT_GT(enabled.size(), 30u);
  EnableWindow(box, FALSE);
  const Capture disabled(box);
  for (auto [x, y] : enabled) EXPECT_PIXEL(disabled, x, y, RGB(0x80, 0x80, 0x80), 2);
  int white = 0;
  for (auto [x, y] : enabled) {
    if (enabled.count({x + 1, y + 1})) continue;
    EXPECT_PIXEL(disabled, x + 1, y + 1, kWhite, 2);
    ++white;
  }
  EXPECT_GT(white, 10);
  // Nothing else is drawn: every inked pixel is the text or its shadow.
  for (auto [x, y] : Ink(disabled, green, 17))
    EXPECT_TRUE(enabled.count({x, y}) || enabled.count({x - 1, y - 1})) << x << "," << y;
}

// Focused: a dotted rectangle from the caption's top-left (17, 4) to left + measured width + 3,
// top + measured height + 1.
TEST_F(CheckBoxPixels, FocusRectangleAroundTheCaption) {
  const std::string caption = "Focus <B>here</B>";
  HWND box = Box(caption, Raised(0xFFFFFF), 200, 40);
  const Capture unfocused(box);
  SendMessageA(host.hwnd(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
  SetFocus(box);
  Pump(100);
  ASSERT_EQ(GetFocus(), box);
  const Capture focused(box);

  // Where the rectangle must be, from the renderer's own measure of the caption.
  MarkupResult measure;
  {
    HDC dc = CreateCompatibleDC(nullptr);
    GdiCanvas canvas(dc);
    canvas.SetFont(FontSpecFromHandle(font.get(), 0));
    MarkupParams p;
    p.bounds = {17, 4, 200, 40};
    p.measureOnly = true;
    measure = RenderMarkup(canvas, caption, p);
    DeleteDC(dc);
  }
  const int left = 17, top = 4;
  const int right = left + measure.measuredWidth + 3;
  const int bottom = top + measure.measuredHeight + 1;
  ASSERT_LT(right, 200);
  ASSERT_LT(bottom, 40);
  auto dotted = [&](const Capture& c, int x0, int y0, int x1, int y1) {
    int marked = 0, count = 0;
    for (int x = x0; x <= x1; ++x)
      for (int y = y0; y <= y1; ++y, ++count) marked += Near(c.At(x, y), kWhite, 2) ? 0 : 1;
    return std::pair{marked, count};
  };
  // Its four sides are dotted: about every second pixel.
  for (auto [marked, count] : {dotted(focused, left, top, right - 1, top),
                               dotted(focused, left, bottom - 1, right - 1, bottom - 1),
                               dotted(focused, left, top, left, bottom - 1),
                               dotted(focused, right - 1, top, right - 1, bottom - 1)}) {
    EXPECT_GE(marked * 3, count) << marked << " of " << count;
  }
  // Just outside it, and without the focus, there is nothing.
  EXPECT_EQ(dotted(focused, left - 1, top, left - 1, bottom - 1).first, 0);
  EXPECT_EQ(dotted(focused, right, top, right, bottom - 1).first, 0);
  EXPECT_EQ(dotted(focused, left, top - 1, right - 1, top - 1).first, 0);
  EXPECT_EQ(dotted(focused, left, bottom, right - 1, bottom).first, 0);
  EXPECT_EQ(dotted(unfocused, left, top, left, bottom - 1).first, 0);
  EXPECT_EQ(dotted(unfocused, right - 1, top, right - 1, bottom - 1).first, 0);
}

// Images in the caption: the image list, the picture container and RES:// pictures all appear
// at the caption's line start (17 + 1, 4).
TEST_F(CheckBoxPixels, CaptionImagesFromEverySource) {
  const COLORREF green = RGB(0, 200, 0);
  GdiImageList images(SolidImageList(green), true);
  HWND box = Box("<IMG src=\"IDX:0\">", Raised(0xFFFFFF));
  SetMarkupCheckBoxImages(box, &images);
  const Capture idx(box);
  EXPECT_PIXEL(idx, 18, 4, green);
  EXPECT_PIXEL(idx, 33, 19, green);
  EXPECT_PIXEL(idx, 17, 10, kWhite);
  EXPECT_PIXEL(idx, 34, 10, kWhite);
  EXPECT_PIXEL(idx, 25, 20, kWhite);

  OlePictureLoader loader;
  PictureContainer container(&loader);
  container.Add("Logo").picture.LoadFromSource("RES://TWOCOLOURS");
  SetMarkupCheckBoxPictureContainer(box, &container);
  for (const char* caption : {"<IMG src=\"logo\">", "<IMG src=\"RES://TWOCOLOURS\">"}) {
    SetMarkupCheckBoxCaption(box, caption);
    const Capture c(box);
    SCOPED_TRACE(caption);
    EXPECT_PIXEL(c, 18, 4, kBlue);
    EXPECT_PIXEL(c, 29, 19, kBlue);
    EXPECT_PIXEL(c, 30, 4, kOrange);
    EXPECT_PIXEL(c, 41, 19, kOrange);
    EXPECT_PIXEL(c, 42, 10, kWhite);
    EXPECT_PIXEL(c, 17, 10, kWhite);
  }
  DestroyWindow(box);
}

// The information window in DEP mode: its message panel is pale yellow (red 255, green 255,
// blue 164) over the whole client area.
TEST(InfoWindowPixels, DepModePanelIsPaleYellow) {
  HWND window = CreateInformationWindow();
  ASSERT_NE(window, nullptr);
  SetDEPMode(window, true);
  HWND panel = GetDlgItem(window, kInfoPanelId);
  ASSERT_NE(panel, nullptr);
  const Capture c(panel);
  EXPECT_EQ(c.w(), 465);
  EXPECT_EQ(c.h(), 297);
  const COLORREF pale = RGB(255, 255, 164);
  for (auto [x, y] : {std::pair{0, 0}, {464, 0}, {0, 296}, {300, 296}, {232, 5}})
    EXPECT_PIXEL(c, x, y, pale, 2);
  DestroyWindow(window);
}

}  // namespace
}  // namespace vt9::test
