// Runs a shell script on the host (Wine starts Unix programs through CreateProcess) and returns
// what it printed. Wine cannot wait on a host process, so the script ends by writing a marker
// file, which is awaited. For the print tests: pdfinfo and pdftotext.
#pragma once

#include <string>
#include <vector>

namespace vt9::test {

// The script's standard output; nullopt-like empty text and `ok` false on timeout.
std::string RunHostScript(const std::string& script, int timeoutMs = 60000, bool* ok = nullptr);

// Waits until a PDF whose name starts with `title` (the print job's title) exists in the test
// print server's output folder (the environment variable VT9_PDF_DIR); returns its Unix path,
// or "" after the timeout. A PDF appears there only once it is complete.
std::string WaitForPdf(const std::string& title, int timeoutMs = 60000);

// `text` as one word for the host shell, whatever characters it holds.
std::string ShellQuote(const std::string& text);

// A word of a printed page and its box in points (origin at the page's top left), as
// pdftotext -bbox reads it.
struct Word {
  double xMin, yMin, xMax, yMax;
  std::string text;
};
// The words of page `page` (from 1) of a PDF given by its Unix path.
std::vector<Word> PdfWords(const std::string& pdf, int page);

}  // namespace vt9::test
