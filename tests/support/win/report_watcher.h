// Watches for the standard error report (a message box) of the test's own process from a
// second thread: keeps "caption|text" of each box it sees and presses OK, so a test can run
// code that reports and count the reports.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vt9::test {

class ReportWatcher {
 public:
  ReportWatcher();
  ~ReportWatcher();
  ReportWatcher(const ReportWatcher&) = delete;
  ReportWatcher& operator=(const ReportWatcher&) = delete;

  // Every report seen so far, as "caption|text".
  std::vector<std::string> Seen();

 private:
  void Watch();
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<std::string> seen_;
  std::thread thread_;
};

}  // namespace vt9::test
