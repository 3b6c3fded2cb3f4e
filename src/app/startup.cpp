#include "app/startup.h"

#include "app/dep_check.h"
#include "common/text.h"

namespace vt9 {

void RunStartup(const std::string& firstArgument, const std::string& exeFolder,
                StartupServices& s, ProgramState& state) {
  state.firstArgument = firstArgument;
  bool goOn = true;

  // "\CHECK" is matched in any letter case; "\LIU" and "\V" only exactly, so their lower-case
  // forms fall through to the Backup Now window.
  if (EqualsIgnoreAsciiCase(firstArgument, "\\CHECK")) {
    ReminderServices reminder{s.registry, s.clock, s.guard, s.strings};
    goOn = RunReminderCheck(reminder, state);
  }

  if (goOn && (firstArgument == "\\LIU" || firstArgument.empty())) {
    state.mainProgramPath = exeFolder + "vt9.exe";
    if (IsDEPConflict(s.registry, s.os, state.mainProgramPath)) {
      s.windows.SetApplicationTitle(kTitleInformation);
      s.windows.RunInformationWindow();
      goOn = false;
    } else if (firstArgument == "\\LIU") {
      // Unquoted on purpose: the platform resolves a path with blanks from the first token.
      s.launcher.RunAndWait(state.mainProgramPath + " \\LIU", kShowNormal);
      goOn = false;
    }
  }

  if (!goOn) return;
  if (firstArgument == "\\V") {
    s.windows.SetApplicationTitle(kTitleViewer);
    s.windows.RunLogViewer(state);
  } else {
    s.windows.SetApplicationTitle(kTitleRunNow);
    s.windows.RunBackupNow(state);
  }
}

}  // namespace vt9
