// The log view under Wine, in this process: a view whose index waits on a read that does not
// return (a network share that went away) still closes at once, and the read that returns later
// finds nothing of the view it could harm.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstring>
#include <memory>

#include "logs/log_document.h"
#include "logs/win/log_file.h"
#include "viewer/win/log_view.h"

namespace vt9 {
namespace {

// 8 MB of log lines; the read of the second megabyte waits until the test lets it go.
class StuckFile : public RandomAccessFile {
 public:
  struct Shared {
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::atomic<bool> waiting{false};
    std::atomic<bool> returned{false};
    ~Shared() { CloseHandle(release); }
  };
  explicit StuckFile(std::shared_ptr<Shared> shared) : shared_(std::move(shared)) {}
  ~StuckFile() override { shared_->returned = true; }
  std::int64_t Size() override { return 8 << 20; }
  std::int64_t ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override {
    if (offset >= (1u << 20)) {
      shared_->waiting = true;
      WaitForSingleObject(shared_->release, INFINITE);
    }
    std::memset(buffer, 'x', size);
    for (std::size_t i = 79; i < size; i += 80) static_cast<char*>(buffer)[i] = '\n';
    return static_cast<std::int64_t>(size);
  }

 private:
  std::shared_ptr<Shared> shared_;
};

TEST(LogViewClose, AViewWhoseIndexWaitsOnAStuckReadClosesAtOnce) {
  ASSERT_TRUE(win::RegisterLogView());
  HWND view = CreateWindowExA(0, win::kLogViewClass, "", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(view, nullptr);
  auto shared = std::make_shared<StuckFile::Shared>();
  win::LogViewSetDocument(view, std::make_unique<logs::LogDocument>(
                                    std::make_unique<StuckFile>(shared), win::SystemCodePage()));
  const DWORD start = GetTickCount();
  while (!shared->waiting && GetTickCount() - start < 10000) Sleep(5);
  ASSERT_TRUE(shared->waiting) << "the index never reached the stuck read";

  const DWORD closing = GetTickCount();
  DestroyWindow(view);
  EXPECT_LT(GetTickCount() - closing, 2000u) << "closing waited on the stuck read";
  EXPECT_FALSE(shared->returned) << "the document went while its read was still waiting";

  // The read returns: the index worker ends on its own and lets the document and file go.
  SetEvent(shared->release);
  const DWORD released = GetTickCount();
  while (!shared->returned && GetTickCount() - released < 10000) Sleep(5);
  EXPECT_TRUE(shared->returned);
}

}  // namespace
}  // namespace vt9
