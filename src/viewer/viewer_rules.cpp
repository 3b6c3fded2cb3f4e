#include "viewer/viewer_rules.h"

#include "viewer/find_request.h"

namespace vt9 {

SaveWarningAnswer AnswerSaveWarning(int dialogResult, bool verificationTicked) {
  return {verificationTicked, dialogResult == kSaveWarnContinueId};
}

SaveDialogPlan PlanSaveDialog(bool isLog, const std::string& lastLogSavePath) {
  SaveDialogPlan plan;
  plan.filter = isLog ? "(*.log)|*.log" : "All Files|*.*";
  plan.defaultExtension = isLog ? "log" : "";
  plan.initialFolder = lastLogSavePath;
  return plan;
}

std::string FolderOfFile(const std::string& path) {
  const std::size_t end = path.find_last_of("\\:");
  return end == std::string::npos ? std::string() : path.substr(0, end + 1);
}

std::string NameOfFile(const std::string& path) {
  const std::size_t end = path.find_last_of("\\:");
  return end == std::string::npos ? path : path.substr(end + 1);
}

std::string SaveErrorContent(const std::string& file) {
  return "Unable to Create/Save file: " + file;
}

std::string OpenErrorContent(const std::string& file) {
  return "Unable to open or read file: " + file;
}

std::string ReadErrorContent(const std::string& file) {
  return "The file became shorter or could not be read to its end: " + file +
         "\r\nThe text read so far is shown.";
}

SearchRange SearchRangeFor(long selectionStart, long selectionEnd, long textLength) {
  const long start = selectionEnd > selectionStart ? selectionEnd : 0;
  const long length = textLength - start;
  return {start, length > 0 ? length : 0};
}

std::uint32_t FindTextFlags(std::uint32_t requestOptions) {
  constexpr std::uint32_t kDown = 1, kWholeWord = 2, kMatchCase = 4;
  std::uint32_t flags = kDown;
  if (requestOptions & kFindMatchCase) flags |= kMatchCase;
  if (requestOptions & kFindWholeWord) flags |= kWholeWord;
  return flags;
}

std::string NotFoundInstruction(const std::string& text) { return "\"" + text + "\" Not Found"; }

ButtonBarLefts LayOutButtonBar(int panelWidth, int spacing, const ButtonBarWidths& widths) {
  ButtonBarLefts lefts{};
  lefts.open = spacing;
  lefts.ok = panelWidth - widths.ok - spacing;
  lefts.print = lefts.ok - widths.print - spacing;
  lefts.save = lefts.print - widths.save - spacing;
  lefts.find = lefts.save - widths.find - spacing;
  return lefts;
}

ScreenPoint PlaceFindDialog(int dialogHeight, int anchorLeft, int anchorTop, ScreenPoint designed) {
  if (dialogHeight < anchorTop) return {anchorLeft, anchorTop - dialogHeight};
  return designed;
}

}  // namespace vt9
