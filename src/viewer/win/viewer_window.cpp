#include "viewer/win/viewer_window.h"

#include <windows.h>
// The common-control and rich-edit headers build on <windows.h>.
#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

#include "common/folder_names.h"
#include "common/paths.h"
#include "common/settings.h"
#include "common/win/default_printer.h"
#include "common/win/error_report.h"
#include "common/win/win_registry.h"
#include "common/win/window_class.h"
#include "logs/problem_words.h"
#include "viewer/viewer_setup.h"
#include "viewer/win/log_files.h"
#include "viewer/win/log_view.h"
#include "viewer/win/rich_text_file.h"
#include "viewer/win/viewer_form.h"
#include "widgets/win/control_support.h"
#include "widgets/win/markup_check_box.h"

namespace vt9::win {
namespace {

namespace id = viewer_id;

constexpr int kClientWidth96 = 500;
constexpr int kClientHeight96 = 325;
constexpr int kMinWidth96 = 508;
constexpr int kPanelHeight96 = 37;
constexpr int kButtonTop96 = 8;
constexpr int kButtonWidth96 = 75;
constexpr int kButtonHeight96 = 25;
constexpr int kFontHeight96 = -12;
constexpr COLORREF kFormColor = RGB(255, 255, 255);  // 16777215
constexpr COLORREF kStripColor = 0x996633;           // 10053171
constexpr DWORD kFormStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = WS_EX_CONTROLPARENT;
constexpr DWORD kLogStyle = WS_CHILD | WS_TABSTOP | WS_HSCROLL | WS_VSCROLL | ES_MULTILINE |
                            ES_AUTOHSCROLL | ES_AUTOVSCROLL | ES_NOHIDESEL | ES_WANTRETURN;

// False only for a file that is not there. One that cannot even be looked at (a path beyond
// the length limit) counts as there: loading it then says that it cannot be shown.
bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
  }
  return !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

TfViewer::Step::~Step() {
  if (--viewer_.steps_ == 0 && viewer_.closePending_ && viewer_.hwnd_)
    PostMessageA(viewer_.hwnd_, WM_CLOSE, 0, 0);
}

void TfViewer::RequestClose() {
  if (steps_ > 0)
    HoldClose();
  else
    CloseNow();
}

void TfViewer::HoldClose() {
  closePending_ = true;
  // Pages going out stop after the current one, so the close does not wait for the whole job.
  if (printing_) printer_.Cancel();
}

void TfViewer::CloseNow() {
  closePending_ = false;
  RunHandler([this] { FormClose(); });
  DestroyWindow(hwnd_);
}

bool TfViewer::Create() {
  static const bool registered = RegisterFormClass(kViewerWindowClass, &TfViewer::WindowProc);
  if (!registered) return false;
  dpi_ = WindowDpi(nullptr);  // the screen's, before the window exists
  const RECT r =
      CentredFormRect(Scale(kClientWidth96), Scale(kClientHeight96), kFormStyle, kFormExStyle);
  hwnd_ = CreateWindowExA(kFormExStyle, kViewerWindowClass, kViewerCaption, kFormStyle, r.left,
                          r.top, r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                          GetModuleHandleA(nullptr), this);
  if (!hwnd_) return false;
  vTaskDialog = std::make_unique<ViewerMessages>(hwnd_);
  CreateControls();
  RunHandler([this] { FormCreate(); });
  return true;
}

void TfViewer::Show() {
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  UpdateWindow(hwnd_);
  if (!unreadableFile_.empty()) {
    const std::string file = std::exchange(unreadableFile_, std::string());
    const Step step(*this);
    RunHandler([this, &file] { vTaskDialog->ShowOpenError(file); });
  }
}

void TfViewer::CreateControls() {
  font_.Reset(CreateFontA(Scale(kFontHeight96), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                          ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                          DEFAULT_PITCH | FF_SWISS, "Arial"));
  formBrush_.Reset(CreateSolidBrush(kFormColor));
  SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  AdoptLogControl(CreateLogControl());
  struct Button {
    int id;
    const char* caption;
  };
  // The button bar's control order: Close first, so it is the one Esc presses.
  const Button buttons[] = {{id::btnOK, "Close"},
                            {id::btnOpenFile, "Open"},
                            {id::btnFind, "Find"},
                            {id::btnSaveAs, "Save"},
                            {id::btnPrint, "Print"}};
  for (const Button& b : buttons) {
    HWND button = CreateWindowExA(
        0, WC_BUTTONA, b.caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0,
        Scale(kButtonWidth96), Scale(kButtonHeight96), hwnd_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(b.id)), GetModuleHandleA(nullptr), nullptr);
    SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  }
  HWND note =
      CreateWindowExA(0, WC_STATICA, kIncompleteNote, WS_CHILD | SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0,
                      hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id::lblIncomplete)),
                      GetModuleHandleA(nullptr), nullptr);
  SendMessageA(note, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  HWND progress = CreateWindowExW(
      0, L"Static", L"", WS_CHILD | SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE, 0, 0, 0,
      Scale(kButtonHeight96), hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id::lblProgress)),
      GetModuleHandleA(nullptr), nullptr);
  SendMessageA(progress, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  // Tab order: the log, then the buttons from left to right.
  HWND after = memLog;
  for (int buttonId : {id::btnOpenFile, id::btnFind, id::btnSaveAs, id::btnPrint, id::btnOK}) {
    SetWindowPos(Control(buttonId), after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    after = Control(buttonId);
  }

  PopupMenu1 = CreatePopupMenu();
  ImageList1.Create(GetSystemMetrics(SM_CXSMICON));
  struct Item {
    int id;
    const char* text;
    HBITMAP image;
  };
  const Item items[] = {{id::popCopy, "&Copy", ImageList1.Image(0)},
                        {id::popFind, "&Find\tCtrl+F", ImageList1.Image(1)}};
  UINT position = 0;
  for (const Item& item : items) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_STRING | (item.image ? MIIM_BITMAP : 0);
    info.wID = static_cast<UINT>(item.id);
    info.dwTypeData = const_cast<char*>(item.text);
    info.hbmpItem = item.image;
    InsertMenuItemA(PopupMenu1, position++, TRUE, &info);
  }
}

