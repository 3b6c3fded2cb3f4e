#include "backupnow/win/backup_now_window.h"

#include <windows.h>
// The common-control, COM and shell headers build on <windows.h>.
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <map>
#include <optional>
#include <string>

#include "backupnow/backup_now_layout.h"
#include "backupnow/command_line.h"
#include "backupnow/job_catalogue.h"
#include "backupnow/win/browse_for_folder.h"
#include "backupnow/win/help_link.h"
#include "backupnow/win/plain_panel.h"
#include "common/paths.h"
#include "common/settings.h"
#include "common/win/error_report.h"
#include "common/win/handles.h"
#include "common/win/module_path.h"
#include "common/win/win_filesystem.h"
#include "common/win/win_registry.h"
#include "common/win/window_base.h"
#include "common/win/window_class.h"
#include "common/win/window_text.h"
#include "vt9_texts.h"
#include "widgets/win/control_support.h"
#include "widgets/win/markup_check_box.h"
#include "widgets/win/markup_panel.h"

namespace vt9::win {
namespace {

namespace id = backup_now_id;
using Kind = BackupNowControlKind;

constexpr COLORREF kFormColor = RGB(255, 255, 255);
constexpr COLORREF kRemindColor = 0xC0DCC0;
constexpr COLORREF kRemindFontColor = 0x603000;
constexpr COLORREF kFlatBorderColor = 0x996633;
constexpr COLORREF kLocationColor = 0xF3D9D9;
constexpr COLORREF kLabelNavy = RGB(0, 0, 128);
constexpr int kRemindBorderWidth = 8;
constexpr int kFontHeight96 = -12;
constexpr DWORD kFormStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = WS_EX_CONTROLPARENT;

std::string LoadText(UINT resourceId, const char* builtIn) {
  char buffer[512] = {};
  const int length = LoadStringA(GetModuleHandleA(nullptr), resourceId, buffer, sizeof buffer);
  return length > 0 ? std::string(buffer, static_cast<std::size_t>(length)) : std::string(builtIn);
}

// A read-only location box has nothing to do with Tab or Enter: like a dialog's other
// controls it lets Tab move on and Enter press the default button, so the keyboard never gets
// stuck in it (a multi-line edit asks for every key by default).
LRESULT CALLBACK ReadOnlyMemoProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR) {
  if (message == WM_GETDLGCODE)
    return DefSubclassProc(hwnd, message, wParam, lParam) & ~(DLGC_WANTALLKEYS | DLGC_WANTTAB);
  if (message == WM_NCDESTROY) RemoveWindowSubclass(hwnd, &ReadOnlyMemoProc, 0);
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

class TfVT9Now : public WindowBase<TfVT9Now, FormOwner::Caller> {
 public:
  TfVT9Now(const ProgramState& state, Registry& registry, FileSystem& files)
      : state_(state), registry_(registry), files_(files) {}
  TfVT9Now(const TfVT9Now&) = delete;
  TfVT9Now& operator=(const TfVT9Now&) = delete;

  bool Create();
  void Show();
  bool OwnsWindow(HWND hwnd) const { return hwnd == hwnd_ || IsChild(hwnd_, hwnd); }
  void ShowHelp() { ShowHelpTopic(hwnd_, helpFile_, kBackupNowHelpContext); }

 private:
  friend class WindowBase<TfVT9Now, FormOwner::Caller>;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  // Event handlers, named after the controls they serve.
  void FormCreate();
  void FormShow();
  void FormClose();
  void lstJobsChange();
  void btnBrowseClick();
  void btnDoItClick(StartButton button);
  void btnCancelClick();

  void OnCommand(int controlId, int code);
  LRESULT OnControlColor(HDC dc, HWND control);
  void CreateControls();
  HWND CreateControl(const BackupNowControl& control, HWND parent);
  HWND CreateRemindPanel(int controlId, const RECT& rect);
  HWND CreateNoRemindCheckBox(HWND parent, int controlId, const RECT& rect,
                              const std::string& caption);
  void AddEndActionHint();
  void SetClientSize(int width96, int height96);
  void MoveTo(HWND control, int left96, int top96);
  RECT Scaled(const Rect96& r) const;
  int Scale(int v) const { return MulDiv(v, dpi_, 96); }
  HWND Control(int controlId) const {
    auto it = controls_.find(controlId);
    return it == controls_.end() ? nullptr : it->second;
  }
  int Selection(int controlId) const {
    return static_cast<int>(SendMessageA(Control(controlId), CB_GETCURSEL, 0, 0));
  }

  const ProgramState& state_;
  Registry& registry_;
  FileSystem& files_;
  int dpi_ = 96;
  std::map<int, HWND> controls_;
  GdiObject font_;
  GdiObject formBrush_;
  GdiObject locationBrush_;
  HWND tooltip_ = nullptr;
  BackupNowLayout layout_;
  JobCatalogue catalogue_;
  bool catalogueBuilt_ = false;
  TBrowseForFolder BrowseForFolder;
  std::string mainProgramPath_;
  std::string helpFile_;
};

bool TfVT9Now::Create() {
  static const bool registered = RegisterFormClass(kBackupNowWindowClass, &TfVT9Now::WindowProc);
  if (!registered) return false;

  dpi_ = WindowDpi(nullptr);  // the screen's, before the window exists
  // Designed size; FormCreate and FormShow set the client size of the layout in use.
  hwnd_ = CreateWindowExA(kFormExStyle, kBackupNowWindowClass, ApplicationTitle().c_str(),
                          kFormStyle, CW_USEDEFAULT, CW_USEDEFAULT, Scale(395), Scale(433), nullptr,
                          nullptr, GetModuleHandleA(nullptr), this);
  if (!hwnd_) return false;
  CreateControls();
  RunHandler([this] { FormCreate(); });
  return true;
}

void TfVT9Now::Show() {
  RunHandler([this] { FormShow(); });
  // In the no-backups state FormShow has reported and asked to close: the window is not shown.
  if (catalogueBuilt_ && catalogue_.noBackups()) return;
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  UpdateWindow(hwnd_);
  SetFocus(Control(id::lstJobs));
}

LRESULT TfVT9Now::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case DM_GETDEFID:
      // The dialog manager asks which button Enter presses; it skips a disabled one.
      return MAKELRESULT(id::btnDoIt, DC_HASDEFID);
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return OnControlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_HELP:
      RunHandler([this] { ShowHelp(); });
      return TRUE;
    case WM_CLOSE:
      RunHandler([this] { FormClose(); });
      DestroyWindow(hwnd_);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(hwnd_, message, wParam, lParam);
  }
}

