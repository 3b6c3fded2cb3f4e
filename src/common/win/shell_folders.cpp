#include "common/win/shell_folders.h"

#include <shellapi.h>
#include <shlobj.h>
#include <windows.h>

#include <memory>

#include "common/win/win_text_casing.h"

namespace vt9::win {
namespace {

template <typename Fn>
Fn Entry(const Module& library, const char* name) {
  return library
             ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library.get(), name)))
             : nullptr;
}

std::string QueryTempFolder() {
  char path[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathA(MAX_PATH, path);
  return length == 0 || length >= MAX_PATH ? std::string() : std::string(path, length);
}

std::string QueryCurrentFolder() {
  char path[MAX_PATH + 1] = {};
  DWORD length = GetCurrentDirectoryA(MAX_PATH + 1, path);
  if (length <= MAX_PATH) return std::string(path, length);
  std::string longPath(length, '\0');  // length counts the terminating NUL here
  length = GetCurrentDirectoryA(length, longPath.data());
  longPath.resize(length < longPath.size() ? length : 0);
  return longPath;
}

}  // namespace

WinSpecialFolderShell::WinSpecialFolderShell()
    : temp_(QueryTempFolder()), current_(QueryCurrentFolder()) {}

bool WinSpecialFolderShell::HasFolderPathQuery() {
  if (!folderLoadTried_) {
    folderLoadTried_ = true;
    shFolder_.Reset(LoadLibraryA("SHFolder.dll"));
    getFolderPath_ = Entry<GetFolderPathFn>(shFolder_, "SHGetFolderPathA");
  }
  return getFolderPath_ != nullptr;
}

bool WinSpecialFolderShell::LoadItemQueries() {
  if (!itemLoadTried_) {
    itemLoadTried_ = true;
    shell32_.Reset(LoadLibraryA("shell32.dll"));
    ole32_.Reset(LoadLibraryA("ole32.dll"));
    getLocation_ = Entry<GetLocationFn>(shell32_, "SHGetSpecialFolderLocation");
    getFileInfo_ = Entry<GetFileInfoFn>(shell32_, "SHGetFileInfoA");
    free_ = Entry<FreeFn>(ole32_, "CoTaskMemFree");
  }
  return getLocation_ && getFileInfo_ && free_;
}

std::string WinSpecialFolderShell::FolderPath(int csidl) {
  if (!HasFolderPathQuery()) return std::string();
  // The folder as it is now (SHGFP_TYPE_CURRENT), never created; the answer's HRESULT is not
  // needed since a folder without a path leaves the buffer empty.
  char path[MAX_PATH + 1] = {};
  getFolderPath_(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
  path[MAX_PATH] = '\0';
  return path;
}

std::optional<std::string> WinSpecialFolderShell::DisplayName(int csidl) {
  if (!LoadItemQueries()) return std::nullopt;
  void* raw = nullptr;
  if (FAILED(getLocation_(nullptr, csidl, &raw)) || !raw) return std::nullopt;
  const std::unique_ptr<void, FreeFn> list(raw, free_);
  SHFILEINFOA info = {};
  if (!getFileInfo_(static_cast<LPCSTR>(list.get()), 0, &info, sizeof info,
                    SHGFI_PIDL | SHGFI_DISPLAYNAME))
    return std::nullopt;
  info.szDisplayName[MAX_PATH - 1] = '\0';
  return std::string(info.szDisplayName);
}

void BuildSpecialFolderLists() {
  static const WinTextCasing casing;
  InstallSpecialFolderSource(std::make_unique<WinSpecialFolderShell>(), casing);
}

}  // namespace vt9::win
