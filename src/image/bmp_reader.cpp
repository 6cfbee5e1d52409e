// Decoding works in three steps: read and check every header field, refuse what the file
// cannot hold, then allocate the picture and fill it row by row. An RLE stream is walked once
// without a picture first, so that a damaged one is refused before anything is allocated.
#include "image/bmp_reader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "core/error.h"
#include "image/picture_file.h"
#include "image/picture_limits.h"

namespace morvik {
namespace {

constexpr std::size_t kFileHeaderBytes = 14;

// Compression codes. OS/2 2.x headers use 3 and 4 for Huffman 1D and RLE24 instead.
constexpr std::uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitfields = 3, kJpeg = 4, kPng = 5,
                        kAlphaBitfields = 6;

enum class Coding { kPlain, kBitfields, kRle4, kRle8, kRle24 };

struct Source {
  const std::uint8_t* data;
  std::size_t size;
  const std::string& name;
};

// What the headers say, filled in and checked step by step.
struct Layout {
  std::size_t info = 0;  // offset of the info header
  std::uint32_t header_size = 0;
  bool core = false;  // OS/2 1.x header: 16-bit sizes, 3-byte palette entries
  bool os2 = false;   // OS/2 2.x header: its own meaning of compression 3 and 4
  std::int64_t width = 0;
  std::int64_t height = 0;  // as stored: negative means the rows run top-down
  std::uint32_t planes = 0;
  std::uint32_t bpp = 0;
  std::uint32_t compression = 0;
  std::uint32_t colours_used = 0;
  std::uint64_t pixel_offset = 0;  // from the start of the data, in bitmap arrays too
  std::uint64_t palette_offset = 0;
  Coding coding = Coding::kPlain;
  std::array<std::uint32_t, 3> masks{};  // red, green, blue
  int columns = 0;
  int rows = 0;
  bool top_down = false;
  std::uint64_t stride = 0;  // bytes per stored row, padded to 4
};

struct Palette {
  std::array<std::uint8_t, 256 * 3> bgr{};
  unsigned count = 0;
};

[[noreturn]] void Fail(const Source& src, const std::string& problem) {
  throw FileError(src.name, problem);
}

void Need(const Source& src, std::uint64_t end, const char* what) {
  if (end > src.size) Fail(src, std::string("file is truncated (") + what + ")");
}

std::uint32_t Le16(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8;
}

std::uint32_t Le32(const std::uint8_t* p) {
  return Le16(p) | Le16(p + 2) << 16;
}

std::int64_t Signed32(std::uint32_t v) {
  return v < 0x80000000u ? std::int64_t{v} : std::int64_t{v} - (std::int64_t{1} << 32);
}

bool OneOf(std::uint32_t v, std::initializer_list<std::uint32_t> set) {
  return std::find(set.begin(), set.end(), v) != set.end();
}

bool IsRle(Coding c) {
  return c == Coding::kRle4 || c == Coding::kRle8 || c == Coding::kRle24;
}

// Offset of the "BM" file header: an OS/2 bitmap array puts its first picture after its own.
std::size_t FindFileHeader(const Source& src) {
  auto magic = [&](std::size_t at, char a, char b) {
    return src.size >= at + 2 && src.data[at] == a && src.data[at + 1] == b;
  };
  if (magic(0, 'B', 'M')) return 0;
  if (magic(0, 'B', 'A') && magic(kFileHeaderBytes, 'B', 'M')) return kFileHeaderBytes;
  Fail(src, "not a BMP file");
}

void ReadHeaderSize(const Source& src, Layout& l) {
  const std::size_t start = FindFileHeader(src);
  l.info = start + kFileHeaderBytes;
  Need(src, l.info + 4, "no picture header");
  l.pixel_offset = Le32(src.data + start + 10);
  const std::uint32_t s = Le32(src.data + l.info);
  const bool windows = OneOf(s, {40, 52, 56, 108, 124});
  l.core = s == 12;
  l.os2 = !windows && s >= 16 && s <= 64;
  if (!windows && !l.core && !l.os2)
    Fail(src, "unknown picture header size (" + std::to_string(s) + " bytes)");
  Need(src, l.info + s, "picture header ends early");
  l.header_size = s;
}

void ReadHeaderFields(const Source& src, Layout& l) {
  const std::uint8_t* p = src.data + l.info;
  if (l.core) {
    l.width = Le16(p + 4);
    l.height = Le16(p + 6);
    l.planes = Le16(p + 8);
    l.bpp = Le16(p + 10);
    return;
  }
  // A short OS/2 2.x header leaves out trailing fields, which then count as 0.
  auto field = [&](std::uint32_t at) { return at + 4 <= l.header_size ? Le32(p + at) : 0; };
  l.width = Signed32(Le32(p + 4));
  l.height = Signed32(Le32(p + 8));
  l.planes = Le16(p + 12);
  l.bpp = Le16(p + 14);
  l.compression = field(16);
  l.colours_used = field(32);
}

std::string Depth(const Layout& l) {
  return std::to_string(l.bpp) + " bits per pixel";
}

Coding Os2Coding(const Source& src, const Layout& l) {
  if (l.compression == 3) Fail(src, "unsupported compression (OS/2 Huffman)");
  if (l.compression != 4)
    Fail(src, "unsupported compression (code " + std::to_string(l.compression) + ")");
  if (l.bpp != 24) Fail(src, "RLE24 compression with " + Depth(l) + " (must be 24)");
  return Coding::kRle24;
}

Coding SelectCoding(const Source& src, const Layout& l) {
  if (l.planes != 1)
    Fail(src, "bad number of colour planes (" + std::to_string(l.planes) + ", must be 1)");
  if (l.os2 && l.compression > kRle4) return Os2Coding(src, l);
  switch (l.compression) {
    case kRgb:
      if (!OneOf(l.bpp, {1, 2, 4, 8, 16, 24, 32}))
        Fail(src, "unsupported bit depth (" + Depth(l) + ")");
      return Coding::kPlain;
    case kRle8:
      if (l.bpp != 8) Fail(src, "RLE8 compression with " + Depth(l) + " (must be 8)");
      return Coding::kRle8;
    case kRle4:
      if (l.bpp != 4) Fail(src, "RLE4 compression with " + Depth(l) + " (must be 4)");
      return Coding::kRle4;
    case kBitfields:
    case kAlphaBitfields:
      if (l.bpp != 16 && l.bpp != 32)
        Fail(src, "colour masks with " + Depth(l) + " (must be 16 or 32)");
      return Coding::kBitfields;
    case kJpeg:
      Fail(src, "unsupported compression (embedded JPEG)");
    case kPng:
      Fail(src, "unsupported compression (embedded PNG)");
    default:
      Fail(src, "unsupported compression (code " + std::to_string(l.compression) + ")");
  }
}

// Colour masks, and so where the palette starts: a 40-byte header is followed by the masks,
// larger headers hold them.
void ReadMasks(const Source& src, Layout& l) {
  l.palette_offset = l.info + l.header_size;
  if (l.coding != Coding::kBitfields) {
    if (l.bpp == 16) l.masks = {0x7C00, 0x03E0, 0x001F};
    if (l.bpp == 32) l.masks = {0xFF0000, 0xFF00, 0xFF};
    return;
  }
  const std::uint32_t in_header = l.header_size - 40;
  const std::uint32_t wanted = l.compression == kAlphaBitfields ? 16 : 12;
  const std::uint32_t extra = wanted > in_header ? wanted - in_header : 0;
  Need(src, l.palette_offset + extra, "colour masks missing");
  const std::uint8_t* m = src.data + l.info + 40;
  l.masks = {Le32(m), Le32(m + 4), Le32(m + 8)};
  l.palette_offset += extra;
}

void CheckDimensions(const Source& src, Layout& l) {
  if (l.width < 0) Fail(src, "negative width (" + std::to_string(l.width) + ")");
  const std::uint64_t rows = static_cast<std::uint64_t>(l.height < 0 ? -l.height : l.height);
  const std::uint64_t columns = static_cast<std::uint64_t>(l.width);
  CheckPictureSize(l.width, static_cast<std::int64_t>(rows), src.name);
  l.columns = static_cast<int>(columns);
  l.rows = static_cast<int>(rows);
  l.top_down = l.height < 0;
  if (l.top_down && IsRle(l.coding)) Fail(src, "RLE-compressed picture stored top-down");
  l.stride = (columns * l.bpp + 31) / 32 * 4;
}

// Refuses, before anything is allocated, a picture the file cannot hold. An RLE stream may
// paint a whole picture with a single end-of-picture code (every pixel black), so its length
// says nothing; it is checked by a walk without a picture instead.
void CheckPixelData(const Source& src, const Layout& l) {
  if (l.pixel_offset < l.palette_offset) Fail(src, "pixel data offset points into the header");
  if (IsRle(l.coding)) return;
  // The last row's padding is often left out.
  const std::uint64_t last_row = (static_cast<std::uint64_t>(l.columns) * l.bpp + 7) / 8;
  Need(src, l.pixel_offset + l.stride * (l.rows - 1) + last_row, "pixel data ends early");
}

Palette ReadPalette(const Source& src, const Layout& l) {
  Palette pal;
  if (l.bpp > 8) return pal;
  const std::uint64_t entry = l.core ? 3 : 4;
  const std::uint64_t full = std::uint64_t{1} << l.bpp;
  if (l.colours_used > full && l.palette_offset + entry * l.colours_used > src.size)
    Fail(src, "implausible palette size (" + std::to_string(l.colours_used) + " colours)");
  std::uint64_t count = l.colours_used > 0 ? std::min<std::uint64_t>(l.colours_used, full) : full;
  // Some writers store fewer colours than the depth allows and start the pixels after them.
  count = std::min(count, (l.pixel_offset - l.palette_offset) / entry);
  Need(src, l.palette_offset + count * entry, "palette ends early");
  const std::uint8_t* p = src.data + l.palette_offset;
  for (std::uint64_t i = 0; i < count; ++i) std::memcpy(&pal.bgr[3 * i], p + entry * i, 3);
  pal.count = static_cast<unsigned>(count);
  return pal;
}

[[noreturn]] void FailIndex(const Source& src, const Palette& pal) {
  Fail(src,
       "palette index out of range (the palette has " + std::to_string(pal.count) + " colours)");
}

const std::uint8_t* FileRow(const Source& src, const Layout& l, int r) {
  return src.data + l.pixel_offset + l.stride * static_cast<std::uint64_t>(r);
}

// File row r (in stored order) lands on this row of the picture.
std::uint8_t* PictureRow(Bitmap& out, const Layout& l, int r) {
  return out.Row(l.top_down ? r : l.rows - 1 - r);
}

// Unpacks one row of kBits-bit palette indices, leftmost pixel in the high bits.
// False on an index beyond the palette.
template <unsigned kBits>
bool IndexedRow(const std::uint8_t* s, std::size_t width, const Palette& pal, std::uint8_t* d) {
  constexpr unsigned kPerByte = 8 / kBits;
  constexpr unsigned kMask = (1u << kBits) - 1;
  for (std::size_t x = 0; x < width; ++x) {
    const unsigned shift = 8 - kBits * (x % kPerByte + 1);
    const unsigned i = (s[x / kPerByte] >> shift) & kMask;
    if (i >= pal.count) return false;
    std::memcpy(d + 3 * x, &pal.bgr[3 * i], 3);
  }
  return true;
}

void DecodeIndexed(const Source& src, const Layout& l, const Palette& pal, Bitmap& out) {
  using RowFn = bool (*)(const std::uint8_t*, std::size_t, const Palette&, std::uint8_t*);
  const RowFn row = l.bpp == 1   ? IndexedRow<1>
                    : l.bpp == 2 ? IndexedRow<2>
                    : l.bpp == 4 ? IndexedRow<4>
                                 : IndexedRow<8>;
  for (int r = 0; r < l.rows; ++r)
    if (!row(FileRow(src, l, r), l.columns, pal, PictureRow(out, l, r))) FailIndex(src, pal);
}

// 24-bit rows are stored B, G, R like the Bitmap's.
void DecodeRgb24(const Source& src, const Layout& l, Bitmap& out) {
  for (int r = 0; r < l.rows; ++r)
    std::memcpy(PictureRow(out, l, r), FileRow(src, l, r), out.RowBytes());
}

// The default 32-bit layout: B, G, R and an unused byte.
void DecodeRgb32(const Source& src, const Layout& l, Bitmap& out) {
  for (int r = 0; r < l.rows; ++r) {
    const std::uint8_t* s = FileRow(src, l, r);
    std::uint8_t* d = PictureRow(out, l, r);
    for (int x = 0; x < l.columns; ++x) std::memcpy(d + 3 * x, s + 4 * x, 3);
  }
}

// One colour channel of a masked pixel. Its n-bit value v widens to round(v * 255 / (2^n - 1)),
// which the reference pictures of masked files agree with (taking the top 8 bits does not).
struct Channel {
  unsigned shift = 0;
  std::uint32_t max = 0;                  // 2^n - 1
  std::array<std::uint8_t, 256> widen{};  // the results for n <= 8
};

Channel MakeChannel(const Source& src, std::uint32_t mask) {
  Channel c;
  if (mask == 0) return c;  // an absent channel reads as 0
  while (!((mask >> c.shift) & 1)) ++c.shift;
  c.max = mask >> c.shift;
  if (c.max & (std::uint64_t{c.max} + 1)) Fail(src, "colour mask with gaps between its bits");
  if (c.max > 255) return c;
  for (std::uint32_t v = 0; v <= c.max; ++v)
    c.widen[v] = static_cast<std::uint8_t>((v * 255 + c.max / 2) / c.max);
  return c;
}

std::uint8_t Widen(const Channel& c, std::uint32_t pixel) {
  const std::uint32_t v = (pixel >> c.shift) & c.max;
  if (c.max <= 255) return c.widen[v];
  return static_cast<std::uint8_t>((std::uint64_t{v} * 255 + c.max / 2) / c.max);
}

template <unsigned kBytes>
void MaskedRow(const std::uint8_t* s, std::size_t width, const std::array<Channel, 3>& ch,
               std::uint8_t* d) {
  for (std::size_t x = 0; x < width; ++x, s += kBytes, d += 3) {
    const std::uint32_t p = kBytes == 2 ? Le16(s) : Le32(s);
    d[0] = Widen(ch[2], p);
    d[1] = Widen(ch[1], p);
    d[2] = Widen(ch[0], p);
  }
}

void DecodeMasked(const Source& src, const Layout& l, Bitmap& out) {
  const std::array<Channel, 3> ch = {MakeChannel(src, l.masks[0]), MakeChannel(src, l.masks[1]),
                                     MakeChannel(src, l.masks[2])};
  const auto row = l.bpp == 16 ? MaskedRow<2> : MaskedRow<4>;
  for (int r = 0; r < l.rows; ++r) row(FileRow(src, l, r), l.columns, ch, PictureRow(out, l, r));
}

// Decoding state of an RLE stream; rows count from the bottom, the only order RLE allows.
struct Rle {
  const Source& src;
  const Layout& l;
  const Palette& pal;
  Bitmap* out;  // null on the checking walk: pixels then land in scratch
  std::size_t pos;
  std::int64_t x = 0;
  std::int64_t row = 0;
  std::uint8_t scratch[3] = {};
};

std::uint8_t Byte(Rle& s) {
  if (s.pos >= s.src.size) Fail(s.src, "RLE data is truncated");
  return s.src.data[s.pos++];
}

std::uint8_t* Target(Rle& s) {
  if (s.x >= s.l.columns || s.row >= s.l.rows)
    Fail(s.src, "bad RLE data (pixels outside the picture)");
  const std::int64_t x = s.x++;
  if (!s.out) return s.scratch;
  return s.out->Row(static_cast<int>(s.l.rows - 1 - s.row)) + 3 * x;
}

void PutIndex(Rle& s, unsigned i) {
  if (i >= s.pal.count) FailIndex(s.src, s.pal);
  std::memcpy(Target(s), &s.pal.bgr[3 * i], 3);
}

// n pixels of one value: a byte, two alternating nibbles, or a B, G, R triple.
void Run(Rle& s, unsigned n) {
  if (s.l.coding == Coding::kRle24) {
    const std::uint8_t bgr[3] = {Byte(s), Byte(s), Byte(s)};
    for (unsigned i = 0; i < n; ++i) std::memcpy(Target(s), bgr, 3);
    return;
  }
  const unsigned v = Byte(s);
  const bool nibbles = s.l.coding == Coding::kRle4;
  for (unsigned i = 0; i < n; ++i) PutIndex(s, !nibbles ? v : i % 2 ? v & 15 : v >> 4);
}

// n pixels stored one by one, padded to an even number of bytes.
void Literal(Rle& s, unsigned n) {
  const std::size_t start = s.pos;
  if (s.l.coding == Coding::kRle24) {
    for (unsigned i = 0; i < n; ++i) {
      const std::uint8_t bgr[3] = {Byte(s), Byte(s), Byte(s)};
      std::memcpy(Target(s), bgr, 3);
    }
  } else if (s.l.coding == Coding::kRle4) {
    unsigned v = 0;
    for (unsigned i = 0; i < n; ++i) {
      if (i % 2 == 0) v = Byte(s);
      PutIndex(s, i % 2 ? v & 15 : v >> 4);
    }
  } else {
    for (unsigned i = 0; i < n; ++i) PutIndex(s, Byte(s));
  }
  if ((s.pos - start) % 2) Byte(s);
}

// Pixels the stream skips stay black, as Bitmap::Resize leaves them. With out null the stream
// is only checked; a stream that passes decodes the same way into a picture.
void DecodeRle(const Source& src, const Layout& l, const Palette& pal, Bitmap* out) {
  Rle s{src, l, pal, out, static_cast<std::size_t>(l.pixel_offset)};
  for (;;) {
    const unsigned n = Byte(s);
    if (n > 0) {
      Run(s, n);
      continue;
    }
    const unsigned op = Byte(s);
    if (op == 0) {  // end of line
      s.x = 0;
      ++s.row;
    } else if (op == 1) {  // end of picture
      return;
    } else if (op == 2) {  // move right and up
      s.x += Byte(s);
      s.row += Byte(s);
    } else {
      Literal(s, op);
    }
  }
}

Layout ReadLayout(const Source& src) {
  Layout l;
  ReadHeaderSize(src, l);
  ReadHeaderFields(src, l);
  l.coding = SelectCoding(src, l);
  ReadMasks(src, l);
  CheckDimensions(src, l);
  CheckPixelData(src, l);
  return l;
}

}  // namespace

Bitmap DecodeBmp(const std::uint8_t* data, std::size_t size, const std::string& name) {
  const Source src{data, size, name};
  const Layout l = ReadLayout(src);
  const Palette pal = ReadPalette(src, l);
  if (IsRle(l.coding)) DecodeRle(src, l, pal, nullptr);
  Bitmap out(l.columns, l.rows);
  if (IsRle(l.coding))
    DecodeRle(src, l, pal, &out);
  else if (l.bpp <= 8)
    DecodeIndexed(src, l, pal, out);
  else if (l.bpp == 24)
    DecodeRgb24(src, l, out);
  else if (l.bpp == 32 && l.coding == Coding::kPlain)
    DecodeRgb32(src, l, out);
  else
    DecodeMasked(src, l, out);
  return out;
}

}  // namespace morvik
