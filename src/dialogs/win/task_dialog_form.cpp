#include "dialogs/win/task_dialog_form.h"

#include <commctrl.h>

#include <algorithm>
#include <optional>

#include "common/win/window_accessible.h"
#include "common/win/window_class.h"
#include "dialogs/task_dialog_screen.h"
#include "dialogs/win/task_dialog_button.h"
#include "dialogs/win/task_dialog_form_parts.h"
#include "markup/win/gdi_canvas.h"
#include "vt9_texts.h"
#include "widgets/caption_text.h"
#include "widgets/win/control_support.h"

// The form's construction and layout application: the layout measured on the screen, the
// controls created and placed where it says, again after expanding and scrolling. Its keys,
// painting and modal run are in the task_dialog_form_*.cpp files beside it.

namespace vt9::win {

namespace task_dialog_form {

void Move(HWND control, const Rect& r) {
  if (control) MoveWindow(control, r.left, r.top, r.Width(), r.Height(), FALSE);
}

}  // namespace task_dialog_form

using namespace task_dialog_form;

namespace {

HFONT MakeFont(const FontSpec& f) {
  return CreateFontA(f.height, 0, f.escapement, f.escapement,
                     (f.style & kFontBold) ? FW_BOLD : FW_NORMAL, (f.style & kFontItalic) != 0,
                     (f.style & kFontUnderline) != 0, (f.style & kFontStrikeOut) != 0,
                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, f.name.substr(0, LF_FACESIZE - 1).c_str());
}

// The system message font; the default GUI font when the query fails.
FontSpec MessageFont() {
  NONCLIENTMETRICSA ncm{};
  ncm.cbSize = sizeof(ncm);
  HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  GdiObject created;
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0)) {
    created.Reset(CreateFontIndirectA(&ncm.lfMessageFont));
    if (created) font = static_cast<HFONT>(created.get());
  }
  return FontSpecFromHandle(font, kColorBlack);
}

// A caption from the string table, or the built-in text when the program carries none.
std::string ResourceText(UINT id, const char* fallback) {
  char buffer[256] = {};
  const int n = LoadStringA(GetModuleHandleA(nullptr), id, buffer, sizeof buffer);
  return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string(fallback);
}

