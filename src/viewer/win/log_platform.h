// Where the viewer's log view gets the platform's parts of a log document: the file read at
// positions and the ANSI code page's tables.
#pragma once

#include <memory>
#include <string>

#include "platform/random_access_file.h"
#include "viewer/log_document.h"

namespace vt9::win {

// The file opened for positional reads, shared with writers and deleters; null when it cannot
// be opened.
std::unique_ptr<RandomAccessFile> OpenLogFile(const std::string& path);

// The system's ANSI code page.
CodePage SystemCodePage();

}  // namespace vt9::win
