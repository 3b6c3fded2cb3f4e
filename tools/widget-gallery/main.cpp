// widget-gallery: shows the markup check box in every style and state, and markup panels with
// borders, gradients, vertical alignments and links. Started with "/close-after <ms>" it closes
// itself, so scripts can run it unattended.
#include <windows.h>
// (kept after windows.h, which it needs)
#include <commctrl.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <string>

#include "markup/win/gdi_canvas.h"
#include "widgets/widget_geometry.h"
#include "widgets/win/control_support.h"
#include "widgets/win/markup_check_box.h"
#include "widgets/win/markup_panel.h"

namespace {

using namespace vt9;
using namespace vt9::win;

constexpr char kGalleryClass[] = "VT9WidgetGallery";
constexpr int kFocusedBoxId = 1000;
constexpr UINT_PTR kCloseTimer = 1;

int g_dpi = 96;
HFONT g_font = nullptr;

// The image list behind "IDX:" images of the gallery: two system icons at small size.
const vt9::ImageList& GalleryImages() {
  static GdiImageList images(
      [] {
        const int size = GetSystemMetrics(SM_CXSMICON);
        HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 2, 0);
        for (LPCSTR icon : {IDI_INFORMATION, IDI_WARNING}) {
          HICON handle =
              static_cast<HICON>(LoadImageA(nullptr, icon, IMAGE_ICON, size, size, LR_SHARED));
          ImageList_AddIcon(list, handle);
        }
        return list;
      }(),
      true);
  return images;
}

int S(int v) { return ScaleFrom96(v, g_dpi); }
RECT R(int x, int y, int w, int h) { return {S(x), S(y), S(x + w), S(y + h)}; }

void Label(HWND parent, const char* text, int x, int y, int w, int h = 16) {
  HWND label = CreateWindowExA(0, "STATIC", text, WS_CHILD | WS_VISIBLE, S(x), S(y), S(w), S(h),
                               parent, nullptr, GetModuleHandleA(nullptr), nullptr);
  SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(g_font), FALSE);
}

