// The encoder writes into a growing C buffer: libpng calls back into this file and may longjmp
// out of it, so nothing on that path has a destructor or throws.
#include "image/png_writer.h"

#include <png.h>

#include <cstdlib>
#include <cstring>

#include "core/error.h"
#include "core/safe_write.h"

namespace morvik {
namespace {

struct PngOutput {
  unsigned char* data;
  std::size_t size;
  std::size_t capacity;
};

void WriteOutput(png_structp png, png_bytep bytes, std::size_t n) {
  PngOutput* out = static_cast<PngOutput*>(png_get_io_ptr(png));
  if (n > out->capacity - out->size) {
    std::size_t capacity = out->capacity ? out->capacity : 4096;
    while (n > capacity - out->size) capacity *= 2;
    void* grown = std::realloc(out->data, capacity);
    if (!grown) png_error(png, "out of memory");
    out->data = static_cast<unsigned char*>(grown);
    out->capacity = capacity;
  }
  std::memcpy(out->data + out->size, bytes, n);
  out->size += n;
}

void FlushOutput(png_structp) {}

void OnError(png_structp png, png_const_charp) {
  png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

bool WriteRows(png_structp png, png_infop info, const Bitmap& bitmap) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_IHDR(png, info, static_cast<png_uint_32>(bitmap.Width()),
               static_cast<png_uint_32>(bitmap.Height()), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_set_bgr(png);  // the raster's rows are B, G, R
  for (int y = 0; y < bitmap.Height(); ++y) png_write_row(png, bitmap.Row(y));
  png_write_end(png, nullptr);
  return true;
}

// Owns libpng's write state and the buffer it fills.
struct PngWriter {
  png_structp png = nullptr;
  png_infop info = nullptr;
  PngOutput out{nullptr, 0, 0};
  ~PngWriter() {
    png_destroy_write_struct(&png, info ? &info : nullptr);
    std::free(out.data);
  }
};

}  // namespace

std::string EncodePng(const Bitmap& bitmap) {
  if (bitmap.Empty()) throw Error("a picture without pixels cannot be written as PNG");
  PngWriter w;
  w.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
  if (w.png) w.info = png_create_info_struct(w.png);
  if (!w.info) throw Error("out of memory writing a PNG picture");
  png_set_write_fn(w.png, &w.out, WriteOutput, FlushOutput);
  if (!WriteRows(w.png, w.info, bitmap)) throw Error("cannot encode the PNG picture");
  return std::string(reinterpret_cast<const char*>(w.out.data), w.out.size);
}

void WritePngFile(const std::string& path, const Bitmap& bitmap) {
  std::string bytes;
  try {
    bytes = EncodePng(bitmap);
  } catch (const Error& e) {
    throw FileError(path, e.what());
  }
  WriteFileWhole(path, bytes);
}

}  // namespace morvik
