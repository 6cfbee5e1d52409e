#include "png_util.h"

#include <png.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>

namespace morvik::test {
namespace {

// Kept free of C++ objects: libpng reports errors by longjmp back into this function.
bool ReadRows(png_structp png, png_infop info, std::FILE* f) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_init_io(png, f);
  png_read_png(png, info,
               PNG_TRANSFORM_EXPAND | PNG_TRANSFORM_SCALE_16 | PNG_TRANSFORM_GRAY_TO_RGB |
                   PNG_TRANSFORM_PACKING,
               nullptr);
  return true;
}

void CopyRows(png_structp png, png_infop info, RgbaImage& out) {
  out.width = static_cast<int>(png_get_image_width(png, info));
  out.height = static_cast<int>(png_get_image_height(png, info));
  const int channels = png_get_channels(png, info);
  png_bytepp rows = png_get_rows(png, info);
  out.rgba.assign(4 * static_cast<std::size_t>(out.width) * out.height, 255);
  for (int y = 0; y < out.height; ++y)
    for (int x = 0; x < out.width; ++x)
      std::memcpy(&out.rgba[4 * (static_cast<std::size_t>(y) * out.width + x)],
                  rows[y] + channels * x, channels);
}

}  // namespace

bool ReadPng(const std::string& path, RgbaImage& out) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  const bool ok = info && ReadRows(png, info, f);
  if (ok) CopyRows(png, info, out);
  png_destroy_read_struct(&png, &info, nullptr);
  std::fclose(f);
  return ok;
}

}  // namespace morvik::test

namespace morvik::test {
namespace {

int ChannelsOf(int colour_type) {
  switch (colour_type) {
    case PNG_COLOR_TYPE_RGB:
      return 3;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
      return 2;
    case PNG_COLOR_TYPE_RGB_ALPHA:
      return 4;
    default:
      return 1;
  }
}

// Row y packed as PNG stores it: sub-byte samples from the high bits, 16-bit ones big-endian.
std::vector<png_byte> PackRow(const PngLayout& s, int y) {
  const std::size_t n = static_cast<std::size_t>(s.width) * ChannelsOf(s.colour_type);
  std::vector<png_byte> row((n * s.bit_depth + 7) / 8);
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint16_t v = s.samples[static_cast<std::size_t>(y) * n + i];
    if (s.bit_depth == 16) {
      row[2 * i] = static_cast<png_byte>(v >> 8);
      row[2 * i + 1] = static_cast<png_byte>(v);
    } else {
      const std::size_t bit = i * s.bit_depth;
      row[bit / 8] |= static_cast<png_byte>(v << (8 - s.bit_depth - bit % 8));
    }
  }
  return row;
}

void AppendBytes(png_structp png, png_bytep data, std::size_t n) {
  static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<char*>(data), n);
}

void NoFlush(png_structp) {}

bool WriteLayout(png_structp png, png_infop info, const PngLayout& s, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_IHDR(png, info, s.width, s.height, s.bit_depth, s.colour_type,
               s.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_color palette[256];
  for (std::size_t i = 0; i < s.palette.size(); ++i)
    palette[i] = png_color{s.palette[i][0], s.palette[i][1], s.palette[i][2]};
  if (!s.palette.empty()) png_set_PLTE(png, info, palette, static_cast<int>(s.palette.size()));
  png_color_16 colour{};
  if (s.transparent.size() == 1) colour.gray = s.transparent[0];
  if (s.transparent.size() == 3) {
    colour.red = s.transparent[0];
    colour.green = s.transparent[1];
    colour.blue = s.transparent[2];
  }
  if (!s.palette_alpha.empty() || !s.transparent.empty())
    png_set_tRNS(png, info, s.palette_alpha.data(), static_cast<int>(s.palette_alpha.size()),
                 &colour);
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, info);
  return true;
}

std::uint32_t Be32(const std::string& s, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v = v << 8 | static_cast<std::uint8_t>(s[at + i]);
  return v;
}

}  // namespace

std::string EncodeTestPng(const PngLayout& layout) {
  std::vector<std::vector<png_byte>> packed;
  std::vector<png_bytep> rows;
  for (int y = 0; y < layout.height; ++y) packed.push_back(PackRow(layout, y));
  for (auto& r : packed) rows.push_back(r.data());
  std::string out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(png, &out, AppendBytes, NoFlush);
  const bool ok = WriteLayout(png, info, layout, rows.data());
  png_destroy_write_struct(&png, &info);
  return ok ? out : std::string();
}

std::string PngChunk(const std::string& type, const std::string& data) {
  std::string chunk;
  for (int i = 3; i >= 0; --i) chunk += static_cast<char>(data.size() >> (8 * i));
  chunk += type + data;
  const std::string body = type + data;
  const uLong crc =
      crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(body.data()), body.size());
  for (int i = 3; i >= 0; --i) chunk += static_cast<char>(crc >> (8 * i));
  return chunk;
}

std::size_t FindPngChunk(const std::string& png, const std::string& type) {
  for (std::size_t pos = 8; pos + 8 <= png.size(); pos += 12 + Be32(png, pos))
    if (png.compare(pos + 4, 4, type) == 0) return pos;
  return std::string::npos;
}

}  // namespace morvik::test
