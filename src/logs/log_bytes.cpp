// The file's bytes for the filter, which searches whole blocks instead of line by line.
#include <mutex>

#include "logs/log_document_impl.h"

namespace vt9::logs {

bool LogDocument::PlainBytes() const {
  std::shared_lock<std::shared_mutex> lock(impl_->mutex);
  return impl_->encoding == TextEncoding::Ansi && impl_->codec->SingleByte() && !impl_->edited;
}

std::uint64_t LogDocument::LineByteStart(std::int64_t line) const {
  std::shared_lock<std::shared_mutex> lock(impl_->mutex);
  const LineIndex& index = *impl_->index;
  if (line < 0) return impl_->startByte;
  return line < index.Lines() ? index.Get(line).byteStart : index.EndByte();
}

std::uint64_t LogDocument::TextEndByte() const {
  std::shared_lock<std::shared_mutex> lock(impl_->mutex);
  return impl_->tailEnd;
}

bool LogDocument::ReadBytes(std::uint64_t offset, std::size_t size, std::uint8_t* out) const {
  std::size_t got = 0;
  while (got < size) {
    const std::int64_t n = impl_->file->ReadAt(offset + got, out + got, size - got);
    if (n <= 0) return false;
    got += std::size_t(n);
  }
  return true;
}

}  // namespace vt9::logs