HWND TfViewer::CreateLogControl() {
  HWND log = CreateWindowExA(0, "RichEdit20A", "", kLogStyle, 0, 0, 0, 0, hwnd_,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id::memLog)),
                             GetModuleHandleA(nullptr), nullptr);
  if (!log) throw std::runtime_error("The text control of the log viewer could not be created.");
  // No length limit (a rich-edit control stops at 32K characters by default), no word wrap,
  // rich-text mode.
  SendMessageA(log, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
  SendMessageA(log, EM_SETTARGETDEVICE, 0, 1);
  SendMessageA(log, EM_SETTEXTMODE, TM_RICHTEXT | TM_MULTILEVELUNDO | TM_MULTICODEPAGE, 0);
  if (logFont_) SendMessageA(log, WM_SETFONT, reinterpret_cast<WPARAM>(logFont_.get()), FALSE);
  return log;
}

// The viewer's own view, for plain text of any size.
HWND TfViewer::CreateLogView() {
  HWND log =
      CreateWindowExA(0, kLogViewClass, "", WS_CHILD | WS_TABSTOP | WS_HSCROLL | WS_VSCROLL, 0, 0,
                      0, 0, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id::memLog)),
                      GetModuleHandleA(nullptr), nullptr);
  if (!log) throw std::runtime_error("The text control of the log viewer could not be created.");
  if (logFont_) SendMessageA(log, WM_SETFONT, reinterpret_cast<WPARAM>(logFont_.get()), FALSE);
  return log;
}

void TfViewer::CreateFilter() {
  ViewerFilter::Hooks hooks;
  hooks.print = [this](LineSource& lines, const std::string& header) {
    if (PrintersAvailable())
      PrintLines(lines, header);
    else
      vTaskDialog->ShowNoPrinters();
  };
  hooks.saveFailed = [this](const std::string& file) { vTaskDialog->ShowSaveError(file); };
  hooks.relayout = [this] { FormResize(); };
  hooks.caption = [this] { return Caption(); };
  filter_ = std::make_unique<ViewerFilter>(hwnd_, std::move(hooks));
  filter_->Create(static_cast<HFONT>(font_.get()), static_cast<HFONT>(logFont_.get()), dpi_);
  filter_->AddToLogMenu(PopupMenu1);
  filter_->SetLog(memLog);
}

