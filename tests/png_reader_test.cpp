// Tests of the PNG reader and writer: every colour type and depth against pixels worked out
// by hand, the BMP suite's pictures against their reference PNGs, chunks that must be skipped,
// damaged files that must be refused, and writing and reading back.
#include "image/png_reader.h"

#include <gtest/gtest.h>
#include <png.h>
#include <sys/resource.h>

#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "core/error.h"
#include "image/picture_reader.h"
#include "image/png_writer.h"
#include "png_util.h"
#include "test_util.h"

namespace morvik {
namespace {

using test::PngLayout;

Bitmap Decode(const std::string& png) {
  return DecodePng(reinterpret_cast<const std::uint8_t*>(png.data()), png.size(), "test.png");
}

// The error message for png, or "decoded".
std::string Refusal(const std::string& png) {
  try {
    Decode(png);
    return "decoded";
  } catch (const Error& e) {
    return e.what();
  }
}

PngLayout MakeLayout(int width, int height, int colour_type, int depth,
                     std::vector<std::uint16_t> s) {
  PngLayout layout;
  layout.width = width;
  layout.height = height;
  layout.colour_type = colour_type;
  layout.bit_depth = depth;
  layout.samples = std::move(s);
  return layout;
}

std::vector<Colour> Pixels(const Bitmap& b) {
  std::vector<Colour> out;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) out.push_back(b.Pixel(x, y));
  return out;
}

Colour Grey(int g) {
  return MakeColour(g, g, g);
}

struct ColourCase {
  const char* what;
  PngLayout layout;
  std::vector<Colour> expected;
};

PngLayout WithPalette(PngLayout s, std::vector<std::array<std::uint8_t, 3>> palette,
                      std::vector<std::uint8_t> alpha = {}) {
  s.palette = std::move(palette);
  s.palette_alpha = std::move(alpha);
  return s;
}

PngLayout WithTransparent(PngLayout s, std::vector<std::uint16_t> colour) {
  s.transparent = std::move(colour);
  return s;
}

TEST(PngReader, DecodesEveryColourTypeAndDepth) {
  const std::vector<std::array<std::uint8_t, 3>> palette = {
      {255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {10, 20, 30}};
  const std::vector<ColourCase> cases = {
      {"grey 1 bit", MakeLayout(2, 1, PNG_COLOR_TYPE_GRAY, 1, {0, 1}), {Grey(0), Grey(255)}},
      {"grey 2 bits",
       MakeLayout(4, 1, PNG_COLOR_TYPE_GRAY, 2, {0, 1, 2, 3}),
       {Grey(0), Grey(85), Grey(170), Grey(255)}},
      {"grey 4 bits",
       MakeLayout(3, 1, PNG_COLOR_TYPE_GRAY, 4, {0, 7, 15}),
       {Grey(0), Grey(119), Grey(255)}},
      {"grey 8 bits, two rows",
       MakeLayout(2, 2, PNG_COLOR_TYPE_GRAY, 8, {0, 128, 255, 7}),
       {Grey(0), Grey(128), Grey(255), Grey(7)}},
      {"grey 16 bits: 128 / 257 rounds down, 129 / 257 up",
       MakeLayout(4, 1, PNG_COLOR_TYPE_GRAY, 16, {128, 129, 32896, 65535}),
       {Grey(0), Grey(1), Grey(128), Grey(255)}},
      {"RGB 8 bits",
       MakeLayout(2, 1, PNG_COLOR_TYPE_RGB, 8, {1, 2, 3, 250, 128, 0}),
       {MakeColour(1, 2, 3), MakeColour(250, 128, 0)}},
      {"RGB 16 bits",
       MakeLayout(1, 1, PNG_COLOR_TYPE_RGB, 16, {65535, 32896, 129}),
       {MakeColour(255, 128, 1)}},
      {"grey and alpha 8 bits over white",
       MakeLayout(4, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {0, 0, 0, 255, 100, 128, 200, 64}),
       {Grey(255), Grey(0), Grey(177), Grey(241)}},
      {"grey and alpha 16 bits: composed at 16 bits, then reduced",
       MakeLayout(3, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 16, {0, 32768, 65535, 0, 30000, 65535}),
       {Grey(127), Grey(255), Grey(117)}},
      {"RGBA 8 bits",
       MakeLayout(3, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8,
                  {255, 0, 0, 128, 10, 20, 30, 0, 10, 20, 30, 255}),
       {MakeColour(255, 127, 127), Grey(255), MakeColour(10, 20, 30)}},
      {"RGBA 16 bits",
       MakeLayout(2, 1, PNG_COLOR_TYPE_RGB_ALPHA, 16,
                  {65535, 0, 0, 32768, 1000, 2000, 3000, 65535}),
       {MakeColour(255, 127, 127), MakeColour(4, 8, 12)}},
      {"palette 2 bits with tRNS: entry 0 clear, entry 1 half",
       WithPalette(MakeLayout(4, 1, PNG_COLOR_TYPE_PALETTE, 2, {0, 1, 2, 3}), palette, {0, 128}),
       {Grey(255), MakeColour(127, 255, 127), MakeColour(0, 0, 255), MakeColour(10, 20, 30)}},
      {"palette 1 bit",
       WithPalette(MakeLayout(3, 1, PNG_COLOR_TYPE_PALETTE, 1, {1, 0, 1}),
                   {palette[0], palette[1]}),
       {MakeColour(0, 255, 0), MakeColour(255, 0, 0), MakeColour(0, 255, 0)}},
      {"palette 4 bits",
       WithPalette(MakeLayout(2, 1, PNG_COLOR_TYPE_PALETTE, 4, {3, 2}), palette),
       {MakeColour(10, 20, 30), MakeColour(0, 0, 255)}},
      {"palette 8 bits",
       WithPalette(MakeLayout(2, 1, PNG_COLOR_TYPE_PALETTE, 8, {2, 3}), palette, {9}),
       {MakeColour(0, 0, 255), MakeColour(10, 20, 30)}},
      {"grey 8 bits with a transparent value",
       WithTransparent(MakeLayout(2, 1, PNG_COLOR_TYPE_GRAY, 8, {77, 78}), {77}),
       {Grey(255), Grey(78)}},
      {"grey 2 bits with a transparent value",
       WithTransparent(MakeLayout(4, 1, PNG_COLOR_TYPE_GRAY, 2, {0, 1, 2, 3}), {1}),
       {Grey(0), Grey(255), Grey(170), Grey(255)}},
      {"grey 16 bits with a transparent value",
       WithTransparent(MakeLayout(2, 1, PNG_COLOR_TYPE_GRAY, 16, {1000, 1001}), {1000}),
       {Grey(255), Grey(4)}},
      {"RGB 8 bits with a transparent colour",
       WithTransparent(MakeLayout(2, 1, PNG_COLOR_TYPE_RGB, 8, {1, 2, 3, 1, 2, 4}), {1, 2, 3}),
       {Grey(255), MakeColour(1, 2, 4)}},
  };
  for (const ColourCase& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string png = test::EncodeTestPng(c.layout);
    ASSERT_FALSE(png.empty());
    try {
      const Bitmap b = Decode(png);
      EXPECT_EQ(b.Width(), c.layout.width);
      EXPECT_EQ(Pixels(b), c.expected);
    } catch (const Error& e) {
      ADD_FAILURE() << e.what();
    }
  }
}

// Every 16-bit value and every 8-bit grey and alpha pair, against the documented rounding.
TEST(PngReader, RoundsSixteenBitsAndAlphaToNearest) {
  std::vector<std::uint16_t> all(65536);
  for (int v = 0; v < 65536; ++v) all[v] = static_cast<std::uint16_t>(v);
  const Bitmap wide =
      Decode(test::EncodeTestPng(MakeLayout(256, 256, PNG_COLOR_TYPE_GRAY, 16, all)));
  std::vector<std::uint16_t> pairs;
  for (int a = 0; a < 256; ++a)
    for (int c = 0; c < 256; ++c) pairs.insert(pairs.end(), {std::uint16_t(c), std::uint16_t(a)});
  const Bitmap alpha =
      Decode(test::EncodeTestPng(MakeLayout(256, 256, PNG_COLOR_TYPE_GRAY_ALPHA, 8, pairs)));
  int wrong_wide = 0, wrong_alpha = 0;
  for (int y = 0; y < 256; ++y) {
    for (int x = 0; x < 256; ++x) {
      const long v = 256L * y + x;  // round(v / 257); 257 is odd, so no value ties
      if (wide.Pixel(x, y) != Grey(static_cast<int>((2 * v + 257) / 514))) ++wrong_wide;
      const long over = x * y + 255L * (255 - y);  // round(over / 255), no ties either
      if (alpha.Pixel(x, y) != Grey(static_cast<int>((2 * over + 255) / 510))) ++wrong_alpha;
    }
  }
  EXPECT_EQ(wrong_wide, 0);
  EXPECT_EQ(wrong_alpha, 0);
}

TEST(PngReader, InterlacedPicturesEqualPlainOnes) {
  std::mt19937 random(7);
  for (int type : {PNG_COLOR_TYPE_RGB_ALPHA, PNG_COLOR_TYPE_GRAY}) {
    for (int depth : {8, 16}) {
      SCOPED_TRACE(std::to_string(type) + " at " + std::to_string(depth) + " bits");
      PngLayout layout = MakeLayout(13, 11, type, depth, {});
      const int channels = type == PNG_COLOR_TYPE_GRAY ? 1 : 4;
      for (int i = 0; i < 13 * 11 * channels; ++i)
        layout.samples.push_back(static_cast<std::uint16_t>(random() % (1u << depth)));
      const Bitmap plain = Decode(test::EncodeTestPng(layout));
      layout.interlaced = true;
      EXPECT_TRUE(Decode(test::EncodeTestPng(layout)) == plain);
    }
  }
}

// ---------------------------------------------------------------------------------------------
// The BMP suite: the good BMPs and their reference PNGs, both through the engine's readers.

const std::string kSuite = MORVIK_BMPSUITE_DIR;

std::vector<std::pair<std::string, std::string>> GoodFilesAndReferences() {
  std::ifstream in(kSuite + "/MANIFEST.tsv");
  if (!in) ADD_FAILURE() << "the BMP suite is missing: cannot read " << kSuite << "/MANIFEST.tsv";
  std::vector<std::pair<std::string, std::string>> files;
  for (std::string line; std::getline(in, line);) {
    std::vector<std::string> f;
    std::stringstream fields(line);
    for (std::string s; std::getline(fields, s, '\t');) f.push_back(s);
    if (f.size() > 17 && f[1] == "good") files.emplace_back(f[0], f[17]);
  }
  return files;
}

TEST(PngReader, SuitePicturesEqualTheirReferencePngs) {
  int compared = 0;
  for (const auto& [bmp, png] : GoodFilesAndReferences()) {
    SCOPED_TRACE(bmp + " and " + png);
    // The reference of the non-square-pixel file is stretched for display.
    if (bmp == "g/pal8nonsquare.bmp") continue;
    try {
      EXPECT_TRUE(ReadPictureFile(kSuite + "/" + bmp) == ReadPictureFile(kSuite + "/" + png));
    } catch (const Error& e) {
      ADD_FAILURE() << e.what();
    }
    ++compared;
  }
  EXPECT_EQ(compared, 26);
}

// ---------------------------------------------------------------------------------------------
// Chunks and damage

std::string GreyPng() {
  return test::EncodeTestPng(MakeLayout(3, 2, PNG_COLOR_TYPE_GRAY_ALPHA, 8,
                                        {0, 255, 50, 128, 90, 255, 200, 0, 255, 255, 1, 10}));
}

std::string Insert(std::string png, const std::string& before, const std::string& chunk) {
  png.insert(test::FindPngChunk(png, before), chunk);
  return png;
}

// The first byte of the chunk's CRC flipped.
std::string BadCrc(std::string png, const std::string& type) {
  const std::size_t at = test::FindPngChunk(png, type);
  const std::size_t length =
      static_cast<std::uint8_t>(png[at + 3]) | static_cast<std::uint8_t>(png[at + 2]) << 8;
  png[at + 8 + length] ^= 0x55;
  return png;
}

std::string Cut(const std::string& png, std::size_t keep) {
  return png.substr(0, keep);
}

std::string Ihdr(std::uint32_t width, std::uint32_t height, int depth, int colour_type) {
  std::string d;
  for (std::uint32_t v : {width, height})
    for (int i = 3; i >= 0; --i) d += static_cast<char>(v >> (8 * i));
  d += {static_cast<char>(depth), static_cast<char>(colour_type), 0, 0, 0};
  return test::PngChunk("IHDR", d);
}

// A PNG of the given header whose image data is a few bytes of garbage.
std::string Claiming(std::uint32_t width, std::uint32_t height) {
  return "\x89PNG\r\n\x1a\n" + Ihdr(width, height, 8, PNG_COLOR_TYPE_RGB) +
         test::PngChunk("IDAT", std::string(100, 'x')) + test::PngChunk("IEND", "");
}

struct ChunkCase {
  const char* what;
  std::string png;
  std::string plain;  // the same picture without the change
};

TEST(PngReader, SkipsEveryChunkButTheImage) {
  const std::string png = GreyPng();
  // Its transparent value 50 is one of its samples.
  const std::string keyed = test::EncodeTestPng(
      WithTransparent(MakeLayout(3, 2, PNG_COLOR_TYPE_GRAY, 8, {0, 50, 90, 200, 255, 1}), {50}));
  const std::string unkeyed =
      test::EncodeTestPng(MakeLayout(3, 2, PNG_COLOR_TYPE_GRAY, 8, {0, 50, 90, 200, 255, 1}));
  const std::vector<ChunkCase> cases = {
      {"text with a bad checksum",
       BadCrc(Insert(png, "IDAT", test::PngChunk("tEXt", "a b")), "tEXt"), png},
      {"transparency with a bad checksum is dropped", BadCrc(keyed, "tRNS"), unkeyed},
      {"unknown ancillary chunk", Insert(png, "IDAT", test::PngChunk("quIt", "xyz")), png},
      {"unknown critical chunk", Insert(png, "IDAT", test::PngChunk("QUIT", "xyz")), png},
      {"gamma 0.45455 has no effect on composing",
       Insert(png, "IDAT", test::PngChunk("gAMA", std::string("\0\0\xb1\x8f", 4))), png},
      {"sRGB and a background colour",
       Insert(Insert(png, "IDAT", test::PngChunk("sRGB", std::string(1, '\0'))), "IDAT",
              test::PngChunk("bKGD", std::string("\0\0", 2))),
       png},
      {"a chunk after the image data", Insert(png, "IEND", test::PngChunk("zzZz", "1")), png},
      {"no IEND", Cut(png, test::FindPngChunk(png, "IEND")), png},
  };
  for (const ChunkCase& c : cases) {
    SCOPED_TRACE(c.what);
    try {
      EXPECT_TRUE(Decode(c.png) == Decode(c.plain));
    } catch (const Error& e) {
      ADD_FAILURE() << e.what();
    }
  }
  EXPECT_FALSE(Decode(keyed) == Decode(unkeyed));
}

struct RefusalCase {
  const char* what;
  std::string png;
  const char* problem;
};

TEST(PngReader, RefusesBadFilesNamingTheProblem) {
  const std::string png = GreyPng();
  const std::size_t idat = test::FindPngChunk(png, "IDAT");
  std::string bad_zlib = png;
  bad_zlib[idat + 9] ^= 0x7F;  // the zlib header's second byte
  bad_zlib = bad_zlib.substr(0, idat) +
             test::PngChunk(
                 "IDAT", bad_zlib.substr(idat + 8, test::FindPngChunk(png, "IEND") - idat - 12)) +
             png.substr(test::FindPngChunk(png, "IEND"));
  const std::vector<RefusalCase> cases = {
      {"not a PNG", "GIF89a", "not a PNG file"},
      {"signature only", Cut(png, 8), "file is truncated"},
      {"header cut short", Cut(png, 20), "file is truncated"},
      {"image data cut short", Cut(png, idat + 12), "file is truncated"},
      {"bad checksum in IHDR", BadCrc(png, "IHDR"), "bad PNG data (IHDR: CRC error)"},
      {"bad checksum in IDAT", BadCrc(png, "IDAT"), "bad PNG data (IDAT: CRC error)"},
      {"damaged compressed data", bad_zlib, "bad PNG data"},
      {"3 bits per sample", "\x89PNG\r\n\x1a\n" + Ihdr(1, 1, 3, 0) + png.substr(33),
       "bad PNG data"},
      {"no pixels", Claiming(0, 5), "picture has no pixels"},
      {"wider than the cap", Claiming(40000, 1), "picture too large (40000 x 1 pixels)"},
      {"more pixels than the cap", Claiming(10000, 10000), "picture too large (10000 x 10000"},
      {"largest side", Claiming(0xFFFFFFFF, 0xFFFFFFFF), "picture too large"},
      {"too little data for its size", Claiming(8000, 8000),
       "file is truncated (too little image data for the picture size)"},
      {"no image data", "\x89PNG\r\n\x1a\n" + Ihdr(1, 1, 8, 0) + test::PngChunk("IEND", ""),
       "bad PNG data"},
  };
  for (const RefusalCase& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string message = Refusal(c.png);
    EXPECT_EQ(message.rfind("test.png: ", 0), 0u) << message;
    EXPECT_NE(message.find(c.problem), std::string::npos) << message;
  }
}

TEST(PngReader, RefusesImplausibleSizesBeforeAllocating) {
  const long before = test::PeakKilobytes();
  for (const std::string& png : {Claiming(8000, 8000), Claiming(32768, 2048)})
    EXPECT_NE(Refusal(png).find("too little image data"), std::string::npos) << Refusal(png);
  EXPECT_LT(test::PeakKilobytes() - before, 64 * 1024);
}

// ---------------------------------------------------------------------------------------------
// Writing

Bitmap RandomPicture(int width, int height, unsigned seed) {
  std::mt19937 random(seed);
  Bitmap b(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) b.SetPixel(x, y, random() & 0xFFFFFF);
  return b;
}

TEST(PngWriter, WritesWhatTheReaderReadsBack) {
  const Bitmap picture = RandomPicture(37, 23, 3);
  EXPECT_TRUE(Decode(EncodePng(picture)) == picture);

  test::TempDir dir;
  const std::string path = dir.File("boxes.png");
  test::WriteFile(path, "old contents");
  WritePngFile(path, picture);
  EXPECT_TRUE(ReadPictureFile(path) == picture);
}

TEST(PngWriter, FailuresNameTheFile) {
  test::TempDir dir;
  const std::string path = dir.File("no-such-folder/boxes.png");
  try {
    WritePngFile(path, Bitmap(2, 2));
    ADD_FAILURE() << "wrote into a missing folder";
  } catch (const Error& e) {
    EXPECT_EQ(e.Kind(), ErrorKind::kCannotWrite);
    EXPECT_EQ(e.File(), path);
  }
  try {
    WritePngFile(dir.File("empty.png"), Bitmap());
    ADD_FAILURE() << "wrote a picture without pixels";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()).rfind(dir.File("empty.png") + ": ", 0), 0u) << e.what();
  }
}

}  // namespace
}  // namespace morvik
