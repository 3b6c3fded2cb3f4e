// The GDI canvas and the markup renderer on real GDI (Wine): text metrics, bottom-aligned
// single-line output, clipping, ellipsis, opaque backgrounds, pictures decoded by
// OleLoadPicture, image lists, and the tool's own texts rendered to image artifacts.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>

#include "../../tools/markup-render/image_file.h"
#include "markup/picture.h"
#include "markup/render.h"
#include "markup/win/gdi_canvas.h"
#include "support/gif_maker.h"
#include "support/win/paths.h"
#include "vt9_texts.h"

namespace vt9::win {
namespace {

// The information text shown when DEP blocks the main program.
const std::string kDepText =
    "<br><br><br><br><P align=\"center\">Windows <B>Data Execution Prevention</B> setting "
    "conflict detected.<br><br>This machine appears to have <B>Data Execution Prevention</B> "
    "enabled.<br>The DEP settings must be altered to allow <B>Marrowind Plus 6</B> to operate "
    "properly.<br><br>See our KB article:  <A href=\"https://www.corvane.com/kb/dep\">"
    "https://www.corvane.com/kb/dep</A> for more details.</P>";

// A 32-bit top-down DIB selected into a memory DC, filled with one colour.
class Surface {
 public:
  Surface(int w, int h, COLORREF fill = RGB(255, 255, 255)) : w_(w), h_(h) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    dc_ = CreateCompatibleDC(nullptr);
    bmp_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    old_ = SelectObject(dc_, bmp_);
    RECT r{0, 0, w, h};
    HBRUSH b = CreateSolidBrush(fill);
    FillRect(dc_, &r, b);
    DeleteObject(b);
  }
  ~Surface() {
    SelectObject(dc_, old_);
    DeleteObject(bmp_);
    DeleteDC(dc_);
  }
  HDC dc() const { return dc_; }
  COLORREF At(int x, int y) const {
    GdiFlush();
    DWORD p = bits_[y * w_ + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  // Bounding box of the pixels for which `match` holds; empty (left > right) when none.
  RECT Find(const std::function<bool(COLORREF)>& match) const {
    RECT box{w_, h_, -1, -1};
    for (int y = 0; y < h_; ++y) {
      for (int x = 0; x < w_; ++x) {
        if (!match(At(x, y))) continue;
        box.left = std::min<LONG>(box.left, x);
        box.top = std::min<LONG>(box.top, y);
        box.right = std::max<LONG>(box.right, x);
        box.bottom = std::max<LONG>(box.bottom, y);
      }
    }
    return box;
  }
  void Save(const std::string& name) const {
    tools::RgbImage img;
    img.width = w_;
    img.height = h_;
    for (int y = 0; y < h_; ++y) {
      for (int x = 0; x < w_; ++x) {
        COLORREF c = At(x, y);
        img.rgb.push_back(GetRValue(c));
        img.rgb.push_back(GetGValue(c));
        img.rgb.push_back(GetBValue(c));
      }
    }
    ASSERT_TRUE(tools::SaveImage(test::ArtifactFolder() + name, img));
  }

 private:
  int w_, h_;
  HDC dc_;
  HBITMAP bmp_;
  HGDIOBJ old_;
  DWORD* bits_ = nullptr;
};

bool Dark(COLORREF c) { return GetRValue(c) < 128 && GetGValue(c) < 128 && GetBValue(c) < 128; }
bool Empty(const RECT& r) { return r.left > r.right; }

FontSpec Tahoma() {
  FontSpec f;
  f.name = "Tahoma";
  f.height = -11;
  return f;
}

TEST(GdiCanvas, MeasuresRunsAsTheyAreDrawnAndRestoresTheDc) {
  Surface s(200, 50);
  HGDIOBJ before = GetCurrentObject(s.dc(), OBJ_FONT);
  {
    GdiCanvas canvas(s.dc());
    canvas.SetFont(Tahoma());
    EXPECT_EQ(canvas.PixelsPerInch(), GetDeviceCaps(s.dc(), LOGPIXELSY));
    const Size plain = canvas.TextExtent("Hello ");
    EXPECT_GT(plain.cx, canvas.TextExtent("Hello").cx);  // the trailing blank counts
    EXPECT_GE(plain.cy, 11);
    const Size measured = canvas.MeasureText("Hello ", TextFlags{});
    EXPECT_EQ(measured.cx, plain.cx);
    TEXTMETRICA tm{};
    GetTextMetricsA(s.dc(), &tm);
    EXPECT_EQ(measured.cy, tm.tmHeight + tm.tmExternalLeading);
    EXPECT_EQ(canvas.MeasureText("&File", TextFlags{true, false}).cx, canvas.TextWidth("File"));
    EXPECT_EQ(canvas.MeasureText("&File", TextFlags{false, false}).cx, canvas.TextWidth("&File"));
    EXPECT_EQ(canvas.MeasureText("a&&b", TextFlags{}).cx, canvas.TextWidth("a&b"));
    EXPECT_GE(canvas.MeasureText("a\tb", TextFlags{}).cx, 8 * tm.tmAveCharWidth);

    FontSpec bold = Tahoma();
    bold.style = kFontBold;
    canvas.SetFont(bold);
    LOGFONTA lf{};
    GetObjectA(GetCurrentObject(s.dc(), OBJ_FONT), sizeof lf, &lf);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_STREQ(lf.lfFaceName, "Tahoma");
    EXPECT_EQ(lf.lfHeight, -11);
    canvas.SetBrushColor(0x00FF00);
    canvas.SetPen(0x0000FF, 2);
  }
  EXPECT_EQ(GetCurrentObject(s.dc(), OBJ_FONT), before);
}

TEST(GdiCanvas, DrawsBottomAlignedClippedTextWithEllipsis) {
  Surface s(300, 60);
  GdiCanvas canvas(s.dc());
  canvas.SetFont(Tahoma());
  canvas.DrawText("Bottom line", Rect{10, 0, 290, 40}, TextFlags{});
  RECT ink = s.Find(Dark);
  ASSERT_FALSE(Empty(ink));
  EXPECT_GE(ink.left, 10);
  EXPECT_LE(ink.left, 12);
  EXPECT_LT(ink.bottom, 40);
  EXPECT_GT(ink.top, 40 - canvas.TextHeight("gh") - 1);

  Surface e(300, 60);
  GdiCanvas ec(e.dc());
  ec.SetFont(Tahoma());
  ec.DrawText("A long sentence that does not fit into the box", Rect{0, 0, 80, 20},
              TextFlags{true, true});
  RECT cut = e.Find(Dark);
  EXPECT_LT(cut.right, 80);
  EXPECT_GT(cut.right, 60);  // the ellipsis reaches near the right edge

  Surface o(100, 30);
  GdiCanvas oc(o.dc());
  oc.SetFont(Tahoma());
  oc.SetBrushColor(0x00FFFF);  // yellow behind the text
  oc.DrawText("On yellow", Rect{0, 0, 100, 20}, TextFlags{});
  RECT yellow = o.Find([](COLORREF c) { return c == RGB(255, 255, 0); });
  ASSERT_FALSE(Empty(yellow));
  EXPECT_EQ(yellow.left, 0);

  Surface c(100, 40);
  GdiCanvas cc(c.dc());
  cc.SetBrushColor(0x000000);
  cc.PushClip(Rect{10, 10, 20, 20});
  FontSpec red = Tahoma();
  red.color = 0x0000FF;
  cc.SetFont(red);
  cc.FillRect(Rect{0, 0, 100, 40});
  cc.PopClip();
  EXPECT_EQ(cc.Font().color, 0x0000FFu);  // fonts chosen while clipped stay in force
  RECT filled = c.Find(Dark);
  EXPECT_EQ(filled.left, 10);
  EXPECT_EQ(filled.right, 19);
  cc.FillRect(Rect{50, 30, 60, 40});
  EXPECT_TRUE(Dark(c.At(55, 35)));
}

TEST(GdiCanvas, DecodesPicturesThroughOleLoadPicture) {
  OlePictureLoader loader;
  tools::RgbImage red;
  red.width = 6;
  red.height = 4;
  for (int i = 0; i < 24; ++i) {
    red.rgb.push_back(255);
    red.rgb.push_back(0);
    red.rgb.push_back(0);
  }
  PictureContainer container(&loader);
  MarkupPicture& pic = container.Add("Red").picture;
  pic.LoadFromBytes(tools::EncodeBmp(red));
  EXPECT_EQ(pic.Width(), 6);
  EXPECT_EQ(pic.Height(), 4);

  try {
    loader.Decode("definitely not a picture");
    ADD_FAILURE() << "garbage decoded";
  } catch (const PictureError& e) {
    EXPECT_STREQ(e.what(), "Could not load image. Invalid format");
  }

  Surface s(100, 40);
  GdiCanvas canvas(s.dc());
  canvas.SetFont(Tahoma());
  MarkupParams p;
  p.bounds = {0, 0, 100, 40};
  p.pictureContainer = &container;
  RenderMarkup(canvas, "<IMG src=\"red\" width=\"12\" height=\"8\">", p);
  RECT r = s.Find([](COLORREF c) { return c == RGB(255, 0, 0); });
  EXPECT_EQ(r.left, 1);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, 12);
  EXPECT_EQ(r.bottom, 7);
}

TEST(GdiCanvas, SelectsAnimatedGifFrames) {
  OlePictureLoader loader;
  MarkupPicture pic(&loader);
  pic.LoadFromBytes(test::MakeGif(20, 10, {{0, 0, 20, 10, 1}, {4, 3, 5, 5, 0}}));
  EXPECT_EQ(pic.FrameCount(), 2);
  EXPECT_FALSE(pic.Empty());
  pic.SetFrame(2);
  EXPECT_FALSE(pic.Empty());
  EXPECT_EQ(pic.FrameLeft(), 4);
  EXPECT_EQ(pic.FrameTop(), 3);
  EXPECT_EQ(pic.FrameWidth(), 20);

  Surface s(60, 30, RGB(255, 255, 255));
  GdiCanvas canvas(s.dc());
  pic.stretch = false;
  pic.Draw(canvas, Rect{10 + pic.FrameLeft(), 5 + pic.FrameTop(), 0, 0});
  RECT ink = s.Find(Dark);
  ASSERT_FALSE(Empty(ink));
  EXPECT_EQ(ink.left, 14);
  EXPECT_EQ(ink.top, 8);

  MarkupPictureCache cache(&loader);
  MarkupParams p;
  p.bounds = {0, 0, 60, 30};
  p.pictureCache = &cache;
  MarkupResult r = RenderMarkup(canvas, "<IMG src=\"RES://NoSuchPicture\">x", p);
  EXPECT_TRUE(r.imageErrors.empty());
  EXPECT_TRUE(cache.Find("RES://NoSuchPicture")->Empty());
}

TEST(GdiCanvas, DrawsImageListEntries) {
  HIMAGELIST list = ImageList_Create(8, 8, ILC_COLOR24, 2, 0);
  Surface src(8, 8, RGB(0, 0, 255));
  HBITMAP bmp = CreateCompatibleBitmap(src.dc(), 8, 8);
  {
    HDC dc = CreateCompatibleDC(src.dc());
    HGDIOBJ old = SelectObject(dc, bmp);
    BitBlt(dc, 0, 0, 8, 8, src.dc(), 0, 0, SRCCOPY);
    SelectObject(dc, old);
    DeleteDC(dc);
  }
  ImageList_Add(list, bmp, nullptr);
  DeleteObject(bmp);
  GdiImageList images(list, true);
  ASSERT_EQ(images.Count(), 1);

  Surface s(60, 20);
  GdiCanvas canvas(s.dc());
  canvas.SetFont(Tahoma());
  MarkupParams p;
  p.bounds = {0, 0, 60, 20};
  p.images = &images;
  RenderMarkup(canvas, "<IMG src=\"IDX:0\"><IMG src=\"IDX:1\">", p);
  RECT blue = s.Find([](COLORREF c) { return c == RGB(0, 0, 255); });
  EXPECT_EQ(blue.left, 1);
  EXPECT_EQ(blue.right, 8);
  EXPECT_EQ(blue.bottom, 7);
}

TEST(GdiCanvas, DrawsSystemIconsByIndexAndByPath) {
  Surface s(120, 40);
  GdiCanvas canvas(s.dc());
  canvas.SetFont(Tahoma());
  const Size small = canvas.SystemIconSize(false);
  EXPECT_EQ(small.cx, GetSystemMetrics(SM_CXSMICON));
  MarkupParams p;
  p.bounds = {0, 0, 120, 40};
  MarkupResult r = RenderMarkup(canvas, "<IMG src=\"SSYS:0\"><IMG src=\"LSYS:C:\\windows\">", p);
  EXPECT_EQ(r.lines[0].width, small.cx + GetSystemMetrics(SM_CXICON));
  RECT ink = s.Find([](COLORREF c) { return c != RGB(255, 255, 255); });
  ASSERT_FALSE(Empty(ink));
  EXPECT_GE(ink.left, 1);
  EXPECT_LT(ink.left, 1 + small.cx);
  EXPECT_GE(ink.right, 1 + small.cx);  // the large folder icon follows the small one
}

TEST(MarkupOnGdi, ReminderTextIsOneCentredLine) {
  Surface s(480, 40);
  GdiCanvas canvas(s.dc());
  canvas.SetFont(Tahoma());
  MarkupParams p;
  p.bounds = {0, 0, 480, 40};
  MarkupResult r = RenderMarkup(canvas, STR_REMINDER_ONE_DAY, p);
  EXPECT_EQ(r.lines.size(), 1u);
  RECT ink = s.Find(Dark);
  ASSERT_FALSE(Empty(ink));
  // Centred: equal margins within a few pixels (the trailing glyph's bearing).
  EXPECT_NEAR(ink.left, 479 - ink.right, 4);
  EXPECT_LT(ink.bottom, r.measuredHeight);
  EXPECT_EQ(r.measuredWidth, r.lines[0].width + 2);
  s.Save("markup-reminder.bmp");

  Surface days(480, 40);
  GdiCanvas dc(days.dc());
  dc.SetFont(Tahoma());
  RenderMarkup(dc, STR_REMINDER_DAYS, p);
  days.Save("markup-reminder-days.bmp");
}

TEST(MarkupOnGdi, DepTextShowsCentredLinesAndABlueLink) {
  Surface s(465, 297, RGB(255, 255, 164));
  GdiCanvas canvas(s.dc());
  canvas.SetFont(Tahoma());
  MarkupParams p;
  p.bounds = {0, 0, 465, 297};
  MarkupResult r = RenderMarkup(canvas, kDepText, p);
  ASSERT_GE(r.lines.size(), 10u);
  RECT link = s.Find([](COLORREF c) { return c == RGB(0, 0, 255); });
  ASSERT_FALSE(Empty(link));
  const MarkupLine& last = r.lines.back();
  EXPECT_GE(link.top, last.top);
  EXPECT_LE(link.bottom, last.top + last.height);
  RECT ink = s.Find(Dark);
  EXPECT_GE(ink.top, r.lines[4].top);  // four empty lines first
  EXPECT_NEAR(ink.left, 464 - ink.right, 12);
  s.Save("markup-dep.bmp");

  // Hovering the link's middle finds its address.
  MarkupParams hit = p;
  hit.hitTestOnly = true;
  hit.mouseX = (link.left + link.right) / 2;
  hit.mouseY = (link.top + link.bottom) / 2;
  MarkupResult h = RenderMarkup(canvas, kDepText, hit);
  EXPECT_TRUE(h.overLink);
  EXPECT_EQ(h.anchorUnderMouse, "https://www.corvane.com/kb/dep");
  EXPECT_EQ(h.mouseLink, 1);
}

TEST(MarkupRenderTool, RendersTheToolsTextsToPng) {
  const std::string folder = test::MakeTempFolder("markup-render");
  struct Job {
    std::string name, text, size, extra;
  } jobs[] = {
      {"reminder", STR_REMINDER_ONE_DAY, "480 40", ""},
      {"dep", kDepText, "465 297", " --bg #FFFFA4"},
  };
  for (const Job& job : jobs) {
    const std::string in = folder + job.name + ".txt";
    const std::string out = test::ArtifactFolder() + "markup-render-" + job.name + ".png";
    DeleteFileA(out.c_str());
    test::WriteFile(in, job.text);
    std::string cmd = "\"" + test::BinFolder() + "markup-render.exe\" \"" + in + "\" \"" + out +
                      "\" " + job.size + job.extra;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &si, &pi));
    WaitForSingleObject(pi.hProcess, 30000);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    EXPECT_EQ(code, 0u) << job.name;
    const std::string png = test::ReadFile(out);
    ASSERT_GT(png.size(), 100u) << job.name;
    EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
  }
}

}  // namespace
}  // namespace vt9::win
