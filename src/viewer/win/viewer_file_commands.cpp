#include <windows.h>
// The common-dialog and rich-edit headers build on <windows.h>.
#include <commdlg.h>
#include <richedit.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "common/paths.h"
#include "common/settings.h"
#include "common/win/win_registry.h"
#include "viewer/viewer_setup.h"
#include "viewer/win/log_files.h"
#include "viewer/win/log_view.h"
#include "viewer/win/rich_edit_lines.h"
#include "viewer/win/rich_text_file.h"
#include "viewer/win/viewer_form.h"

namespace vt9::win {
namespace {

// "description|pattern" of the toolkit's filters to the common dialogs' NUL-separated list.
std::string DialogFilter(const std::string& filter) {
  std::string list = filter;
  for (char& c : list)
    if (c == '|') c = '\0';
  list.append(2, '\0');
  return list;
}

// The whole text, as the control hands it out: paragraphs ended by CR LF.
std::string WholeText(HWND edit) {
  GETTEXTLENGTHEX lengthQuery{GTL_USECRLF | GTL_PRECISE | GTL_NUMBYTES, CP_ACP};
  const LRESULT bytes =
      SendMessageA(edit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&lengthQuery), 0);
  if (bytes <= 0) return std::string();
  std::string text(static_cast<std::size_t>(bytes) + 1, '\0');
  GETTEXTEX query{};
  query.cb = static_cast<DWORD>(text.size());
  query.flags = GT_USECRLF;
  query.codepage = CP_ACP;
  const LRESULT copied = SendMessageA(edit, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&query),
                                      reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return text;
}

// The log view's lines as the page printer reads them: as with the rich-edit control, the empty
// line after a final line break is no line of the log and prints nothing.
class LogViewLines : public LineSource {
 public:
  explicit LogViewLines(logs::LogDocument& document) : lines_(document.Lines()) {
    count_ = document.LineCount();
    if (count_ > 0 && document.LineLength(count_ - 1) == 0) --count_;
  }
  std::uint64_t LineCount() override { return std::uint64_t(count_); }
  bool ReadLine(std::uint64_t index, std::string& line) override {
    if (index >= std::uint64_t(count_)) {
      line.clear();
      return false;
    }
    if (lines_.ReadLine(index, line)) return true;
    failed_ = true;  // a line that could not be read prints blank: said after the job
    return false;
  }
  bool Failed() const { return failed_; }

 private:
  LineSource& lines_;
  std::int64_t count_ = 0;
  bool failed_ = false;
};

}  // namespace

void TfViewer::btnOpenFilecClick() {
  char file[MAX_PATH * 4] = {};
  const std::string filter = DialogFilter(OpenFileFilter(FFileMask));
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = hwnd_;
  ofn.lpstrFilter = filter.c_str();
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.lpstrInitialDir = FOpenFolder.empty() ? nullptr : FOpenFolder.c_str();
  ofn.lpstrTitle = kOpenDialogTitle;
  ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
  if (!GetOpenFileNameA(&ofn)) return;
  // Read into a fresh control, so that a file that cannot be read leaves the text as it was.
  bool incomplete = false;
  HWND fresh = LoadFile(file, &incomplete);
  if (!fresh) {
    vTaskDialog->ShowOpenError(file);
    return;
  }
  SendMessageA(fresh, EM_SETMODIFY, FALSE, 0);
  AdoptLogControl(fresh);
  ShowIncomplete(incomplete);
  SetWindowTextA(hwnd_, NameOfFile(file).c_str());
  SetFocus(memLog);
}

// A log larger than this is saved off the window's thread, with its progress and Esc.
constexpr std::uint64_t kLongSaveBytes = std::uint64_t{4} << 20;

