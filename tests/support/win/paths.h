// Where the Wine-run tests find the programs under test and keep their artifacts.
#pragma once

#include <string>

namespace vt9::test {

// Folder of the running test program (all programs of the build share it), with "\".
std::string BinFolder();

// A fresh, empty folder under the prefix's temporary folder, with a trailing "\".
std::string MakeTempFolder(const std::string& tag);

// Folder for screenshots and other artifacts (VT9_ARTIFACTS, created on demand), with "\".
std::string ArtifactFolder();

void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);
// The names of the files (not folders) in `folder` (ending in a backslash), each followed by ";",
// in the order the system lists them.
std::string FileNames(const std::string& folder);

}  // namespace vt9::test
