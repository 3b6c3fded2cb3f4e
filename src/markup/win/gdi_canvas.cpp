#include "markup/win/gdi_canvas.h"

#include <shellapi.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

namespace vt9::win {
namespace {

// A decoded OLE picture; released with the last owner.
class OlePicture : public Picture {
 public:
  explicit OlePicture(IPicture* p) : p_(p) {}
  ~OlePicture() override { p_->Release(); }
  OlePicture(const OlePicture&) = delete;
  OlePicture& operator=(const OlePicture&) = delete;
  int WidthHimetric() const override {
    OLE_XSIZE_HIMETRIC w = 0;
    p_->get_Width(&w);
    return static_cast<int>(w);
  }
  int HeightHimetric() const override {
    OLE_YSIZE_HIMETRIC h = 0;
    p_->get_Height(&h);
    return static_cast<int>(h);
  }
  IPicture* get() const { return p_; }

 private:
  IPicture* p_;
};

UINT TextFormat(const TextFlags& flags) {
  UINT f = DT_SINGLELINE | DT_EXPANDTABS;
  if (!flags.prefix) f |= DT_NOPREFIX;
  return f;
}

RECT ToRect(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

}  // namespace

GdiCanvas::GdiCanvas(HDC dc) : dc_(dc), savedDc_(SaveDC(dc)) {
  // Start from the font the DC holds, so callers may select their control's font first.
  LOGFONTA lf{};
  if (GetObjectA(GetCurrentObject(dc_, OBJ_FONT), sizeof lf, &lf) == sizeof lf) {
    font_.name = lf.lfFaceName;
    font_.height = lf.lfHeight;
    font_.style = (lf.lfWeight >= FW_BOLD ? kFontBold : 0u) | (lf.lfItalic ? kFontItalic : 0u) |
                  (lf.lfUnderline ? kFontUnderline : 0u) | (lf.lfStrikeOut ? kFontStrikeOut : 0u);
    font_.escapement = lf.lfEscapement;
  }
  font_.color = GetTextColor(dc_);
  SelectCurrentFont();
  SelectBrushAndPen();
}

GdiCanvas::~GdiCanvas() {
  // RestoreDC puts back the caller's objects, colours and clip before ours are deleted.
  RestoreDC(dc_, savedDc_);
  for (auto& [key, font] : fonts_) DeleteObject(font);
  for (auto& [key, brush] : brushes_) DeleteObject(brush);
  for (auto& [key, pen] : pens_) DeleteObject(pen);
}

int GdiCanvas::PixelsPerInch() const { return GetDeviceCaps(dc_, LOGPIXELSY); }

Color GdiCanvas::ResolveColor(Color c) const {
  if (c == kColorNone) return c;
  if (IsSystemColor(c)) return GetSysColor(static_cast<int>(c & 0xFF));
  return c & 0xFFFFFF;
}

HFONT GdiCanvas::FontHandle(const FontSpec& wanted) {
  auto key = std::make_tuple(wanted.name, wanted.height, wanted.style, wanted.escapement);
  auto it = fonts_.find(key);
  if (it != fonts_.end()) return it->second;
  HFONT font = CreateFontA(
      wanted.height, 0, wanted.escapement, wanted.escapement,
      (wanted.style & kFontBold) ? FW_BOLD : FW_NORMAL, (wanted.style & kFontItalic) != 0,
      (wanted.style & kFontUnderline) != 0, (wanted.style & kFontStrikeOut) != 0, DEFAULT_CHARSET,
      OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
      wanted.name.substr(0, LF_FACESIZE - 1).c_str());
  if (!font)
    font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  else
    fonts_.emplace(key, font);
  return font;
}

void GdiCanvas::SelectCurrentFont() {
  SelectObject(dc_, FontHandle(font_));
  Color c = ResolveColor(font_.color);
  if (c != kColorNone) ::SetTextColor(dc_, c);
}

void GdiCanvas::SelectBrushAndPen() {
  if (brush_ == kColorNone) {
    SelectObject(dc_, GetStockObject(NULL_BRUSH));
  } else {
    Color c = ResolveColor(brush_);
    auto it = brushes_.find(c);
    if (it == brushes_.end()) it = brushes_.emplace(c, CreateSolidBrush(c)).first;
    SelectObject(dc_, it->second);
  }
  Color pc = ResolveColor(pen_);
  if (pc == kColorNone) {
    SelectObject(dc_, GetStockObject(NULL_PEN));
  } else {
    auto key = std::make_pair(pc, penWidth_);
    auto it = pens_.find(key);
    if (it == pens_.end()) it = pens_.emplace(key, CreatePen(PS_SOLID, penWidth_, pc)).first;
    SelectObject(dc_, it->second);
  }
}

void GdiCanvas::SetFont(const FontSpec& font) {
  if (!(font == font_)) advancesRead_ = false;
  font_ = font;
  SelectCurrentFont();
}

void GdiCanvas::SetBrushColor(Color c) {
  brush_ = c;
  SelectBrushAndPen();
}

void GdiCanvas::SetPen(Color c, int width) {
  pen_ = c;
  penWidth_ = width < 0 ? 0 : width;
  SelectBrushAndPen();
}

Size GdiCanvas::TextExtent(std::string_view text) {
  SIZE s{};
  if (text.empty()) {
    // GetTextExtentPoint32 reports no height for an empty string; the font's height is meant.
    TEXTMETRICA tm{};
    GetTextMetricsA(dc_, &tm);
    return Size{0, tm.tmHeight};
  }
  GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &s);
  return Size{s.cx, s.cy};
}

std::size_t GdiCanvas::FitText(std::string_view text, int maxWidth, int& width) {
  width = 0;
  if (text.empty() || maxWidth < 0) return 0;
  if (!advancesRead_) {
    advancesRead_ = true;
    advances_.clear();
    CPINFO cp{};
    if (GetCPInfo(CP_ACP, &cp) && cp.MaxCharSize == 1) {
      char all[255];
      for (int i = 0; i < 255; ++i) all[i] = static_cast<char>(i + 1);
      INT ends[255] = {};
      INT fit = 0;
      SIZE total{};
      if (GetTextExtentExPointA(dc_, all, 255, 0x7FFFFFFF, &fit, ends, &total) && fit == 255) {
        advances_.assign(256, 0);
        for (int i = 0; i < 255; ++i) advances_[i + 1] = ends[i] - (i > 0 ? ends[i - 1] : 0);
        // Only where a text's extent is the sum of its characters' advances.
        const char probe[] = "AVAWAYTo Wa.,fi ffl 0123 [x]\\ Line\tcopied";
        SIZE s{};
        GetTextExtentPoint32A(dc_, probe, sizeof probe - 1, &s);
        int sum = 0;
        for (char c : std::string_view(probe, sizeof probe - 1))
          sum += advances_[static_cast<unsigned char>(c)];
        if (sum != s.cx) advances_.clear();
      }
    }
  }
  if (!advances_.empty() && text.find('\0') == std::string_view::npos) {
    long long w = 0;
    std::size_t n = 0;
    for (unsigned char c : text) {
      const long long next = w + advances_[c];
      if (next > maxWidth) break;
      w = next;
      ++n;
    }
    width = static_cast<int>(w);
    return n;
  }
  // One call: the partial widths give the width of whatever fits.
  const int count = static_cast<int>(std::min<std::size_t>(text.size(), 0x7FFFFFFF));
  std::vector<INT> ends(static_cast<std::size_t>(count));
  INT fit = 0;
  SIZE total{};
  if (!GetTextExtentExPointA(dc_, text.data(), count, maxWidth, &fit, ends.data(), &total))
    return Canvas::FitText(text, maxWidth, width);
  if (fit < 0) fit = 0;
  if (fit > count) fit = count;
  width = fit > 0 ? ends[static_cast<std::size_t>(fit - 1)] : 0;
  return static_cast<std::size_t>(fit);
}

Size GdiCanvas::MeasureText(std::string_view text, const TextFlags& flags) {
  // Measured from the glyph extents rather than with DrawText's DT_CALCRECT, whose treatment
  // of trailing blanks differs between implementations; the layout needs the advance of the
  // whole run, blanks included, exactly as DrawText then places it.
  TEXTMETRICA tm{};
  GetTextMetricsA(dc_, &tm);
  std::string shown;
  shown.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (flags.prefix && text[i] == '&') {
      if (i + 1 >= text.size()) break;
      ++i;
    }
    shown += text[i];
  }
  const int tabWidth = 8 * (tm.tmAveCharWidth > 0 ? tm.tmAveCharWidth : 1);
  int x = 0;
  std::size_t start = 0;
  while (start <= shown.size()) {
    std::size_t tab = shown.find('\t', start);
    std::size_t end = tab == std::string::npos ? shown.size() : tab;
    if (end > start) {
      SIZE s{};
      GetTextExtentPoint32A(dc_, shown.data() + start, static_cast<int>(end - start), &s);
      x += s.cx;
    }
    if (tab == std::string::npos) break;
    x = (x / tabWidth + 1) * tabWidth;
    start = tab + 1;
  }
  return Size{x, tm.tmHeight + tm.tmExternalLeading};
}

