// The log viewer's form, shared by the files that implement it: the window and its layout
// (viewer_window.cpp), the file commands (viewer_file_commands.cpp) and find (viewer_find.cpp).
// Nothing outside the viewer's window uses it; the program starts the viewer through
// viewer_window.h.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "common/program_state.h"
#include "common/win/handles.h"
#include "common/win/window_base.h"
#include "common/win/window_text.h"
#include "logs/log_document.h"
#include "viewer/find_request.h"
#include "viewer/viewer_rules.h"
#include "viewer/viewer_setup.h"
#include "viewer/win/find_dialog.h"
#include "viewer/win/menu_images.h"
#include "viewer/win/viewer_dialogs.h"
#include "viewer/win/viewer_filter.h"
#include "viewer/win/viewer_print.h"

namespace vt9::win {

class TfViewer : public WindowBase<TfViewer, FormOwner::Caller> {
 public:
  explicit TfViewer(const ProgramState& state) : state_(state) {}
  TfViewer(const TfViewer&) = delete;
  TfViewer& operator=(const TfViewer&) = delete;

  bool Create();
  void Show();
  // The viewer's keys, seen before its controls (Ctrl+F, Esc, Tab out of the log), then the
  // find dialog's, then the dialog keys of the viewer. True when the message was used.
  bool PreTranslate(MSG& msg);

  static constexpr int kDesignedPPI = 96;

  void SetDesignedPPI(int ppi) { FDesignedPPI = ppi; }
  void SetDefaultSavePath(const std::string& path) { FDefaultSavePath = path; }
  void ShowFind();

 private:
  friend class WindowBase<TfViewer, FormOwner::Caller>;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  // Event handlers, named after the controls they serve.
  void FormCreate();
  void FormResize();
  void FormActivate(bool active);
  void FormClose();
  void btnOpenFilecClick();
  void btnSaveAsClick();
  void BitBtn2Click();
  // Lays out and prints the lines under the caption, as the print flow does for the whole log.
  void PrintLines(LineSource& lines, const std::string& caption);
  void CreateFilter();
  void popCopyClick();
  // Following a growing log (viewer_follow.cpp).
  void popFollowClick();
  void OnFileChanged();
  void ReadLogAgain(const wchar_t* note);
  void OfferFollow(bool following);
  void ShowFollowNote(const std::wstring& note);
  void OnFindRequest(const COPYDATASTRUCT* data);

  // A step that may run a modal loop (a dialog, a menu, the page loop). A close arriving
  // meanwhile is held until the outermost step has ended: the window, the text control and
  // the find dialog must outlive the handlers still using them.
  class Step {
   public:
    explicit Step(TfViewer& viewer) : viewer_(viewer) { ++viewer_.steps_; }
    ~Step();
    Step(const Step&) = delete;
    Step& operator=(const Step&) = delete;

   private:
    TfViewer& viewer_;
  };
  // A close from the viewer, another program or the session's end: now, or once the running
  // steps have ended.
  void RequestClose();
  void HoldClose();
  void CloseNow();
  void ShowIncomplete(bool incomplete);
  void PlaceIncompleteNote(int left, int right, int panelTop);

  void OnCommand(int controlId, int code);
  void OnContextMenu(HWND source, LPARAM lParam);
  void CreateControls();
  HWND CreateLogControl();
  HWND CreateLogView();
  // A control showing the file: the log view for plain text, the rich-edit control for rich text
  // (`incomplete` set when that rich text ends too early); nullptr when it cannot be read.
  HWND LoadFile(const std::string& file, bool* incomplete = nullptr);
  void OnLogViewNotify(int code);
  void PlaceProgress();
  void FindInLogView(logs::LogDocument& document, const FindRequest& request);
  // Long work on a worker thread: `work` sets `percent` as it goes, stops soon after `cancel`
  // and says whether it succeeded. Meanwhile the window answers, "<what>… 45 %" shows in the
  // button bar, Esc or a close cancels, and the viewer's commands are refused.
  using LongWork = std::function<bool(const std::atomic<bool>& cancel, std::atomic<int>& percent)>;
  enum class LongWorkEnd { Done, Failed, Cancelled };
  LongWorkEnd RunLongWork(const wchar_t* what, const LongWork& work);
  // The log view's index complete, waited for while the window answers; false when Esc or a
  // close cancelled the wait.
  bool WaitForIndexAnswering();
  void AdoptLogControl(HWND log);
  void PaintButtonBar(HDC dc);
  int Scale(int v) const { return MulDiv(v, dpi_, 96); }
  HWND Control(int controlId) const { return GetDlgItem(hwnd_, controlId); }
  std::string Caption() const { return WindowText(hwnd_); }

  const ProgramState& state_;
  int FDesignedPPI = kDesignedPPI;
  std::string FDefaultSavePath;
  std::string FOpenFolder;
  std::string FFileMask = kAllFilesMask;
  bool FIsLog = false;
  bool FActivated = false;
  std::unique_ptr<TfFind> FFindForm;
  std::unique_ptr<ViewerFilter> filter_;  // "only the lines with…": bar, pane, Problems

  HWND memLog = nullptr;
  HWND lastFocus_ = nullptr;
  int dpi_ = 96;
  GdiObject font_;
  GdiObject logFont_;
  GdiObject formBrush_;
  HMENU PopupMenu1 = nullptr;
  MenuImages ImageList1;
  std::unique_ptr<ViewerMessages> vTaskDialog;
  std::string unreadableFile_;  // reported once the window is on screen
  std::string logFile_;         // the file in the log view, for its read error
  LogPrinter printer_;
  bool printing_ = false;
  int steps_ = 0;              // steps running, nested ones included
  bool closePending_ = false;  // a close arrived during a step
  bool longWork_ = false;      // RunLongWork is running: commands are refused
};

}  // namespace vt9::win
