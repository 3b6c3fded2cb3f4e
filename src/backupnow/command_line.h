// The command line that hands a backup to the main backup program, and the check that it
// reaches that program whole.
#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace vt9 {

// Items of the end-action box, in box order, with the switch each one puts on the command line.
struct EndAction {
  const char* text;
  const char* switchText;
};
inline constexpr std::array<EndAction, 5> kEndActions{{
    {"End Program Normally", "\\Q"},
    {"Shut Down Computer", "\\QS"},
    {"Logoff User", "\\QL"},
    {"Go To Hibernate Mode", "\\QH"},
    {"Reboot (Restart Machine)", "\\QR"},
}};

// Which button asked for the start; the values are the buttons' tags.
enum class StartButton { BackupNow = 0, RunMain = 1 };

struct BackupRequest {
  StartButton button = StartButton::BackupNow;
  int endAction = 0;            // index into kEndActions; anything else: the user typed a text
  bool redoLastBackup = false;  // the "Redo Last Backup" entry is selected
  bool noJobPass = false;       // the settings value "NoJobPass" read as set
  std::string jobName;          // job file name less its extension; unused for a redo
  std::string location;         // whole text of the location box, possibly empty
};

// The parameter text: end-action piece, job piece, destination piece, joined as they are.
// Job name and location go between double quotes unchanged; the main backup program
// defines how it reads them.
std::string ComposeBackupParameters(const BackupRequest& request);

// ShellExecuteA hands the program "<path in quotes> <parameters>" to CreateProcess. The shell
// caps that line at about INTERNET_MAX_URL_LENGTH (2048 characters with the terminating NUL)
// on the versions this tool supports, well below CreateProcess's own 32767; longer lines are
// cut or refused without a word. A backup started with a truncated location or job name would
// write somewhere the user did not choose, so such a line is never passed on.
inline constexpr std::size_t kMaxShellCommandLineChars = 2047;

std::size_t ShellCommandLineLength(const std::string& programPath, const std::string& parameters);
bool FitsShellCommandLine(const std::string& programPath, const std::string& parameters);

// What the user is told instead of starting a backup whose command line would not fit.
std::string CommandLineTooLongMessage(std::size_t commandLineChars);

}  // namespace vt9
