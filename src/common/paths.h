// Folder helpers of the windows: the trailing backslash, the folder test and file listings.
// Missing folders give false or empty lists; nothing here reports an error.
#pragma once

#include <string>
#include <vector>

#include "platform/filesystem.h"

namespace vt9 {

// "" stays ""; otherwise a "\" is appended unless the text already ends in one.
std::string AddTrailingBackslash(const std::string& path);

// The attribute query succeeds and reports the directory attribute.
bool FolderExists(FileSystem& fs, const std::string& path);

// False when the folder does not exist. Otherwise true, except that with requireEntry the
// folder must also hold something other than "." and "..".
bool FolderHasEntries(FileSystem& fs, const std::string& folder, bool requireEntry);

// Names (without folder) of the files in the folder that match the mask ("*" when empty),
// in the order the platform listed them; sub-folders are left out. Empty when the folder text
// is empty, the folder is missing or empty.
std::vector<std::string> ListFolderFiles(FileSystem& fs, const std::string& folder,
                                         const std::string& mask);

}  // namespace vt9
