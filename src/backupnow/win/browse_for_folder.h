// TBrowseForFolder: the shell's folder picker (SHBrowseForFolderA) with a title, a folder
// preselected from the last confirmed run, OK allowed only on existing folders, and a chance
// for the owner to move the picker when it opens.
#pragma once

#include <windows.h>
// The shell header builds on <windows.h>.
#include <shlobj.h>

#include <functional>
#include <string>

namespace vt9::win {

class TBrowseForFolder {
 public:
  using TOnSelChanged =
      std::function<void(TBrowseForFolder& sender, const std::string& path, bool& enableOk)>;
  using TOnSetPosition =
      std::function<void(TBrowseForFolder& sender, int& left, int& top, int width, int height)>;

  TBrowseForFolder() = default;
  TBrowseForFolder(const TBrowseForFolder&) = delete;
  TBrowseForFolder& operator=(const TBrowseForFolder&) = delete;
  virtual ~TBrowseForFolder() = default;

  // Before a run the folder to preselect (empty: none); after a confirmed run the chosen
  // folder's file-system path as the shell gives it (no trailing backslash added).
  std::string Path;
  std::string StatusText;  // status line text; shown only in the old-style picker
  std::string Title;       // text above the folder tree
  bool NewDialogStyle = false;
  bool EditBox = false;
  TOnSelChanged OnSelChanged;    // each time the highlighted folder changes
  TOnSetPosition OnSetPosition;  // once, when the picker has opened

  // Shows the picker modal to owner. True when the user confirmed a folder (Path holds it),
  // false when the user cancelled (Path unchanged).
  bool Execute(HWND owner);

  // The picker's window while a selection change is being handled; nullptr at all other times.
  HWND PickerWindow() const { return picker_; }

 protected:
  virtual void DoSelChanged(const std::string& path, bool& enableOk);
  virtual void DoSetPosition(int& left, int& top, int width, int height);

 private:
  static int CALLBACK Callback(HWND picker, UINT message, LPARAM param, LPARAM self);
  void Initialized(HWND picker);
  void SelectionChanged(HWND picker, LPCITEMIDLIST item);

  HWND picker_ = nullptr;
};

}  // namespace vt9::win
