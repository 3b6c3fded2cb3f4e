// Writes 24-bit RGB pixels as a BMP or PNG file (the PNG uses stored, uncompressed deflate
// blocks: larger files, no compression library needed).
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace vt9::tools {

// Pixels top-down, 3 bytes per pixel in R, G, B order.
struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;
};

namespace detail {

inline void Put32Be(std::string& s, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) s += static_cast<char>((v >> shift) & 0xFF);
}
inline void Put32Le(std::string& s, std::uint32_t v) {
  for (int shift = 0; shift <= 24; shift += 8) s += static_cast<char>((v >> shift) & 0xFF);
}
inline void Put16Le(std::string& s, std::uint32_t v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>((v >> 8) & 0xFF);
}

inline std::uint32_t Crc32(const std::string& data) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char c : data) {
    crc ^= c;
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return crc ^ 0xFFFFFFFFu;
}

inline void Chunk(std::string& png, const char* type, const std::string& data) {
  Put32Be(png, static_cast<std::uint32_t>(data.size()));
  std::string body = std::string(type, 4) + data;
  png += body;
  Put32Be(png, Crc32(body));
}

}  // namespace detail

inline std::string EncodePng(const RgbImage& img) {
  using namespace detail;
  std::string raw;
  raw.reserve(static_cast<std::size_t>(img.height) * (img.width * 3 + 1));
  for (int y = 0; y < img.height; ++y) {
    raw += '\0';  // no filter
    raw.append(
        reinterpret_cast<const char*>(img.rgb.data()) + static_cast<std::size_t>(y) * img.width * 3,
        static_cast<std::size_t>(img.width) * 3);
  }
  std::string z = "\x78\x01";
  std::uint32_t a = 1, b = 0;
  for (unsigned char c : raw) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  std::size_t at = 0;
  do {
    std::size_t n = std::min<std::size_t>(65535, raw.size() - at);
    z += static_cast<char>(at + n == raw.size() ? 1 : 0);
    Put16Le(z, static_cast<std::uint32_t>(n));
    Put16Le(z, static_cast<std::uint32_t>(~n & 0xFFFF));
    z.append(raw, at, n);
    at += n;
  } while (at < raw.size());
  Put32Be(z, (b << 16) | a);

  std::string png = "\x89PNG\r\n\x1a\n";
  std::string ihdr;
  Put32Be(ihdr, static_cast<std::uint32_t>(img.width));
  Put32Be(ihdr, static_cast<std::uint32_t>(img.height));
  ihdr += std::string("\x08\x02\x00\x00\x00", 5);
  Chunk(png, "IHDR", ihdr);
  Chunk(png, "IDAT", z);
  Chunk(png, "IEND", "");
  return png;
}

inline std::string EncodeBmp(const RgbImage& img) {
  using namespace detail;
  const std::uint32_t stride = (static_cast<std::uint32_t>(img.width) * 3 + 3) & ~3u;
  const std::uint32_t size = stride * static_cast<std::uint32_t>(img.height);
  std::string bmp = "BM";
  Put32Le(bmp, 54 + size);
  Put32Le(bmp, 0);
  Put32Le(bmp, 54);
  Put32Le(bmp, 40);
  Put32Le(bmp, static_cast<std::uint32_t>(img.width));
  Put32Le(bmp, static_cast<std::uint32_t>(img.height));  // bottom-up
  Put16Le(bmp, 1);
  Put16Le(bmp, 24);
  Put32Le(bmp, 0);
  Put32Le(bmp, size);
  Put32Le(bmp, 3780);
  Put32Le(bmp, 3780);
  Put32Le(bmp, 0);
  Put32Le(bmp, 0);
  for (int y = img.height - 1; y >= 0; --y) {
    std::uint32_t written = 0;
    for (int x = 0; x < img.width; ++x) {
      const std::uint8_t* p = &img.rgb[(static_cast<std::size_t>(y) * img.width + x) * 3];
      bmp += static_cast<char>(p[2]);
      bmp += static_cast<char>(p[1]);
      bmp += static_cast<char>(p[0]);
      written += 3;
    }
    for (; written < stride; ++written) bmp += '\0';
  }
  return bmp;
}

// Writes PNG when the path ends in ".png" (any case), BMP otherwise.
inline bool SaveImage(const std::string& path, const RgbImage& img) {
  std::string ext = path.size() >= 4 ? path.substr(path.size() - 4) : "";
  for (char& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  std::ofstream out(path, std::ios::binary);
  if (!out) return false;
  std::string bytes = ext == ".png" ? EncodePng(img) : EncodeBmp(img);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

}  // namespace vt9::tools
