#include "widgets/check_box_layout.h"

namespace vt9 {

MarkLook EffectiveLook(CheckButtonType type, const PlatformLook& p) {
  switch (type) {
    case CheckButtonType::Classic:
      return MarkLook::Frame;
    case CheckButtonType::Flat:
      return MarkLook::FlatFrame;
    case CheckButtonType::Raised:
      return MarkLook::Raised;
    case CheckButtonType::Bitmap:
      return MarkLook::Bitmap;
    case CheckButtonType::WinXP:
      return p.xpOrLater && p.themeActive ? MarkLook::Themed : MarkLook::XpBitmap;
    case CheckButtonType::Theme:
      return p.xpOrLater && p.themeActive && p.comctlMajor > 5 ? MarkLook::Themed : MarkLook::Frame;
  }
  return MarkLook::Frame;
}

int CaptionIndent(MarkLook look) {
  return look == MarkLook::Bitmap || look == MarkLook::XpBitmap ? 10 : 5;
}

Rect MarkRect(MarkLook look, CheckAlignment align, VertLayout vert, int w, int h, int bitmapW,
              int bitmapH, int dpi) {
  const auto s = [dpi](int v) { return ScaleFrom96(v, dpi); };
  const bool right = align == CheckAlignment::RightJustify;
  int left = 0;
  int top = 0;
  int mw = 0;
  int mh = 0;
  switch (look) {
    case MarkLook::Frame:
    case MarkLook::FlatFrame:
      mw = mh = s(13);
      left = right ? w - s(13) : 0;
      top = vert == VertLayout::Top ? s(4) : vert == VertLayout::Center ? h / 2 - s(6) : h - s(17);
      break;
    case MarkLook::Raised:
      mw = mh = s(12);
      left = right ? w - s(13) : s(1);
      top = vert == VertLayout::Top ? s(4) : vert == VertLayout::Center ? h / 2 - s(6) : h - s(16);
      break;
    case MarkLook::Themed:
      mw = mh = s(14);
      left = right ? w - s(15) : 0;
      top = vert == VertLayout::Top ? s(4) : vert == VertLayout::Center ? h / 2 - s(6) : h - s(14);
      break;
    case MarkLook::Bitmap:
    case MarkLook::XpBitmap:
      mw = bitmapW;
      mh = bitmapH;
      left = right ? w - bitmapW - 1 : 0;
      top = vert == VertLayout::Top      ? (look == MarkLook::XpBitmap ? s(2) : 0)
            : vert == VertLayout::Center ? h / 2 - bitmapH / 2
                                         : h - bitmapH;
      break;
  }
  return {left, top, left + mw, top + mh};
}

Rect CaptionRect(MarkLook look, CheckAlignment align, int w, int h, int dpi) {
  const int gap = ScaleFrom96(CaptionIndent(look) + 12, dpi);
  Rect r{0, ScaleFrom96(4, dpi), w, h};
  if (align == CheckAlignment::LeftJustify) {
    r.left += gap;
  } else {
    r.right -= gap;
  }
  return r;
}

Rect MarkStrip(CheckAlignment align, int w, int h, int dpi) {
  const int strip = ScaleFrom96(20, dpi);
  if (align == CheckAlignment::LeftJustify) return {0, 0, strip, h};
  return {w - strip, 0, w, h};
}

int ThemeCheckState(CheckState state, bool enabled, bool down, bool hot) {
  const int base = state == CheckState::Checked ? 5 : 1;
  if (!enabled) return base + 3;
  if (down) return base + 2;
  if (hot) return base + 1;
  return base;
}

std::string MarkBitmapName(MarkLook look, CheckState state, bool enabled) {
  // Checked, unchecked, checked disabled, unchecked disabled: 1-4 plain, 5-8 the XP set.
  int n = 0;
  if (state == CheckState::Grayed) {
    n = 3;
  } else {
    n = (state == CheckState::Checked ? 1 : 2) + (enabled ? 0 : 2);
  }
  if (look == MarkLook::XpBitmap) n += 4;
  return "CHKBMP0" + std::to_string(n);
}

}  // namespace vt9
