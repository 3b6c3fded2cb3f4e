#include "viewer/find_request.h"

#include <algorithm>
#include <cstring>

namespace vt9 {
namespace {

void PutU32(unsigned char* at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<unsigned char>(v >> (8 * i));
}

std::uint32_t GetU32(const unsigned char* at) {
  std::uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(at[i]) << (8 * i);
  return v;
}

}  // namespace

FindRequest MakeFindNext(const std::string& text, bool matchCase, bool wholeWords) {
  FindRequest request;
  request.command = kFindNextCommand;
  request.options = (matchCase ? kFindMatchCase : 0) | (wholeWords ? kFindWholeWord : 0);
  request.text = text.substr(0, kFindTextMax);
  return request;
}

FindRequestBytes EncodeFindRequest(const FindRequest& request) {
  FindRequestBytes bytes{};
  PutU32(bytes.data(), static_cast<std::uint32_t>(request.command));
  PutU32(bytes.data() + 4, request.options);
  const std::size_t length = std::min(request.text.size(), kFindTextMax);
  bytes[8] = static_cast<unsigned char>(length);
  std::memcpy(bytes.data() + 9, request.text.data(), length);
  return bytes;
}

std::optional<FindRequest> DecodeFindRequest(std::uintptr_t identifier, const void* data,
                                             std::size_t size) {
  if (identifier != 0 || data == nullptr || size != kFindRequestSize) return std::nullopt;
  const auto* bytes = static_cast<const unsigned char*>(data);
  FindRequest request;
  request.command = static_cast<std::int32_t>(GetU32(bytes));
  request.options = GetU32(bytes + 4);
  // One length byte can never exceed the 255 text bytes that follow it.
  request.text.assign(reinterpret_cast<const char*>(bytes + 9), bytes[8]);
  return request;
}

}  // namespace vt9
