#include "png_util.h"

#include <png.h>

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