// A fresh control holding the file: rich text in a rich-edit control, anything else in the log
// view. Null when the file cannot be opened or read (the shown text then stays as it was).
HWND TfViewer::LoadFile(const std::string& file, bool* incomplete) {
  if (!IsRichTextFile(file)) {
    std::unique_ptr<logs::LogDocument> document = OpenLogDocument(file);
    if (!document) return nullptr;
    // The index pass records the problem lines, for "Problems (N)" once it is done.
    WinRegistry registry;
    document->SetProblemWords(logs::ParseProblemWords(
        ReadRegString(registry, RegRoot::CurrentUser, kSettingsKey, "ProblemWords", "")));
    HWND view = CreateLogView();
    LogViewSetDocument(view, std::move(document));
    LogViewFollow(view, file);
    // "Follow" is offered again once this file grows.
    if (PopupMenu1) DeleteMenu(PopupMenu1, id::popFollow, MF_BYCOMMAND);
    logFile_ = file;
    return view;
  }
  HWND fresh = CreateLogControl();
  if (!LoadRichEditFile(fresh, file, incomplete)) {
    DestroyWindow(fresh);
    return nullptr;
  }
  return fresh;
}

// Makes `log` the viewer's text control, in place of the one before (destroyed).
void TfViewer::AdoptLogControl(HWND log) {
  HWND previous = memLog;
  // A filter reads the previous control's document on its own thread: it ends first.
  if (filter_) filter_->Close();
  memLog = log;
  if (previous) {
    SetWindowPos(log, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    const bool hadFocus = GetFocus() == previous;
    DestroyWindow(previous);
    if (hadFocus || lastFocus_ == previous) lastFocus_ = log;
  }
  if (filter_) filter_->SetLog(log);
  FormResize();
  ShowWindow(log, SW_SHOW);
  OnLogViewNotify(LVN_INDEXPROGRESS);
}

// ---- Messages -------------------------------------------------------------------------------

LRESULT TfViewer::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  // While long work runs only the log view's own notifications get through.
  if (longWork_ && ((message == WM_COMMAND && reinterpret_cast<HWND>(lParam) != memLog) ||
                    message == WM_COPYDATA || message == WM_CONTEXTMENU))
    return 0;
  switch (message) {
    case WM_COMMAND: {
      const Step step(*this);
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    }
    case WM_COPYDATA: {
      const Step step(*this);
      RunHandler(
          [this, lParam] { OnFindRequest(reinterpret_cast<const COPYDATASTRUCT*>(lParam)); });
      return 0;
    }
    case WM_CONTEXTMENU: {
      const Step step(*this);
      OnContextMenu(reinterpret_cast<HWND>(wParam), lParam);
      return 0;
    }
    case WM_ENABLE:
      // The find dialog stays on top of every window: while the viewer cannot take a request
      // (one of its dialogs is up, pages go out), the dialog must not send one.
      if (FFindForm && FFindForm->hwnd()) EnableWindow(FFindForm->hwnd(), wParam ? TRUE : FALSE);
      return 0;
    case WM_SIZE:
      RunHandler([this] { FormResize(); });
      return 0;
    case WM_GETMINMAXINFO:
      reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize.x = Scale(kMinWidth96);
      return 0;
    case WM_ACTIVATE:
      FormActivate(LOWORD(wParam) != WA_INACTIVE);
      return 0;
    case WM_SETFOCUS:
      SetFocus(lastFocus_ && IsWindowVisible(lastFocus_) && IsWindowEnabled(lastFocus_) ? lastFocus_
                                                                                        : memLog);
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      SetBkColor(reinterpret_cast<HDC>(wParam), kFormColor);
      return reinterpret_cast<LRESULT>(formBrush_.get());
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      PaintButtonBar(dc);
      EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_CLOSE:
      // From the viewer itself or from another program, also while a dialog is up.
      RequestClose();
      return 0;
    case WM_ENDSESSION:
      // The session may end as soon as this returns.
      if (wParam) RequestClose();
      return 0;
    case WM_DESTROY:
      // Before the log view and its document go with the child windows.
      filter_.reset();
      if (PopupMenu1) DestroyMenu(PopupMenu1);
      PopupMenu1 = nullptr;
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(hwnd_, message, wParam, lParam);
  }
}

