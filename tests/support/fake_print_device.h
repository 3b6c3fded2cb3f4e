// A printer for native page-layout tests: fixed device values (or none at all), the
// fixed-metric fake canvas for measuring, fixed date and time texts, and a print job that
// records what it is asked to do as text.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "printing/page_layout.h"
#include "support/fake_canvas.h"

namespace vt9::test {

class FakePrintDevice : public PrintDevice {
 public:
  FakePrintDevice() : canvas(FakeCanvas::HandCountable()) { canvas.record = false; }
  std::optional<DeviceCaps> caps = DeviceCaps{};  // 300 dpi, 8.5 x 11 in, no offsets
  FakeCanvas canvas;
  TPrinterOrientation orientation = poPortrait;

  std::optional<DeviceCaps> Caps() override { return caps; }
  Canvas& MeasureCanvas() override { return canvas; }
  std::string Now(NowText kind) override {
    switch (kind) {
      case NowText::LongDate:
        return "Tuesday, 8 December 2026";
      case NowText::ShortDate:
        return "08/12/2026";
      case NowText::LongTime:
        return "07:15:30";
      default:
        return "07:15";
    }
  }
  void SetOrientation(TPrinterOrientation o) override { orientation = o; }
};

// Records the job as lines: "start <title>", "page <n>" (the first text drawn on it tells which
// recorded page was replayed), "end", "abort"; progress calls as "progress <page>".
class RecordingPrintJob : public PrintJob {
 public:
  RecordingPrintJob() : canvas(FakeCanvas::HandCountable()) {}
  std::vector<std::string> calls;
  FakeCanvas canvas;
  int systemCopies = 4;
  std::vector<int> copiesSeen;  // the system copy count at each StartJob
  std::function<void()> onProcessMessages;

  int SystemCopies() override { return systemCopies; }
  void SetSystemCopies(int c) override { systemCopies = c; }
  void StartJob(const std::string& title) override {
    copiesSeen.push_back(systemCopies);
    calls.push_back("start " + title);
  }
  void StartPage() override { canvas.texts.clear(); }
  Canvas& PageCanvas() override { return canvas; }
  void EndPage() override {
    calls.push_back("page " +
                    (canvas.texts.empty() ? std::string("?") : canvas.texts.front().text));
  }
  void EndJob() override { calls.push_back("end"); }
  void AbortJob() override { calls.push_back("abort"); }
  void ProcessMessages() override {
    if (onProcessMessages) onProcessMessages();
  }
  void Progress(const std::string& message, unsigned page, unsigned, unsigned) override {
    calls.push_back(message == "<FINISH>" ? std::string("finish")
                                          : "progress " + std::to_string(page));
  }
};

}  // namespace vt9::test
