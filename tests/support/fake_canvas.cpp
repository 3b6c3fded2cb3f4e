#include "support/fake_canvas.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace vt9::test {
namespace {

std::string RectText(const Rect& r) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%d,%d,%d,%d", r.left, r.top, r.right, r.bottom);
  return buf;
}

}  // namespace

std::string DescribeColor(Color c) {
  if (c == kColorNone) return "none";
  char buf[32];
  if (IsSystemColor(c)) {
    std::snprintf(buf, sizeof buf, "sys:%u", c & 0xFF);
  } else {
    std::snprintf(buf, sizeof buf, "#%02X%02X%02X", c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
  }
  return buf;
}

std::string DescribeFont(const FontSpec& f, int ppi) {
  std::string style;
  if (f.style & kFontBold) style += 'B';
  if (f.style & kFontItalic) style += 'I';
  if (f.style & kFontUnderline) style += 'U';
  if (f.style & kFontStrikeOut) style += 'S';
  if (style.empty()) style = "-";
  std::string s = f.name + "," + std::to_string(FontPointsFromHeight(f.height, ppi)) + "," + style;
  if (f.escapement != 0) s += ",rot" + std::to_string(f.escapement);
  return s;
}

Color FakeCanvas::ResolveColor(Color c) const {
  if (!IsSystemColor(c)) return c;
  switch (c & 0xFF) {
    case 13:
      return 0x6A240A;  // highlight
    case 14:
      return 0xFFFFFF;  // highlight text
    default:
      return 0x808080;
  }
}

int FakeCanvas::CharWidth() const {
  return metrics.charWidth + ((font_.style & kFontBold) ? metrics.boldExtra : 0);
}

int FakeCanvas::HeightOf(const FontSpec& font) const {
  if (metrics.fixedHeight > 0) return metrics.fixedHeight;
  int h = font.height < 0 ? -font.height : font.height;
  return h + metrics.heightExtra;
}

Size FakeCanvas::TextExtent(std::string_view text) {
  ++measureCalls;
  measuredChars += text.size();
  if (metrics.charWidths.size() == 256) {
    const int extra = (font_.style & kFontBold) ? metrics.boldExtra : 0;
    long long w = 0;
    for (unsigned char ch : text) w += metrics.charWidths[ch] + extra;
    return Size{static_cast<int>(std::min<long long>(w, 2147483647)), LineHeight()};
  }
  const long long w = static_cast<long long>(text.size()) * CharWidth();
  return Size{static_cast<int>(std::min<long long>(w, 2147483647)), LineHeight()};
}

std::size_t FakeCanvas::FitText(std::string_view text, int maxWidth, int& width) {
  // One pass, as GetTextExtentExPoint goes through the text once.
  ++measureCalls;
  measuredChars += text.size();
  const bool table = metrics.charWidths.size() == 256;
  const int extra = (font_.style & kFontBold) ? metrics.boldExtra : 0;
  long long w = 0;
  std::size_t n = 0;
  for (unsigned char ch : text) {
    const long long next = w + (table ? metrics.charWidths[ch] + extra : CharWidth());
    if (next > maxWidth) break;
    w = next;
    ++n;
  }
  width = static_cast<int>(w);
  return n;
}

Size FakeCanvas::MeasureText(std::string_view text, const TextFlags& flags) {
  int chars = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (flags.prefix && text[i] == '&') {
      if (i + 1 >= text.size()) break;
      ++i;
    }
    chars += text[i] == '\t' ? 8 : 1;
  }
  return Size{chars * CharWidth(), LineHeight() + metrics.externalLeading};
}

void FakeCanvas::DrawText(std::string_view text, const Rect& r, const TextFlags& flags) {
  if (!record) return;
  DrawnText d{std::string(text), r, MeasureText(text, flags).cx, font_, brush_, flags};
  log.push_back("text " + RectText(r) + " \"" + d.text + "\" " + DescribeFont(font_, ppi) +
                " color=" + DescribeColor(font_.color) + " bk=" + DescribeColor(brush_) +
                (flags.endEllipsis ? " ellipsis" : "") + (flags.prefix ? "" : " noprefix"));
  texts.push_back(std::move(d));
}

void FakeCanvas::FillRect(const Rect& r) {
  if (!record) return;
  log.push_back("fill " + RectText(r) + " " + DescribeColor(brush_));
}

void FakeCanvas::Rectangle(const Rect& r) {
  if (!record) return;
  log.push_back("rectangle " + RectText(r) + " pen=" + DescribeColor(pen_) +
                " brush=" + DescribeColor(brush_));
}

void FakeCanvas::MoveTo(int x, int y) {
  if (!record) return;
  log.push_back("moveto " + std::to_string(x) + "," + std::to_string(y));
}

void FakeCanvas::LineTo(int x, int y) {
  if (!record) return;
  log.push_back("lineto " + std::to_string(x) + "," + std::to_string(y) +
                " pen=" + DescribeColor(pen_));
}

void FakeCanvas::DrawFocusRect(const Rect& r) {
  if (record) log.push_back("focus " + RectText(r));
}

void FakeCanvas::PushClip(const Rect& r) {
  ++clipDepth;
  if (record) log.push_back("clip " + RectText(r));
}

void FakeCanvas::PopClip() {
  --clipDepth;
  if (record) log.push_back("unclip");
}

void FakeCanvas::DrawPicture(const Picture& picture, const Rect& dest) {
  if (!record) return;
  log.push_back("picture " + RectText(dest) + " " + std::to_string(picture.WidthHimetric()) + "x" +
                std::to_string(picture.HeightHimetric()));
}

void FakeCanvas::DrawListImage(const ImageList&, int index, const Rect& dest) {
  if (!record) return;
  log.push_back("listimage " + std::to_string(index) + " " + RectText(dest));
}

void FakeCanvas::DrawSystemIcon(const std::string& source, bool large, const Rect& dest) {
  if (!record) return;
  log.push_back(std::string(large ? "largeicon " : "smallicon ") + source + " " + RectText(dest));
}

std::string FakeCanvas::Log() const {
  std::string s;
  for (const std::string& line : log) s += line + "\n";
  return s;
}

std::unique_ptr<Picture> FakePictureLoader::Decode(std::string_view bytes) {
  decoded.emplace_back(bytes);
  auto himetric = [](int px) { return px * 2540 / 96; };
  int w = 0, h = 0;
  if (bytes.size() >= 10 && bytes.substr(0, 4) == "GIF8") {
    w = static_cast<unsigned char>(bytes[6]) | (static_cast<unsigned char>(bytes[7]) << 8);
    h = static_cast<unsigned char>(bytes[8]) | (static_cast<unsigned char>(bytes[9]) << 8);
  } else if (bytes.substr(0, 4) == "IMG:" &&
             std::sscanf(std::string(bytes).c_str(), "IMG:%dx%d", &w, &h) == 2) {
  } else {
    throw PictureError("Could not load image. Invalid format");
  }
  return std::make_unique<FakePicture>(himetric(w), himetric(h), std::string(bytes));
}

std::optional<std::string> FakePictureLoader::ReadResource(const std::string& name) {
  // Resource names compare without regard to case, as FindResource compares them.
  auto upper = [](std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
  };
  for (const auto& [key, bytes] : resources) {
    if (upper(key) == upper(name)) return bytes;
  }
  return std::nullopt;
}

std::optional<std::string> FakePictureLoader::ReadFile(const std::string& path) {
  auto it = files.find(path);
  if (it == files.end()) return std::nullopt;
  return it->second;
}

}  // namespace vt9::test