void TfVT9Now::OnCommand(int controlId, int code) {
  switch (controlId) {
    case id::lstJobs:
      if (code == CBN_SELCHANGE) RunHandler([this] { lstJobsChange(); });
      break;
    case id::btnBrowse:
      if (code == BN_CLICKED) RunHandler([this] { btnBrowseClick(); });
      break;
    case id::btnDoIt:
      if (code == BN_CLICKED) RunHandler([this] { btnDoItClick(StartButton::BackupNow); });
      break;
    case id::btnRunMain:
      if (code == BN_CLICKED) RunHandler([this] { btnDoItClick(StartButton::RunMain); });
      break;
    case id::btnCancel:
      if (code == BN_CLICKED) RunHandler([this] { btnCancelClick(); });
      break;
    default:
      break;
  }
}

LRESULT TfVT9Now::OnControlColor(HDC dc, HWND control) {
  if (control == Control(id::memoLocation)) {
    SetBkColor(dc, kLocationColor);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    return reinterpret_cast<LRESULT>(locationBrush_.get());
  }
  SetBkMode(dc, TRANSPARENT);
  SetBkColor(dc, kFormColor);
  if (control == Control(id::Label1)) SetTextColor(dc, kLabelNavy);
  return reinterpret_cast<LRESULT>(formBrush_.get());
}

