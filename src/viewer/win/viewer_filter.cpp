// The filter's windows and their work: one run of the filter at a time on its own thread, its
// matches listed while it goes, the log moved to a picked line.
#include "viewer/win/viewer_filter.h"

#include <commdlg.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/settings.h"
#include "common/win/win_registry.h"
#include "logs/filter_run.h"
#include "logs/line_filter.h"
#include "logs/log_document.h"
#include "logs/match_set.h"
#include "logs/problem_words.h"
#include "logs/win/log_file.h"
#include "viewer/filter_text.h"
#include "viewer/win/filter_bar.h"
#include "viewer/win/filter_pane.h"
#include "viewer/win/go_to_line.h"
#include "viewer/win/log_view.h"
#include "viewer/win/match_list.h"
#include "viewer/win/rich_text_file.h"
#include "viewer/win/viewer_window.h"
#include "viewer/win/wait_cursor.h"

namespace vt9::win {
namespace {

namespace id = viewer_id;

constexpr UINT kTickMs = 30;    // how often a running filter's news is shown
constexpr int kPaneShare = 40;  // per cent of the space below the log's top for the pane
constexpr int kMinLog96 = 60;

class RunMatches : public MatchList {
 public:
  explicit RunMatches(const logs::FilterRun& run) : run_(run) {}
  std::int64_t Count() const override { return run_.MatchCount(); }
  std::int64_t Nth(std::int64_t n) const override { return run_.NthMatch(n); }
  std::int64_t CountBefore(std::int64_t line) const override { return run_.MatchesBefore(line); }

 private:
  const logs::FilterRun& run_;
};

class SetMatches : public MatchList {
 public:
  explicit SetMatches(const logs::MatchSet& set) : set_(set) {}
  std::int64_t Count() const override { return set_.Count(); }
  std::int64_t Nth(std::int64_t n) const override { return set_.Nth(n); }
  std::int64_t CountBefore(std::int64_t line) const override { return set_.CountBefore(line); }

 private:
  const logs::MatchSet& set_;
};

// The listed lines for the page printer: as many as were listed when printing began.
class MatchLines : public LineSource {
 public:
  MatchLines(logs::LogDocument& document, const MatchList& list)
      : lines_(document.Lines()), list_(list), count_(list.Count()) {}
  std::uint64_t LineCount() override { return static_cast<std::uint64_t>(count_); }
  bool ReadLine(std::uint64_t index, std::string& line) override {
    const std::int64_t at = index < static_cast<std::uint64_t>(count_)
                                ? list_.Nth(static_cast<std::int64_t>(index))
                                : -1;
    if (at < 0) {
      line.clear();
      return false;
    }
    return lines_.ReadLine(static_cast<std::uint64_t>(at), line);
  }

 private:
  LineSource& lines_;
  const MatchList& list_;
  std::int64_t count_;
};

bool KeyDown(int key) { return GetKeyState(key) < 0; }

}  // namespace

struct ViewerFilter::Impl {
  HWND viewer = nullptr;
  Hooks hooks;
  HWND log = nullptr;
  HWND bar = nullptr;
  HWND pane = nullptr;
  HWND problems = nullptr;
  int dpi = 96;
  bool open = false;
  bool hidden = false;  // the log shows only the listed lines
  std::unique_ptr<logs::FilterRun> run;
  std::unique_ptr<MatchList> list;
  std::string describe;  // what is listed, for the pane's name and the print header
  bool ticking = false;
  HMENU logMenu = nullptr;

