// Internal to the markup renderer: the text state of one RenderMarkup call, the values of the
// line being laid out, and the per-line walk (RenderMarkupLine) with its tag handling.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "markup/render.h"
#include "platform/canvas.h"

namespace vt9 {
class MarkupPicture;
}

namespace vt9::markup {

enum class Pass { Measuring, Drawing };

// Kept between the two passes of one line.
struct LineValues {
  int height = 0;
  int width = 0;
  int baselineRaise = 0;
  int superscriptLift = 0;
  int subscriptDrop = 0;
  int carriedOffset = 0;  // persistent offset left by earlier lines
  std::string markup;     // what the measuring pass consumed (hidden runs left out)
  bool textHit = false;
  bool imageHit = false;
};

// Values local to one RenderMarkupLine call.
struct LineWalk {
  Pass pass = Pass::Measuring;
  // The second pass of a line (drawing, or measuring again for a hit test) replays what the
  // first pass consumed. Its rectangle is narrowed by alignment and indent, so it makes no fit
  // decisions of its own: every run and image lands where the first pass put it.
  bool replay = false;
  Rect r;  // local line rectangle
  Rect d;  // drawing rectangle; d.left is the drawing position
  bool full = false;
  bool stopBeforeTag = false;
  bool holdsListItem = false;
  bool placedAny = false;       // runs placed so far are not empty
  char lastPlaced = 0;          // their last character
  bool firstRunPlaced = false;  // a run was already placed on this line
  int trailingBlank = 0;
};

class Renderer {
 public:
  Renderer(Canvas& canvas, const MarkupParams& params, MarkupResult& result);
  void Run(std::string_view text);

 private:
  // The walk over one line: consumes it from `text` starting at `pos`.
  void RenderLine(Pass pass, bool replay, std::string_view text, std::size_t& pos,
                  const Rect& lineRect, LineValues& lv);
  void PlaceRun(LineWalk& w, std::string_view raw, std::string_view text, std::size_t& pos,
                LineValues& lv);
  void DrawRun(LineWalk& w, std::string_view run, LineValues& lv);
  void DrawErrorMark(const LineWalk& w);
  // Handles one tag (up to and including its ">"); sets w.stopBeforeTag when the line ends
  // before it and w.full when the line ends after it.
  void ApplyTag(LineWalk& w, std::string_view tag, LineValues& lv);
  void OpenAnchor(LineWalk& w, std::string_view tag);
  void CloseAnchor(LineWalk& w, LineValues& lv);
  void FontTag(LineWalk& w, std::string_view upper);
  void ParagraphTag(LineWalk& w, std::string_view upper);
  void BodyTag(LineWalk& w, std::string_view upper);
  void ListItem(LineWalk& w, LineValues& lv);
  void HorizontalRule(LineWalk& w);
  void Rotate(std::string_view upper);
  void ImageTag(LineWalk& w, std::string_view tag, std::string_view upper, LineValues& lv);
  void EndOfLineFocus(LineWalk& w);

  // An image source resolved to something drawable, with its layout size in pixels.
  struct ImageRef {
    enum class Kind { None, ListImage, SystemIcon, Picture } kind = Kind::None;
    int index = 0;
    bool large = false;
    std::string iconSource;
    MarkupPicture* picture = nullptr;
    int width = 0;
    int height = 0;
  };
  ImageRef ResolveImage(std::string value);
  void DrawSmallImage(const ImageRef& img, int x, int y);
  Rect ScaledForPrint(const ImageRef& img, int x, int y) const;

  bool Drawing(const LineWalk& w) const { return w.pass == Pass::Drawing; }
  void SetTextColor(Color c);
  void SetStyle(unsigned bit, bool on);
  int H() const { return lineStartH_; }

  Canvas& canvas_;
  const MarkupParams& p_;
  MarkupResult& out_;
  TextFlags flags_;

  FontSpec base_;
  Color callerBrush_ = kColorNone;
  Color savedFontBrush_ = kColorNone;
  Color savedParagraphBrush_ = kColorNone;
  Color savedHighlightBrush_ = kColorNone;
  Color savedHighlightText_ = kColorNone;
  Color savedHoverBrush_ = kColorNone;
  Color savedHoverText_ = kColorNone;

  int align_ = 0;  // 0 left, 1 right, 2 center
  int indent_ = 0;
  bool paragraphBackground_ = false;
  int listLevel_ = 0;
  int persistentOffset_ = 0;
  bool hidden_ = false;
  bool errorMark_ = false;
  bool shadow_ = false;
  bool subscript_ = false;
  bool superscript_ = false;
  std::optional<int> rotationSaved_;  // escapement before a rotation tag

  int linkCounter_ = 0;
  bool insideLink_ = false;
  std::string linkTarget_;
  bool mousePending_ = false;
  Rect focus_;

  int imageCounter_ = 0;
  int hoveredImage_ = -1;
  int lineStartH_ = 0;
};

}  // namespace vt9::markup