void BuildCheckBoxes(HWND window) {
  struct Column {
    const char* title;
    CheckState state;
    bool enabled;
  };
  const std::array<Column, 5> columns{{{"unchecked", CheckState::Unchecked, true},
                                       {"checked", CheckState::Checked, true},
                                       {"grayed", CheckState::Grayed, true},
                                       {"disabled", CheckState::Unchecked, false},
                                       {"disabled, checked", CheckState::Checked, false}}};
  const std::array<std::pair<const char*, CheckButtonType>, 6> types{{
      {"btClassic", CheckButtonType::Classic},
      {"btRaised", CheckButtonType::Raised},
      {"btFlat", CheckButtonType::Flat},
      {"btBitmap", CheckButtonType::Bitmap},
      {"btWinXP", CheckButtonType::WinXP},
      {"btTheme", CheckButtonType::Theme},
  }};
  for (std::size_t c = 0; c < columns.size(); ++c) {
    Label(window, columns[c].title, 90 + static_cast<int>(c) * 120, 8, 115);
  }
  int id = 100;
  for (std::size_t t = 0; t < types.size(); ++t) {
    const int y = 28 + static_cast<int>(t) * 26;
    Label(window, types[t].first, 8, y + 4, 80);
    for (std::size_t c = 0; c < columns.size(); ++c) {
      HWND box = CreateMarkupCheckBox(window, id++, R(90 + static_cast<int>(c) * 120, y, 115, 22),
                                      "<B>&Bold</B> caption");
      MarkupCheckBoxStyle style = GetMarkupCheckBoxStyle(box);
      style.buttonType = types[t].second;
      style.checkColor = 0x008000;
      SetMarkupCheckBoxStyle(box, style);
      SetMarkupCheckBoxState(box, columns[c].state);
      EnableWindow(box, columns[c].enabled);
    }
  }
  // Alignments, vertical places, a focused box, and a caption with a link.
  const int y = 28 + 6 * 26 + 6;
  HWND right = CreateMarkupCheckBox(window, id++, R(90, y, 170, 22), "Mark at the right");
  MarkupCheckBoxStyle style = GetMarkupCheckBoxStyle(right);
  style.alignment = CheckAlignment::RightJustify;
  SetMarkupCheckBoxStyle(right, style);
  SetMarkupCheckBoxChecked(right, true);

  const std::array<std::pair<const char*, VertLayout>, 3> places{
      {{"tlTop", VertLayout::Top},
       {"tlCenter", VertLayout::Center},
       {"tlBottom", VertLayout::Bottom}}};
  for (std::size_t i = 0; i < places.size(); ++i) {
    HWND box = CreateMarkupCheckBox(window, id++, R(270 + static_cast<int>(i) * 95, y, 90, 40),
                                    places[i].first);
    MarkupCheckBoxStyle s = GetMarkupCheckBoxStyle(box);
    s.buttonType = CheckButtonType::Classic;
    s.buttonVertAlign = places[i].second;
    SetMarkupCheckBoxStyle(box, s);
  }
  HWND link =
      CreateMarkupCheckBox(window, id++, R(560, y, 200, 40),
                           "I accept the <A href=\"https://www.corvane.com/terms\">terms</A> "
                           "and <FONT color=\"#C00000\">conditions</FONT>");
  (void)link;
  // A caption with an icon from the check box's image list.
  HWND icon = CreateMarkupCheckBox(window, id++, R(560, y + 44, 200, 22),
                                   "<IMG src=\"IDX:0\"> Icon from an <B>image list</B>");
  SetMarkupCheckBoxImages(icon, &GalleryImages());
  SetMarkupCheckBoxChecked(icon, true);
  HWND focused =
      CreateMarkupCheckBox(window, kFocusedBoxId, R(90, y + 26, 170, 22), "<I>Focused</I> box");
  SetFocus(focused);
}

