// libpng reports errors by longjmp. Each call into it that may fail sits in a small function
// holding the setjmp and nothing with a destructor; everything C++ (the picture, the row
// table, the exception) lives in the caller, which the longjmp never crosses.
#include "image/png_reader.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "core/error.h"
#include "image/picture_limits.h"

namespace morvik {
namespace {

constexpr std::size_t kSignatureBytes = 8;
// Deflate writes at best 258 bytes in 2 bits, so one byte of image data inflates to at most
// 1032 bytes; a file with less data than the picture needs by that measure cannot fill it.
constexpr std::uint64_t kMaxInflateRatio = 1032;
constexpr std::uint64_t kInflateSlack = 4096;
// No chunk that matters here is large; others are skipped without being held in memory.
constexpr png_alloc_size_t kMaxChunkBytes = 1 << 20;

// What libpng reads from and reports to: plain data, safe across a longjmp.
struct PngInput {
  const std::uint8_t* data;
  std::size_t size;
  std::size_t pos;
  bool truncated;
  char message[160];
};

void ReadInput(png_structp png, png_bytep out, std::size_t n) {
  PngInput* in = static_cast<PngInput*>(png_get_io_ptr(png));
  if (n > in->size - in->pos) {
    in->truncated = true;
    png_error(png, "file is truncated");
  }
  std::memcpy(out, in->data + in->pos, n);
  in->pos += n;
}

void OnError(png_structp png, png_const_charp message) {
  PngInput* in = static_cast<PngInput*>(png_get_error_ptr(png));
  std::snprintf(in->message, sizeof in->message, "%s", message);
  png_longjmp(png, 1);
}

// Warnings concern what is skipped anyway (ancillary chunks, trailing data).
void OnWarning(png_structp, png_const_charp) {}

// Any chunk libpng does not handle itself is taken as handled, so that it is dropped.
int DropChunk(png_structp, png_unknown_chunkp) {
  return 1;
}

std::uint32_t Be32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
         static_cast<std::uint32_t>(p[2]) << 8 | p[3];
}

// The picture's size and depth from IHDR and the total length of its image data, found by
// walking the chunk headers; libpng checks the rest.
struct Outline {
  bool has_header = false;
  std::int64_t width = 0;
  std::int64_t height = 0;
  unsigned bits_per_pixel = 0;
  std::uint64_t image_bytes = 0;
};

unsigned Channels(unsigned colour_type) {
  switch (colour_type) {
    case 2:
      return 3;  // RGB
    case 4:
      return 2;  // grey and alpha
    case 6:
      return 4;  // RGBA
    default:
      return 1;  // grey, palette
  }
}

Outline ScanChunks(const std::uint8_t* data, std::size_t size) {
  Outline o;
  std::size_t pos = kSignatureBytes;
  while (size - pos >= 8) {
    const std::uint32_t length = Be32(data + pos);
    const std::uint8_t* type = data + pos + 4;
    if (length > 0x7FFFFFFFu) break;
    const std::size_t body = pos + 8;
    if (std::memcmp(type, "IHDR", 4) == 0 && length >= 13 && size - body >= 13) {
      o.has_header = true;
      o.width = Be32(data + body);
      o.height = Be32(data + body + 4);
      o.bits_per_pixel = data[body + 8] * Channels(data[body + 9]);
    } else if (std::memcmp(type, "IDAT", 4) == 0) {
      o.image_bytes += std::min<std::uint64_t>(length, size - body);
    } else if (std::memcmp(type, "IEND", 4) == 0) {
      break;
    }
    if (size - body < std::uint64_t{length} + 4) break;
    pos = body + length + 4;
  }
  return o;
}

// Refuses, before libpng allocates anything, a picture beyond the cap or one whose image data
// is too short to fill it.
void CheckOutline(const Outline& o, const std::string& name) {
  if (!o.has_header) return;  // libpng names the problem
  CheckPictureSize(o.width, o.height, name);
  const std::uint64_t bits =
      static_cast<std::uint64_t>(o.width) * static_cast<std::uint64_t>(o.height) * o.bits_per_pixel;
  if (bits / 8 > kMaxInflateRatio * o.image_bytes + kInflateSlack)
    throw FileError(name, "file is truncated (too little image data for the picture size)");
}

// Reads the chunks up to the image data and sets the transformations that turn every kind of
// PNG into 8-bit B, G, R rows. False when libpng reported an error.
bool ReadHeader(png_structp png, png_infop info) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_info(png, info);
  png_set_expand(png);  // palette to RGB, grey below 8 bits to 8, tRNS to alpha
  png_set_scale_16(png);
  png_set_gray_to_rgb(png);
  png_color_16 white{};
  white.red = white.green = white.blue = white.gray = 255;
  png_set_background_fixed(png, &white, PNG_BACKGROUND_GAMMA_SCREEN, 0, PNG_FP_1);
  png_set_bgr(png);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  return true;
}

// Reads every row, all interlace passes, and the checksum of the last image data chunk.
bool ReadRows(png_structp png, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_image(png, rows);
  return true;
}

// Owns libpng's read state.
struct PngReader {
  png_structp png = nullptr;
  png_infop info = nullptr;
  ~PngReader() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
};

void Setup(png_structp png) {
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
  // Mutated inputs rarely keep their checksums; checking them would stop every search at the
  // first chunk.
  png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
  png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#else
  png_set_crc_action(png, PNG_CRC_ERROR_QUIT, PNG_CRC_WARN_DISCARD);
#endif
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
  png_set_read_user_chunk_fn(png, nullptr, DropChunk);
  png_set_user_limits(png, kMaxPictureSide, kMaxPictureSide);
  png_set_chunk_malloc_max(png, kMaxChunkBytes);
}

[[noreturn]] void Fail(const PngInput& in, const std::string& name) {
  if (in.truncated) throw FileError(name, "file is truncated");
  throw FileError(name, std::string("bad PNG data (") + in.message + ")");
}

}  // namespace

bool HasPngSignature(const std::uint8_t* data, std::size_t size) {
  return size >= kSignatureBytes && png_sig_cmp(data, 0, kSignatureBytes) == 0;
}

Bitmap DecodePng(const std::uint8_t* data, std::size_t size, const std::string& name) {
  if (!HasPngSignature(data, size)) throw FileError(name, "not a PNG file");
  CheckOutline(ScanChunks(data, size), name);

  PngInput in{data, size, kSignatureBytes, false, {}};
  PngReader r;
  r.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &in, OnError, OnWarning);
  if (r.png) r.info = png_create_info_struct(r.png);
  if (!r.info) throw FileError(name, "out of memory");
  Setup(r.png);
  png_set_read_fn(r.png, &in, ReadInput);
  png_set_sig_bytes(r.png, kSignatureBytes);

  if (!ReadHeader(r.png, r.info)) Fail(in, name);
  const std::int64_t width = png_get_image_width(r.png, r.info);
  const std::int64_t height = png_get_image_height(r.png, r.info);
  CheckPictureSize(width, height, name);
  Bitmap out(static_cast<int>(width), static_cast<int>(height));
  if (png_get_rowbytes(r.png, r.info) != out.RowBytes())
    throw FileError(name, "bad PNG data (unexpected row layout)");
  std::vector<png_bytep> rows(static_cast<std::size_t>(height));
  for (int y = 0; y < out.Height(); ++y) rows[y] = out.Row(y);
  if (!ReadRows(r.png, rows.data())) Fail(in, name);
  return out;
}

}  // namespace morvik
