// The shell's side of the special-folder lists.
#pragma once

#include <string>

#include "common/folder_names.h"
#include "common/win/handles.h"

namespace vt9::win {

// Answers the folder queries with SHGetFolderPathA from "SHFolder.dll" and, for folders
// without a path, the shell item's display name. The temporary and the current folder are
// noted when it is created. The shell's libraries are loaded on the first query, each once,
// and kept for the life of this object: the program does not import them, since loading
// them costs a start of the tool more than all its own work (about 25 ms under Wine).
class WinSpecialFolderShell : public SpecialFolderShell {
 public:
  WinSpecialFolderShell();
  bool HasFolderPathQuery() override;
  std::string FolderPath(int csidl) override;
  std::optional<std::string> DisplayName(int csidl) override;
  std::string TempFolder() override { return temp_; }
  std::string CurrentFolder() override { return current_; }

 private:
  using GetFolderPathFn = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);
  using GetLocationFn = HRESULT(WINAPI*)(HWND, int, void** itemList);
  using GetFileInfoFn = DWORD_PTR(WINAPI*)(LPCSTR, DWORD, void*, UINT, UINT);
  using FreeFn = void(WINAPI*)(void*);
  bool LoadItemQueries();

  bool folderLoadTried_ = false;
  Module shFolder_;
  GetFolderPathFn getFolderPath_ = nullptr;
  bool itemLoadTried_ = false;
  Module shell32_;
  Module ole32_;
  GetLocationFn getLocation_ = nullptr;
  GetFileInfoFn getFileInfo_ = nullptr;
  FreeFn free_ = nullptr;
  std::string temp_;
  std::string current_;
};

// Makes the shell the source of the program-wide special-folder lists, with the user's locale
// casing. The program entry calls it once at start, in every mode; it only notes the
// temporary and the current folder, and the shell is asked when the lists are first read.
void BuildSpecialFolderLists();

}  // namespace vt9::win
