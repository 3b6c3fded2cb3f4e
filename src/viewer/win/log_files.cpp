#include "viewer/win/log_files.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string_view>

#include "common/win/handles.h"
#include "logs/win/log_file.h"
#include "viewer/win/rich_text_file.h"

namespace vt9::win {
namespace {

// Characters handed to the clipboard per piece: the text is never built whole as a string.
constexpr std::int64_t kCopyPiece = 1 << 20;

// Frees a global block unless it was handed to the clipboard.
struct GlobalBlock {
  HGLOBAL memory = nullptr;
  ~GlobalBlock() {
    if (memory) GlobalFree(memory);
  }
};

}  // namespace

bool IsRichTextFile(const std::string& path) {
  KernelHandle file(CreateFileA(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, 0, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) {
    file.release();
    return false;
  }
  char head[5] = {};
  DWORD read = 0;
  return ReadFile(file.get(), head, sizeof head, &read, nullptr) && read == sizeof head &&
         std::memcmp(head, "{\\rtf", sizeof head) == 0;
}

std::unique_ptr<logs::LogDocument> OpenLogDocument(const std::string& path) {
  std::unique_ptr<RandomAccessFile> file = OpenRandomAccessFile(path);
  if (!file) return nullptr;
  return std::make_unique<logs::LogDocument>(std::move(file), SystemCodePage());
}

bool SaveLogDocument(const logs::LogDocument& document, const std::string& target,
                     const std::atomic<bool>* cancel, std::atomic<int>* percent) {
  // The rich-edit control takes a document's last \par as its own final paragraph mark, so a
  // log that ends with a line break needs one \par more to read back with that break (the
  // control's own rich text ends so). The writer's last piece ends with the closing brace.
  const std::int64_t last = document.LineCount() - 1;
  const bool endsWithBreak = last > 0 && document.LineLength(last) == 0;
  return SaveFileSafely(target, [&](const ContentWriter& write) {
    std::string held;  // the last piece, until it is known to be the last
    const std::uint64_t total = std::max<std::uint64_t>(1, document.FileBytes());
    std::uint64_t done = 0;
    bool ok = document.WriteRichText([&](std::string_view piece) {
      if (cancel && *cancel) return false;
      const bool written = held.empty() || write(held.data(), held.size());
      done += held.size();
      // Rich text runs somewhat longer than the log: near the end this stays at 99 %.
      if (percent) *percent = static_cast<int>(std::min<std::uint64_t>(99, done * 100 / total));
      held.assign(piece);
      return written;
    });
    if (!ok) return false;
    if (endsWithBreak && !held.empty() && held.back() == '}')
      held.insert(held.size() - 1, "\\par\r\n");
    return held.empty() || write(held.data(), held.size());
  });
}

CopyText::~CopyText() {
  if (memory) GlobalFree(memory);
}

CopyResult CopyLogToClipboard(HWND owner, const logs::LogDocument& document,
                              logs::TextRange range) {
  CopyText text;
  const CopyResult made = MakeCopyText(document, range, text);
  return made == CopyResult::Copied ? PutCopyText(owner, text) : made;
}

CopyResult MakeCopyText(const logs::LogDocument& document, logs::TextRange range, CopyText& out,
                        const std::atomic<bool>* cancel, std::atomic<int>* percent) {
  const bool unicode = document.Encoding() != logs::TextEncoding::Ansi;
  const std::int64_t end = std::clamp<std::int64_t>(range.end, 0, document.Length());
  const std::int64_t start = std::clamp<std::int64_t>(range.start, 0, end);
  const std::int64_t length = end - start;
  const std::int64_t breaks = document.LineFromPosition(end) - document.LineFromPosition(start);
  CPINFO info{};
  const bool doubleByte = !unicode && GetCPInfo(CP_ACP, &info) && info.MaxCharSize > 1;
  // At most this many bytes: every break becomes CR LF, a character is at most two bytes.
  const std::uint64_t bound = unicode ? (static_cast<std::uint64_t>(length + breaks) + 1) * 2
                                      : static_cast<std::uint64_t>(length) * (doubleByte ? 2 : 1) +
                                            static_cast<std::uint64_t>(breaks) + 1;
  if (bound > kCopyLimitBytes || bound > SIZE_MAX / 2) return CopyResult::TooLarge;
  GlobalBlock block;
  block.memory = GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(bound));
  if (!block.memory) return CopyResult::TooLarge;
  auto* bytes = static_cast<char*>(GlobalLock(block.memory));
  if (!bytes) return CopyResult::TooLarge;
  std::size_t used = 0;
  CopyResult result = CopyResult::Copied;
  try {
    for (std::int64_t at = start; at < end && result == CopyResult::Copied; at += kCopyPiece) {
      // A cancelled copy leaves the clipboard as it was, as one above the limit does.
      if (cancel && *cancel) result = CopyResult::TooLarge;
      if (percent) *percent = static_cast<int>((at - start) * 100 / (end - start));
      const logs::TextRange piece{at, std::min(end, at + kCopyPiece)};
      if (unicode) {
        std::u16string text;
        if (!document.RangeText16(piece, text))
          result = CopyResult::ReadFailed;
        else if (used + (text.size() + 1) * 2 > bound)
          result = CopyResult::TooLarge;
        else
          std::memcpy(bytes + used, text.data(), text.size() * 2);
        used += text.size() * 2;
      } else {
        std::string text;
        if (!document.RangeTextAnsi(piece, text))
          result = CopyResult::ReadFailed;
        else if (used + text.size() + 1 > bound)
          result = CopyResult::TooLarge;
        else
          std::memcpy(bytes + used, text.data(), text.size());
        used += text.size();
      }
    }
  } catch (const std::bad_alloc&) {
    result = CopyResult::TooLarge;
  }
  if (result == CopyResult::Copied) std::memset(bytes + used, 0, unicode ? 2 : 1);
  GlobalUnlock(block.memory);
  if (result != CopyResult::Copied) return result;
  if (out.memory) GlobalFree(out.memory);
  out.memory = block.memory;
  out.unicode = unicode;
  block.memory = nullptr;
  return CopyResult::Copied;
}

CopyResult PutCopyText(HWND owner, CopyText& text) {
  // Only now is the clipboard touched: a copy that fails leaves it as it was.
  if (!text.memory || !OpenClipboard(owner)) return CopyResult::TooLarge;
  EmptyClipboard();
  const bool set =
      SetClipboardData(text.unicode ? CF_UNICODETEXT : CF_TEXT, text.memory) != nullptr;
  if (set) text.memory = nullptr;  // the clipboard owns it now
  CloseClipboard();
  return set ? CopyResult::Copied : CopyResult::TooLarge;
}

}  // namespace vt9::win
