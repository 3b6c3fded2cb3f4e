// The viewer's file work for its log view: which files it shows, opening a log as a document,
// saving the document as rich text in the target's place, and the whole text on the clipboard.
#pragma once

#include <windows.h>

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
bool SaveLogDocument(const logs::LogDocument& document, const std::string& target);

// The whole text on the clipboard (CF_TEXT, or CF_UNICODETEXT for a Unicode log). False when
// it does not fit in memory or the clipboard refuses it; the clipboard then keeps what it held.
bool CopyLogToClipboard(HWND owner, const logs::LogDocument& document);

}  // namespace vt9::win
