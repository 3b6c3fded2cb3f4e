// What the log viewer makes of its command line: the file to show, the caption, the folder of
// its "Open" dialog and the mask that dialog offers, whether the file is a backup log, and the
// texts the window starts with.
#pragma once

#include <string>
#include <vector>

namespace vt9 {

inline constexpr const char* kViewerCaption = "Vantory 9 - Log Viewer";
// The application title while a file that is not a log is shown; a log keeps the title the
// start-up set ("Vantory 9 - Viewer").
inline constexpr const char* kViewerTitleNotLog = "Vantory 9 Viewer";
inline constexpr const char* kAllFilesMask = "*.*";

// Arguments 2 to 4 of "\V file [caption] [folder]"; missing ones are empty.
struct ViewerArguments {
  std::string file;
  std::string caption;
  std::string openFolder;
};

// From the arguments that follow "\V" (quotes already removed by the platform's splitting).
ViewerArguments ViewerArgumentsFrom(const std::vector<std::string>& afterV);

// The mask of the "Open" dialog: "*.*" unless an open folder is given and the file argument,
// split at every dot (folder names included), has more than two fields; then "*." followed by
// the last two fields joined by a dot ("C:\Logs\Job.Full.log" gives "*.Full.log").
std::string OpenFileMask(const std::string& file, const std::string& openFolder);

// The "Open" dialog's filter in the toolkit's "description|pattern" form.
std::string OpenFileFilter(const std::string& mask);

// The extension (from the last dot behind the last folder delimiter) upper-cased is ".LOG".
bool IsLogFile(const std::string& file);

struct ViewerStart {
  std::string caption = kViewerCaption;
  std::string applicationTitle;  // empty: keep the start-up's title
  std::string fileMask = kAllFilesMask;
  std::string openFolder;
  bool isLog = false;
  bool openVisible = false;
  bool loadFile = false;  // the file argument is given (whether it exists is the window's test)
};

ViewerStart PlanViewerStart(const ViewerArguments& args);

}  // namespace vt9
