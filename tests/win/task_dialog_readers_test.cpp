// What a screen reader in another process reads of our own task dialog window: it asks each
// of the dialog's windows for its accessible object (task-dialog-reader.exe, beside this test),
// as readers do, rather than the in-process answer the window procedures give.
#include <gtest/gtest.h>
#include <oleacc.h>
#include <windows.h>

#include <set>
#include <sstream>
#include <string>
#include <tuple>

#include "dialogs/win/task_dialog.h"
#include "support/win/task_dialog_driver.h"

namespace vt9::test {
namespace {

using win::TTaskDialog;

// role, name, description as the reader printed them.
using Read = std::tuple<long, std::string, std::string>;

std::string ReaderPath() {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string path(self);
  return path.substr(0, path.find_last_of("\\/") + 1) + "task-dialog-reader.exe";
}

// Runs the reader on `dialog` and returns what it read, one entry per visible window.
std::set<Read> ReadFromAnotherProcess(HWND dialog) {
  SECURITY_ATTRIBUTES sa{sizeof(sa), nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &sa, 0)) return {};
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  std::string cmd = "\"" + ReaderPath() + "\" " +
                    std::to_string(static_cast<long long>(reinterpret_cast<INT_PTR>(dialog)));
  STARTUPINFOA si{};
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = writeEnd;
  si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION pi{};
  const bool started = CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                      nullptr, &si, &pi) != FALSE;
  CloseHandle(writeEnd);
  std::string out;
  if (started) {
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0)
      out.append(buffer, got);
    WaitForSingleObject(pi.hProcess, 20000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  CloseHandle(readEnd);
  EXPECT_TRUE(started) << cmd;
  std::set<Read> read;
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t a = line.find('\t');
    const std::size_t b = line.find('\t', a + 1);
    if (a == std::string::npos || b == std::string::npos) continue;
    read.insert({std::stol(line.substr(0, a)), line.substr(a + 1, b - a - 1), line.substr(b + 1)});
  }
  return read;
}

bool Has(const std::set<Read>& read, long role, const std::string& name) {
  for (const auto& [r, n, d] : read)
    if (r == role && n == name) return true;
  return false;
}

// The system's own controls (push buttons, the check box) are answered by the system's standard
// object, whose role Wine gives as "client": only their names are ours to check.
bool HasName(const std::set<Read>& read, const std::string& name) {
  for (const auto& [r, n, d] : read)
    if (n == name) return true;
  return false;
}

std::string DescriptionOf(const std::set<Read>& read, const std::string& name) {
  for (const auto& [r, n, d] : read)
    if (n == name) return d;
  return "(not read)";
}

TEST(TaskDialogReaders, AnotherProcessReadsEveryTextAndTheCommandLinksDescriptions) {
  UseOwnTaskDialogWindow(true);
  TTaskDialog d;
  d.Title = "Readable";
  d.Instruction = "Save of Logs is Optional";
  d.Content = "Logs are <B>saved</B> automatically";
  d.Footer = "<A href=\"http://example.org\">Read more</A> about logs";
  d.ExpandedText = "Where the logs go";
  d.CustomButtons = {"Save now\\nWrites the log to the backup folder\\nand keeps a copy", "Later"};
  d.VerificationText = "Do not ask again";
  d.CommonButtons = {cbCancel};
  d.Options = {doHyperlinks, doCommandLinks, doExpandedDefault};
  std::set<Read> read;
  EXPECT_EQ(RunDialog(d,
                      [&](HWND dialog) {
                        read = ReadFromAnotherProcess(dialog);
                        ClickText(dialog, "Cancel");
                      }),
            2);
  std::string all;
  for (const auto& [r, n, desc] : read) all += std::to_string(r) + " " + n + " / " + desc + "\n";
  SCOPED_TRACE(all);
  EXPECT_TRUE(Has(read, ROLE_SYSTEM_STATICTEXT, "Save of Logs is Optional"));
  EXPECT_TRUE(Has(read, ROLE_SYSTEM_STATICTEXT, "Logs are saved automatically"));
  EXPECT_TRUE(Has(read, ROLE_SYSTEM_STATICTEXT, "Read more about logs"));
  EXPECT_TRUE(Has(read, ROLE_SYSTEM_STATICTEXT, "Where the logs go"));
  EXPECT_TRUE(Has(read, ROLE_SYSTEM_PUSHBUTTON, "Save now")) << "the heading only";
  EXPECT_TRUE(Has(read, ROLE_SYSTEM_PUSHBUTTON, "Later"));
  EXPECT_TRUE(Has(read, ROLE_SYSTEM_PUSHBUTTON, "Hide details"));
  EXPECT_TRUE(HasName(read, "Cancel"));
  EXPECT_TRUE(HasName(read, "Do not ask again"));
  EXPECT_EQ(DescriptionOf(read, "Save now"),
            "Writes the log to the backup folder and keeps a copy");
}

}  // namespace
}  // namespace vt9::test
