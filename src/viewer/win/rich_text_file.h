// Moving a rich-edit control's content to and from files.
//
// Loading streams the file straight into the control (a 100 MB log is never held twice):
// rich text when the file starts with "{\rtf", else plain text in the ANSI code page.
// Saving never destroys data: the content is written to a temporary file beside the target,
// flushed and closed, and only then put in the target's place (an existing target is replaced
// with ReplaceFileA and keeps its attributes, security and streams); on any failure (including
// an error the control reports while streaming out) the target is untouched and the temporary
// file is removed.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>

namespace vt9::win {

// Loads the file into the control, replacing its content. False when the file cannot be
// opened or read, the control rejects it, or rich text in it is damaged; the control's content
// is then undefined. Rich text that merely ends too early (a log still being written, or cut
// short) is no failure: the control keeps what it made of it, or the file's bytes as plain text
// when it made nothing of them, and `incomplete` (when given) is set true; else false.
bool LoadRichEditFile(HWND edit, const std::string& path, bool* incomplete = nullptr);

// Receives the content in pieces; false stops the writing as failed.
using ContentWriter = std::function<bool(const char* bytes, std::size_t count)>;
// Writes a whole content through the writer; false when it could not.
using ContentProducer = std::function<bool(const ContentWriter& write)>;

// The control's whole content as rich text; false when the control or the writer failed.
bool StreamOutRichText(HWND edit, const ContentWriter& write);

// Replaces (or creates) the file with what the producer writes, through a temporary file in
// the same folder; true only when the file now holds all of it.
bool SaveFileSafely(const std::string& path, const ContentProducer& produce);

}  // namespace vt9::win