// ---- Controls -------------------------------------------------------------------------------

RECT TfVT9Now::Scaled(const Rect96& r) const {
  return RECT{Scale(r.left), Scale(r.top), Scale(r.left + r.width), Scale(r.top + r.height)};
}

void TfVT9Now::CreateControls() {
  font_.Reset(CreateFontA(Scale(kFontHeight96), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                          ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                          DEFAULT_PITCH | FF_SWISS, "Arial"));
  formBrush_.Reset(CreateSolidBrush(kFormColor));
  locationBrush_.Reset(CreateSolidBrush(kLocationColor));
  SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  for (const BackupNowControl& control : BackupNowControls()) {
    HWND parent = control.parent ? Control(FindBackupNowControl(control.parent)->id) : hwnd_;
    HWND created = CreateControl(control, parent);
    if (!created) continue;
    SendMessageA(created, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    controls_[control.id] = created;
  }
  AddEndActionHint();
}

HWND TfVT9Now::CreateControl(const BackupNowControl& control, HWND parent) {
  const RECT r = Scaled(control.rect);
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  const HMENU menuId = reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id));
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  auto make = [&](const char* cls, DWORD style, DWORD exStyle, int h) {
    return CreateWindowExA(exStyle, cls, control.caption, WS_CHILD | WS_VISIBLE | style, r.left,
                           r.top, width, h, parent, menuId, instance, nullptr);
  };
  switch (control.kind) {
    case Kind::MarkupPanel:
      return CreateRemindPanel(control.id, r);
    case Kind::MarkupCheckBox:
      return CreateNoRemindCheckBox(parent, control.id, r, control.caption);
    case Kind::Panel:
      return CreatePlainPanel(parent, control.id, r, kFormColor);
    case Kind::FlatPanel:
      return CreatePlainPanel(parent, control.id, r, kFormColor, kFlatBorderColor);
    case Kind::DropDownList:
    case Kind::DropDownCombo: {
      // The window height of a combo box includes its drop-down list.
      const DWORD style = WS_TABSTOP | WS_VSCROLL | CBS_AUTOHSCROLL |
                          (control.kind == Kind::DropDownList ? CBS_DROPDOWNLIST : CBS_DROPDOWN);
      HWND box = make(WC_COMBOBOXA, style, 0, height + Scale(200));
      // The selection field takes its designed height; the edge adds 6 pixels to the item height.
      if (box) SendMessageA(box, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), height - 6);
      return box;
    }
    case Kind::Label:
      return make(WC_STATICA, SS_LEFT | SS_NOPREFIX, 0, height);
    case Kind::Memo: {
      HWND memo =
          make(WC_EDITA, WS_TABSTOP | WS_BORDER | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 0,
               height);
      if (memo) SetWindowSubclass(memo, &ReadOnlyMemoProc, 0, 0);
      return memo;
    }
    case Kind::Button:
      return make(WC_BUTTONA,
                  WS_TABSTOP | (control.id == id::btnDoIt ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), 0,
                  height);
  }
  return nullptr;
}

// pnlRemind: the reminder text in dark blue on pale green, framed by an 8-pixel border of the
// same green.
HWND TfVT9Now::CreateRemindPanel(int controlId, const RECT& rect) {
  HWND panel = CreateMarkupPanel(hwnd_, controlId, rect);
  if (!panel) return nullptr;
  MarkupPanelStyle style = GetMarkupPanelStyle(panel);
  style.color = kRemindColor;
  style.borderColor = kRemindColor;
  style.borderWidth = Scale(kRemindBorderWidth);
  style.bevelOuter = PanelBevel::None;
  style.bevelInner = PanelBevel::None;
  SetMarkupPanelStyle(panel, style);
  FontSpec font;
  font.name = "Arial";
  font.height = Scale(kFontHeight96);
  font.color = kRemindFontColor;
  SetMarkupPanelFont(panel, font);
  return panel;
}