  logs::LogDocument* Document() const { return LogViewDocument(log); }
  void Detach();
  void Restart();
  void ShowProblems();
  void Tick();
  void UpdateStatus();
  void SetHidden(bool hide);
  void GoToLine(std::int64_t line);
  void NextMatch(bool forward);
  void AskLine();
  void SaveLines();
  void PrintLines();
  void ShowPane(bool show);
  void UpdateLogMenu();
};

ViewerFilter::ViewerFilter(HWND viewer, Hooks hooks) : impl_(std::make_unique<Impl>()) {
  impl_->viewer = viewer;
  impl_->hooks = std::move(hooks);
}

ViewerFilter::~ViewerFilter() { impl_->Detach(); }

void ViewerFilter::Create(HFONT uiFont, HFONT logFont, int dpi) {
  Impl& d = *impl_;
  d.dpi = dpi;
  RegisterFilterBar();
  RegisterFilterPane();
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  d.bar = CreateWindowExA(WS_EX_CONTROLPARENT, kFilterBarClass, "Filter",
                          WS_CHILD | WS_CLIPCHILDREN | WS_TABSTOP, 0, 0, 0, 0, d.viewer,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id::filterBar)), instance,
                          nullptr);
  d.pane = CreateWindowExA(WS_EX_CLIENTEDGE, kFilterPaneClass, "Filtered lines",
                           WS_CHILD | WS_TABSTOP | WS_VSCROLL, 0, 0, 0, 0, d.viewer,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id::filterPane)), instance,
                           nullptr);
  d.problems = CreateWindowExA(
      0, "BUTTON", "Problems", WS_CHILD | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0, d.viewer,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id::btnProblems)), instance, nullptr);
  SendMessageA(d.bar, WM_SETFONT, reinterpret_cast<WPARAM>(uiFont), FALSE);
  SendMessageA(d.problems, WM_SETFONT, reinterpret_cast<WPARAM>(uiFont), FALSE);
  SendMessageA(d.pane, WM_SETFONT, reinterpret_cast<WPARAM>(logFont ? logFont : uiFont), FALSE);
  FilterBarSetPostHandler(d.bar, [this](WPARAM) { impl_->Tick(); });
}

