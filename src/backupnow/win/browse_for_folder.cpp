#include "backupnow/win/browse_for_folder.h"

#include <ole2.h>
#include <shlobj.h>

#include "common/win/error_report.h"

namespace vt9::win {
namespace {

// Shell item lists are freed through the shell's allocator (the COM task allocator).
struct ItemList {
  LPITEMIDLIST pidl = nullptr;
  ItemList() = default;
  ItemList(const ItemList&) = delete;
  ItemList& operator=(const ItemList&) = delete;
  ~ItemList() {
    if (!pidl) return;
    IMalloc* malloc = nullptr;
    if (SUCCEEDED(SHGetMalloc(&malloc)) && malloc) {
      malloc->Free(pidl);
      malloc->Release();
    }
  }
};

// OLE is needed by the new-style picker only; it is initialised around such a run.
class OleScope {
 public:
  explicit OleScope(bool wanted) : active_(wanted && SUCCEEDED(OleInitialize(nullptr))) {}
  OleScope(const OleScope&) = delete;
  OleScope& operator=(const OleScope&) = delete;
  ~OleScope() {
    if (active_) OleUninitialize();
  }

 private:
  bool active_;
};

std::string PathOfItem(LPCITEMIDLIST item) {
  char path[MAX_PATH] = {};
  if (!item || !SHGetPathFromIDListA(item, path)) return std::string();
  return path;
}

bool IsExistingFolder(const std::string& path) {
  if (path.empty()) return false;
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

bool TBrowseForFolder::Execute(HWND owner) {
  ItemList root;
  if (FAILED(SHGetSpecialFolderLocation(owner, CSIDL_DESKTOP, &root.pidl))) root.pidl = nullptr;

  OleScope ole(NewDialogStyle);
  char displayName[MAX_PATH] = {};  // filled by the shell; the path is what counts
  BROWSEINFOA info{};
  info.hwndOwner = owner;
  info.pidlRoot = root.pidl;
  info.pszDisplayName = displayName;
  info.lpszTitle = Title.empty() ? nullptr : Title.c_str();
  if (!StatusText.empty() && !NewDialogStyle) info.ulFlags |= BIF_STATUSTEXT;
  if (EditBox) info.ulFlags |= BIF_EDITBOX;
  if (NewDialogStyle) info.ulFlags |= BIF_NEWDIALOGSTYLE;
  info.lpfn = &TBrowseForFolder::Callback;
  info.lParam = reinterpret_cast<LPARAM>(this);
  info.iImage = 0;

  picker_ = nullptr;
  ItemList chosen;
  chosen.pidl = SHBrowseForFolderA(&info);
  if (!chosen.pidl) return false;
  Path = PathOfItem(chosen.pidl);
  return true;
}

void TBrowseForFolder::DoSelChanged(const std::string&, bool&) {}
void TBrowseForFolder::DoSetPosition(int&, int&, int, int) {}

int CALLBACK TBrowseForFolder::Callback(HWND picker, UINT message, LPARAM param, LPARAM self) {
  auto* browser = reinterpret_cast<TBrowseForFolder*>(self);
  if (!browser) return 0;
  // Handlers run inside the shell's dialog: an error is reported and never crosses it.
  if (message == BFFM_INITIALIZED) {
    RunHandler([&] { browser->Initialized(picker); });
  } else if (message == BFFM_SELCHANGED) {
    RunHandler([&] { browser->SelectionChanged(picker, reinterpret_cast<LPCITEMIDLIST>(param)); });
  }
  return 0;
}

void TBrowseForFolder::Initialized(HWND picker) {
  if (!StatusText.empty())
    SendMessageA(picker, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(StatusText.c_str()));
  if (!Path.empty())
    SendMessageA(picker, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(Path.c_str()));
  RECT rect{};
  GetWindowRect(picker, &rect);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  int left = rect.left;
  int top = rect.top;
  if (OnSetPosition) OnSetPosition(*this, left, top, width, height);
  DoSetPosition(left, top, width, height);
  if (left != rect.left || top != rect.top) MoveWindow(picker, left, top, width, height, FALSE);
}

void TBrowseForFolder::SelectionChanged(HWND picker, LPCITEMIDLIST item) {
  struct HeldPicker {
    HWND& held;
    ~HeldPicker() { held = nullptr; }
  } hold{picker_};
  picker_ = picker;
  const std::string path = PathOfItem(item);
  bool enableOk = IsExistingFolder(path);
  if (OnSelChanged) OnSelChanged(*this, path, enableOk);
  DoSelChanged(path, enableOk);
  SendMessageA(picker, BFFM_ENABLEOK, 0, enableOk ? TRUE : FALSE);
  // Some shells re-enable OK by their own rules after this notification returns (Wine's
  // picker does when no restricting flag is set); the posted repeat makes our rule the last.
  PostMessageA(picker, BFFM_ENABLEOK, 0, enableOk ? TRUE : FALSE);
}

}  // namespace vt9::win