void GdiCanvas::DrawText(std::string_view text, const Rect& r, const TextFlags& flags) {
  if (font_.color == kColorNone || text.empty()) return;
  if (brush_ == kColorNone) {
    SetBkMode(dc_, TRANSPARENT);
  } else {
    SetBkMode(dc_, OPAQUE);
    SetBkColor(dc_, ResolveColor(brush_));
  }
  RECT rc = ToRect(r);
  const bool special = text.find('\t') != std::string_view::npos ||
                       (flags.prefix && text.find('&') != std::string_view::npos);
  if (!special && deviceAdvances_) {
    TEXTMETRICA tm{};
    GetTextMetricsA(dc_, &tm);
    const UINT align = SetTextAlign(dc_, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    ExtTextOutA(dc_, r.left, r.bottom - tm.tmHeight, ETO_CLIPPED, &rc, text.data(),
                static_cast<UINT>(text.size()), nullptr);
    SetTextAlign(dc_, align);
    return;
  }
  if (!special) {
    // Plain runs go out with explicit advances taken from the same extents the layout measured,
    // so each run ends exactly where the next one starts (Wine's glyph advances can differ
    // from its text extents by a pixel per character at small sizes).
    std::vector<INT> dx(text.size());
    std::vector<INT> ends(text.size());
    SIZE total{};
    const int count = static_cast<int>(text.size());
    if (GetTextExtentExPointA(dc_, text.data(), count, 0, nullptr, ends.data(), &total) &&
        (!flags.endEllipsis || total.cx <= r.Width())) {
      for (int i = 0; i < count; ++i) dx[i] = ends[i] - (i > 0 ? ends[i - 1] : 0);
      TEXTMETRICA tm{};
      GetTextMetricsA(dc_, &tm);
      const UINT align = SetTextAlign(dc_, TA_LEFT | TA_TOP | TA_NOUPDATECP);
      ExtTextOutA(dc_, r.left, r.bottom - tm.tmHeight, ETO_CLIPPED, &rc, text.data(),
                  static_cast<UINT>(count), dx.data());
      SetTextAlign(dc_, align);
      return;
    }
  }
  UINT format = TextFormat(flags) | DT_BOTTOM;
  if (flags.endEllipsis) format |= DT_END_ELLIPSIS;
  ::DrawTextA(dc_, text.data(), static_cast<int>(text.size()), &rc, format);
}

void GdiCanvas::FillRect(const Rect& r) {
  if (brush_ == kColorNone) return;
  RECT rc = ToRect(r);
  ::FillRect(dc_, &rc, static_cast<HBRUSH>(GetCurrentObject(dc_, OBJ_BRUSH)));
}

void GdiCanvas::Rectangle(const Rect& r) { ::Rectangle(dc_, r.left, r.top, r.right, r.bottom); }

void GdiCanvas::MoveTo(int x, int y) { MoveToEx(dc_, x, y, nullptr); }

void GdiCanvas::LineTo(int x, int y) { ::LineTo(dc_, x, y); }

void GdiCanvas::DrawFocusRect(const Rect& r) {
  RECT rc = ToRect(r);
  ::DrawFocusRect(dc_, &rc);
}

void GdiCanvas::PushClip(const Rect& r) {
  // The clip region is kept apart from SaveDC so that fonts and colours chosen while clipped
  // stay in force after PopClip.
  HRGN saved = CreateRectRgn(0, 0, 0, 0);
  if (GetClipRgn(dc_, saved) != 1) {
    DeleteObject(saved);
    saved = nullptr;
  }
  clipSaves_.push_back(reinterpret_cast<std::intptr_t>(saved));
  IntersectClipRect(dc_, r.left, r.top, r.right, r.bottom);
}

void GdiCanvas::PopClip() {
  if (clipSaves_.empty()) return;
  HRGN saved = reinterpret_cast<HRGN>(clipSaves_.back());
  clipSaves_.pop_back();
  SelectClipRgn(dc_, saved);
  if (saved) DeleteObject(saved);
}

void GdiCanvas::DrawPicture(const Picture& picture, const Rect& dest) {
  auto* ole = dynamic_cast<const OlePicture*>(&picture);
  if (!ole) return;
  const long w = picture.WidthHimetric();
  const long h = picture.HeightHimetric();
  // HIMETRIC runs upwards: the source rectangle starts at the bottom with a negative height.
  ole->get()->Render(dc_, dest.left, dest.top, dest.Width(), dest.Height(), 0, h, w, -h, nullptr);
}

void GdiCanvas::DrawListImage(const ImageList& list, int index, const Rect& dest) {
  auto* gdi = dynamic_cast<const GdiImageList*>(&list);
  if (!gdi || index < 0 || index >= list.Count()) return;
  if (dest.Width() == list.ImageWidth() && dest.Height() == list.ImageHeight()) {
    ImageList_Draw(gdi->get(), index, dc_, dest.left, dest.top, ILD_NORMAL);
    return;
  }
  HICON icon = ImageList_GetIcon(gdi->get(), index, ILD_NORMAL);
  if (!icon) return;
  DrawIconEx(dc_, dest.left, dest.top, icon, dest.Width(), dest.Height(), 0, nullptr, DI_NORMAL);
  DestroyIcon(icon);
}

Size GdiCanvas::SystemIconSize(bool large) {
  return large ? Size{GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)}
               : Size{GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON)};
}