void TfViewer::OnCommand(int controlId, int code) {
  if (controlId == id::memLog) {
    RunHandler([this, code] { OnLogViewNotify(code); });
    return;
  }
  bool filters = false;
  RunHandler([&] { filters = filter_ && filter_->OnCommand(controlId, code); });
  if (filters) return;
  if (code != BN_CLICKED && code != 0) return;  // 0: a menu item
  if (controlId == id::btnOK) {
    PostMessageA(hwnd_, WM_CLOSE, 0, 0);
    return;
  }
  // The buttons and menu items, each with its handler.
  static constexpr struct {
    int id;
    void (TfViewer::*handler)();
  } kHandlers[] = {{id::btnOpenFile, &TfViewer::btnOpenFilecClick},
                   {id::btnFind, &TfViewer::ShowFind},
                   {id::popFind, &TfViewer::ShowFind},
                   {id::btnSaveAs, &TfViewer::btnSaveAsClick},
                   {id::btnPrint, &TfViewer::BitBtn2Click},
                   {id::popCopy, &TfViewer::popCopyClick},
                   {id::popFollow, &TfViewer::popFollowClick}};
  for (const auto& entry : kHandlers)
    if (entry.id == controlId) {
      RunHandler([this, &entry] { (this->*entry.handler)(); });
      return;
    }
}

void TfViewer::OnContextMenu(HWND source, LPARAM lParam) {
  if (filter_ && filter_->OnContextMenu(source, lParam)) return;
  if (source != memLog || !PopupMenu1) return;
  POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  if (lParam == -1) {  // from the keyboard: at the caret
    GetCaretPos(&at);
    ClientToScreen(memLog, &at);
  }
  TrackPopupMenu(PopupMenu1, TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd_, nullptr);
}

bool TfViewer::PreTranslate(MSG& msg) {
  const bool ours = msg.hwnd == hwnd_ || IsChild(hwnd_, msg.hwnd);
  bool filters = false;
  if (ours && filter_) RunHandler([&] { filters = filter_->PreTranslate(msg); });
  if (filters) return true;
  if (ours && msg.message == WM_KEYDOWN) {
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    if (msg.wParam == 'F' && ctrl) {
      RunHandler([this] { ShowFind(); });
      return true;
    }
    if (msg.wParam == VK_ESCAPE) {
      // Esc alone closes; with Shift, Ctrl or Alt it does nothing at all.
      if (!ctrl && GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_MENU) >= 0)
        PostMessageA(hwnd_, WM_CLOSE, 0, 0);
      return true;
    }
    // The log takes Enter but not Tab: Tab moves on, as between the buttons.
    if (msg.wParam == VK_TAB && msg.hwnd == memLog && !ctrl) {
      SendMessageA(hwnd_, WM_NEXTDLGCTL, GetKeyState(VK_SHIFT) < 0 ? 1 : 0, 0);
      return true;
    }
  }
  if (FFindForm && FFindForm->PreTranslate(msg)) return true;
  return ours && IsDialogMessageA(hwnd_, &msg) != FALSE;
}

void TfViewer::PaintButtonBar(HDC dc) {
  RECT client;
  GetClientRect(hwnd_, &client);
  RECT line{0, client.bottom - Scale(kPanelHeight96), client.right,
            client.bottom - Scale(kPanelHeight96) + 1};
  GdiObject strip(CreateSolidBrush(kStripColor));
  FillRect(dc, &line, static_cast<HBRUSH>(strip.get()));
}

// ---- Event handlers -------------------------------------------------------------------------