void SetFont(HWND control, HGDIOBJ font) {
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

HWND Child(HWND parent, const char* cls, const std::string& text, DWORD style, int id) {
  const std::string shown = text.substr(0, kControlTextLimit);
  return CreateWindowExA(0, cls, shown.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                         reinterpret_cast<HMENU>(INT_PTR{id}), GetModuleHandleA(nullptr), nullptr);
}

// A control of the part above the buttons, while that part scrolls: a text window is cut at
// the part's bottom (what is above the top is outside the form anyway), another control shows
// only whole.
void PlaceScrolled(HWND control, const TaskDialogLayout& layout, Rect r, bool text, bool shown) {
  if (!control) return;
  if (!text) {
    shown = shown && layout.ShowsWhole(r);
  } else if (layout.scrollRange > 0) {
    // Only the part that shows: a window of a huge text could be taller than a window may be
    // (its lines are drawn where the layout put them, see OnDrawItem).
    r.top = std::max(r.top, 0);
    r.bottom = std::min(r.bottom, layout.viewBottom);
    shown = shown && r.bottom > std::max(r.top, 0);
  }
  if (shown) Move(control, r);
  // A text window of a scrolled part stays where it is while its text moves within it.
  if (shown && text) InvalidateRect(control, nullptr, FALSE);
  ShowWindow(control, shown ? SW_SHOWNA : SW_HIDE);
}

// The monitor the owner is on (the primary one without an owner) and its work area. Looked up
// at run time: the oldest systems this window serves know one screen only, and no such calls.
void OwnerScreen(HWND owner, Rect& monitor, Rect& work) {
  RECT area{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  work = {area.left, area.top, area.right, area.bottom};
  monitor = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  HMODULE user = GetModuleHandleA("user32.dll");
  if (!user) return;
  using FromWindow = HMONITOR(WINAPI*)(HWND, DWORD);
  using FromPoint = HMONITOR(WINAPI*)(POINT, DWORD);
  using Info = BOOL(WINAPI*)(HMONITOR, LPMONITORINFO);
  const auto fromWindow = reinterpret_cast<FromWindow>(
      reinterpret_cast<void*>(GetProcAddress(user, "MonitorFromWindow")));
  const auto fromPoint = reinterpret_cast<FromPoint>(
      reinterpret_cast<void*>(GetProcAddress(user, "MonitorFromPoint")));
  const auto info =
      reinterpret_cast<Info>(reinterpret_cast<void*>(GetProcAddress(user, "GetMonitorInfoA")));
  if (!fromWindow || !fromPoint || !info) return;
  HMONITOR handle = owner ? fromWindow(owner, MONITOR_DEFAULTTONEAREST)
                          : fromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO mi{};
  mi.cbSize = sizeof(mi);
  if (!handle || !info(handle, &mi)) return;
  monitor = {mi.rcMonitor.left, mi.rcMonitor.top, mi.rcMonitor.right, mi.rcMonitor.bottom};
  work = {mi.rcWork.left, mi.rcWork.top, mi.rcWork.right, mi.rcWork.bottom};
}

// The lead bytes of the system's code page, where it has double-byte characters.
std::optional<LeadBytes> SystemLeadBytes() {
  LeadBytes lead{};
  bool any = false;
  for (int b = 0x80; b < 256; ++b)
    any |= lead[static_cast<std::size_t>(b)] = IsDBCSLeadByte(static_cast<BYTE>(b)) != FALSE;
  if (!any) return std::nullopt;
  return lead;
}

// The program's file name, which the system's dialog shows as the caption of a dialog
// without a title.
std::string ProgramName() {
  char path[MAX_PATH] = {};
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string name(path, n < MAX_PATH ? n : 0);
  const std::size_t slash = name.find_last_of("\\/");
  return slash == std::string::npos ? name : name.substr(slash + 1);
}

// The texts the form shows in static windows (the instruction, the details, and the windows
// over the painted content and footer) are read by screen readers as static text named by the
// plain text, whatever the window's own class would answer.
LRESULT CALLBACK TextWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                DWORD_PTR) {
  if (message == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT) {
    char buffer[kControlTextLimitForReaders] = {};
    GetWindowTextA(hwnd, buffer, sizeof buffer);
    // The static windows show "&" as it stands (SS_NOPREFIX or drawn by the form).
    if (LRESULT answer = AnswerStaticTextAccessibility(hwnd, wParam, buffer)) return answer;
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

void ReadAsText(HWND window) {
  if (window) SetWindowSubclass(window, TextWindowProc, 1, 0);
}

}  // namespace

TTaskDialogForm::TTaskDialogForm(TTaskDialog& dialog)
    : dialog_(dialog),
      model_(static_cast<const TaskDialogModel&>(dialog)),
      events_{dialog.OnDialogClose,          dialog.OnDialogButtonClick, dialog.OnDialogRadioClick,
              dialog.OnDialogHyperlinkClick, dialog.OnDialogTimer,       dialog.OnDialogVerifyClick,
              dialog.OnDialogProgress} {}

TTaskDialogForm::~TTaskDialogForm() {
  if (hwnd_) DestroyWindow(hwnd_);
}

bool TTaskDialogForm::Build(HWND owner) {
  if (!RegisterWindowClass(kTaskDialogFormClass, WindowProc, {0, nullptr, nullptr, 0}))
    return false;
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  owner_ = owner;

  // Measure with the fonts the controls will use, on a canvas of the screen.
  TaskDialogEnvironment env;
  env.formFont = MessageFont();
  env.defaultCaption = ProgramName();
  env.scrollBarWidth = GetSystemMetrics(SM_CXVSCROLL);
  Rect monitor;
  OwnerScreen(owner, monitor, work_);
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, kFormStyle, FALSE, kFormExStyle);
  FitTaskDialogToMonitor(env, monitor, work_, {frame.right - frame.left, frame.bottom - frame.top});
  env.leadBytes = SystemLeadBytes();
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof(version);
  env.oldSystem = GetVersionExA(&version) && version.dwMajorVersion < 6;
  env.commonCaptions = {
      ResourceText(IDS_TD_OK, STR_TD_OK),       ResourceText(IDS_TD_YES, STR_TD_YES),
      ResourceText(IDS_TD_NO, STR_TD_NO),       ResourceText(IDS_TD_CANCEL, STR_TD_CANCEL),
      ResourceText(IDS_TD_RETRY, STR_TD_RETRY), ResourceText(IDS_TD_ABORT, STR_TD_ABORT)};
  {
    MeasureDc dc;
    if (!dc.get()) return false;
    GdiCanvas canvas(dc.get());
    layout_ = LayOutTaskDialog(model_, canvas, env);
  }

  if (!CreateWindowExA(kFormExStyle, kTaskDialogFormClass, layout_.caption.c_str(), kFormStyle, 0,
                       0, 0, 0, owner, nullptr, GetModuleHandleA(nullptr), this))
    return false;
  bandBrush_.Reset(CreateSolidBrush(ToColorRef(kTaskDialogBandColor)));
  CreateFonts();
  CreateControls();
  PlaceControls();
  // A DefaultRadioButton that names no radio leaves none chosen.
  radioResult_ = dialog_.RadioResult = layout_.InitialRadioResult();
  for (std::size_t i = 0; i < layout_.radios.size(); ++i)
    if (layout_.radios[i].checked) checkedRadio_ = static_cast<int>(i);
  verifyResult_ = dialog_.VerifyResult = layout_.verificationChecked;
  if (layout_.hasTimer) timerRunning_ = SetTimer(hwnd_, kTimerId, 100, nullptr) != 0;
  return true;
}

void TTaskDialogForm::CreateFonts() {
  formFont_.Reset(MakeFont(layout_.formFont));
  instructionFont_.Reset(MakeFont(layout_.instructionFont));
  headingFont_.Reset(MakeFont(layout_.headingFont));
  descriptionFont_.Reset(MakeFont(layout_.descriptionFont));
  radioFont_.Reset(MakeFont(layout_.radioFont));
}

void TTaskDialogForm::CreateControls() {
  // Drawn by the form (WM_DRAWITEM) with the lines the layout measured, so that what is shown
  // is exactly what was measured; the text stays the window's text for screen readers.
  instruction_ = Child(hwnd_, "STATIC", model_.Instruction, SS_OWNERDRAW, kInstructionId);
  SetFont(instruction_, instructionFont_.get());
  ReadAsText(instruction_);

  // The content and the footer are painted by the form; a window over each holds their plain
  // text for screen readers and shows the form's painting of its place. Static windows let
  // the mouse through to the form, whose links they cover.
  if (!model_.Content.empty()) {
    const std::string plain = model_.Options.Contains(doHyperlinks)
                                  ? WithoutAccelerators(MarkupToWindowText(model_.Content))
                                  : model_.Content;
    content_ = Child(hwnd_, "STATIC", plain, SS_OWNERDRAW, kContentId);
    ReadAsText(content_);
  }
  if (layout_.hasFooter) {
    footer_ = Child(hwnd_, "STATIC", WithoutAccelerators(MarkupToWindowText(model_.Footer)),
                    SS_OWNERDRAW, kFooterId);
    ReadAsText(footer_);
  }

  // One tab stop for the group, on its checked radio (or the first one): Tab enters the group
  // where the choice is, the arrow keys move within it.
  std::size_t tabRadio = 0;
  for (std::size_t i = 0; i < layout_.radios.size(); ++i)
    if (layout_.radios[i].checked) tabRadio = i;

  for (std::size_t i = 0; i < layout_.radios.size(); ++i) {
    const TaskDialogRadio& r = layout_.radios[i];
    HWND radio = Child(hwnd_, "BUTTON", r.caption,
                       BS_AUTORADIOBUTTON | BS_MULTILINE | (i == tabRadio ? WS_TABSTOP : 0) |
                           (i == 0 ? WS_GROUP : 0),
                       kRadioId + static_cast<int>(i));
    SetFont(radio, radioFont_.get());
    if (r.checked) SendMessageA(radio, BM_SETCHECK, BST_CHECKED, 0);
    radios_.push_back(radio);
  }

  if (layout_.hasExpand) {
    expandLabel_ =
        Child(hwnd_, "STATIC", model_.ExpandedText, SS_OWNERDRAW | WS_GROUP, kExpandLabelId);
    SetFont(expandLabel_, formFont_.get());
    ReadAsText(expandLabel_);
    expandButton_ = TTaskDialogButton::Create(hwnd_, kExpandButtonId, {0, 0, 22, 22}, "");
    if (expandButton_) {
      expandButton_->ModalResult = 0;
      expandButton_->BorderColorHot = 0xFFE16C;
      expandButton_->BorderColorDown = 0xFFE16C;
    }
  }

  for (std::size_t i = 0; i < layout_.commandLinks.size(); ++i) {
    const TaskDialogCommandLink& l = layout_.commandLinks[i];
    TTaskDialogButton* link =
        TTaskDialogButton::Create(hwnd_, kCommandLinkId + static_cast<int>(i), {}, l.text);
    if (!link) continue;
    link->ModalResult = l.result;
    link->HeadingFont = static_cast<HFONT>(headingFont_.get());
    link->Font = static_cast<HFONT>(descriptionFont_.get());
    link->TextColor = ToColorRef(kTaskDialogBlue);
    link->BorderColorHot = 0xFFE16C;  // red 108, green 225, blue 255
    link->BorderColorDown = 0xFFE16C;
    link->SetPictures("TD_ARW", "TD_ARWHOT", "TD_ARWDOWN");
    SetWindowTextA(link->hwnd(), l.text.c_str());
    commandLinks_.push_back(link);
  }

  // Push buttons left to right: custom ones, then the common ones (or the lone OK).
  auto addPush = [&](bool custom) {
    for (std::size_t i = 0; i < layout_.pushButtons.size(); ++i) {
      const TaskDialogPushButton& b = layout_.pushButtons[i];
      if ((b.customIndex >= 0) != custom) continue;
      HWND h = Child(hwnd_, "BUTTON", b.caption,
                     WS_TABSTOP | (b.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
                     kPushButtonId + static_cast<int>(i));
      SetFont(h, formFont_.get());
      pushButtons_.push_back({h, i});
    }
  };
  addPush(true);
  addPush(false);

  if (layout_.hasVerification) {
    verification_ = Child(hwnd_, "BUTTON", model_.VerificationText,
                          BS_AUTOCHECKBOX | BS_MULTILINE | WS_TABSTOP | WS_GROUP, kVerificationId);
    SetFont(verification_, formFont_.get());
    if (layout_.verificationChecked) SendMessageA(verification_, BM_SETCHECK, BST_CHECKED, 0);
  }

  if (layout_.hasProgressBar) {
    progress_ = Child(hwnd_, PROGRESS_CLASSA, "", 0, kProgressId);
    SendMessageA(progress_, PBM_SETRANGE32, static_cast<WPARAM>(model_.ProgressBarMin),
                 model_.ProgressBarMax);
    SendMessageA(progress_, PBM_SETPOS, 0, 0);
  }

  // Hidden until the part above the buttons needs to scroll.
  scrollBar_ = CreateWindowExA(0, "SCROLLBAR", "", WS_CHILD | SBS_VERT, 0, 0, 0, 0, hwnd_,
                               reinterpret_cast<HMENU>(INT_PTR{kScrollBarId}),
                               GetModuleHandleA(nullptr), nullptr);

  if (model_.Icon == tiShield)
    shield_.Reset(LoadImageA(GetModuleHandleA(nullptr), "TD_SHIELD", IMAGE_BITMAP, 0, 0,
                             LR_CREATEDIBSECTION));

  // The default button takes the first tab position.
  const int def = layout_.DefaultButtonIndex();
  for (const PushButton& p : pushButtons_)
    if (static_cast<int>(p.index) == def)
      SetWindowPos(p.hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

  // The radio group ends at the control after it, so the arrow keys stay within the radios.
  if (!radios_.empty()) {
    if (HWND after = GetWindow(radios_.back(), GW_HWNDNEXT))
      SetWindowLongA(after, GWL_STYLE, GetWindowLongA(after, GWL_STYLE) | WS_GROUP);
  }
}

void TTaskDialogForm::PlaceControls() {
  const TaskDialogLayout& L = layout_;
  PlaceScrolled(instruction_, L, L.instructionRect, true, L.instructionVisible);
  PlaceScrolled(content_, L, L.contentRect, true, true);
  if (footer_) Move(footer_, layout_.FooterTextRect());
  for (std::size_t i = 0; i < radios_.size(); ++i)
    PlaceScrolled(radios_[i], L, L.radios[i].rect, false, true);
  PlaceScrolled(expandLabel_, L, L.expandLabel, true, L.expanded);
  if (expandButton_) {
    Move(expandButton_->hwnd(), layout_.expandButton);
    if (layout_.expanded)
      expandButton_->SetPictures("TD_COLP", "TD_COLPHOT", "TD_COLPDOWN");
    else
      expandButton_->SetPictures("TD_EXP", "TD_EXPHOT", "TD_EXPDOWN");
    // Read by screen readers as its label says, or as the system's dialog names it.
    const std::string& label =
        layout_.expanded ? model_.ExpandControlText : model_.CollapsControlText;
    expandButton_->AccessibleName =
        !label.empty() ? label : (layout_.expanded ? "Hide details" : "See details");
  }
  for (std::size_t i = 0; i < commandLinks_.size(); ++i)
    PlaceScrolled(commandLinks_[i]->hwnd(), L, L.commandLinks[i].rect, false, true);
  for (const PushButton& p : pushButtons_) Move(p.hwnd, layout_.pushButtons[p.index].rect);
  Move(verification_, layout_.verificationRect);
  PlaceScrolled(progress_, L, L.progressRect, false, true);
  if (scrollBar_) {
    if (L.scrollRange > 0) {
      Move(scrollBar_, L.scrollBar);
      SCROLLINFO si{};
      si.cbSize = sizeof(si);
      si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
      si.nMin = 0;
      si.nMax = L.scrollRange + L.viewBottom - 1;
      si.nPage = static_cast<UINT>(L.viewBottom);
      si.nPos = L.scrollPos;
      SetScrollInfo(scrollBar_, SB_CTL, &si, TRUE);
    }
    ShowWindow(scrollBar_, L.scrollRange > 0 ? SW_SHOWNA : SW_HIDE);
  }

  RECT r{0, 0, layout_.clientWidth, layout_.clientHeight};
  AdjustWindowRectEx(&r, kFormStyle, FALSE, kFormExStyle);
  const Size size{r.right - r.left, r.bottom - r.top};
  RECT now{};
  GetWindowRect(hwnd_, &now);
  // Grown (the details expanded) near the screen's edge: moved back onto the work area, so that
  // its buttons stay on the screen.
  const Rect kept =
      IsWindowVisible(hwnd_)
          ? KeepOnWorkArea({now.left, now.top, now.left + size.cx, now.top + size.cy}, work_)
          : Rect{now.left, now.top, now.left + size.cx, now.top + size.cy};
  SetWindowPos(hwnd_, nullptr, kept.left, kept.top, size.cx, size.cy,
               SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void TTaskDialogForm::ToggleExpanded() {
  layout_.expanded = !layout_.expanded;
  MeasureDc dc;
  {
    GdiCanvas canvas(dc.get());
    VerticalPass(layout_, model_, canvas);
  }
  PlaceControls();
}

void TTaskDialogForm::ScrollTo(int pos) {
  pos = std::clamp(pos, 0, layout_.scrollRange);
  if (pos == layout_.scrollPos) return;
  layout_.scrollPos = pos;
  MeasureDc dc;
  {
    GdiCanvas canvas(dc.get());
    VerticalPass(layout_, model_, canvas);
  }
  PlaceControls();
}

void TTaskDialogForm::OnVScroll(int code) {
  const int line = std::max(1, layout_.m.cy);
  const int page = std::max(line, layout_.viewBottom - line);
  int pos = layout_.scrollPos;
  switch (code) {
    case SB_LINEUP:
      pos -= line;
      break;
    case SB_LINEDOWN:
      pos += line;
      break;
    case SB_PAGEUP:
      pos -= page;
      break;
    case SB_PAGEDOWN:
      pos += page;
      break;
    case SB_TOP:
      pos = 0;
      break;
    case SB_BOTTOM:
      pos = layout_.scrollRange;
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      SCROLLINFO si{};
      si.cbSize = sizeof(si);
      si.fMask = SIF_TRACKPOS;
      if (GetScrollInfo(scrollBar_, SB_CTL, &si)) pos = si.nTrackPos;
      break;
    }
    default:
      return;
  }
  ScrollTo(pos);
}

}  // namespace vt9::win