void GdiCanvas::DrawSystemIcon(const std::string& source, bool large, const Rect& dest) {
  const UINT size = large ? SHGFI_LARGEICON : SHGFI_SMALLICON;
  HICON icon = nullptr;
  char* end = nullptr;
  long index = std::strtol(source.c_str(), &end, 10);
  SHFILEINFOA info{};
  if (!source.empty() && end && *end == '\0') {
    auto list = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA("C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | size));
    if (list && index >= 0 && index < ImageList_GetImageCount(list)) {
      icon = ImageList_GetIcon(list, static_cast<int>(index), ILD_TRANSPARENT);
    }
  } else if (GetFileAttributesA(source.c_str()) != INVALID_FILE_ATTRIBUTES) {
    if (SHGetFileInfoA(source.c_str(), 0, &info, sizeof info, SHGFI_ICON | size)) icon = info.hIcon;
  } else if (SHGetFileInfoA(source.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                            SHGFI_ICON | SHGFI_USEFILEATTRIBUTES | size)) {
    icon = info.hIcon;
  }
  if (!icon) return;
  DrawIconEx(dc_, dest.left, dest.top, icon, dest.Width(), dest.Height(), 0, nullptr, DI_NORMAL);
  DestroyIcon(icon);
}

GdiImageList::~GdiImageList() {
  if (owned_ && list_) ImageList_Destroy(list_);
}

int GdiImageList::Count() const { return list_ ? ImageList_GetImageCount(list_) : 0; }

int GdiImageList::ImageWidth() const {
  int cx = 0, cy = 0;
  if (list_) ImageList_GetIconSize(list_, &cx, &cy);
  return cx;
}

int GdiImageList::ImageHeight() const {
  int cx = 0, cy = 0;
  if (list_) ImageList_GetIconSize(list_, &cx, &cy);
  return cy;
}

std::unique_ptr<Picture> OlePictureLoader::Decode(std::string_view bytes) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (!memory) throw PictureError("Could not allocate memory for image");
  if (void* p = GlobalLock(memory)) {
    std::copy(bytes.begin(), bytes.end(), static_cast<char*>(p));
    GlobalUnlock(memory);
  }
  IStream* stream = nullptr;
  // The stream owns the memory block from here on and frees it on its last release.
  if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
    GlobalFree(memory);
    throw PictureError("Could not create image stream");
  }
  if (!stream) {
    GlobalFree(memory);
    throw PictureError("Empty image stream created");
  }
  IPicture* picture = nullptr;
  HRESULT hr = OleLoadPicture(stream, static_cast<LONG>(bytes.size()), FALSE, IID_IPicture,
                              reinterpret_cast<void**>(&picture));
  stream->Release();
  if (FAILED(hr)) throw PictureError("Could not load image. Invalid format");
  if (!picture) throw PictureError("Could not load image");
  return std::make_unique<OlePicture>(picture);
}

std::optional<std::string> OlePictureLoader::ReadResource(const std::string& name) {
  HMODULE module = module_ ? module_ : GetModuleHandleA(nullptr);
  HRSRC res = FindResourceA(module, name.c_str(), MAKEINTRESOURCEA(10));
  if (!res) return std::nullopt;
  HGLOBAL loaded = LoadResource(module, res);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return std::nullopt;
  return std::string(static_cast<const char*>(data), SizeofResource(module, res));
}

std::optional<std::string> OlePictureLoader::ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return bytes;
}

}  // namespace vt9::win
