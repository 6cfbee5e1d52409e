// Decoding reads and checks the whole header, makes sure the file holds enough data for the
// picture it claims, and only then allocates the picture and fills it.
#include "image/pnm_reader.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/error.h"
#include "image/picture_limits.h"

namespace morvik {
namespace {

constexpr std::uint64_t kMaxMaxval = 65535;
// Header numbers stop growing here; anything this large is refused by the size cap anyway.
constexpr std::uint64_t kNumberLimit = std::uint64_t{1} << 40;

struct Cursor {
  const std::uint8_t* data;
  std::size_t size;
  std::size_t pos;
  const std::string& name;
  bool AtEnd() const { return pos >= size; }
  std::uint8_t Peek() const { return data[pos]; }
};

struct Header {
  char kind = 0;  // '1' to '6'
  std::int64_t width = 0;
  std::int64_t height = 0;
  std::uint32_t maxval = 1;
};

[[noreturn]] void Fail(const Cursor& c, const std::string& problem) {
  throw FileError(c.name, problem);
}

[[noreturn]] void FailHeader(const Cursor& c, const std::string& problem) {
  Fail(c, "bad PNM header (" + problem + ")");
}

[[noreturn]] void FailShort(const Cursor& c) {
  Fail(c, "file is truncated (pixel data ends early)");
}

bool IsSpace(std::uint8_t ch) {
  return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r' || ch == '\v' || ch == '\f';
}

bool IsDigit(std::uint8_t ch) {
  return ch >= '0' && ch <= '9';
}

void SkipComment(Cursor& c) {
  while (!c.AtEnd() && c.Peek() != '\n' && c.Peek() != '\r') ++c.pos;
}

// Whitespace and comments, which may stand between any two header fields or plain samples.
void SkipSpace(Cursor& c) {
  while (!c.AtEnd()) {
    if (c.Peek() == '#')
      SkipComment(c);
    else if (IsSpace(c.Peek()))
      ++c.pos;
    else
      return;
  }
}

std::uint64_t Digits(Cursor& c) {
  std::uint64_t v = 0;
  while (!c.AtEnd() && IsDigit(c.Peek())) {
    v = std::min(v * 10 + (c.Peek() - '0'), kNumberLimit);
    ++c.pos;
  }
  return v;
}

std::uint64_t HeaderNumber(Cursor& c, const char* what) {
  SkipSpace(c);
  if (c.AtEnd()) FailHeader(c, std::string("ends before the ") + what);
  if (!IsDigit(c.Peek())) FailHeader(c, std::string(what) + " is not a number");
  const std::uint64_t v = Digits(c);
  if (!c.AtEnd() && !IsSpace(c.Peek()) && c.Peek() != '#')
    FailHeader(c, std::string(what) + " is not a number");
  return v;
}

// The one whitespace character that ends the header of a binary picture; a comment may come
// before it.
void EndOfHeader(Cursor& c) {
  if (!c.AtEnd() && c.Peek() == '#') SkipComment(c);
  if (c.AtEnd()) FailShort(c);
  ++c.pos;  // HeaderNumber made sure it is whitespace
}

bool IsBitmap(char kind) {
  return kind == '1' || kind == '4';
}
bool IsPlain(char kind) {
  return kind <= '3';
}
unsigned Channels(char kind) {
  return kind == '3' || kind == '6' ? 3 : 1;
}

Header ReadHeader(Cursor& c) {
  Header h;
  h.kind = static_cast<char>(c.data[1]);
  c.pos = 2;
  if (!c.AtEnd() && !IsSpace(c.Peek()) && c.Peek() != '#')
    FailHeader(c, "no whitespace after the magic number");
  const std::uint64_t width = HeaderNumber(c, "width");
  const std::uint64_t height = HeaderNumber(c, "height");
  if (!IsBitmap(h.kind)) {
    const std::uint64_t maxval = HeaderNumber(c, "maxval");
    if (maxval == 0 || maxval > kMaxMaxval)
      FailHeader(c, "maxval " + std::to_string(maxval) + ", must be 1 to 65535");
    h.maxval = static_cast<std::uint32_t>(maxval);
  }
  CheckPictureSize(static_cast<std::int64_t>(width), static_cast<std::int64_t>(height), c.name);
  h.width = static_cast<std::int64_t>(width);
  h.height = static_cast<std::int64_t>(height);
  if (!IsPlain(h.kind)) EndOfHeader(c);
  return h;
}

// The fewest bytes that can hold the pixels: binary data exactly, plain samples one digit
// each, separated by whitespace except in PBM.
std::uint64_t LeastDataBytes(const Header& h) {
  const std::uint64_t w = static_cast<std::uint64_t>(h.width);
  const std::uint64_t samples = w * static_cast<std::uint64_t>(h.height) * Channels(h.kind);
  if (h.kind == '4') return (w + 7) / 8 * static_cast<std::uint64_t>(h.height);
  if (h.kind == '1') return samples;
  if (IsPlain(h.kind)) return 2 * samples - 1;
  return samples * (h.maxval > 255 ? 2 : 1);
}

// Sample v widened to 0..255 for every v up to maxval.
std::vector<std::uint8_t> WideningTable(std::uint32_t maxval) {
  std::vector<std::uint8_t> table(maxval + 1);
  for (std::uint32_t v = 0; v <= maxval; ++v)
    table[v] = static_cast<std::uint8_t>((std::uint64_t{v} * 255 + maxval / 2) / maxval);
  return table;
}

[[noreturn]] void FailSample(const Cursor& c, std::uint64_t v, std::uint32_t maxval) {
  Fail(c, "bad pixel data (sample " + std::to_string(v) + " above maxval " +
              std::to_string(maxval) + ")");
}

void PutPixel(std::uint8_t* d, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  d[0] = b;
  d[1] = g;
  d[2] = r;
}

void PutGrey(std::uint8_t* d, std::uint8_t v) {
  PutPixel(d, v, v, v);
}

unsigned PlainBit(Cursor& c) {
  SkipSpace(c);
  if (c.AtEnd()) FailShort(c);
  const std::uint8_t ch = c.data[c.pos++];
  if (ch != '0' && ch != '1') Fail(c, "bad pixel data (a PBM pixel must be 0 or 1)");
  return ch - '0';
}

std::uint8_t PlainSample(Cursor& c, std::uint32_t maxval, const std::vector<std::uint8_t>& table) {
  SkipSpace(c);
  if (c.AtEnd()) FailShort(c);
  if (!IsDigit(c.Peek())) Fail(c, "bad pixel data (not a number)");
  const std::uint64_t v = Digits(c);
  if (v > maxval) FailSample(c, v, maxval);
  return table[v];
}

void DecodePlain(Cursor& c, const Header& h, Bitmap& out) {
  const std::vector<std::uint8_t> table = WideningTable(h.maxval);
  for (int y = 0; y < out.Height(); ++y) {
    std::uint8_t* d = out.Row(y);
    for (int x = 0; x < out.Width(); ++x, d += 3) {
      if (h.kind == '1') {
        PutGrey(d, PlainBit(c) ? 0 : 255);
      } else if (h.kind == '2') {
        PutGrey(d, PlainSample(c, h.maxval, table));
      } else {
        const std::uint8_t r = PlainSample(c, h.maxval, table);
        const std::uint8_t g = PlainSample(c, h.maxval, table);
        PutPixel(d, r, g, PlainSample(c, h.maxval, table));
      }
    }
  }
}

void DecodeBits(const Cursor& c, Bitmap& out) {
  const std::size_t stride = (static_cast<std::size_t>(out.Width()) + 7) / 8;
  for (int y = 0; y < out.Height(); ++y) {
    const std::uint8_t* s = c.data + c.pos + stride * static_cast<std::size_t>(y);
    std::uint8_t* d = out.Row(y);
    for (int x = 0; x < out.Width(); ++x, d += 3)
      PutGrey(d, (s[x / 8] >> (7 - x % 8)) & 1 ? 0 : 255);
  }
}

// n grey bytes as n pixels of three equal bytes, rows following each other in both. Each
// pixel is stored as four bytes, the fourth written over by the next pixel (one store
// instead of three); the last is stored byte by byte, at the end of the pixels.
void SpreadGrey(const std::uint8_t* s, std::size_t n, std::uint8_t* d) {
  if (n == 0) return;
  for (std::size_t x = 0; x + 1 < n; ++x, d += 3) {
    const std::uint32_t four = s[x] * 0x01010101u;
    std::memcpy(d, &four, sizeof four);
  }
  d[0] = d[1] = d[2] = s[n - 1];
}

// Binary grey or colour samples of one or two bytes.
void DecodeSamples(const Cursor& c, const Header& h, Bitmap& out) {
  const std::vector<std::uint8_t> table = WideningTable(h.maxval);
  const bool wide = h.maxval > 255;
  const std::size_t count = static_cast<std::size_t>(out.Width()) * Channels(h.kind);
  const std::uint8_t* s = c.data + c.pos;
  // Bytes of maxval 255, the usual grey picture: every byte is its own sample, within range.
  if (h.maxval == 255 && Channels(h.kind) == 1) {
    SpreadGrey(s, count * static_cast<std::size_t>(out.Height()), out.Row(0));
    return;
  }
  // Colour bytes of maxval 255, the usual screenshot: each pixel's three bytes turned
  // around, with no sample to check or widen.
  if (h.maxval == 255 && Channels(h.kind) == 3) {
    for (int y = 0; y < out.Height(); ++y, s += count) {
      std::uint8_t* d = out.Row(y);
      for (std::size_t x = 0; x < count; x += 3) PutPixel(d + x, s[x], s[x + 1], s[x + 2]);
    }
    return;
  }
  std::vector<std::uint8_t> row(count);
  for (int y = 0; y < out.Height(); ++y) {
    for (std::size_t i = 0; i < count; ++i, s += wide ? 2 : 1) {
      const std::uint32_t v = wide ? std::uint32_t{s[0]} << 8 | s[1] : s[0];
      if (v > h.maxval) FailSample(c, v, h.maxval);
      row[i] = table[v];
    }
    std::uint8_t* d = out.Row(y);
    if (Channels(h.kind) == 1)
      for (std::size_t x = 0; x < count; ++x) PutGrey(d + 3 * x, row[x]);
    else
      for (std::size_t x = 0; x < count; x += 3) PutPixel(d + x, row[x], row[x + 1], row[x + 2]);
  }
}

}  // namespace

bool HasPnmSignature(const std::uint8_t* data, std::size_t size) {
  return size >= 2 && data[0] == 'P' && data[1] >= '1' && data[1] <= '6';
}

namespace {

// The header, checked, and the data checked to be long enough for it.
Header CheckedHeader(Cursor& c) {
  if (!HasPnmSignature(c.data, c.size)) Fail(c, "not a PBM, PGM or PPM file");
  const Header h = ReadHeader(c);
  if (LeastDataBytes(h) > c.size - c.pos) FailShort(c);
  return h;
}

}  // namespace

bool DecodePnmGrey(const std::uint8_t* data, std::size_t size, const std::string& name, int& width,
                   int& height, std::vector<std::uint8_t>& pixels) {
  if (!HasPnmSignature(data, size) || data[1] != '5') return false;
  Cursor c{data, size, 0, name};
  const Header h = CheckedHeader(c);
  if (h.maxval != 255) return false;
  width = static_cast<int>(h.width);
  height = static_cast<int>(h.height);
  pixels.assign(data + c.pos, data + c.pos + h.width * h.height);
  return true;
}

Bitmap DecodePnm(const std::uint8_t* data, std::size_t size, const std::string& name) {
  Cursor c{data, size, 0, name};
  const Header h = CheckedHeader(c);
  Bitmap out(static_cast<int>(h.width), static_cast<int>(h.height));
  if (IsPlain(h.kind))
    DecodePlain(c, h, out);
  else if (h.kind == '4')
    DecodeBits(c, out);
  else
    DecodeSamples(c, h, out);
  return out;
}

}  // namespace morvik