void TfViewer::btnSaveAsClick() {
  WinRegistry registry;
  if (NeedsSaveWarning(
          FIsLog, ReadRegFlag(registry, RegRoot::CurrentUser, kSettingsKey, "WarnSaveAs", false))) {
    const SaveWarningResult result = vTaskDialog->AskSaveWarning(ApplicationTitle());
    const SaveWarningAnswer answer = AnswerSaveWarning(result.button, result.verified);
    if (answer.rememberNoWarning)
      WriteRegFlag(registry, RegRoot::CurrentUser, kSettingsKey, "WarnSaveAs", true);
    if (!answer.proceed) return;
  }
  const SaveDialogPlan plan =
      PlanSaveDialog(FIsLog, ReadRegString(registry, RegRoot::CurrentUser, kSettingsKey,
                                           "LastLogSavePath", FDefaultSavePath));
  char file[MAX_PATH * 4] = {};
  const std::string filter = DialogFilter(plan.filter);
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = hwnd_;
  ofn.lpstrFilter = filter.c_str();
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.lpstrInitialDir = plan.initialFolder.empty() ? nullptr : plan.initialFolder.c_str();
  ofn.lpstrTitle = plan.title.c_str();
  ofn.lpstrDefExt = plan.defaultExtension.empty() ? nullptr : plan.defaultExtension.c_str();
  // Ask before replacing a file, as every Windows save dialog does.
  ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
  if (!GetSaveFileNameA(&ofn)) return;
  const std::string target = file;
  if (!WaitForIndexAnswering()) return;
  const logs::LogDocument* document = LogViewDocument(memLog);
  if (document && document->ReadFailed()) {
    // Part of the log could not be read: what is shown is not the whole file, and saving it
    // would pass a shortened log off as the log.
    vTaskDialog->ShowReadError(logFile_);
    vTaskDialog->ShowSaveError(target);
    return;
  }
  bool saved = false;
  if (document && document->FileBytes() > kLongSaveBytes) {
    const LongWorkEnd result =
        RunLongWork(L"Saving", [&](const std::atomic<bool>& cancel, std::atomic<int>& percent) {
          return SaveLogDocument(*document, target, &cancel, &percent);
        });
    // Cancelled: the target is as it was and nothing was written, which needs no message.
    if (result == LongWorkEnd::Cancelled) return;
    saved = result == LongWorkEnd::Done;
  } else {
    saved = document ? SaveLogDocument(*document, target)
                     : SaveFileSafely(target, [this](const ContentWriter& write) {
                         return StreamOutRichText(memLog, write);
                       });
  }
  if (!saved) {
    vTaskDialog->ShowSaveError(target);
    return;
  }
  if (FIsLog)
    WriteRegString(registry, RegRoot::CurrentUser, kSettingsKey, "LastLogSavePath",
                   FolderOfFile(target));
  // The edits are kept in the saved file: following the log resumes from its text.
  if (LogViewFollowPaused(memLog)) ReadLogAgain(L"");
}

void TfViewer::BitBtn2Click() {
  if (!PrintersAvailable()) {
    vTaskDialog->ShowNoPrinters();
    return;
  }
  LogViewWaitForIndex(memLog);
  // The log view hands out its document's lines, the rich-edit control its own: either way
  // layout and printing read them one at a time, and the log is never copied.
  std::unique_ptr<LineSource> lines;
  LogViewLines* logLines = nullptr;
  if (logs::LogDocument* document = LogViewDocument(memLog)) {
    auto own = std::make_unique<LogViewLines>(*document);
    logLines = own.get();
    lines = std::move(own);
  } else {
    lines = std::make_unique<RichEditLines>(memLog);
  }
  PrintLines(*lines, Caption());
  if (logLines && logLines->Failed()) vTaskDialog->ShowReadError(logFile_);
}

void TfViewer::PrintLines(LineSource& lines, const std::string& caption) {
  PrintJob job;
  job.lines = &lines;
  job.caption = caption;
  job.font = logFont_ ? static_cast<HFONT>(logFont_.get())
                      : reinterpret_cast<HFONT>(SendMessageA(memLog, WM_GETFONT, 0, 0));
  printing_ = true;
  // Lines appended meanwhile wait: the pages hold the text as it was when Print was pressed.
  LogViewHoldGrowth(memLog, true);
  struct Restore {
    TfViewer* viewer;
    ~Restore() {
      viewer->printing_ = false;
      LogViewHoldGrowth(viewer->memLog, false);
    }
  } restore{this};
  printer_.Print(hwnd_, job);
}

// A copy of more characters than this is made off the window's thread, with Esc.
constexpr std::uint64_t kLongCopyChars = std::uint64_t{4} << 20;

void TfViewer::popCopyClick() {
  if (!WaitForIndexAnswering()) return;
  if (const logs::LogDocument* document = LogViewDocument(memLog)) {
    const logs::TextRange all{0, document->Length()};
    CopyResult result = CopyResult::Copied;
    if (static_cast<std::uint64_t>(all.end) > kLongCopyChars) {
      // Made off the window's thread, put on the clipboard from it.
      CopyText text;
      const LongWorkEnd end =
          RunLongWork(L"Copying", [&](const std::atomic<bool>& cancel, std::atomic<int>& percent) {
            result = MakeCopyText(*document, all, text, &cancel, &percent);
            return true;
          });
      if (end == LongWorkEnd::Cancelled) return;  // the clipboard as it was, nothing to say
      if (end == LongWorkEnd::Failed) result = CopyResult::TooLarge;
      if (result == CopyResult::Copied) result = PutCopyText(hwnd_, text);
    } else {
      result = CopyLogToClipboard(hwnd_, *document, all);
    }
    if (result == CopyResult::TooLarge) vTaskDialog->ShowCopyError();
    if (result == CopyResult::ReadFailed) vTaskDialog->ShowReadError(logFile_);
    return;
  }
  const std::string text = WholeText(memLog);
  if (!OpenClipboard(hwnd_)) return;
  EmptyClipboard();
  if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
    if (void* bytes = GlobalLock(memory)) {
      std::memcpy(bytes, text.c_str(), text.size() + 1);
      GlobalUnlock(memory);
      if (!SetClipboardData(CF_TEXT, memory)) GlobalFree(memory);
    } else {
      GlobalFree(memory);
    }
  }
  CloseClipboard();
}

}  // namespace vt9::win
