#include "support/win/host_command.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace vt9::test {

namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace

std::string RunHostScript(const std::string& script, int timeoutMs, bool* ok) {
  static int counter = 0;
  const std::string base =
      "/tmp/vt9-host-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
  auto windowsPath = [](std::string unix) {
    for (char& c : unix)
      if (c == '/') c = '\\';
    return "Z:" + unix;
  };
  {
    std::ofstream sh(windowsPath(base + ".sh"), std::ios::binary);
    sh << "exec >" << base << ".out 2>&1\n(\n" << script << "\n)\ntouch " << base << ".done\n";
  }
  std::string cmd = "Z:\\bin\\sh " + base + ".sh";
  STARTUPINFOA si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  bool done = false;
  if (CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    for (int waited = 0; waited < timeoutMs; waited += 50) {
      if (GetFileAttributesA(windowsPath(base + ".done").c_str()) != INVALID_FILE_ATTRIBUTES) {
        done = true;
        break;
      }
      Sleep(50);
    }
  }
  std::string out = ReadAll(windowsPath(base + ".out"));
  for (const char* ext : {".sh", ".out", ".done"}) DeleteFileA(windowsPath(base + ext).c_str());
  if (ok) *ok = done;
  return out;
}

std::string ShellQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string WaitForPdf(const std::string& title, int timeoutMs) {
  char dir[MAX_PATH] = "";
  if (!GetEnvironmentVariableA("VT9_PDF_DIR", dir, sizeof dir)) {
    ADD_FAILURE() << "VT9_PDF_DIR is not set: the test runner names the print server's output";
    return "";
  }
  // A job's title may hold any character; the shell sees it quoted, the * alone is a pattern.
  // The print server's backend renames each PDF into place once it is written.
  const std::string script = "for i in $(seq " + std::to_string(timeoutMs / 100) +
                             "); do\n"
                             "  for f in " + ShellQuote(dir) + "/" + ShellQuote(title) +
                             "*.pdf; do\n"
                             "    if [ -f \"$f\" ]; then echo \"$f\"; exit 0; fi\n"
                             "  done\n"
                             "  sleep 0.1\n"
                             "done\n";
  std::string out = RunHostScript(script, timeoutMs + 5000);
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
  return out;
}

std::vector<Word> PdfWords(const std::string& pdf, int page) {
  const std::string html =
      RunHostScript("pdftotext -bbox -f " + std::to_string(page) + " -l " + std::to_string(page) +
                    " " + ShellQuote(pdf) + " - | grep '<word'");
  std::vector<Word> words;
  std::istringstream lines(html);
  std::string line;
  while (std::getline(lines, line)) {
    Word w{};
    if (std::sscanf(line.c_str(), " <word xMin=\"%lf\" yMin=\"%lf\" xMax=\"%lf\" yMax=\"%lf\">",
                    &w.xMin, &w.yMin, &w.xMax, &w.yMax) != 4)
      continue;
    const std::size_t open = line.find('>'), close = line.find("</word>");
    w.text = line.substr(open + 1, close - open - 1);
    words.push_back(w);
  }
  return words;
}

}  // namespace vt9::test