void ViewerFilter::SetLog(HWND log) {
  Impl& d = *impl_;
  if (log == d.log) return;
  if (d.open) Close();
  d.Detach();
  d.log = log;
  ShowWindow(d.problems, SW_HIDE);
  d.UpdateLogMenu();
  // Tab order: the log, the bar's controls, the pane, then the button bar.
  SetWindowPos(d.bar, log, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetWindowPos(d.pane, d.bar, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  // "Problems" sits left of Find in the button bar, and comes before it by Tab too.
  SetWindowPos(d.problems, GetDlgItem(d.viewer, id::btnOpenFile), 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (d.hooks.relayout) d.hooks.relayout();
}

bool ViewerFilter::IsOpen() const { return impl_->open; }

void ViewerFilter::Open() {
  Impl& d = *impl_;
  if (!d.Document()) return MessageBeep(MB_ICONWARNING), void();
  HWND box = FilterBarTermsBox(d.bar);
  if (!d.open) {
    d.open = true;
    ShowWindow(d.bar, SW_SHOW);
    d.ShowPane(!d.hidden);
    d.UpdateLogMenu();
    if (d.hooks.relayout) d.hooks.relayout();
  }
  SetFocus(box);
  SendMessageA(box, EM_SETSEL, 0, -1);
}

void ViewerFilter::Close() {
  Impl& d = *impl_;
  if (!d.open) return;
  const bool focusInside = IsChild(d.bar, GetFocus()) || GetFocus() == d.pane;
  d.SetHidden(false);
  d.Detach();
  d.open = false;
  ShowWindow(d.bar, SW_HIDE);
  ShowWindow(d.pane, SW_HIDE);
  d.UpdateLogMenu();
  if (d.hooks.relayout) d.hooks.relayout();
  if (focusInside && d.log) SetFocus(d.log);
}

// The run and what shows it go; the bar keeps what was typed.
void ViewerFilter::Impl::Detach() {
  FilterPaneSetSource(pane, nullptr, nullptr);
  if (hidden) LogViewShowOnly(log, nullptr);
  if (run) run->Cancel();
  run.reset();  // joins a worker that was cancelled: it stops after the block it is on
  list.reset();
  ticking = false;
}

void ViewerFilter::Impl::ShowPane(bool show) { ShowWindow(pane, show ? SW_SHOW : SW_HIDE); }

int ViewerFilter::LayOut(int width, int bottom) {
  Impl& d = *impl_;
  if (!d.open) return bottom;
  const int barHeight = FilterBarHeight(d.dpi);
  const int minLog = MulDiv(kMinLog96, d.dpi, 96);
  const int space = std::max(0, bottom - barHeight);
  const int paneHeight =
      d.hidden ? 0 : std::min(space * kPaneShare / 100, std::max(0, space - minLog));
  const int logBottom = std::max(0, space - paneHeight);
  SetWindowPos(d.bar, nullptr, 0, logBottom, width, barHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(d.pane, nullptr, 0, logBottom + barHeight, width, paneHeight,
               SWP_NOZORDER | SWP_NOACTIVATE);
  return logBottom;
}

int ViewerFilter::PlaceProblems(int left, int right, int top, int height) {
  Impl& d = *impl_;
  HDC dc = GetDC(d.problems);
  HGDIOBJ old =
      SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(d.problems, WM_GETFONT, 0, 0)));
  char text[64] = {};
  const int length = GetWindowTextA(d.problems, text, sizeof text);
  SIZE size{};
  GetTextExtentPoint32A(dc, text, length, &size);
  SelectObject(dc, old);
  ReleaseDC(d.problems, dc);
  const int width = std::min<int>(size.cx + MulDiv(20, d.dpi, 96), std::max(0, right - left));
  SetWindowPos(d.problems, nullptr, right - width, top, width, height,
               SWP_NOZORDER | SWP_NOACTIVATE);
  return IsWindowVisible(d.problems) ? right - width : right;
}

void ViewerFilter::OnIndexDone() {
  Impl& d = *impl_;
  const logs::LogDocument* doc = d.Document();
  const std::int64_t count = doc ? doc->ProblemLineCount() : 0;
  if (count <= 0) {
    ShowWindow(d.problems, SW_HIDE);
    d.UpdateLogMenu();
    return;
  }
  const std::string text = "Problems (" + GroupedNumber(count) + ")";
  // A followed log calls this at every growth: the bar is laid out again only on a change.
  char shown[64] = {};
  GetWindowTextA(d.problems, shown, int(sizeof shown));
  if (IsWindowVisible(d.problems) && text == shown) return;
  SetWindowTextA(d.problems, text.c_str());
  ShowWindow(d.problems, SW_SHOWNA);
  d.UpdateLogMenu();
  if (d.hooks.relayout) d.hooks.relayout();
}

void ViewerFilter::OnLogGrew() {
  Impl& d = *impl_;
  OnIndexDone();
  if (!d.list) return;
  if (d.run) {
    d.run->TakeInGrowth();
    if (!d.ticking) {
      d.ticking = true;
      FilterBarPost(d.bar, 0);
    }
    return;
  }
  // The problem lines grow with the index itself.
  FilterPaneRefresh(d.pane);
  if (d.hidden) LogViewRefreshShown(d.log);
  d.UpdateStatus();
}

void ViewerFilter::AddToLogMenu(HMENU menu) {
  impl_->logMenu = menu;
  impl_->UpdateLogMenu();
}

// The log's menu keeps Copy and Find alone while the filter is closed, as the viewer has always
// had it (Ctrl+L and the Problems button open the filter then); while it is open, the menu's
// item takes the focus back to the terms.
void ViewerFilter::Impl::UpdateLogMenu() {
  if (!logMenu) return;
  const bool want = open;
  const bool has = GetMenuState(logMenu, id::popFilter, MF_BYCOMMAND) != static_cast<UINT>(-1);
  if (want == has) return;
  if (want) {
    AppendMenuA(logMenu, MF_SEPARATOR, id::popFilterSeparator, nullptr);
    AppendMenuA(logMenu, MF_STRING, id::popFilter, "Show &Only Lines With\x85\tCtrl+L");
  } else {
    DeleteMenu(logMenu, id::popFilter, MF_BYCOMMAND);
    DeleteMenu(logMenu, id::popFilterSeparator, MF_BYCOMMAND);
  }
}

bool ViewerFilter::OnCommand(int controlId, int code) {
  Impl& d = *impl_;
  switch (controlId) {
    case id::filterBar:
      if (code == FBN_CHANGED) d.Restart();
      if (code == FBN_HIDE) d.SetHidden(FilterBarRead(d.bar).hideOthers);
      if (code == FBN_CLOSE) Close();
      return true;
    case id::filterPane:
      if (code == FPN_OPEN) {
        const std::int64_t row = FilterPaneCaret(d.pane);
        if (d.list && row >= 0) d.GoToLine(d.list->Nth(row));
      }
      if (code == FPN_SAVE) d.SaveLines();
      if (code == FPN_PRINT) d.PrintLines();
      if (code == FPN_CLOSE) Close();
      return true;
    case id::btnProblems:
      if (code == BN_CLICKED) d.ShowProblems();
      return true;
    case id::popFilter:
      Open();
      return true;
    case id::popPaneCopy:
      if (!FilterPaneCopy(d.pane)) MessageBeep(MB_ICONERROR);
      return true;
    case id::popPaneSelectAll:
      FilterPaneSelectAll(d.pane);
      return true;
    case id::popPaneGo:
      return OnCommand(id::filterPane, FPN_OPEN);
    case id::popPaneSave:
      d.SaveLines();
      return true;
    case id::popPanePrint:
      d.PrintLines();
      return true;
    default:
      return false;
  }
}

bool ViewerFilter::OnContextMenu(HWND source, LPARAM lParam) {
  Impl& d = *impl_;
  if (source != d.pane) return false;
  POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  if (lParam == -1) {
    RECT r{};
    GetWindowRect(d.pane, &r);
    at = {r.left + 20, r.top + 20};
  }
  HMENU menu = CreatePopupMenu();
  const bool any = d.list && d.list->Count() > 0;
  const UINT state = any ? MF_STRING : MF_STRING | MF_GRAYED;
  AppendMenuA(menu, state, id::popPaneGo, "&Go to Line in Log\tEnter");
  AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(menu, state, id::popPaneCopy, "&Copy\tCtrl+C");
  AppendMenuA(menu, state, id::popPaneSelectAll, "Select &All\tCtrl+A");
  AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(menu, state, id::popPaneSave, "&Save Lines\x85\tCtrl+S");
  AppendMenuA(menu, state, id::popPanePrint, "&Print Lines\x85\tCtrl+P");
  const UINT chosen = static_cast<UINT>(TrackPopupMenu(
      menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, at.x, at.y, 0, d.viewer, nullptr));
  DestroyMenu(menu);
  if (chosen != 0) OnCommand(static_cast<int>(chosen), 0);
  return true;
}

bool ViewerFilter::PreTranslate(const MSG& msg) {
  Impl& d = *impl_;
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
  if (msg.hwnd != d.viewer && !IsChild(d.viewer, msg.hwnd)) return false;
  const bool ctrl = KeyDown(VK_CONTROL), shift = KeyDown(VK_SHIFT), alt = KeyDown(VK_MENU);
  const bool inBar = msg.hwnd == d.bar || IsChild(d.bar, msg.hwnd);
  if (msg.message == WM_KEYDOWN && ctrl && !alt && msg.wParam == 'L') {
    Open();
    return true;
  }
  if (msg.message == WM_KEYDOWN && ctrl && !alt && msg.wParam == 'G') {
    d.AskLine();
    return true;
  }
  if (msg.wParam == VK_F8 && !ctrl && !alt && d.list) {
    d.NextMatch(!shift);
    return true;
  }
  if (msg.wParam == VK_ESCAPE && d.open && (inBar || msg.hwnd == d.pane)) {
    Close();
    return true;
  }
  if (inBar && msg.hwnd == FilterBarTermsBox(d.bar) && !ctrl && !alt &&
      (msg.wParam == VK_DOWN || msg.wParam == VK_RETURN)) {
    if (msg.wParam == VK_RETURN && !d.run && !d.list) d.Restart();  // no need to wait then
    if (IsWindowVisible(d.pane)) {
      SetFocus(d.pane);
      if (FilterPaneCaret(d.pane) < 0 && d.list && d.list->Count() > 0)
        FilterPaneSelectRow(d.pane, 0);
    }
    return true;
  }
  return false;
}

// ---- The run ----------------------------------------------------------------------------------

void ViewerFilter::Impl::Restart() {
  const bool wasHidden = hidden;
  Detach();
  logs::LogDocument* doc = Document();
  if (!doc) return;
  const FilterBarState state = FilterBarRead(bar);
  std::vector<logs::FilterTerm> terms;
  for (const TypedTerm& t : ParseFilterTerms(state.terms)) terms.push_back({t.text, t.exclude});
  if (terms.empty()) {
    FilterBarSetStatus(bar, "", false);
    SetWindowTextA(pane, "Filtered lines");
    if (wasHidden) hidden = false, SetHidden(true);
    return;
  }
  logs::FilterOptions options;
  options.matchCase = state.matchCase;
  options.wholeWord = state.wholeWord;
  options.regex = state.regex;
  std::string error;
  std::unique_ptr<logs::LineFilter> filter =
      logs::LineFilter::Compile(terms, options, SystemCodePage(), &error);
  if (!filter) {
    FilterBarSetStatus(bar, error.empty() ? "The expression is not valid." : error, true);
    return;
  }
  describe = filter->Describe();
  run = std::make_unique<logs::FilterRun>(*doc, std::move(filter));
  list = std::make_unique<RunMatches>(*run);
  FilterPaneSetSource(pane, doc, list.get());
  SetWindowTextA(pane, ("Lines " + describe).c_str());
  if (wasHidden) {
    hidden = false;
    SetHidden(true);
  }
  // The window's thread comes first when both want the processor (the progress is called on
  // the filter's own thread, first some 30 ms after the start).
  run->Start([] {
    thread_local bool lowered = false;
    if (!lowered) lowered = SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
  });
  ticking = true;
  FilterBarPost(bar, 0);
  UpdateStatus();
}

void ViewerFilter::Impl::Tick() {
  if (!ticking || !run) return;
  FilterPaneRefresh(pane);
  if (hidden) LogViewRefreshShown(log);
  UpdateStatus();
  if (run->Done()) {
    ticking = false;
    return;
  }
  // The next look in a moment: the worker itself never touches a window.
  FilterBarTickLater(bar, kTickMs);
}

void ViewerFilter::Impl::UpdateStatus() {
  if (!list) return;
  const logs::LogDocument* doc = Document();
  const std::int64_t lines = run ? run->LinesDone() : (doc ? doc->LineCount() : 0);
  FilterBarSetStatus(bar, FilterCountText(list->Count(), lines), false);
}

void ViewerFilter::Impl::ShowProblems() {
  logs::LogDocument* doc = Document();
  if (!doc || !doc->IndexComplete()) return;
  const bool wasHidden = hidden;
  Detach();
  list = std::make_unique<SetMatches>(doc->ProblemLines());
  WinRegistry registry;
  std::string words;
  for (const std::string& w : logs::ParseProblemWords(
           ReadRegString(registry, RegRoot::CurrentUser, kSettingsKey, "ProblemWords", "")))
    words += (words.empty() ? "" : " ") + w;
  FilterBarWrite(bar, {words, false, true, false, wasHidden});
  describe = "with a problem word (" + words + ")";
  FilterPaneSetSource(pane, doc, list.get());
  SetWindowTextA(pane, ("Lines " + describe).c_str());
  FilterBarSetStatus(bar, FilterCountText(list->Count(), doc->LineCount()), false);
  if (wasHidden) {
    hidden = false;
    SetHidden(true);
  }
  if (!open) {
    open = true;
    ShowWindow(bar, SW_SHOW);
    ShowPane(!hidden);
    UpdateLogMenu();
    if (hooks.relayout) hooks.relayout();
  }
  if (IsWindowVisible(pane)) {
    SetFocus(pane);
    FilterPaneSelectRow(pane, 0);
  }
}

// ---- The log ----------------------------------------------------------------------------------

void ViewerFilter::Impl::SetHidden(bool hide) {
  if (hide == hidden) return;
  hidden = hide;
  LogViewShowOnly(log, hide ? list.get() : nullptr);
  if (open) {
    ShowPane(!hide);
    if (hooks.relayout) hooks.relayout();
  }
}

void ViewerFilter::Impl::GoToLine(std::int64_t line) {
  if (line < 0 || !log) return;
  LogViewSelectLine(log, line);
  SetFocus(log);
}

void ViewerFilter::Impl::NextMatch(bool forward) {
  const logs::LogDocument* doc = Document();
  if (!doc || !list) return;
  const std::int64_t current = LogViewCaretLine(log);
  const std::int64_t n = forward ? list->CountBefore(current + 1) : list->CountBefore(current) - 1;
  const std::int64_t line = n >= 0 ? list->Nth(n) : -1;
  if (line < 0) return MessageBeep(MB_ICONWARNING), void();
  LogViewSelectLine(log, line);
  if (IsWindowVisible(pane)) FilterPaneSelectRow(pane, n);
}

void ViewerFilter::Impl::AskLine() {
  const logs::LogDocument* doc = Document();
  const std::int64_t lines = doc ? doc->LineCount() : SendMessageA(log, EM_GETLINECOUNT, 0, 0);
  if (lines <= 0) return;
  const std::int64_t current = doc ? LogViewCaretLine(log) : 0;
  const std::int64_t wanted = AskGoToLine(viewer, current + 1, lines);
  if (wanted <= 0) return;
  if (doc) {
    std::int64_t line = wanted - 1;
    // Hidden lines cannot be gone to: the next shown one (or the last) is.
    if (hidden && list && !list->Count()) return;
    if (hidden && list) {
      const std::int64_t n = std::min(list->CountBefore(line), list->Count() - 1);
      line = list->Nth(n);
    }
    GoToLine(line);
    return;
  }
  const LRESULT start = SendMessageA(log, EM_LINEINDEX, static_cast<WPARAM>(wanted - 1), 0);
  if (start < 0) return;
  SendMessageA(log, EM_SETSEL, static_cast<WPARAM>(start), start);
  SendMessageA(log, EM_SCROLLCARET, 0, 0);
  SetFocus(log);
}

// ---- Lines out --------------------------------------------------------------------------------

void ViewerFilter::Impl::SaveLines() {
  logs::LogDocument* doc = Document();
  if (!doc || !list) return;
  char file[MAX_PATH * 4] = {};
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = viewer;
  ofn.lpstrFilter = "Text (*.txt)\0*.txt\0Rich Text (*.rtf)\0*.rtf\0";
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.lpstrTitle = "Save Listed Lines As";
  ofn.lpstrDefExt = "txt";
  ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
  if (!GetSaveFileNameA(&ofn)) return;
  const std::string target = file;
  const bool rich =
      ofn.nFilterIndex == 2 ||
      (target.size() > 4 && lstrcmpiA(target.c_str() + target.size() - 4, ".rtf") == 0);
  WaitCursor wait(viewer);
  if (run)
    while (!run->Done()) Sleep(10);  // all the lines, not those found so far
  LineSource& source = doc->Lines();
  const MatchList& matches = *list;
  const LineReader read = [&](std::int64_t i, std::string& line) {
    const std::int64_t at = matches.Nth(i);
    return at >= 0 && source.ReadLine(static_cast<std::uint64_t>(at), line);
  };
  const std::int64_t count = matches.Count();
  const bool saved = SaveFileSafely(target, [&](const ContentWriter& write) {
    const PieceWriter piece = [&](std::string_view p) { return write(p.data(), p.size()); };
    return rich ? WriteLinesAsRichText(count, read, piece, GetACP())
                : WriteLinesAsText(count, read, piece);
  });
  if (!saved && hooks.saveFailed) hooks.saveFailed(target);
}

void ViewerFilter::Impl::PrintLines() {
  logs::LogDocument* doc = Document();
  if (!doc || !list || !hooks.print) return;
  {
    WaitCursor wait(viewer);
    if (run)
      while (!run->Done()) Sleep(10);
  }
  MatchLines lines(*doc, *list);
  const std::string caption = hooks.caption ? hooks.caption() : std::string();
  hooks.print(lines, caption + " - lines " + describe);
}

}  // namespace vt9::win
