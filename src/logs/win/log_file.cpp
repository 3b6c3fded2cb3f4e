#include "logs/win/log_file.h"

#include <windows.h>

#include "common/win/handles.h"

namespace vt9::win {

namespace {

class WinRandomAccessFile : public RandomAccessFile {
 public:
  explicit WinRandomAccessFile(HANDLE file) : file_(file) {}
  ~WinRandomAccessFile() override { CloseHandle(file_); }
  WinRandomAccessFile(const WinRandomAccessFile&) = delete;
  WinRandomAccessFile& operator=(const WinRandomAccessFile&) = delete;

  std::int64_t Size() override {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file_, &size)) return -1;
    return size.QuadPart;
  }

  // Each read names its own offset in the OVERLAPPED record, so two threads reading at once do
  // not disturb each other (the handle is synchronous: each call completes before it returns).
  std::int64_t ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override {
    std::size_t total = 0;
    while (total < size) {
      const DWORD want = DWORD(std::min<std::size_t>(size - total, 0x40000000));
      OVERLAPPED at = {};
      at.Offset = DWORD(offset + total);
      at.OffsetHigh = DWORD((offset + total) >> 32);
      DWORD got = 0;
      if (!ReadFile(file_, static_cast<char*>(buffer) + total, want, &got, &at)) {
        if (GetLastError() == ERROR_HANDLE_EOF) break;
        return total ? std::int64_t(total) : -1;
      }
      if (got == 0) break;
      total += got;
    }
    return std::int64_t(total);
  }

 private:
  HANDLE file_;
};

}  // namespace

std::unique_ptr<RandomAccessFile> OpenRandomAccessFile(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<WinRandomAccessFile>(file);
}

logs::CodePage SystemCodePage() {
  logs::CodePage cp;
  cp.number = GetACP();
  for (int b = 0; b < 256; ++b) {
    cp.leadByte[b] = IsDBCSLeadByte(BYTE(b)) != FALSE;
    cp.upper[b] = static_cast<unsigned char>(b);
    if (cp.leadByte[b]) continue;
    char byte[2] = {char(b), 0};
    if (b != 0) CharUpperBuffA(byte, 1);
    cp.upper[b] = static_cast<unsigned char>(byte[0]);
    cp.wordChar[b] = b != 0 && IsCharAlphaNumericA(char(b)) != FALSE;
  }
  cp.toUtf16 = [](std::string_view text) {
    std::u16string out;
    if (text.empty()) return out;
    const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0);
    if (n <= 0) return out;
    out.resize(std::size_t(n));
    MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()),
                        reinterpret_cast<wchar_t*>(out.data()), n);
    return out;
  };
  cp.fromUtf16 = [](std::u16string_view text) {
    std::string out;
    if (text.empty()) return out;
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int n =
        WideCharToMultiByte(CP_ACP, 0, wide, int(text.size()), nullptr, 0, nullptr, nullptr);
    if (n <= 0) return out;
    out.resize(std::size_t(n));
    WideCharToMultiByte(CP_ACP, 0, wide, int(text.size()), out.data(), n, nullptr, nullptr);
    return out;
  };
  cp.isWordChar16 = [](char16_t unit) { return IsCharAlphaNumericW(wchar_t(unit)) != FALSE; };
  cp.upper16 = [](char16_t unit) {
    wchar_t c = wchar_t(unit);
    CharUpperBuffW(&c, 1);
    return char16_t(c);
  };
  return cp;
}

}  // namespace vt9::win
