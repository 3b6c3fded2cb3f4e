#include "dialogs/win/task_dialog_form.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "common/win/window_accessible.h"
#include "common/win/window_class.h"
#include "dialogs/task_dialog_paint.h"
#include "dialogs/win/task_dialog_button.h"
#include "markup/win/gdi_canvas.h"
#include "vt9_texts.h"
#include "widgets/caption_text.h"
#include "widgets/win/control_support.h"

namespace vt9::win {

namespace {

constexpr int kPushButtonId = 1000;
constexpr int kCommandLinkId = 2000;
constexpr int kRadioId = 3000;
constexpr int kVerificationId = 4000;
constexpr int kExpandButtonId = 4001;
constexpr int kInstructionId = 4002;
constexpr int kExpandLabelId = 4003;
constexpr int kProgressId = 4004;
constexpr int kContentId = 4005;
constexpr int kFooterId = 4006;
constexpr int kScrollBarId = 4007;
constexpr UINT_PTR kTimerId = 1;
constexpr DWORD kFormStyle = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
constexpr COLORREF kPictureKey = RGB(255, 0, 255);

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

// Wine's static control shows nothing at all for a window text of some ten thousand characters;
// what a control can show of a longer text is cut far earlier anyway.
constexpr std::size_t kControlTextLimit = 4096;
constexpr std::size_t kControlTextLimitForReaders = kControlTextLimit + 1;

HWND Child(HWND parent, const char* cls, const std::string& text, DWORD style, int id) {
  const std::string shown = text.substr(0, kControlTextLimit);
  return CreateWindowExA(0, cls, shown.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                         reinterpret_cast<HMENU>(INT_PTR{id}), GetModuleHandleA(nullptr), nullptr);
}

void Move(HWND control, const Rect& r) {
  if (control) MoveWindow(control, r.left, r.top, r.Width(), r.Height(), FALSE);
}

// A control of the part above the buttons, while that part scrolls: a text window is cut at
// the part's bottom (what is above the top is outside the form anyway), another control shows
// only whole.
void PlaceScrolled(HWND control, const TaskDialogLayout& layout, Rect r, bool text, bool shown) {
  if (!control) return;
  if (!text) {
    shown = shown && layout.ShowsWhole(r);
  } else if (layout.scrollRange > 0) {
    r.bottom = std::min(r.bottom, layout.viewBottom);
    shown = shown && r.bottom > std::max(r.top, 0);
  }
  if (shown) Move(control, r);
  ShowWindow(control, shown ? SW_SHOWNA : SW_HIDE);
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

LPCSTR SystemIconOf(int icon) {
  switch (icon) {
    case tiWarning:
      return IDI_WARNING;
    case tiQuestion:
      return IDI_QUESTION;
    case tiError:
      return IDI_ERROR;
    case tiInformation:
      return IDI_INFORMATION;
    default:
      return nullptr;
  }
}

LPCSTR FooterSystemIconOf(TTaskDialogFooterIcon icon) {
  switch (icon) {
    case tfiWarning:
      return IDI_WARNING;
    case tfiQuestion:
      return IDI_QUESTION;
    case tfiError:
      return IDI_ERROR;
    case tfiBlank:
      return nullptr;
  }
  return nullptr;
}

// A screen-compatible memory DC for measuring before the window can be drawn on.
class MeasureDc {
 public:
  MeasureDc() {
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
  }
  ~MeasureDc() {
    if (dc_) DeleteDC(dc_);
  }
  MeasureDc(const MeasureDc&) = delete;
  MeasureDc& operator=(const MeasureDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_ = nullptr;
};

// Lines one below the other, as the layout wrapped them, cut at the rectangle's bottom; with
// the system's own text output, which spaces glyphs as the native dialog does.
void DrawLines(HDC dc, HFONT font, const std::vector<std::string>& lines, const RECT& r) {
  HGDIOBJ old = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  const int lineHeight = tm.tmHeight + tm.tmExternalLeading;
  // Only the lines in the part being painted: a long text has thousands.
  RECT clip{};
  const bool clipped = GetClipBox(dc, &clip) != ERROR;
  int top = r.top;
  for (const std::string& line : lines) {
    if (top >= r.bottom || lineHeight <= 0) break;
    if (clipped && top >= clip.bottom) break;
    if (clipped && top + lineHeight <= clip.top) {
      top += lineHeight;
      continue;
    }
    RECT lr{r.left, top, r.right, std::min<LONG>(top + lineHeight, r.bottom)};
    DrawTextA(dc, line.c_str(), static_cast<int>(line.size()), &lr,
              DT_SINGLELINE | DT_NOPREFIX | DT_EXPANDTABS | DT_NOCLIP);
    top += lineHeight;
  }
  SelectObject(dc, old);
}

class ClipboardSession {
 public:
  explicit ClipboardSession(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
  ~ClipboardSession() {
    if (open_) CloseClipboard();
  }
  ClipboardSession(const ClipboardSession&) = delete;
  ClipboardSession& operator=(const ClipboardSession&) = delete;
  bool open() const { return open_; }

 private:
  bool open_;
};

}  // namespace

TTaskDialogForm::TTaskDialogForm(TTaskDialog& dialog) : dialog_(dialog) {}

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
  env.screenWidth = GetSystemMetrics(SM_CXSCREEN);
  env.defaultCaption = ProgramName();
  env.scrollBarWidth = GetSystemMetrics(SM_CXVSCROLL);
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, kFormStyle, FALSE, kFormExStyle);
  env.maxClientHeight = (work.bottom - work.top) - (frame.bottom - frame.top);
  env.maxClientWidth = (work.right - work.left) - (frame.right - frame.left);
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
    layout_ = LayOutTaskDialog(dialog_, canvas, env);
  }

