#include "viewer/viewer_setup.h"

#include "common/dates.h"
#include "common/text.h"

namespace vt9 {

ViewerArguments ViewerArgumentsFrom(const std::vector<std::string>& afterV) {
  ViewerArguments args;
  if (afterV.size() > 0) args.file = afterV[0];
  if (afterV.size() > 1) args.caption = afterV[1];
  if (afterV.size() > 2) args.openFolder = afterV[2];
  return args;
}

std::string OpenFileMask(const std::string& file, const std::string& openFolder) {
  if (openFolder.empty()) return kAllFilesMask;
  SetFieldDelimiter(".");
  const int n = FieldCount(file);
  if (n <= 2) return kAllFilesMask;
  return "*." + GetField(file, '.', n - 1) + "." + GetField(file, '.', n);
}

std::string OpenFileFilter(const std::string& mask) { return "(" + mask + ")|" + mask; }

bool IsLogFile(const std::string& file) {
  const std::size_t dot = file.find_last_of(".\\:");
  if (dot == std::string::npos || file[dot] != '.') return false;
  return EqualsIgnoreAsciiCase(std::string_view(file).substr(dot), ".LOG");
}

ViewerStart PlanViewerStart(const ViewerArguments& args) {
  ViewerStart start;
  start.fileMask = OpenFileMask(args.file, args.openFolder);
  if (!args.file.empty()) {
    start.loadFile = true;
    start.isLog = IsLogFile(args.file);
    if (!start.isLog) start.applicationTitle = kViewerTitleNotLog;
  }
  if (!args.caption.empty()) start.caption = args.caption;
  if (!args.openFolder.empty()) {
    start.openVisible = true;
    start.openFolder = args.openFolder;
  }
  return start;
}

}  // namespace vt9