void TfViewer::FormCreate() {
  EnableWindow(Control(id::btnPrint), !GetDefaultPrinterDevice().empty());
  SetDesignedPPI(kDesignedPPI);

  // The log is shown in the system's message font, not a fixed-pitch design font.
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = 340;  // the size every Windows version accepts (without the padded border)
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) {
    logFont_.Reset(CreateFontIndirectA(&metrics.lfMessageFont));
    SendMessageA(memLog, WM_SETFONT, reinterpret_cast<WPARAM>(logFont_.get()), FALSE);
  }
  CreateFilter();

  const ViewerArguments args = ViewerArgumentsFrom(state_.furtherArguments);
  const ViewerStart start = PlanViewerStart(args);
  FFileMask = start.fileMask;
  ShowWindow(Control(id::btnOpenFile), SW_HIDE);
  SetWindowTextA(hwnd_, kViewerCaption);

  TSpecialFolderList SpecialFolderList;
  SetDefaultSavePath(AddTrailingBackslash(SpecialFolderList.ResolvePath("%PERSONAL%")));

  FActivated = false;
  FFindForm = std::make_unique<TfFind>();
  if (FFindForm->Create(hwnd_)) {
    FFindForm->SetTargetWnd(hwnd_);
    FFindForm->SetColor(kFormColor);
  } else {
    FFindForm.reset();
  }

  SetWindowTextA(memLog, "");
  if (start.loadFile) {
    bool incomplete = false;
    if (FileExists(args.file)) {
      if (HWND loaded = LoadFile(args.file, &incomplete))
        AdoptLogControl(loaded);
      else
        unreadableFile_ = args.file;
    }
    ShowIncomplete(incomplete);
    FIsLog = start.isLog;
    if (!start.applicationTitle.empty()) SetApplicationTitle(start.applicationTitle);
  } else {
    FIsLog = false;
  }
  SetWindowTextA(hwnd_, start.caption.c_str());
  if (start.openVisible) {
    ShowWindow(Control(id::btnOpenFile), SW_SHOW);
    FOpenFolder = start.openFolder;
  }
  SendMessageA(memLog, EM_SETMODIFY, FALSE, 0);
}