  if (!CreateWindowExA(kFormExStyle, kTaskDialogFormClass, layout_.caption.c_str(), kFormStyle, 0,
                       0, 0, 0, owner, nullptr, GetModuleHandleA(nullptr), this))
    return false;
  bandBrush_.Reset(CreateSolidBrush(ToColorRef(kTaskDialogBandColor)));
  CreateFonts();
  CreateControls();
  PlaceControls();
  dialog_.RadioResult = dialog_.DefaultRadioButton;
  for (std::size_t i = 0; i < layout_.radios.size(); ++i)
    if (layout_.radios[i].checked) checkedRadio_ = static_cast<int>(i);
  dialog_.VerifyResult = layout_.verificationChecked;
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
  instruction_ = Child(hwnd_, "STATIC", dialog_.Instruction, SS_OWNERDRAW, kInstructionId);
  SetFont(instruction_, instructionFont_.get());
  ReadAsText(instruction_);

  // The content and the footer are painted by the form; a window over each holds their plain
  // text for screen readers and shows the form's painting of its place. Static windows let
  // the mouse through to the form, whose links they cover.
  if (!dialog_.Content.empty()) {
    const std::string plain = dialog_.Options.Contains(doHyperlinks)
                                  ? WithoutAccelerators(MarkupToWindowText(dialog_.Content))
                                  : dialog_.Content;
    content_ = Child(hwnd_, "STATIC", plain, SS_OWNERDRAW, kContentId);
    ReadAsText(content_);
  }
  if (layout_.hasFooter) {
    footer_ = Child(hwnd_, "STATIC", WithoutAccelerators(MarkupToWindowText(dialog_.Footer)),
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
        Child(hwnd_, "STATIC", dialog_.ExpandedText, SS_OWNERDRAW | WS_GROUP, kExpandLabelId);
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
    verification_ = Child(hwnd_, "BUTTON", dialog_.VerificationText,
                          BS_AUTOCHECKBOX | BS_MULTILINE | WS_TABSTOP | WS_GROUP, kVerificationId);
    SetFont(verification_, formFont_.get());
    if (layout_.verificationChecked) SendMessageA(verification_, BM_SETCHECK, BST_CHECKED, 0);
  }

  if (layout_.hasProgressBar) {
    progress_ = Child(hwnd_, PROGRESS_CLASSA, "", 0, kProgressId);
    SendMessageA(progress_, PBM_SETRANGE32, static_cast<WPARAM>(dialog_.ProgressBarMin),
                 dialog_.ProgressBarMax);
    SendMessageA(progress_, PBM_SETPOS, 0, 0);
  }

  // Hidden until the part above the buttons needs to scroll.
  scrollBar_ = CreateWindowExA(0, "SCROLLBAR", "", WS_CHILD | SBS_VERT, 0, 0, 0, 0, hwnd_,
                               reinterpret_cast<HMENU>(INT_PTR{kScrollBarId}),
                               GetModuleHandleA(nullptr), nullptr);

  if (dialog_.Icon == tiShield)
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
        layout_.expanded ? dialog_.ExpandControlText : dialog_.CollapsControlText;
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
  SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

int TTaskDialogForm::ShowModal(HWND owner, int x, int y) {
  RECT wr{};
  GetWindowRect(hwnd_, &wr);
  const int w = wr.right - wr.left;
  const int h = wr.bottom - wr.top;
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  if (x < 0 && y < 0) {
    RECT over = work;
    if (owner && IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &over);
    x = over.left + ((over.right - over.left) - w) / 2;
    y = over.top + ((over.bottom - over.top) - h) / 2;
    // Keep the whole window, with its buttons, on the work area.
    x = std::max<int>(work.left, std::min<int>(x, work.right - w));
    y = std::max<int>(work.top, std::min<int>(y, work.bottom - h));
  }
  SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

  const bool disableOwner = owner && IsWindowEnabled(owner);
  if (disableOwner) EnableWindow(owner, FALSE);
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  // The first focus is on the default button (a push button or command link), else on the
  // first button: never on a radio, where taking the focus would choose it.
  HWND first = nullptr;
  const int def = layout_.DefaultButtonIndex();
  for (const PushButton& p : pushButtons_)
    if (static_cast<int>(p.index) == def) first = p.hwnd;
  if (const int link = layout_.DefaultCommandLinkIndex(); !first && link >= 0)
    first = commandLinks_[static_cast<std::size_t>(link)]->hwnd();
  if (!first && !commandLinks_.empty()) first = commandLinks_.front()->hwnd();
  if (!first && !pushButtons_.empty()) first = pushButtons_.front().hwnd;
  if (!first) first = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
  if (first) SetFocus(first);

  MSG msg;
  while (!done_ && hwnd_) {
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop that owns it
      break;
    }
    if (got < 0) break;
    if (PreviewKey(msg)) continue;
    if (IsDialogMessageA(hwnd_, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  // The owner is enabled before this window goes, so the activation returns to it.
  if (disableOwner) EnableWindow(owner, TRUE);
  ShowWindow(hwnd_, SW_HIDE);
  return modalResult_;
}

int TTaskDialogForm::PushIndexOf(HWND control) const {
  for (const PushButton& p : pushButtons_)
    if (p.hwnd == control) return static_cast<int>(p.index);
  return -1;
}

bool TTaskDialogForm::PreviewKey(const MSG& msg) {
  if (msg.message != WM_KEYDOWN) return false;
  if (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd)) return false;
  const bool ctrl = GetKeyState(VK_CONTROL) < 0;
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  const bool alt = GetKeyState(VK_MENU) < 0;
  switch (msg.wParam) {
    case VK_RETURN: {
      HWND focus = GetFocus();
      if (int i = PushIndexOf(focus); i >= 0) {
        RunHandler([&] { PushButtonClicked(static_cast<std::size_t>(i)); });
        return true;
      }
      for (std::size_t i = 0; i < commandLinks_.size(); ++i) {
        if (commandLinks_[i]->hwnd() == focus) {
          RunHandler([&] { CommandLinkClicked(i); });
          return true;
        }
      }
      if (expandButton_ && expandButton_->hwnd() == focus) {
        RunHandler([&] { ToggleExpanded(); });
        return true;
      }
      if (int d = layout_.DefaultButtonIndex(); d >= 0)
        RunHandler([&] { PushButtonClicked(static_cast<std::size_t>(d)); });
      else if (int l = layout_.DefaultCommandLinkIndex(); l >= 0)
        RunHandler([&] { CommandLinkClicked(static_cast<std::size_t>(l)); });
      return true;
    }
    case VK_TAB:
      if (ctrl || alt) return false;
      MoveFocus(shift);
      return true;
    case VK_UP:
    case VK_LEFT:
      return !alt && MoveInRadioGroup(-1);
    case VK_DOWN:
    case VK_RIGHT:
      return !alt && MoveInRadioGroup(1);
    case VK_ESCAPE:
      // Only a button with the Esc role reacts; without one Esc does nothing.
      if (int c = layout_.CancelButtonIndex(); c >= 0)
        RunHandler([&] { PushButtonClicked(static_cast<std::size_t>(c)); });
      return true;
    case 'C':
      if (ctrl && !shift && !alt) {
        MessageBeep(MB_OK);
        RunHandler([&] { CopyToClipboard(); });
        return true;
      }
      return false;
    default:
      return false;
  }
}

void TTaskDialogForm::TryClose(int result) {
  if (dialog_.OnDialogClose) {
    bool canClose = true;
    dialog_.OnDialogClose(dialog_, canClose);
    if (!canClose) return;
  }
  modalResult_ = result;
  done_ = true;
  // A click sent from another thread is handled inside GetMessage, which would then go on
  // waiting: a posted message lets the modal loop see that it is done.
  PostMessageA(hwnd_, WM_NULL, 0, 0);
}

void TTaskDialogForm::PushButtonClicked(std::size_t index) {
  const TaskDialogPushButton& b = layout_.pushButtons[index];
  // Only custom buttons report their click; common buttons just close the dialog.
  if (b.customIndex >= 0 && dialog_.OnDialogButtonClick)
    dialog_.OnDialogButtonClick(dialog_, kFirstCustomButtonId + b.customIndex);
  TryClose(b.result);
}

void TTaskDialogForm::CommandLinkClicked(std::size_t index) {
  const TaskDialogCommandLink& l = layout_.commandLinks[index];
  if (dialog_.OnDialogButtonClick)
    dialog_.OnDialogButtonClick(dialog_, kFirstCustomButtonId + l.customIndex);
  TryClose(l.result);
}

void TTaskDialogForm::ToggleExpanded() {
  layout_.expanded = !layout_.expanded;
  MeasureDc dc;
  {
    GdiCanvas canvas(dc.get());
    VerticalPass(layout_, dialog_, canvas);
  }
  PlaceControls();
}

void TTaskDialogForm::OnCommand(int id, int code, HWND control) {
  if (code != BN_CLICKED) return;
  if (id >= kPushButtonId && id < kPushButtonId + static_cast<int>(layout_.pushButtons.size())) {
    PushButtonClicked(static_cast<std::size_t>(id - kPushButtonId));
  } else if (id >= kCommandLinkId &&
             id < kCommandLinkId + static_cast<int>(layout_.commandLinks.size())) {
    CommandLinkClicked(static_cast<std::size_t>(id - kCommandLinkId));
  } else if (id >= kRadioId && id < kRadioId + static_cast<int>(radios_.size())) {
    RadioClicked(static_cast<std::size_t>(id - kRadioId));
  } else if (id == kVerificationId) {
    dialog_.VerifyResult = SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
    if (dialog_.OnDialogVerifyClick) dialog_.OnDialogVerifyClick(dialog_, dialog_.VerifyResult);
  } else if (id == kExpandButtonId) {
    ToggleExpanded();
  }
}

void TTaskDialogForm::RadioClicked(std::size_t index) {
  // An unchecked radio that gets the focus reports a click too; only a radio that has become
  // checked is a choice.
  if (SendMessageA(radios_[index], BM_GETCHECK, 0, 0) != BST_CHECKED) return;
  if (static_cast<int>(index) == checkedRadio_) return;
  checkedRadio_ = static_cast<int>(index);
  dialog_.RadioResult = layout_.radios[index].id;
  if (dialog_.OnDialogRadioClick) dialog_.OnDialogRadioClick(dialog_, dialog_.RadioResult);
}

int TTaskDialogForm::RadioIndexOf(HWND control) const {
  for (std::size_t i = 0; i < radios_.size(); ++i)
    if (radios_[i] == control) return static_cast<int>(i);
  return -1;
}

Rect TTaskDialogForm::ScrolledRectOf(HWND control) const {
  if (const int r = RadioIndexOf(control); r >= 0)
    return layout_.radios[static_cast<std::size_t>(r)].rect;
  for (std::size_t i = 0; i < commandLinks_.size(); ++i)
    if (commandLinks_[i]->hwnd() == control) return layout_.commandLinks[i].rect;
  return {};
}

void TTaskDialogForm::EnsureShown(HWND control) {
  if (layout_.scrollRange == 0) return;
  const Rect r = ScrolledRectOf(control);
  if (r.Height() <= 0) return;
  if (r.top < 0)
    ScrollTo(layout_.scrollPos + r.top);
  else if (r.bottom > layout_.viewBottom)
    ScrollTo(layout_.scrollPos + r.bottom - layout_.viewBottom);
}

void TTaskDialogForm::MoveFocus(bool backwards) {
  // The tab stops in tab order; the radio group is one stop, at its checked radio; the radios
  // and command links of a scrolled part count also while they are scrolled out of view.
  const std::size_t groupStop =
      checkedRadio_ >= 0 ? static_cast<std::size_t>(checkedRadio_) : std::size_t{0};
  std::vector<HWND> stops;
  for (HWND w = GetWindow(hwnd_, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
    const int radio = RadioIndexOf(w);
    if (radio >= 0) {
      if (radio == 0) stops.push_back(radios_[groupStop]);
      continue;
    }
    const bool scrolledOut = layout_.scrollRange > 0 && ScrolledRectOf(w).Height() > 0;
    if ((GetWindowLongA(w, GWL_STYLE) & WS_TABSTOP) && IsWindowEnabled(w) &&
        (IsWindowVisible(w) || scrolledOut))
      stops.push_back(w);
  }
  if (stops.empty()) return;
  HWND focus = GetFocus();
  if (RadioIndexOf(focus) >= 0) focus = radios_[groupStop];
  const auto at = std::find(stops.begin(), stops.end(), focus);
  std::size_t i = at == stops.end() ? (backwards ? 0 : stops.size() - 1)
                                    : static_cast<std::size_t>(at - stops.begin());
  i = backwards ? (i + stops.size() - 1) % stops.size() : (i + 1) % stops.size();
  EnsureShown(stops[i]);
  SetFocus(stops[i]);
}

bool TTaskDialogForm::MoveInRadioGroup(int step) {
  const int at = RadioIndexOf(GetFocus());
  if (at < 0 || radios_.size() < 2) return false;
  const int n = static_cast<int>(radios_.size());
  HWND next = radios_[static_cast<std::size_t>((at + step + n) % n)];
  EnsureShown(next);
  SetFocus(next);
  // Moving within the group chooses, as it does in any dialog.
  SendMessageA(next, BM_CLICK, 0, 0);
  return true;
}

void TTaskDialogForm::ScrollTo(int pos) {
  pos = std::clamp(pos, 0, layout_.scrollRange);
  if (pos == layout_.scrollPos) return;
  layout_.scrollPos = pos;
  MeasureDc dc;
  {
    GdiCanvas canvas(dc.get());
    VerticalPass(layout_, dialog_, canvas);
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

void TTaskDialogForm::StopTimer() {
  if (timerRunning_) KillTimer(hwnd_, kTimerId);
  timerRunning_ = false;
}

void TTaskDialogForm::OnTimer() {
  if (dialog_.OnDialogTimer) dialog_.OnDialogTimer(dialog_);
  if (!dialog_.OnDialogProgress) return;
  int pos = progress_ ? static_cast<int>(SendMessageA(progress_, PBM_GETPOS, 0, 0)) : 0;
  TTaskDialogProgressState state = psNormal;
  dialog_.OnDialogProgress(dialog_, pos, state);
  // A dialog with a timer but no progress bar has nothing to move.
  if (!progress_) return;
  SendMessageA(progress_, PBM_SETPOS, static_cast<WPARAM>(pos), 0);
  SendMessageA(progress_, PBM_SETSTATE, static_cast<WPARAM>(state) + 1, 0);
}

void TTaskDialogForm::OnPaint() {
  PAINTSTRUCT ps;
  HDC target = BeginPaint(hwnd_, &ps);
  {
    PaintBuffer buffer(target, layout_.clientWidth, layout_.clientHeight);
    PaintClient(buffer.dc());
  }
  EndPaint(hwnd_, &ps);
}

void TTaskDialogForm::PaintClient(HDC dc) {
  {
    RECT all{0, 0, layout_.clientWidth, layout_.clientHeight};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    {
      GdiCanvas canvas(dc);
      PaintTaskDialog(canvas, layout_, dialog_, false);
    }
    if (!dialog_.Options.Contains(doHyperlinks) && !layout_.contentLines.empty()) {
      const Rect& c = layout_.contentRect;
      const Rect shown = layout_.Shown(c);
      const int saved = SaveDC(dc);
      IntersectClipRect(dc, shown.left, shown.top, shown.right, shown.bottom);
      SetTextColor(dc, RGB(0, 0, 0));
      DrawLines(dc, static_cast<HFONT>(formFont_.get()), layout_.contentLines,
                {c.left, c.top, c.right, c.bottom});
      RestoreDC(dc, saved);
    }
    if (layout_.hasIcon) {
      const Rect& r = layout_.iconRect;
      if (LPCSTR id = SystemIconOf(dialog_.Icon)) {
        DrawIconEx(dc, r.left, r.top, LoadIconA(nullptr, id), r.Width(), r.Height(), 0, nullptr,
                   DI_NORMAL);
      } else if (shield_) {
        HDC mem = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(mem, shield_.get());
        TransparentBlt(dc, r.left, r.top, r.Width(), r.Height(), mem, 0, 0, 32, 32, kPictureKey);
        SelectObject(mem, old);
        DeleteDC(mem);
      }
      // tiBlank: the white square is the white background itself.
    }
    if (layout_.hasFooter) {
      if (LPCSTR id = FooterSystemIconOf(layout_.footerIcon)) {
        const Rect f = layout_.FooterRect();
        RECT square{f.left, f.top, f.left + kFooterIconSize, f.top + kFooterIconSize};
        FillRect(dc, &square, static_cast<HBRUSH>(bandBrush_.get()));
        // The icon's own small picture, not the large one shrunk.
        if (HICON icon = static_cast<HICON>(
                LoadImageA(nullptr, id, IMAGE_ICON, kFooterIconSize, kFooterIconSize, LR_SHARED)))
          DrawIconEx(dc, f.left, f.top, icon, kFooterIconSize, kFooterIconSize, 0, nullptr,
                     DI_NORMAL);
      }
    }
  }
}

std::string TTaskDialogForm::LinkAt(int x, int y) {
  HDC dc = GetDC(hwnd_);
  if (!dc) return {};
  std::string link;
  {
    GdiCanvas canvas(dc);
    link = TaskDialogLinkAt(canvas, layout_, dialog_, x, y);
  }
  ReleaseDC(hwnd_, dc);
  return link;
}

void TTaskDialogForm::OnMouseDown(int x, int y) {
  const std::string link = LinkAt(x, y);
  if (link.empty()) return;
  if (TaskDialogOpensLink(link)) OpenLinkTarget(hwnd_, link);
  if (dialog_.OnDialogHyperlinkClick) dialog_.OnDialogHyperlinkClick(dialog_, link);
}

bool TTaskDialogForm::OnSetCursor() {
  POINT pt{};
  GetCursorPos(&pt);
  ScreenToClient(hwnd_, &pt);
  overLink_ = !LinkAt(pt.x, pt.y).empty();
  if (!overLink_) return false;
  SetCursor(LoadCursorA(nullptr, IDC_HAND));
  return true;
}

std::string TTaskDialogForm::ClipboardText() const {
  std::vector<std::string> captions;
  for (const TaskDialogPushButton& b : layout_.pushButtons) captions.push_back(b.caption);
  return TaskDialogClipboardText(layout_.caption, dialog_.Instruction, captions);
}

void TTaskDialogForm::CopyToClipboard() const {
  ClipboardSession clipboard(hwnd_);
  if (!clipboard.open()) throw std::runtime_error("Cannot open clipboard");
  const std::string text = ClipboardText();
  EmptyClipboard();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  if (!memory) return;
  if (void* p = GlobalLock(memory)) {
    std::memcpy(p, text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    if (SetClipboardData(CF_TEXT, memory)) return;  // the clipboard owns it now
  }
  GlobalFree(memory);
}

LRESULT TTaskDialogForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_TIMER:
      if (wParam == kTimerId && timerRunning_) {
        try {
          OnTimer();
        } catch (...) {
          // The error is reported once: a running timer would report it again every tick,
          // also while the report is up.
          StopTimer();
          throw;
        }
      }
      return 0;
    case WM_VSCROLL:
      if (scrollBar_ && reinterpret_cast<HWND>(lParam) == scrollBar_) OnVScroll(LOWORD(wParam));
      return 0;
    case WM_MOUSEWHEEL:
      if (layout_.scrollRange > 0) {
        const int notches = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
        ScrollTo(layout_.scrollPos - notches * 3 * std::max(1, layout_.m.cy));
        return 0;
      }
      break;
    case WM_NEXTDLGCTL:
      if (LOWORD(lParam))
        SetFocus(reinterpret_cast<HWND>(wParam));
      else
        MoveFocus(wParam != 0);
      return 0;
    case WM_LBUTTONDOWN:
      OnMouseDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wParam) == hwnd_ && LOWORD(lParam) == HTCLIENT && OnSetCursor())
        return TRUE;
      break;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item->hwndItem && (item->hwndItem == content_ || item->hwndItem == footer_)) {
        // The form's painting of the window's place.
        RECT r{};
        GetWindowRect(item->hwndItem, &r);
        MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
        const int saved = SaveDC(item->hDC);
        SetViewportOrgEx(item->hDC, -r.left, -r.top, nullptr);
        PaintClient(item->hDC);
        RestoreDC(item->hDC, saved);
        return TRUE;
      }
      if (item->hwndItem && item->hwndItem == expandLabel_) {
        // Drawn with the lines the layout wrapped, so that its height holds all of them.
        FillRect(item->hDC, &item->rcItem, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        SetTextColor(item->hDC, RGB(0, 0, 0));
        DrawLines(item->hDC, static_cast<HFONT>(formFont_.get()), layout_.expandLines,
                  item->rcItem);
        return TRUE;
      }
      if (item->hwndItem != instruction_) break;
      FillRect(item->hDC, &item->rcItem, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
      SetTextColor(item->hDC, ToColorRef(kTaskDialogBlue));
      DrawLines(item->hDC, static_cast<HFONT>(instructionFont_.get()), layout_.instructionLines,
                item->rcItem);
      return TRUE;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      HWND control = reinterpret_cast<HWND>(lParam);
      RECT r{};
      GetWindowRect(control, &r);
      MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
      const bool inBand = layout_.bandTop && r.top >= *layout_.bandTop - layout_.m.vertSpacing / 2;
      SetBkMode(dc, TRANSPARENT);
      if (control == instruction_) SetTextColor(dc, ToColorRef(kTaskDialogBlue));
      if (inBand) {
        SetBkColor(dc, ToColorRef(kTaskDialogBandColor));
        return reinterpret_cast<LRESULT>(bandBrush_.get());
      }
      SetBkColor(dc, RGB(255, 255, 255));
      return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    }
    case WM_CLOSE:
      // Alt+F4 acts as Esc: only a button with the Esc role closes the dialog.
      if (int c = layout_.CancelButtonIndex(); c >= 0)
        PushButtonClicked(static_cast<std::size_t>(c));
      return 0;
    case WM_DESTROY:
      StopTimer();
      // Destroyed from outside (its owner went away): the modal loop ends with the window.
      done_ = true;
      PostMessageA(nullptr, WM_NULL, 0, 0);
      return 0;
    default:
      break;
  }
  return DefWindowProcA(hwnd_, message, wParam, lParam);
}

int RunTaskDialogForm(TTaskDialog& dialog, HWND owner, int x, int y) {
  auto form = std::make_unique<TTaskDialogForm>(dialog);
  struct RunningReset {
    TTaskDialog& d;
    ~RunningReset() {
      d.SetRunningForm(nullptr);
      d.SetDialogWindow(nullptr);
    }
  } reset{dialog};
  if (!form->Build(owner)) return -1;
  dialog.SetRunningForm(form.get());
  dialog.SetDialogWindow(form->hwnd());
  if (dialog.OnDialogCreated) dialog.OnDialogCreated(dialog);
  return form->ShowModal(owner, x, y);
}

}  // namespace vt9::win
