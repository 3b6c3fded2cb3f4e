// The find request the find dialog sends to the viewer's window as the data block of a
// WM_COPYDATA message: 264 bytes, little-endian.
//
//   offset 0  int32   command   (1 = find next, the only one)
//   offset 4  uint32  options   (1 = match case, 2 = whole words only)
//   offset 8  uint8   text length, 0 to 255
//   offset 9  255 bytes of ANSI text; bytes beyond the length mean nothing
//
// WM_COPYDATA reaches a window from any process, so the viewer trusts nothing in a block it
// did not check: only a block of exactly 264 bytes whose copy-data identifier is 0 is read.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace vt9 {

inline constexpr std::size_t kFindRequestSize = 264;
inline constexpr std::size_t kFindTextMax = 255;
inline constexpr std::int32_t kFindNextCommand = 1;
inline constexpr std::uint32_t kFindMatchCase = 1;
inline constexpr std::uint32_t kFindWholeWord = 2;

struct FindRequest {
  std::int32_t command = kFindNextCommand;
  std::uint32_t options = 0;
  std::string text;  // at most 255 bytes once encoded
};

using FindRequestBytes = std::array<unsigned char, kFindRequestSize>;

// "Next": command 1, the options of the two boxes, the text cut to its first 255 characters.
FindRequest MakeFindNext(const std::string& text, bool matchCase, bool wholeWords);

// The record's bytes; a longer text is cut to 255, the unused text bytes are zero.
FindRequestBytes EncodeFindRequest(const FindRequest& request);

// The request in a received copy-data block, or nothing when the identifier is not 0, the
// block is missing or its size is not 264.
std::optional<FindRequest> DecodeFindRequest(std::uintptr_t identifier, const void* data,
                                             std::size_t size);

}  // namespace vt9
