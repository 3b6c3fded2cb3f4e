#include "backupnow/command_line.h"

namespace vt9 {

std::string ComposeBackupParameters(const BackupRequest& request) {
  std::string params;
  if (request.button == StartButton::BackupNow) {
    if (request.endAction >= 0 && request.endAction < static_cast<int>(kEndActions.size()))
      params += kEndActions[static_cast<std::size_t>(request.endAction)].switchText;
    params += " \\BN";
  }
  const bool passJob =
      !request.redoLastBackup && !(request.button == StartButton::RunMain && request.noJobPass);
  if (passJob) params += " \\J=\"" + request.jobName + "\"";
  params += " \\D=\"" + request.location + "\"";
  return params;
}

std::size_t ShellCommandLineLength(const std::string& programPath, const std::string& parameters) {
  std::size_t length = programPath.size() + 2;  // the quotes the shell puts around the path
  if (!parameters.empty()) length += 1 + parameters.size();
  return length;
}

bool FitsShellCommandLine(const std::string& programPath, const std::string& parameters) {
  return ShellCommandLineLength(programPath, parameters) <= kMaxShellCommandLineChars;
}

std::string CommandLineTooLongMessage(std::size_t commandLineChars) {
  return "The backup cannot be started: its command line would be " +
         std::to_string(commandLineChars) + " characters long, and Windows passes at most " +
         std::to_string(kMaxShellCommandLineChars) +
         " characters to a program.\n\nPlease choose a shorter backup location.";
}

}  // namespace vt9
