// Runs a shell script on the host (Wine starts Unix programs through CreateProcess) and returns
// what it printed. Wine cannot wait on a host process, so the script ends by writing a marker
// file, which is awaited. For the print tests: pdfinfo, pdftotext and lpstat.
#pragma once

#include <string>

namespace vt9::test {

// The script's standard output; nullopt-like empty text and `ok` false on timeout.
std::string RunHostScript(const std::string& script, int timeoutMs = 60000, bool* ok = nullptr);

// Waits until the CUPS queue "PDF" is empty and a PDF whose name starts with `title` exists in
// the cups-pdf output folder; returns its Unix path, or "" after the timeout.
std::string WaitForPdf(const std::string& title, int timeoutMs = 60000);

}  // namespace vt9::test
