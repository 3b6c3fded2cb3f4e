// The log document's file on Windows: opened for reading while others may go on writing,
// renaming or deleting it, read at positions without a shared file pointer; and the system's
// ANSI code page as the log document needs it.
#pragma once

#include <memory>
#include <string>

#include "logs/log_document.h"
#include "platform/random_access_file.h"

namespace vt9::win {

// The file opened for reading, or null when it cannot be opened.
std::unique_ptr<RandomAccessFile> OpenRandomAccessFile(const std::string& path);

// The system's ANSI code page: lead bytes, case fold and letters of each byte, conversions to
// and from UTF-16 and the UTF-16 letters and fold, from the system's own tables.
logs::CodePage SystemCodePage();

}  // namespace vt9::win
