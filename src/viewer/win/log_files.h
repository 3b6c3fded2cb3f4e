// The viewer's file work for its log view: which files it shows, opening a log as a document,
// saving the document as rich text in the target's place, and a range of the text on the clipboard.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "logs/log_document.h"

namespace vt9::win {

// The file begins with "{\rtf": rich text, shown in the rich-edit control.
bool IsRichTextFile(const std::string& path);

// The log as a document (shared for reading, writing and deleting, since a backup may still be
// writing it); null when the file cannot be opened.
std::unique_ptr<logs::LogDocument> OpenLogDocument(const std::string& path);

// Writes the document as rich text to a temporary file beside `target` and puts it in the
// target's place with ReplaceFileA, so an existing target keeps its attributes, security and
// streams. False on any failure; the target is then as it was and no temporary file is left.
// While it writes, `percent` (may be null) follows the part of the file's size written so far,
// and `cancel` (may be null) set ends it as a failure.
bool SaveLogDocument(const logs::LogDocument& document, const std::string& target,
                     const std::atomic<bool>* cancel = nullptr,
                     std::atomic<int>* percent = nullptr);

// Bytes the clipboard is given at the most (CR LF breaks, two bytes a character where the text
// may need them): above this a copy is refused at once, before anything is read or allocated.
inline constexpr std::uint64_t kCopyLimitBytes = std::uint64_t(256) << 20;

enum class CopyResult { Copied, TooLarge, ReadFailed };

// A range of the text on the clipboard (CF_TEXT, or CF_UNICODETEXT for a Unicode log): the one
// way the viewer copies, for Ctrl+C and the context menu alike. Anything but Copied leaves the
// clipboard as it was: TooLarge above the limit, when memory runs out or the clipboard refuses
// the text; ReadFailed when part of the range could not be read.
CopyResult CopyLogToClipboard(HWND owner, const logs::LogDocument& document, logs::TextRange range);

// The same in two steps, so a large copy's text can be made on a worker thread: the text made
// ready for the clipboard (`cancel` set ends it as TooLarge, `percent` follows it), then put
// there on the window's thread.
struct CopyText {
  HGLOBAL memory = nullptr;
  bool unicode = false;
  CopyText() = default;
  ~CopyText();
  CopyText(const CopyText&) = delete;
  CopyText& operator=(const CopyText&) = delete;
};
CopyResult MakeCopyText(const logs::LogDocument& document, logs::TextRange range, CopyText& out,
                        const std::atomic<bool>* cancel = nullptr,
                        std::atomic<int>* percent = nullptr);
CopyResult PutCopyText(HWND owner, CopyText& text);

}  // namespace vt9::win
