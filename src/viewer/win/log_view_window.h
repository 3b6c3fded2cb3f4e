// The log view's window object, shared by its three source files: painting and scrolling
// (log_view.cpp), keyboard, mouse and editing (log_view_input.cpp), and the edit messages
// (log_view_messages.cpp).
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "common/win/handles.h"
#include "common/win/window_base.h"
#include "logs/log_document.h"
#include "viewer/win/match_list.h"

namespace vt9::win {

class LogView : public WindowBase<LogView> {
 public:
  explicit LogView(HWND hwnd) : WindowBase(hwnd) {}
  ~LogView();
  LogView(const LogView&) = delete;
  LogView& operator=(const LogView&) = delete;

  void SetDocument(std::unique_ptr<logs::LogDocument> document);
  logs::LogDocument* Document() const { return doc_.get(); }
  int Progress() const;
  void WaitForIndex();
  void ShowOnly(const MatchList* list);
  void RefreshShown();
  void SelectLine(std::int64_t line);
  std::int64_t CaretLine() const { return doc_ ? doc_->LineFromPosition(caret_) : 0; }
  logs::TextRange Selection() const;
  void SelectAndShow(logs::TextRange range);

 private:
  friend class WindowBase<LogView>;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  // ---- Indexing (log_view.cpp) -----------------------------------------------------------
  void StopIndexing();
  void OnIndexProgress();
  void OnIndexDone();
  void Notify(WORD code);

  // ---- Rows: the lines shown, every one or a filter's (log_view.cpp) ----------------------
  std::int64_t RowCount() const;
  std::int64_t LineOfRow(std::int64_t row) const;   // -1 past the rows
  std::int64_t RowOfLine(std::int64_t line) const;  // a hidden line: the next shown one's row
  int TextLeft() const;                             // where column 0 is painted

  // ---- Painting and scrolling (log_view.cpp) ---------------------------------------------
  void OnSetFont(HFONT font, bool redraw);
  void OnPaint();
  void PaintLine(HDC dc, std::int64_t line, int y, int width);
  // Left edges of the characters of `text` (one more: the end), tabs at 8 average widths.
  void LayOut(HDC dc, const std::u16string& text, std::vector<int>& x) const;
  int VisibleLines() const;  // whole lines that fit
  void UpdateScrollBars();
  void OnVScroll(int code);
  void OnHScroll(int code);
  void ScrollTo(std::int64_t topLine, std::int64_t firstColumn);
  void EnsureVisible(std::int64_t position);
  void UpdateCaret();
  int ColumnX(std::int64_t line, std::int64_t column);  // -1 when not on screen
  std::int64_t PositionAt(int x, int y);                // the nearest character boundary

  // ---- Input and editing (log_view_input.cpp) ----------------------------------------------
  void OnKeyDown(WPARAM key);
  void OnChar(WPARAM ch);
  void OnImeChar(WPARAM ch);
  void InsertAnsi(const char* bytes, int count);  // one character of the code page
  void OnLButtonDown(int x, int y, bool shift);
  void OnMouseMove(int x, int y);
  void OnDoubleClick(int x, int y);
  void OnWheel(int delta);
  void OnTimer();
  void MoveCaret(std::int64_t position, bool extend);
  void Select(std::int64_t anchor, std::int64_t caret);
  bool Editable() const;
  void ReplaceSelection(std::u16string_view text);
  void CopySelection();
  void Paste();
  void UndoEdit();
  logs::TextRange WordAt(std::int64_t position) const;
  std::int64_t WordMove(std::int64_t position, bool forward) const;

  // ---- Following a growing file (log_view_follow.cpp) --------------------------------------
 public:
  void Follow(const std::string& path);
  void OnFollowTimer();
  void SetFollowNote(std::wstring note);
  std::string followPath_;
  bool following_ = true;       // stay at the end as lines arrive
  bool grew_ = false;           // the file grew while shown
  bool holdGrowth_ = false;     // printing: the pages hold the text as it was
  bool paused_ = false;         // edited: appended lines wait
  bool followStopped_ = false;  // gone, edited or changed: no more checks
  std::int64_t newLines_ = 0;   // arrived while the caret was not at the end
  std::wstring followNote_;
  int fileChange_ = 0;  // FileChange
  DWORD fileVolume_ = 0;
  DWORD fileIndexHigh_ = 0, fileIndexLow_ = 0;

 private:
  // ---- Edit messages (log_view_messages.cpp) -----------------------------------------------
  bool EditMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

  // What the index worker shares with the view. The worker holds its own references to it and
  // to the document: a read stuck on a network share that went away must not hold the window
  // when it closes, so a worker that does not stop at once is let go and ends on its own.
  struct IndexState {
    std::atomic<bool> stop{false};
    std::atomic<bool> progressPosted{false};
    std::atomic<std::uint64_t> indexedBytes{0};
    std::atomic<bool> finished{false};
  };
  std::shared_ptr<logs::LogDocument> doc_;
  std::thread worker_;
  std::shared_ptr<IndexState> index_;
  WPARAM generation_ = 0;  // of the document, in the worker's posts
  bool indexDone_ = true;
  bool readFailureSent_ = false;
  std::int64_t paintedLines_ = 0;  // lines known at the last scroll-bar update

  HFONT font_ = nullptr;
  int lineHeight_ = 16;
  int charWidth_ = 7;     // average: tabs and the horizontal scroll unit
  int minCharWidth_ = 2;  // how many characters can possibly fit a line
  GdiObject backBuffer_;
  SIZE backSize_{0, 0};

  const MatchList* shown_ = nullptr;  // only these lines are shown, when set
  int gutter_ = 0;                    // pixels of line numbers left of the text

  std::int64_t topLine_ = 0;  // the top row (a line, unless only some lines are shown)
  std::int64_t firstColumn_ = 0;
  int vScale_ = 1;  // lines per scroll-bar unit, for more lines than a scroll bar counts

  std::int64_t anchor_ = 0;
  std::int64_t caret_ = 0;
  std::int64_t wantedColumn_ = -1;  // kept through Up and Down
  bool focused_ = false;
  bool selecting_ = false;  // the left button is down
  POINT dragPoint_{0, 0};
  int wheelRest_ = 0;
  int leadByte_ = -1;  // a lead byte whose trail byte's WM_CHAR is still to come
};

// Private messages of the view.
enum : UINT {
  kIndexProgressMessage = WM_APP + 0x31,
  kIndexDoneMessage = WM_APP + 0x32,
  kReadFailedMessage = WM_APP + 0x33,
};

// The view's timers: scrolling while the mouse selects beyond the edge, and following.
enum : UINT_PTR { kFollowTimer = 2 };

}  // namespace vt9::win