void TfViewer::FormResize() {
  RECT client;
  GetClientRect(hwnd_, &client);
  const int panelTop = client.bottom - Scale(kPanelHeight96);
  const int s = ButtonSpacing(dpi_, FDesignedPPI);
  auto width = [this](int buttonId) {
    RECT r{};
    GetWindowRect(Control(buttonId), &r);
    return static_cast<int>(r.right - r.left);
  };
  const ButtonBarLefts lefts = LayOutButtonBar(
      client.right, s,
      {width(id::btnFind), width(id::btnSaveAs), width(id::btnPrint), width(id::btnOK)});
  const int top = panelTop + Scale(kButtonTop96);
  const struct {
    int id;
    int left;
  } places[] = {{id::btnOpenFile, lefts.open},
                {id::btnFind, lefts.find},
                {id::btnSaveAs, lefts.save},
                {id::btnPrint, lefts.print},
                {id::btnOK, lefts.ok}};
  for (const auto& p : places)
    SetWindowPos(Control(p.id), nullptr, p.left, top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  const bool openShown = GetWindowLongA(Control(id::btnOpenFile), GWL_STYLE) & WS_VISIBLE;
  const int freeLeft = openShown ? lefts.open + width(id::btnOpenFile) + s : s;
  // "Problems (N)" right of the free space, the note (incomplete file, new lines) left of it.
  const int problemsLeft =
      filter_ ? filter_->PlaceProblems(freeLeft, lefts.find - s, top, Scale(kButtonHeight96))
              : lefts.find - s;
  PlaceIncompleteNote(freeLeft, problemsLeft == lefts.find - s ? problemsLeft : problemsLeft - s,
                      panelTop);
  // An open filter takes its bar and pane from the log's height.
  const int logBottom = filter_ ? filter_->LayOut(client.right, std::max(0, panelTop)) : panelTop;
  if (memLog)
    SetWindowPos(memLog, nullptr, 0, 0, client.right, logBottom > 0 ? logBottom : 0,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  PlaceProgress();
  InvalidateRect(hwnd_, nullptr, TRUE);
  if (memLog) InvalidateRect(memLog, nullptr, FALSE);
}

// The note sits in the button bar between "Open" (or the left edge) and "Find": on one line
// beside the buttons' text when it fits, else on two.
void TfViewer::PlaceIncompleteNote(int left, int right, int panelTop) {
  HWND note = Control(id::lblIncomplete);
  if (!note) return;
  HDC dc = GetDC(note);
  HGDIOBJ previous = SelectObject(dc, font_.get());
  SIZE text{};
  // The note it holds now: the incomplete file's, or the follow note of a growing log.
  wchar_t shown[256] = {};
  const int length = GetWindowTextW(note, shown, 256);
  GetTextExtentPoint32W(dc, shown, length, &text);
  SelectObject(dc, previous);
  ReleaseDC(note, dc);
  const int width = right > left ? right - left : 0;
  const int lines = text.cx <= width ? 1 : 2;
  const int height = lines * text.cy;
  const int top = lines == 1
                      ? panelTop + Scale(kButtonTop96) + (Scale(kButtonHeight96) - height) / 2
                      : panelTop + (Scale(kPanelHeight96) - height + 1) / 2;
  SetWindowPos(note, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TfViewer::ShowIncomplete(bool incomplete) {
  if (incomplete) SetWindowTextA(Control(id::lblIncomplete), kIncompleteNote);
  ShowWindow(Control(id::lblIncomplete), incomplete ? SW_SHOWNA : SW_HIDE);
}

void TfViewer::FormActivate(bool active) {
  if (!active) {
    HWND focus = GetFocus();
    if (focus && IsChild(hwnd_, focus)) lastFocus_ = focus;
    return;
  }
  if (!FActivated) {
    FActivated = true;
    PostMessageA(hwnd_, WM_SETFOCUS, 0, 0);
    return;
  }
  // Coming back to the viewer by keyboard leaves the focus where it was.
  if (lastFocus_ && IsWindow(lastFocus_) && GetFocus() == nullptr) SetFocus(lastFocus_);
}

void TfViewer::FormClose() { FFindForm.reset(); }

// The log view's notifications: progress of its index in the button bar, and the one message
// when the file turned out shorter or unreadable.
void TfViewer::OnLogViewNotify(int code) {
  HWND label = Control(id::lblProgress);
  const int percent = LogViewProgress(memLog);
  if (percent >= 100) {
    ShowWindow(label, SW_HIDE);
  } else {
    const std::wstring text = L"Reading the log\u2026 " + std::to_wstring(percent) + L" %";
    SetWindowTextW(label, text.c_str());
    ShowWindow(label, SW_SHOWNA);
  }
  if (IsLogView(memLog)) ShowFollowNote(percent >= 100 ? LogViewFollowNote(memLog) : L"");
  if (code == LVN_INDEXDONE && filter_) filter_->OnIndexDone();
  if (code == LVN_GREW && filter_) filter_->OnLogGrew();
  if (code == LVN_READFAILED || code == LVN_COPYREADFAILED) vTaskDialog->ShowReadError(logFile_);
  if (code == LVN_COPYTOOLARGE) vTaskDialog->ShowCopyError();
  if (code == LVN_FOLLOWNOTE && LogViewGrew(memLog)) OfferFollow(LogViewFollowing(memLog));
  if (code == LVN_FILECHANGED) OnFileChanged();
}

// Left in the button bar, beside "Open" when it is shown, up to "Find".
void TfViewer::PlaceProgress() {
  HWND label = Control(id::lblProgress);
  if (!label) return;
  RECT client{}, find{}, open{};
  GetClientRect(hwnd_, &client);
  GetWindowRect(Control(id::btnFind), &find);
  GetWindowRect(Control(id::btnOpenFile), &open);
  MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&find), 2);
  MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&open), 2);
  const int s = ButtonSpacing(dpi_, FDesignedPPI);
  const int left = (IsWindowVisible(Control(id::btnOpenFile)) ? open.right : 0) + 2 * s;
  SetWindowPos(label, nullptr, left, find.top, std::max(0, static_cast<int>(find.left) - s - left),
               find.bottom - find.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

int RunLogViewerWindow(const ProgramState& state) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  RegisterMarkupCheckBox();
  RegisterLogView();
  // The rich-edit control's library stays loaded for the whole run.
  Module richEdit(LoadLibraryA("riched20.dll"));
  {
    TfViewer form(state);
    if (form.Create()) {
      form.Show();
      MSG msg;
      while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (form.PreTranslate(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
    }
  }
  return 0;
}

}  // namespace vt9::win
