// A deterministic canvas for native tests and tools: every character of a font has the same
// width and every text the same height for a font size, so layouts can be worked out by hand.
// Every drawing call is recorded, as text lines and as structured entries.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/canvas.h"

namespace vt9::test {

class FakeCanvas : public Canvas {
 public:
  struct Metrics {
    int charWidth = 6;        // every character (tabs: 8 characters)
    int boldExtra = 1;        // added per character of a bold font
    int fixedHeight = 0;      // when > 0, every text is this high
    int heightExtra = 3;      // otherwise the height is |font height| + this
    int externalLeading = 0;  // added by MeasureText
    // When filled (256 entries), the width of each character code instead of charWidth: a
    // proportional font's widths.
    std::vector<int> charWidths;
  };
  // Every character 10 pixels wide, bold or not, and every text 20 high: layouts that can be
  // worked out by hand.
  static Metrics HandCountable() {
    Metrics m;
    m.charWidth = 10;
    m.boldExtra = 0;
    m.fixedHeight = 20;
    return m;
  }
  struct DrawnText {
    std::string text;
    Rect rect;
    int width = 0;
    FontSpec font;
    Color brush = kColorNone;
    TextFlags flags;
  };

  FakeCanvas() = default;
  explicit FakeCanvas(const Metrics& m) : metrics(m) {}

  Metrics metrics;
  int ppi = 96;
  bool record = true;            // off: drawing calls are not recorded (benchmarks, fuzzing)
  std::vector<std::string> log;  // every drawing call, one line each
  std::vector<DrawnText> texts;  // every DrawText call
  int clipDepth = 0;

  int PixelsPerInch() const override { return ppi; }
  Color ResolveColor(Color c) const override;
  const FontSpec& Font() const override { return font_; }
  void SetFont(const FontSpec& font) override { font_ = font; }
  Color BrushColor() const override { return brush_; }
  void SetBrushColor(Color c) override { brush_ = c; }
  Color PenColor() const override { return pen_; }
  int PenWidth() const override { return penWidth_; }
  void SetPen(Color c, int width) override {
    pen_ = c;
    penWidth_ = width;
  }
  Size TextExtent(std::string_view text) override;
  std::size_t FitText(std::string_view text, int maxWidth, int& width) override;
  // Characters measured by TextExtent and FitText together, and their calls: how much work a
  // layout did.
  std::uint64_t measuredChars = 0;
  std::uint64_t measureCalls = 0;
  Size MeasureText(std::string_view text, const TextFlags& flags) override;
  void DrawText(std::string_view text, const Rect& r, const TextFlags& flags) override;
  void FillRect(const Rect& r) override;
  void Rectangle(const Rect& r) override;
  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  void DrawFocusRect(const Rect& r) override;
  void PushClip(const Rect& r) override;
  void PopClip() override;
  void DrawPicture(const Picture& picture, const Rect& dest) override;
  void DrawListImage(const ImageList& list, int index, const Rect& dest) override;
  Size SystemIconSize(bool large) override { return large ? Size{32, 32} : Size{16, 16}; }
  void DrawSystemIcon(const std::string& source, bool large, const Rect& dest) override;

  // Height of any text in the current font, or in `font`.
  int LineHeight() const { return HeightOf(font_); }
  int HeightOf(const FontSpec& font) const;
  // Width of one character in the current font.
  int CharWidth() const;
  // The recorded log joined with newlines.
  std::string Log() const;

 private:
  FontSpec font_;
  Color brush_ = kColorNone;
  Color pen_ = kColorBlack;
  int penWidth_ = 1;
};

// "Name,size,BIUS" for a font, as the logs print it.
std::string DescribeFont(const FontSpec& f, int ppi);
// "#RRGGBB", "sys:N" or "none".
std::string DescribeColor(Color c);

class FakePicture : public Picture {
 public:
  FakePicture(int wHimetric, int hHimetric, std::string bytes)
      : w_(wHimetric), h_(hHimetric), bytes(std::move(bytes)) {}
  int WidthHimetric() const override { return w_; }
  int HeightHimetric() const override { return h_; }

 private:
  int w_, h_;

 public:
  std::string bytes;  // what the decoder was given
};

// Decodes "IMG:WxH" (pixels at 96 dpi) and GIF data (its logical screen size); anything else
// fails as the platform decoder does. Resources and files come from maps.
class FakePictureLoader : public PictureLoader {
 public:
  std::map<std::string, std::string> resources;
  std::map<std::string, std::string> files;
  std::vector<std::string> decoded;  // every byte string given to Decode
  std::unique_ptr<Picture> Decode(std::string_view bytes) override;
  std::optional<std::string> ReadResource(const std::string& name) override;
  std::optional<std::string> ReadFile(const std::string& path) override;
};

class FakeImageList : public ImageList {
 public:
  FakeImageList(int count, int w, int h) : count_(count), w_(w), h_(h) {}
  int Count() const override { return count_; }
  int ImageWidth() const override { return w_; }
  int ImageHeight() const override { return h_; }

 private:
  int count_, w_, h_;
};

}  // namespace vt9::test
