// The markup panel ("TMarkupPanel"): a coloured area with an optional border, shadow and
// bevels that draws a markup text and reacts to its links (hand cursor, hover, enter/exit
// events; a click opens targets holding "://" or "mailto:" through the shell and reports any
// other target to OnAnchorClick).
//
// It can carry child controls (buttons placed on it): it hands their WM_COMMAND, WM_NOTIFY,
// WM_DRAWITEM and WM_MEASUREITEM on to its own parent, colours them through WM_CTLCOLOR* with
// its background, and lets dialog navigation (Tab, Esc, mnemonics) reach them
// (WS_EX_CONTROLPARENT). WM_SETTEXT / WM_GETTEXT hold the markup text; WM_SETFONT sets the
// text font. Painting goes through an off-screen bitmap unless `buffered` is off.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "platform/canvas.h"
#include "widgets/widget_geometry.h"
#include "widgets/win/markup_widget_support.h"

namespace vt9::win {

inline constexpr char kMarkupPanelClass[] = "TMarkupPanel";

enum class PanelBevel { None, Lowered, Raised, Space };

struct MarkupPanelStyle {
  Color color = SystemColor(COLOR_BTNFACE);
  Color colorTo = kColorNone;  // none: plain fill; else a 64-band gradient from color
  bool gradientHorizontal = false;
  Color borderColor = 0x000000;
  int borderWidth = 0;
  bool borderShadow = false;
  PanelBevel bevelOuter = PanelBevel::Raised;
  PanelBevel bevelInner = PanelBevel::None;
  int bevelWidth = 1;
  int indent = 0;
  int topIndent = 0;
  VertLayout textVAlign = VertLayout::Top;
  bool ellipsis = false;
  int lineSpacing = 0;
  Color urlColor = 0xFF0000;
  bool hover = false;
  Color hoverColor = kColorNone;
  Color hoverFontColor = kColorNone;
  Color shadowColor = 0x808080;
  int shadowOffset = 2;
  bool buffered = true;
};

using MarkupPanelEvents = MarkupLinkEvents;

bool RegisterMarkupPanel();

// A visible panel; rect in the parent's client pixels. Takes the parent's font.
HWND CreateMarkupPanel(HWND parent, int id, const RECT& rect);

void SetMarkupPanelStyle(HWND panel, const MarkupPanelStyle& style);
MarkupPanelStyle GetMarkupPanelStyle(HWND panel);
void SetMarkupPanelEvents(HWND panel, MarkupPanelEvents events);

void SetMarkupPanelText(HWND panel, const std::string& markup);
std::string GetMarkupPanelText(HWND panel);
void SetMarkupPanelColor(HWND panel, Color color);
// The text font and colour; `font.height` in device pixels (negative: character height).
void SetMarkupPanelFont(HWND panel, const FontSpec& font);
// Sources of the text's "IDX:n" images and named pictures (Images, PictureContainer); not
// owned, nullptr for none. They must live as long as the panel shows them.
void SetMarkupPanelImages(HWND panel, const ImageList* images);
void SetMarkupPanelPictureContainer(HWND panel, const PictureContainer* container);

}  // namespace vt9::win
