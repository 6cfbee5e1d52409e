#include "image/bmp_writer.h"

#include <cstdint>

#include "core/error.h"
#include "core/safe_write.h"

namespace morvik {

namespace {

void Put16(std::string& s, unsigned v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>((v >> 8) & 0xFF);
}

void Put32(std::string& s, std::uint32_t v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}

constexpr std::uint32_t kHeaderBytes = 14 + 40;
constexpr std::uint32_t kPixelsPerMetre = 2835;  // 72 dpi

}  // namespace

std::string EncodeBmp(const Bitmap& bitmap) {
  if (bitmap.Empty()) throw Error("an empty picture cannot be written as BMP");
  const std::size_t rowBytes = (bitmap.RowBytes() + 3) / 4 * 4;
  const std::size_t imageBytes = rowBytes * static_cast<std::size_t>(bitmap.Height());
  if (imageBytes > 0xFFFFFFFFu - kHeaderBytes) throw Error("picture too large for BMP");
  std::string s;
  s.reserve(kHeaderBytes + imageBytes);
  s += "BM";
  Put32(s, static_cast<std::uint32_t>(kHeaderBytes + imageBytes));
  Put32(s, 0);
  Put32(s, kHeaderBytes);
  Put32(s, 40);
  Put32(s, static_cast<std::uint32_t>(bitmap.Width()));
  Put32(s, static_cast<std::uint32_t>(bitmap.Height()));
  Put16(s, 1);
  Put16(s, 24);
  Put32(s, 0);  // BI_RGB
  Put32(s, static_cast<std::uint32_t>(imageBytes));
  Put32(s, kPixelsPerMetre);
  Put32(s, kPixelsPerMetre);
  Put32(s, 0);
  Put32(s, 0);
  const std::string padding(rowBytes - bitmap.RowBytes(), '\0');
  for (int y = bitmap.Height() - 1; y >= 0; --y) {
    s.append(reinterpret_cast<const char*>(bitmap.Row(y)), bitmap.RowBytes());
    s += padding;
  }
  return s;
}

void WriteBmpFile(const std::string& path, const Bitmap& bitmap) {
  std::string bytes;
  try {
    bytes = EncodeBmp(bitmap);
  } catch (const Error& e) {
    throw FileError(path, e.what());
  }
  WriteFileWhole(path, bytes);
}

}  // namespace morvik