void BuildPanels(HWND window) {
  const int top = 28 + 6 * 26 + 80;
  struct Sample {
    const char* text;
    void (*setup)(MarkupPanelStyle&);
  };
  const std::array<Sample, 9> samples{{
      {"<B>Plain</B> panel, raised bevel (the default).", [](MarkupPanelStyle&) {}},
      {"<P align=\"center\"><FONT size=\"10\"><B>You have not done a Backup for more than 1 day</B>"
       "</FONT></P>",
       [](MarkupPanelStyle& s) {
         s.color = 0xC0DCC0;
         s.borderColor = 0xC0DCC0;
         s.borderWidth = 8;
         s.bevelOuter = PanelBevel::None;
       }},
      {"Border line with <B>shadow</B>.",
       [](MarkupPanelStyle& s) {
         s.color = 0xFFFFFF;
         s.borderColor = 0x804000;
         s.borderWidth = 4;
         s.borderShadow = true;
         s.bevelOuter = PanelBevel::None;
       }},
      {"<FONT color=\"#FFFFFF\"><B>Horizontal gradient</B></FONT> in 64 bands",
       [](MarkupPanelStyle& s) {
         s.color = 0x800000;
         s.colorTo = 0xFFC080;
         s.gradientHorizontal = true;
         s.bevelOuter = PanelBevel::Lowered;
       }},
      {"<B>Vertical gradient</B>, text at the bottom",
       [](MarkupPanelStyle& s) {
         s.color = 0xFFFFFF;
         s.colorTo = 0x40C0FF;
         s.textVAlign = VertLayout::Bottom;
         s.bevelOuter = PanelBevel::None;
         s.borderColor = 0x0080C0;
         s.borderWidth = 1;
       }},
      {"<P align=\"center\">Text <B>centred</B> vertically</P>",
       [](MarkupPanelStyle& s) {
         s.color = 0xF0F0F0;
         s.textVAlign = VertLayout::Center;
         s.bevelOuter = PanelBevel::Raised;
         s.bevelInner = PanelBevel::Lowered;
       }},
      {"Links: <A href=\"https://www.corvane.com/kb/dep\">web page</A>, "
       "<A href=\"mailto:support@corvane.com\">mail</A> and <A href=\"details\">details</A> "
       "(hover shows the link under the mouse)",
       [](MarkupPanelStyle& s) {
         s.color = 0xA4FFFF;
         s.hover = true;
         s.hoverColor = 0xFFE0C0;
         s.hoverFontColor = 0x800000;
         s.bevelOuter = PanelBevel::None;
         s.borderColor = 0x808080;
         s.borderWidth = 1;
       }},
      {"Broken <B markup <FONT color=\"#nonsense\">and an <A>empty link</A> still draw "
       "&amp; never crash",
       [](MarkupPanelStyle& s) {
         s.color = 0xE0E0FF;
         s.bevelOuter = PanelBevel::Lowered;
       }},
      {"<IMG src=\"RES://GALLERYDISC\" align=\"middle\"> A <B>RES://</B> picture, and "
       "<IMG src=\"IDX:1\"> an image-list icon",
       [](MarkupPanelStyle& s) {
         s.color = 0xFFFFFF;
         s.bevelOuter = PanelBevel::None;
         s.borderColor = 0x808080;
         s.borderWidth = 1;
       }},
  }};
  int id = 500;
  for (std::size_t i = 0; i < samples.size(); ++i) {
    const int x = 8 + static_cast<int>(i % 4) * 190;
    const int y = top + static_cast<int>(i / 4) * 110;
    HWND panel = CreateMarkupPanel(window, id++, R(x, y, 180, 100));
    MarkupPanelStyle style = GetMarkupPanelStyle(panel);
    samples[i].setup(style);
    SetMarkupPanelStyle(panel, style);
    SetMarkupPanelImages(panel, &GalleryImages());
    SetMarkupPanelText(panel, samples[i].text);
    if (i == 4) {
      // A transparent check box on the gradient: the panel paints itself behind it.
      HWND box = CreateMarkupCheckBox(panel, id + 100, R(6, 20, 165, 22), "<B>Transparent</B> box");
      MarkupCheckBoxStyle boxStyle = GetMarkupCheckBoxStyle(box);
      boxStyle.transparent = true;
      SetMarkupCheckBoxStyle(box, boxStyle);
      SetMarkupCheckBoxChecked(box, true);
    }
  }
}

LRESULT CALLBACK GalleryProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE:
      BuildCheckBoxes(hwnd);
      BuildPanels(hwnd);
      return 0;
    case WM_TIMER:
      if (wp == kCloseTimer) DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(hwnd, msg, wp, lp);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR cmdLine, int show) {
  g_dpi = WindowDpi(nullptr);
  g_font = CreateFontA(S(-11), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, "Tahoma");
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = GalleryProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  wc.lpszClassName = kGalleryClass;
  RegisterClassExA(&wc);
  RECT frame{0, 0, S(772), S(28 + 6 * 26 + 80 + 330)};
  const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  AdjustWindowRectEx(&frame, style, FALSE, 0);
  HWND window =
      CreateWindowExA(0, kGalleryClass, "Widget gallery", style, 0, 0, frame.right - frame.left,
                      frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(g_font), FALSE);
  if (const char* close = std::strstr(cmdLine, "/close-after ")) {
    SetTimer(window, kCloseTimer, static_cast<UINT>(std::atoi(close + 13)), nullptr);
  }
  ShowWindow(window, show);
  UpdateWindow(window);
  if (HWND focused = GetDlgItem(window, kFocusedBoxId)) SetFocus(focused);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (IsDialogMessageA(window, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  DeleteObject(g_font);
  return 0;
}