// chkNoRemind: the XP-style check mark at the left, the caption to its right, unchecked.
HWND TfVT9Now::CreateNoRemindCheckBox(HWND parent, int controlId, const RECT& rect,
                                      const std::string& caption) {
  HWND box = CreateMarkupCheckBox(parent, controlId, rect, caption);
  if (!box) return nullptr;
  MarkupCheckBoxStyle style = GetMarkupCheckBoxStyle(box);
  style.buttonType = CheckButtonType::WinXP;
  style.alignment = CheckAlignment::LeftJustify;
  SetMarkupCheckBoxStyle(box, style);
  SetMarkupCheckBoxChecked(box, false);
  return box;
}

void TfVT9Now::AddEndActionHint() {
  HWND box = Control(id::lstEndAction);
  if (!box) return;
  tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!tooltip_) return;
  // The typing field covers most of the box, so the hint is given to both windows.
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  GetComboBoxInfo(box, &info);
  for (HWND tool : {box, info.hwndItem}) {
    if (!tool) continue;
    TTTOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = hwnd_;
    ti.uId = reinterpret_cast<UINT_PTR>(tool);
    ti.lpszText = const_cast<char*>(kEndActionHint);
    SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
  }
}

void TfVT9Now::SetClientSize(int width96, int height96) {
  const RECT r = CentredFormRect(Scale(width96), Scale(height96), kFormStyle, kFormExStyle);
  SetWindowPos(hwnd_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void TfVT9Now::MoveTo(HWND control, int left96, int top96) {
  SetWindowPos(control, nullptr, Scale(left96), Scale(top96), 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- Event handlers -------------------------------------------------------------------------

void TfVT9Now::FormCreate() {
  HWND endActions = Control(id::lstEndAction);
  for (const EndAction& action : kEndActions)
    SendMessageA(endActions, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(action.text));
  SendMessageA(endActions, CB_SETCURSEL, 0, 0);

  const std::string folder = OwnFolder();
  helpFile_ = folder + "VT9.chm";

  layout_ = ComputeBackupNowLayout(IsReminderArgument(state_.firstArgument));
  if (layout_.reminder) {
    SetApplicationTitle(LoadText(IDS_TITLE_REMINDER, STR_TITLE_REMINDER));
    SetMarkupPanelText(Control(id::pnlRemind), state_.reminderText);
  } else {
    SetApplicationTitle(LoadText(IDS_TITLE_BACKUP_NOW, STR_TITLE_BACKUP_NOW));
    ShowWindow(Control(id::pnlRemind), SW_HIDE);
  }
  MoveTo(Control(id::pnlLocation), 0, layout_.locationTop);
  MoveTo(Control(id::pnlRemindBtns), 0, layout_.buttonsTop);
  SetClientSize(layout_.clientWidth, layout_.clientHeight);
  SetWindowTextA(hwnd_, ApplicationTitle().c_str());

  mainProgramPath_ = folder + "VT9.exe";

  // The buttons that need a job stay disabled until the catalogue is there: a settings value
  // that cannot be read ends this handler early, and no backup may start without a job list.
  EnableWindow(Control(id::btnBrowse), FALSE);
  EnableWindow(Control(id::btnDoIt), FALSE);
  catalogue_ = JobCatalogue::Build(registry_, files_);
  catalogueBuilt_ = true;
  HWND jobs = Control(id::lstJobs);
  for (const std::string& entry : catalogue_.entries())
    SendMessageA(jobs, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
  if (!catalogue_.noBackups()) {
    EnableWindow(Control(id::btnBrowse), TRUE);
    EnableWindow(Control(id::btnDoIt), TRUE);
  }
  SendMessageA(jobs, CB_SETCURSEL, 0, 0);
  lstJobsChange();
}

void TfVT9Now::FormShow() {
  if (catalogueBuilt_ && catalogue_.noBackups()) {
    MessageBoxA(hwnd_, LoadText(IDS_NO_BACKUPS, STR_NO_BACKUPS).c_str(),
                LoadText(IDS_TITLE_BACKUP_NOW, STR_TITLE_BACKUP_NOW).c_str(), MB_OK | MB_ICONERROR);
    ShellExecuteA(nullptr, "OPEN", mainProgramPath_.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    PostMessageA(hwnd_, WM_CLOSE, 0, 0);
    return;
  }
  SetClientSize(kBackupNowClientWidth, layout_.clientHeight);
}

void TfVT9Now::FormClose() {
  HWND noRemind = Control(id::chkNoRemind);
  if (noRemind && IsMarkupCheckBoxChecked(noRemind))
    WriteRegString(registry_, RegRoot::CurrentUser, kSettingsKey, "ReminderDays", "0");
}

void TfVT9Now::lstJobsChange() {
  if (const auto location = catalogue_.LocationOf(Selection(id::lstJobs), files_))
    SetWindowTextA(Control(id::memoLocation), location->c_str());
}

void TfVT9Now::btnBrowseClick() {
  BrowseForFolder.Title = kBrowseTitle;
  if (!BrowseForFolder.Execute(hwnd_)) return;
  SetWindowTextA(Control(id::memoLocation), AddTrailingBackslash(BrowseForFolder.Path).c_str());
  EnableWindow(Control(id::btnDoIt), TRUE);
}

void TfVT9Now::btnDoItClick(StartButton button) {
  // Enter reaches here through the dialog manager; a disabled button must not start anything.
  const int buttonId = button == StartButton::BackupNow ? id::btnDoIt : id::btnRunMain;
  if (!IsWindowEnabled(Control(buttonId))) return;
  const int entry = Selection(id::lstJobs);
  BackupRequest request;
  request.button = button;
  request.endAction = Selection(id::lstEndAction);
  request.redoLastBackup = catalogue_.IsRedoEntry(entry);
  if (!request.redoLastBackup) {
    request.noJobPass =
        ReadRegFlag(registry_, RegRoot::CurrentUser, kSettingsKey, "NoJobPass", false);
    request.jobName = catalogue_.JobNameOf(entry);
  }
  request.location = WindowText(Control(id::memoLocation));
  const std::string parameters = ComposeBackupParameters(request);
  if (!FitsShellCommandLine(mainProgramPath_, parameters)) {
    MessageBoxA(
        hwnd_,
        CommandLineTooLongMessage(ShellCommandLineLength(mainProgramPath_, parameters)).c_str(),
        ApplicationTitle().c_str(), MB_OK | MB_ICONERROR);
    return;
  }
  ShellExecuteA(nullptr, "OPEN", mainProgramPath_.c_str(), parameters.c_str(), nullptr,
                SW_SHOWNORMAL);
  PostMessageA(hwnd_, WM_CLOSE, 0, 0);
}

void TfVT9Now::btnCancelClick() { PostMessageA(hwnd_, WM_CLOSE, 0, 0); }

}  // namespace

int RunBackupNowWindow(const ProgramState& state) {
  // The shell's open operation and folder picker expect a single-threaded COM apartment.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  RegisterMarkupPanel();
  RegisterMarkupCheckBox();
  {
    WinRegistry registry;
    WinFileSystem files;
    TfVT9Now form(state, registry, files);
    if (form.Create()) {
      form.Show();
      MSG msg;
      while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        // F1 anywhere in the window opens its help topic, whichever control has the focus.
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_F1 && form.OwnsWindow(msg.hwnd)) {
          RunHandler([&form] { form.ShowHelp(); });
          continue;
        }
        if (IsWindow(form.hwnd()) && IsDialogMessageA(form.hwnd(), &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
    }
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return 0;
}

}  // namespace vt9::win
