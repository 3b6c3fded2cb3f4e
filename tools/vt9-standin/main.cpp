// Stand-in for the suite's main backup program, used by the tests and the demo.
// Every start appends one line to "vt9-calls.log" next to this executable:
//   <the command line exactly as received><TAB><exit code>
// The exit code is taken from the environment variable VT9_STANDIN_EXIT, else from the
// first number in "vt9-exit.txt" next to the executable, else 0. VT9_STANDIN_SLEEP_MS, when
// set, makes it wait that long before ending, so a test can see that its caller waited.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string OwnFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder = path;
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

int ChosenExitCode(const std::string& folder) {
  char value[32] = {};
  if (GetEnvironmentVariableA("VT9_STANDIN_EXIT", value, sizeof value) > 0) return std::atoi(value);
  int code = 0;
  if (FILE* f = std::fopen((folder + "vt9-exit.txt").c_str(), "r")) {
    if (std::fscanf(f, "%d", &code) != 1) code = 0;
    std::fclose(f);
  }
  return code;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const std::string folder = OwnFolder();
  const int code = ChosenExitCode(folder);
  char delay[32] = {};
  if (GetEnvironmentVariableA("VT9_STANDIN_SLEEP_MS", delay, sizeof delay) > 0) Sleep(std::atoi(delay));
  if (FILE* log = std::fopen((folder + "vt9-calls.log").c_str(), "ab")) {
    std::fprintf(log, "%s\t%d\r\n", GetCommandLineA(), code);
    std::fclose(log);
  }
  return code;
}
