// Tests of the BMP reader: the public BMP test suite against its reference pictures, and
// hand-made files for the cases the suite leaves out or that must fail in a particular way.
#include "image/bmp_reader.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core/error.h"
#include "image/picture_file.h"
#include "png_util.h"
#include "test_util.h"

namespace morvik {
namespace {

// A BMP file read as the picture reader reads every file, then decoded.
Bitmap ReadBmp(const std::string& path) {
  const std::vector<std::uint8_t> bytes = ReadPictureBytes(path);
  return DecodeBmp(bytes.data(), bytes.size(), path);
}

const std::string kSuite = MORVIK_BMPSUITE_DIR;

// ---------------------------------------------------------------------------------------------
// The suite

struct ManifestEntry {
  std::string path;
  std::string ref;
};

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> fields;
  std::stringstream in(line);
  for (std::string f; std::getline(in, f, '\t');) fields.push_back(f);
  return fields;
}

std::vector<ManifestEntry> ReadManifest() {
  std::ifstream in(kSuite + "/MANIFEST.tsv");
  if (!in) ADD_FAILURE() << "the BMP suite is missing: cannot read " << kSuite << "/MANIFEST.tsv";
  std::string line;
  std::getline(in, line);
  const std::vector<std::string> names = SplitTabs(line);
  auto column = [&](const char* name) {
    return std::find(names.begin(), names.end(), name) - names.begin();
  };
  const auto path = column("path"), ref = column("ref");
  std::vector<ManifestEntry> entries;
  while (std::getline(in, line)) {
    const std::vector<std::string> f = SplitTabs(line);
    if (f.size() == names.size()) entries.push_back({f[path], f[ref]});
  }
  return entries;
}

// Compares with the reference picture wherever the reference is not fully transparent (what a
// transparent pixel hides is arbitrary); at least 90% of the pixels must take part.
testing::AssertionResult MatchesPng(const Bitmap& b, const std::string& png, int tolerance) {
  test::RgbaImage ref;
  if (!test::ReadPng(kSuite + "/" + png, ref)) return testing::AssertionFailure() << "no " << png;
  if (ref.width != b.Width() || ref.height != b.Height())
    return testing::AssertionFailure() << "size " << b.Width() << "x" << b.Height() << ", " << png
                                       << " is " << ref.width << "x" << ref.height;
  int compared = 0;
  for (int y = 0; y < b.Height(); ++y) {
    for (int x = 0; x < b.Width(); ++x) {
      const std::uint8_t* r = &ref.rgba[4 * (static_cast<std::size_t>(y) * ref.width + x)];
      if (r[3] == 0) continue;
      ++compared;
      const Colour c = b.Pixel(x, y);
      if (std::abs(RedOf(c) - r[0]) > tolerance || std::abs(GreenOf(c) - r[1]) > tolerance ||
          std::abs(BlueOf(c) - r[2]) > tolerance)
        return testing::AssertionFailure()
               << "pixel (" << x << ", " << y << ") is " << RedOf(c) << " " << GreenOf(c) << " "
               << BlueOf(c) << ", " << png << " has " << int{r[0]} << " " << int{r[1]} << " "
               << int{r[2]};
    }
  }
  if (compared < b.Width() * b.Height() * 9 / 10)
    return testing::AssertionFailure() << "only " << compared << " opaque pixels in " << png;
  return testing::AssertionSuccess();
}

TEST(BmpSuite, GoodFilesMatchTheirReference) {
  int checked = 0;
  for (const ManifestEntry& e : ReadManifest()) {
    if (e.path.rfind("g/", 0) != 0) continue;
    SCOPED_TRACE(e.path);
    // The reference of the non-square-pixel file is stretched for display; this one is not.
    const std::string ref = e.path == "g/pal8nonsquare.bmp" ? "html/pal8nonsquare-e.png" : e.ref;
    try {
      EXPECT_TRUE(MatchesPng(ReadBmp(kSuite + "/" + e.path), ref, 0));
    } catch (const Error& error) {
      ADD_FAILURE() << error.what();
    }
    ++checked;
  }
  EXPECT_EQ(checked, 27);
}

enum class Outcome { kMatches, kDecodes, kRefused };

struct Expectation {
  Outcome outcome;
  // kMatches: the reference picture ("" = the manifest's) and the largest channel difference;
  // kRefused: words the error message must contain.
  std::string detail;
  int tolerance = 0;
};

// What the reader does with every questionable, bad and related file, so that any change of
// behaviour shows. Skipped RLE pixels are black: the "-b" references.
const std::map<std::string, Expectation>& Expectations() {
  static const std::map<std::string, Expectation> table = {
      {"q/pal1huffmsb.bmp", {Outcome::kRefused, "unsupported compression (OS/2 Huffman)"}},
      {"q/pal1p1.bmp", {Outcome::kMatches, ""}},
      {"q/pal2.bmp", {Outcome::kMatches, ""}},
      {"q/pal2color.bmp", {Outcome::kMatches, ""}},
      {"q/pal4rlecut.bmp", {Outcome::kMatches, "html/pal4rlecut-b.png"}},
      {"q/pal4rletrns.bmp", {Outcome::kMatches, "html/pal4rletrns-b.png"}},
      {"q/pal8offs.bmp", {Outcome::kMatches, ""}},
      {"q/pal8os2-hs.bmp", {Outcome::kMatches, ""}},
      {"q/pal8os2-sz.bmp", {Outcome::kMatches, ""}},
      {"q/pal8os2sp.bmp", {Outcome::kMatches, ""}},
      {"q/pal8os2v2-16.bmp", {Outcome::kMatches, ""}},
      {"q/pal8os2v2-40sz.bmp", {Outcome::kMatches, ""}},
      {"q/pal8os2v2-sz.bmp", {Outcome::kMatches, ""}},
      {"q/pal8os2v2.bmp", {Outcome::kMatches, ""}},
      {"q/pal8oversizepal.bmp", {Outcome::kMatches, ""}},
      {"q/pal8rlecut.bmp", {Outcome::kMatches, "html/pal8rlecut-b.png"}},
      {"q/pal8rletrns.bmp", {Outcome::kMatches, "html/pal8rletrns-b.png"}},
      {"q/rgb16-231.bmp", {Outcome::kMatches, ""}},
      {"q/rgb16-3103.bmp", {Outcome::kMatches, ""}},
      {"q/rgb16faketrns.bmp", {Outcome::kMatches, ""}},
      {"q/rgb24jpeg.bmp", {Outcome::kRefused, "unsupported compression (embedded JPEG)"}},
      {"q/rgb24largepal.bmp", {Outcome::kMatches, ""}},
      {"q/rgb24lprof.bmp", {Outcome::kMatches, ""}},
      {"q/rgb24png.bmp", {Outcome::kRefused, "unsupported compression (embedded PNG)"}},
      {"q/rgb24rle24.bmp", {Outcome::kMatches, ""}},
      // The reference is the 8-bit original that the 11/11/10-bit values were scaled from.
      {"q/rgb32-111110.bmp", {Outcome::kMatches, "", 1}},
      {"q/rgb32-7187.bmp", {Outcome::kMatches, ""}},
      {"q/rgb32-xbgr.bmp", {Outcome::kMatches, ""}},
      {"q/rgb32fakealpha.bmp", {Outcome::kMatches, ""}},
      {"q/rgb32h52.bmp", {Outcome::kMatches, ""}},
      {"q/rgba16-1924.bmp", {Outcome::kMatches, ""}},
      {"q/rgba16-4444.bmp", {Outcome::kMatches, ""}},
      {"q/rgba16-5551.bmp", {Outcome::kMatches, ""}},
      {"q/rgba32-1.bmp", {Outcome::kMatches, ""}},
      {"q/rgba32-1010102.bmp", {Outcome::kMatches, ""}},
      {"q/rgba32-2.bmp", {Outcome::kMatches, ""}},
      {"q/rgba32-61754.bmp", {Outcome::kMatches, ""}},
      {"q/rgba32-81284.bmp", {Outcome::kMatches, ""}},
      {"q/rgba32abf.bmp", {Outcome::kMatches, ""}},
      {"q/rgba32h56.bmp", {Outcome::kMatches, ""}},
      {"q/rgba64.bmp", {Outcome::kRefused, "unsupported bit depth (64 bits per pixel)"}},
      {"x/ba-bm.bmp", {Outcome::kMatches, ""}},
      {"b/badbitcount.bmp", {Outcome::kRefused, "unsupported bit depth (30000 bits per pixel)"}},
      // Wrong fields that a reader has no use for: the picture is that of g/pal1.bmp.
      {"b/badbitssize.bmp", {Outcome::kMatches, "html/pal1.png"}},
      {"b/baddens1.bmp", {Outcome::kMatches, "html/pal1.png"}},
      {"b/baddens2.bmp", {Outcome::kMatches, "html/pal1.png"}},
      {"b/badfilesize.bmp", {Outcome::kMatches, "html/pal1.png"}},
      {"b/badheadersize.bmp", {Outcome::kRefused, "unknown picture header size (66 bytes)"}},
      {"b/badpalettesize.bmp", {Outcome::kRefused, "implausible palette size"}},
      {"b/badplanes.bmp", {Outcome::kRefused, "bad number of colour planes"}},
      {"b/badrle.bmp", {Outcome::kRefused, "bad RLE data"}},
      {"b/badrle4.bmp", {Outcome::kRefused, "bad RLE data"}},
      {"b/badrle4bis.bmp", {Outcome::kRefused, "bad RLE data"}},
      {"b/badrle4ter.bmp", {Outcome::kRefused, "bad RLE data"}},
      {"b/badrlebis.bmp", {Outcome::kRefused, "bad RLE data"}},
      {"b/badrleter.bmp", {Outcome::kRefused, "bad RLE data"}},
      {"b/badwidth.bmp", {Outcome::kRefused, "negative width"}},
      {"b/pal8badindex.bmp", {Outcome::kRefused, "palette index out of range"}},
      {"b/reallybig.bmp", {Outcome::kRefused, "picture too large (3000000 x 2000000 pixels)"}},
      {"b/rgb16-880.bmp", {Outcome::kMatches, "html/rgb16-880.png"}},
      {"b/rletopdown.bmp", {Outcome::kRefused, "top-down"}},
      {"b/shortfile.bmp", {Outcome::kRefused, "file is truncated"}},
  };
  return table;
}

void CheckOutcome(const std::string& path, const std::string& manifest_ref, const Expectation& e) {
  const std::string file = kSuite + "/" + path;
  try {
    const Bitmap b = ReadBmp(file);
    ASSERT_NE(e.outcome, Outcome::kRefused) << "decoded, expected: " << e.detail;
    if (e.outcome == Outcome::kMatches) {
      EXPECT_TRUE(MatchesPng(b, e.detail.empty() ? manifest_ref : e.detail, e.tolerance));
    }
  } catch (const Error& error) {
    const std::string message = error.what();
    ASSERT_EQ(e.outcome, Outcome::kRefused) << message;
    EXPECT_EQ(message.rfind(file + ": ", 0), 0u) << message;
    EXPECT_NE(message.find(e.detail), std::string::npos) << message;
  }
}

TEST(BmpSuite, OtherFilesBehaveAsRecorded) {
  std::size_t listed = 0;
  for (const ManifestEntry& m : ReadManifest()) {
    if (m.path.rfind("g/", 0) == 0) continue;
    SCOPED_TRACE(m.path);
    const auto e = Expectations().find(m.path);
    ASSERT_NE(e, Expectations().end()) << "a suite file with no recorded outcome";
    CheckOutcome(m.path, m.ref, e->second);
    ++listed;
  }
  EXPECT_EQ(listed, Expectations().size()) << "recorded outcomes of files not in the suite";
}

// ---------------------------------------------------------------------------------------------
// Hand-made files

void Put(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

struct BmpParts {
  std::uint32_t header_size = 40;
  std::int32_t width = 1;
  std::int32_t height = 1;
  std::uint32_t bpp = 24;
  std::uint32_t compression = 0;
  std::vector<std::uint32_t> masks;   // after a 40-byte header, inside a larger one
  std::vector<std::uint8_t> palette;  // entries as stored
  std::vector<std::uint8_t> pixels;   // as stored, rows padded
  std::uint32_t planes = 1;
  std::int64_t pixel_offset = -1;  // -1: right after the palette
};

BmpParts Parts(std::uint32_t header_size, std::int32_t width, std::int32_t height,
               std::uint32_t bpp, std::uint32_t compression, std::vector<std::uint8_t> palette,
               std::vector<std::uint8_t> pixels, std::vector<std::uint32_t> masks = {}) {
  BmpParts p;
  p.header_size = header_size;
  p.width = width;
  p.height = height;
  p.bpp = bpp;
  p.compression = compression;
  p.palette = std::move(palette);
  p.pixels = std::move(pixels);
  p.masks = std::move(masks);
  return p;
}

std::vector<std::uint8_t> MakeBmp(const BmpParts& p) {
  std::vector<std::uint8_t> b(14 + p.header_size);
  b[0] = 'B';
  b[1] = 'M';
  Put(b, 14, p.header_size, 4);
  const bool core = p.header_size == 12;
  const int field = core ? 2 : 4;
  Put(b, 18, static_cast<std::uint32_t>(p.width), field);
  Put(b, 18 + field, static_cast<std::uint32_t>(p.height), field);
  Put(b, 18 + 2 * field, p.planes, 2);
  Put(b, 20 + 2 * field, p.bpp, 2);
  if (!core) Put(b, 30, p.compression, 4);
  for (std::size_t i = 0; i < p.masks.size(); ++i) {
    if (p.header_size == 40) b.resize(b.size() + 4);
    Put(b, 54 + 4 * i, p.masks[i], 4);
  }
  b.insert(b.end(), p.palette.begin(), p.palette.end());
  Put(b, 10, static_cast<std::uint32_t>(p.pixel_offset < 0 ? b.size() : p.pixel_offset), 4);
  b.insert(b.end(), p.pixels.begin(), p.pixels.end());
  Put(b, 2, static_cast<std::uint32_t>(b.size()), 4);
  return b;
}

Bitmap Decode(const std::vector<std::uint8_t>& bytes) {
  return DecodeBmp(bytes.data(), bytes.size(), "hand.bmp");
}

// The error message for bytes, or "decoded".
std::string Refusal(const std::vector<std::uint8_t>& bytes) {
  try {
    Decode(bytes);
    return "decoded";
  } catch (const Error& e) {
    return e.what();
  }
}

// Palette of the RLE and index cases: entry 0 is deliberately not black.
const std::vector<std::uint8_t> kPalette = {255, 0,   255, 0, 0,   0, 255, 0,
                                            0,   255, 0,   0, 255, 0, 0,   0};

// A picture as letters, top row first: k black, p purple, r red, g green, b blue.
std::vector<std::string> Letters(const Bitmap& b) {
  const std::map<Colour, char> names = {{MakeColour(0, 0, 0), 'k'},
                                        {MakeColour(255, 0, 255), 'p'},
                                        {MakeColour(255, 0, 0), 'r'},
                                        {MakeColour(0, 255, 0), 'g'},
                                        {MakeColour(0, 0, 255), 'b'}};
  std::vector<std::string> rows(b.Height(), std::string(b.Width(), '?'));
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) {
      const auto n = names.find(b.Pixel(x, y));
      if (n != names.end()) rows[y][x] = n->second;
    }
  return rows;
}

struct PictureCase {
  const char* what;
  BmpParts parts;
  std::vector<std::string> expected;
};

TEST(BmpReader, DecodesHandMadePictures) {
  using V = std::vector<std::uint8_t>;
  const std::vector<PictureCase> cases = {
      {"24-bit bottom-up: the first stored row is the bottom one",
       Parts(40, 1, 2, 24, 0, {}, V{0, 0, 255, 0, 255, 0, 0, 0}),
       {"b", "r"}},
      {"24-bit top-down", Parts(40, 1, -2, 24, 0, {}, V{0, 0, 255, 0, 255, 0, 0, 0}), {"r", "b"}},
      {"1-bit: leftmost pixel in the high bit, rows padded to 4 bytes",
       Parts(40, 10, 2, 1, 0, kPalette, V{0x80, 0x40, 0, 0, 0x01, 0x80, 0, 0}),
       {"ppppppprrp", "rppppppppr"}},
      {"4-bit", Parts(40, 3, 1, 4, 0, kPalette, V{0x12, 0x30, 0, 0}), {"rgb"}},
      {"12-byte OS/2 header: 3-byte palette entries",
       Parts(12, 2, 1, 8, 0, V{0, 0, 255, 0, 255, 0}, V{1, 0, 0, 0}),
       {"gr"}},
      {"RLE8: a delta leaves black pixels, not palette entry 0",
       Parts(40, 4, 2, 8, 1, kPalette, V{2, 1, 0, 2, 1, 1, 1, 2, 0, 1}),
       {"kkkg", "rrkk"}},
      {"RLE8: early end of line and end of picture leave black pixels",
       Parts(40, 4, 3, 8, 1, kPalette, V{1, 1, 0, 0, 4, 3, 0, 1}),
       {"kkkk", "bbbb", "rkkk"}},
      {"RLE8: literal pixels padded to an even length",
       Parts(40, 4, 2, 8, 1, kPalette, V{0, 3, 1, 2, 3, 0, 1, 0, 0, 0, 4, 2, 0, 1}),
       {"gggg", "rgbp"}},
      {"RLE4: runs alternate two nibbles; literals are padded",
       Parts(40, 5, 2, 4, 2, kPalette, V{5, 0x12, 0, 0, 0, 5, 0x12, 0x30, 0x10, 0, 0, 1}),
       {"rgbpr", "rgrgr"}},
      {"OS/2 RLE24: runs and literals of B, G, R triples",
       Parts(64, 5, 1, 24, 4, {}, V{2, 255, 0, 0, 0, 3, 0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 1}),
       {"bbrgb"}},
  };
  for (const PictureCase& c : cases) {
    SCOPED_TRACE(c.what);
    try {
      EXPECT_EQ(Letters(Decode(MakeBmp(c.parts))), c.expected);
    } catch (const Error& e) {
      ADD_FAILURE() << e.what();
    }
  }
}

struct MaskCase {
  const char* what;
  std::uint32_t header_size;
  std::uint32_t bpp;
  std::uint32_t compression;  // 0: default masks, the red, green and blue ones are not stored
  std::uint32_t red, green, blue;
  std::uint32_t pixel;
  Colour expected;
};

TEST(BmpReader, WidensMaskedChannelsWithRounding) {
  const std::vector<MaskCase> cases = {
      {"5-6-5: 5 bits 3 -> 25, 6 bits 1 -> 4", 40, 16, 3, 0xF800, 0x07E0, 0x001F,
       3u << 11 | 1u << 5 | 31, MakeColour(25, 4, 255)},
      {"16 bits default 5-5-5, top bit unused", 40, 16, 0, 0, 0, 0, 3u << 10 | 31u << 5 | 0x8000,
       MakeColour(25, 255, 0)},
      {"10 bits: 3 -> 1 (the top 8 bits would give 0)", 40, 32, 3, 0x3FF00000, 0x000FFC00,
       0x000003FF, 3u << 20 | 1u << 10 | 1023, MakeColour(1, 0, 255)},
      {"a mask of 0 gives 0", 40, 32, 3, 0xFF0000, 0xFF00, 0, 0xFFFFFFFF, MakeColour(255, 255, 0)},
      {"a 32-bit mask", 40, 32, 3, 0xFFFFFFFF, 0, 0, 0x80000000, MakeColour(128, 0, 0)},
      {"masks inside a V4 header", 108, 16, 3, 0x000F, 0x00F0, 0x0F00, 0x0F81,
       MakeColour(17, 136, 255)},
      {"32 bits default: the fourth byte is ignored", 40, 32, 0, 0, 0, 0, 0xFF204080,
       MakeColour(0x20, 0x40, 0x80)},
  };
  for (const MaskCase& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::uint32_t> masks;
    if (c.compression != 0) masks = {c.red, c.green, c.blue};
    BmpParts parts =
        Parts(c.header_size, 1, 1, c.bpp, c.compression, {}, std::vector<std::uint8_t>(4), masks);
    Put(parts.pixels, 0, c.pixel, c.bpp / 8);
    try {
      EXPECT_EQ(Decode(MakeBmp(parts)).Pixel(0, 0), c.expected);
    } catch (const Error& e) {
      ADD_FAILURE() << e.what();
    }
  }
}

struct RefusalCase {
  const char* what;
  std::vector<std::uint8_t> bytes;
  const char* problem;
};

std::vector<std::uint8_t> Rle8(int width, int height, std::vector<std::uint8_t> stream) {
  return MakeBmp(Parts(40, width, height, 8, 1, kPalette, stream));
}

std::vector<std::uint8_t> Rgb24(int width, int height, std::size_t pixel_bytes) {
  return MakeBmp(Parts(40, width, height, 24, 0, {}, std::vector<std::uint8_t>(pixel_bytes)));
}

std::vector<std::uint8_t> Cut(std::vector<std::uint8_t> bytes, std::size_t n) {
  bytes.resize(bytes.size() - n);
  return bytes;
}

TEST(BmpReader, RefusesBadFilesNamingTheProblem) {
  using V = std::vector<std::uint8_t>;
  BmpParts bad_planes = Parts(40, 1, 1, 24, 0, {}, V(4));
  bad_planes.planes = 2;
  BmpParts inside_header = Parts(40, 1, 1, 24, 0, {}, V(64));
  inside_header.pixel_offset = 20;
  const std::vector<RefusalCase> cases = {
      {"empty", {}, "not a BMP file"},
      {"another format", V{'G', 'I', 'F', '8', '9', 'a', 0, 0}, "not a BMP file"},
      {"header cut short", Cut(Rgb24(1, 1, 4), 30), "file is truncated"},
      {"last row one byte short", Rgb24(3, 2, 12 + 9 - 1), "file is truncated"},
      {"width 0", Rgb24(0, 1, 4), "picture has no pixels"},
      {"height 0", Rgb24(1, 0, 4), "picture has no pixels"},
      {"negative width", Rgb24(-1, 1, 4), "negative width"},
      {"too many pixels", Rgb24(1 << 16, 1 << 13, 4), "picture too large (65536 x 8192 pixels)"},
      {"most negative height", Rgb24(1, INT32_MIN, 4), "picture too large"},
      {"bad header size", MakeBmp(Parts(100, 1, 1, 24, 0, {}, V(4))), "unknown picture header"},
      {"2 planes", MakeBmp(bad_planes), "bad number of colour planes (2, must be 1)"},
      {"3 bits per pixel", MakeBmp(Parts(40, 1, 1, 3, 0, kPalette, V(4))),
       "unsupported bit depth (3 bits per pixel)"},
      {"unknown compression", MakeBmp(Parts(40, 1, 1, 24, 9, {}, V(4))),
       "unsupported compression (code 9)"},
      {"RLE8 at 4 bits", MakeBmp(Parts(40, 1, 1, 4, 1, kPalette, V{0, 1})), "RLE8 compression"},
      {"masks at 24 bits", MakeBmp(Parts(40, 1, 1, 24, 3, {}, V(4), {0xFF, 0xFF00, 0xFF0000})),
       "colour masks with 24 bits per pixel"},
      {"mask with gaps", MakeBmp(Parts(40, 1, 1, 16, 3, {}, V(4), {0x5, 0x0F0, 0xF00})),
       "colour mask with gaps"},
      {"pixels inside the header", MakeBmp(inside_header),
       "pixel data offset points into the header"},
      {"palette index beyond the palette", MakeBmp(Parts(40, 2, 1, 8, 0, kPalette, V{1, 4, 0, 0})),
       "palette index out of range (the palette has 4 colours)"},
      {"RLE index beyond the palette", Rle8(2, 1, V{1, 9, 0, 1}), "palette index out of range"},
      {"RLE without end", Rle8(2, 1, V{2, 1}), "RLE data is truncated"},
      {"RLE literal cut short", Rle8(4, 1, V{0, 4, 1, 1}), "RLE data is truncated"},
      {"RLE run past the row end", Rle8(2, 1, V{3, 1, 0, 1}), "bad RLE data"},
      {"RLE delta above the top", Rle8(2, 1, V{0, 2, 0, 1, 1, 1, 0, 1}), "bad RLE data"},
      {"RLE picture stored top-down", Rle8(2, -1, V{2, 1, 0, 1}), "top-down"},
      {"RLE picture beyond the size cap", Rle8(16384, 16384, V{0, 1}),
       "picture too large (16384 x 16384 pixels)"},
      {"side beyond the size cap", Rgb24(40000, 1, 120000), "picture too large"},
  };
  for (const RefusalCase& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string message = Refusal(c.bytes);
    EXPECT_EQ(message.rfind("hand.bmp: ", 0), 0u) << message;
    EXPECT_NE(message.find(c.problem), std::string::npos) << message;
  }
}

TEST(BmpReader, AcceptsALastRowWithoutPadding) {
  EXPECT_EQ(Decode(Rgb24(3, 2, 12 + 9)).Width(), 3);
}

// Headers claiming large pictures (8000 x 8000 is within the size cap) must be refused from
// the file alone: allocating the picture first would show as a jump in peak memory. An RLE
// stream that ends without its end code is found out by the walk before the allocation.
TEST(BmpReader, RefusesImplausibleSizesBeforeAllocating) {
  const long before = test::PeakKilobytes();
  for (const auto& bytes : {Rgb24(8000, 8000, 100), Rgb24(8000, -8000, 100),
                            Rle8(8000, 8000, std::vector<std::uint8_t>(1000, 0)),
                            Rle8(8000, 8000, std::vector<std::uint8_t>{2, 1, 0, 0, 0, 2, 9, 9}),
                            MakeBmp(Parts(40, 8000, 8000, 1, 0, kPalette, {}))}) {
    EXPECT_NE(Refusal(bytes).find("hand.bmp: "), std::string::npos) << Refusal(bytes);
    EXPECT_EQ(Refusal(bytes).find("decoded"), std::string::npos);
  }
  EXPECT_LT(test::PeakKilobytes() - before, 64 * 1024);
}

// RLE streams may paint far more than 128 pixels a byte: a blank cell is often written as a
// lone end-of-picture code, and a sparse drawing jumps over the background with deltas.
TEST(BmpReader, LoadsRleStreamsOfAnyCompressionRatio) {
  using V = std::vector<std::uint8_t>;
  const Bitmap blank = Decode(Rle8(4000, 3000, V{0, 1}));
  EXPECT_EQ(blank.Width(), 4000);
  EXPECT_EQ(blank.Height(), 3000);
  Bitmap black(4000, 3000);
  EXPECT_TRUE(blank == black);

  // One red pixel 250 columns in and 200 rows up, then one green pixel in the top right corner.
  V stream = {0, 2, 250, 200, 1, 1};
  for (int up = 0; up < 99; up += 33) stream.insert(stream.end(), {0, 2, 0, 33});
  stream.insert(stream.end(), {0, 2, 48, 0, 1, 2, 0, 1});
  const Bitmap sparse = Decode(Rle8(300, 300, stream));
  Bitmap expected(300, 300);
  expected.SetPixel(250, 99, MakeColour(255, 0, 0));
  expected.SetPixel(299, 0, MakeColour(0, 255, 0));
  EXPECT_TRUE(sparse == expected);
}

TEST(BmpReader, FileErrorsNameTheFile) {
  const std::string missing = testing::TempDir() + "/no-such-picture.bmp";
  try {
    ReadBmp(missing);
    ADD_FAILURE() << "a missing file was read";
  } catch (const Error& e) {
    EXPECT_EQ(e.Kind(), ErrorKind::kNotFound);
    EXPECT_EQ(e.File(), missing);
    EXPECT_NE(std::string(e.what()).find(std::strerror(ENOENT)), std::string::npos) << e.what();
  }
  const std::string folder = testing::TempDir();
  try {
    ReadBmp(folder);
    ADD_FAILURE() << "a folder was read";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), folder + ": is a folder, not a file");
  }
}

}  // namespace
}  // namespace morvik
