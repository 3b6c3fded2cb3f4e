// Images of the markup: IMG tags and BODY backgrounds, with their sources (image list entries,
// system icons, the picture container and the picture cache).
#include <algorithm>
#include <cmath>

#include "markup/gradient.h"
#include "markup/markup_text.h"
#include "markup/picture.h"
#include "markup/renderer.h"

namespace vt9::markup {

Renderer::ImageRef Renderer::ResolveImage(std::string value) {
  ImageRef img;
  const int ppi = canvas_.PixelsPerInch();
  const std::string upper = ToUpper(value);
  if (upper.find("IDX:") != std::string::npos) {
    value.erase(0, 4);
    LenientNumber n = ReadLenientNumber(value);
    if (p_.images && n.value >= 0 && n.value < p_.images->Count()) {
      img.kind = ImageRef::Kind::ListImage;
      img.index = n.value;
      img.width = MulDivRound(p_.images->ImageWidth(), ppi, 96);
      img.height = MulDivRound(p_.images->ImageHeight(), ppi, 96);
    }
    return img;
  }
  const bool small = upper.find("SSYS:") != std::string::npos;
  const bool large = upper.find("LSYS:") != std::string::npos;
  if (small || large) {
    value.erase(0, 5);
    if (!value.empty()) {
      img.kind = ImageRef::Kind::SystemIcon;
      img.large = !small;
      img.iconSource = value;
      Size s = canvas_.SystemIconSize(img.large);
      img.width = MulDivRound(s.cx, ppi, 96);
      img.height = MulDivRound(s.cy, ppi, 96);
    }
    return img;
  }
  MarkupPicture* picture = nullptr;
  if (value.find(':') == std::string::npos && p_.pictureContainer) {
    picture = p_.pictureContainer->Find(value);
  }
  if (value.find("://") != std::string::npos && p_.pictureCache) {
    if (!p_.pictureCache->Find(value)) {
      MarkupPicture& added = p_.pictureCache->Add();
      added.asyncLoading = false;
      try {
        added.LoadFromSource(value);
      } catch (const PictureError& e) {
        // A picture that cannot be decoded is left out; painting goes on.
        out_.imageErrors.push_back(e.what());
      }
    }
    picture = p_.pictureCache->Find(value);
  }
  if (picture && !picture->Empty()) {
    img.kind = ImageRef::Kind::Picture;
    img.picture = picture;
    img.width = MulDivRound(picture->FrameWidth(), ppi, 96);
    img.height = MulDivRound(picture->FrameHeight(), ppi, 96);
  }
  return img;
}

Rect Renderer::ScaledForPrint(const ImageRef& img, int x, int y) const {
  int w = 0, h = 0;
  if (img.kind == ImageRef::Kind::ListImage) {
    w = p_.images->ImageWidth();
    h = p_.images->ImageHeight();
  } else {
    Size s = canvas_.SystemIconSize(img.large);
    w = s.cx;
    h = s.cy;
  }
  if (p_.printMode) {
    w = static_cast<int>(std::lround(w * p_.scaleFactor));
    h = static_cast<int>(std::lround(h * p_.scaleFactor));
  }
  return Rect{x, y, x + w, y + h};
}

void Renderer::DrawSmallImage(const ImageRef& img, int x, int y) {
  if (img.kind == ImageRef::Kind::ListImage) {
    canvas_.DrawListImage(*p_.images, img.index, ScaledForPrint(img, x, y));
  } else if (img.kind == ImageRef::Kind::SystemIcon) {
    canvas_.DrawSystemIcon(img.iconSource, img.large, ScaledForPrint(img, x, y));
  }
}

void Renderer::ImageTag(LineWalk& w, std::string_view tag, std::string_view upper, LineValues& lv) {
  ++imageCounter_;
  std::string source = AttributeValue(upper, "SRC", 2, tag).value_or(std::string());
  if (auto alt = AttributeValue(upper, "ALT"); alt && imageCounter_ == hoveredImage_) {
    source = *alt;
  }
  const int widthAttr = std::clamp(
      ReadLenientNumber(AttributeValue(upper, "WIDTH").value_or("")).value, -(1 << 16), 1 << 16);
  const int heightAttr = std::clamp(
      ReadLenientNumber(AttributeValue(upper, "HEIGHT").value_or("")).value, -(1 << 16), 1 << 16);
  const bool sized = widthAttr > 0 && heightAttr > 0;
  const int ppi = canvas_.PixelsPerInch();

  ImageRef img = ResolveImage(source);
  if (img.kind == ImageRef::Kind::Picture && sized) {
    img.width = MulDivRound(widthAttr, ppi, 96);
    img.height = MulDivRound(heightAttr, ppi, 96);
  }

  // An image that does not fit behind what the line holds starts the next line; it is counted,
  // hit-tested and drawn there, not here.
  if (!w.replay && lv.width + img.width > w.r.Width() && img.width < w.r.Width()) {
    --imageCounter_;
    w.stopBeforeTag = true;
    return;
  }

  if (Drawing(w)) {
    if (img.kind == ImageRef::Kind::Picture) {
      MarkupPicture& pic = *img.picture;
      if (sized) {
        pic.stretch = true;
        pic.Draw(canvas_, Rect{w.d.left, w.r.top, w.d.left + widthAttr, w.r.top + heightAttr});
      } else {
        pic.stretch = false;
        const int x = w.d.left + pic.FrameLeft();
        const int y = w.r.top + pic.FrameTop();
        pic.Draw(canvas_, Rect{x, y, x, y});
      }
    } else {
      DrawSmallImage(img, w.d.left, w.r.top);
    }
  }

  const int x = p_.mouseX - w.r.left;
  if (insideLink_ && lv.width < x && x < lv.width + img.width && w.r.top < p_.mouseY &&
      p_.mouseY < w.r.top + img.height) {
    lv.imageHit = true;
    out_.anchorUnderMouse = linkTarget_;
    hoveredImage_ = imageCounter_;
  }

  lv.width += img.width;
  w.d.left += img.width;
  lv.height = std::max(lv.height, img.height);

  if (upper.find("ALIGN") != std::string_view::npos) {
    if (upper.find("\"TOP") != std::string_view::npos) {
      lv.baselineRaise = lv.height - H();
    } else if (upper.find("\"MIDDLE") != std::string_view::npos) {
      lv.baselineRaise = std::max(0, (lv.height - H()) / 2);
    }
  }
  if (upper.find("WRAP") != std::string_view::npos) {
    lv.height = H();
    lv.baselineRaise = 0;
  }
}

void Renderer::BodyTag(LineWalk& w, std::string_view upper) {
  const Rect& b = p_.bounds;
  if (auto v = AttributeValue(upper, "BACKGROUND")) {
    ImageRef img = ResolveImage(*v);
    if (img.kind == ImageRef::Kind::Picture) {
      const int pw = img.picture->Width() * canvas_.PixelsPerInch() / 96;
      const int ph = img.picture->Height() * canvas_.PixelsPerInch() / 96;
      if (pw > 0 && ph > 0) {
        canvas_.PushClip(b);
        img.picture->stretch = false;
        for (int y = b.top; y < b.bottom; y += ph) {
          for (int x = b.left; x < b.right; x += pw) img.picture->Draw(canvas_, Rect{x, y, x, y});
        }
        canvas_.PopClip();
      }
    } else {
      DrawSmallImage(img, w.d.left, w.r.top);
    }
  }
  if (auto v = AttributeValue(upper, "BGTOPLEFT")) {
    ImageRef img = ResolveImage(*v);
    if (img.kind == ImageRef::Kind::Picture) {
      img.picture->stretch = false;
      img.picture->Draw(canvas_, Rect{b.left, b.top, b.left, b.top});
    } else {
      DrawSmallImage(img, w.d.left, w.r.top);
    }
  }
  if (auto v = AttributeValue(upper, "BGTOPRIGHT")) {
    ImageRef img = ResolveImage(*v);
    if (img.kind == ImageRef::Kind::Picture) {
      const int pw = img.picture->Width() * canvas_.PixelsPerInch() / 96;
      img.picture->stretch = false;
      img.picture->Draw(canvas_, Rect{b.right - pw, b.top, b.right - pw, b.top});
    } else {
      DrawSmallImage(img, w.r.right - img.width, w.r.top);
    }
  }
  auto bg = AttributeValue(upper, "BGCOLOR");
  if (!bg) return;
  const Color start = ColorFromText(*bg);
  if (auto to = AttributeValue(upper, "BGCOLORTO")) {
    auto dir = AttributeValue(upper, "DIR");
    const bool horizontal = !dir || dir->empty() || *dir == "H";
    canvas_.SetPen(start, canvas_.PenWidth());
    DrawGradient(canvas_, start, ColorFromText(*to), 64, horizontal, b, kColorNone);
    canvas_.SetBrushColor(kColorNone);
  } else {
    savedFontBrush_ = canvas_.BrushColor();
    const Color pen = canvas_.PenColor();
    canvas_.SetBrushColor(start);
    canvas_.SetPen(start, canvas_.PenWidth());
    canvas_.Rectangle(Rect{b.left - 2, b.top, b.right, b.bottom});
    canvas_.SetPen(pen, canvas_.PenWidth());
  }
}

}  // namespace vt9::markup
