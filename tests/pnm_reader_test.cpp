// Tests of the Netpbm reader: plain and binary PBM, PGM and PPM of 8 and 16 bits against
// pixels worked out by hand, the header's whitespace and comment rules, and refused files.
#include "image/pnm_reader.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <string>
#include <vector>

#include "core/error.h"
#include "test_util.h"

namespace morvik {
namespace {

Bitmap Decode(const std::string& pnm) {
  return DecodePnm(reinterpret_cast<const std::uint8_t*>(pnm.data()), pnm.size(), "test.pnm");
}

std::string Refusal(const std::string& pnm) {
  try {
    Decode(pnm);
    return "decoded";
  } catch (const Error& e) {
    return e.what();
  }
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

const Colour kBlack = Grey(0), kWhite = Grey(255);

std::string Bytes(std::initializer_list<int> bytes) {
  std::string s;
  for (int b : bytes) s += static_cast<char>(b);
  return s;
}

struct PictureCase {
  const char* what;
  std::string file;
  int width;
  std::vector<Colour> expected;
};

TEST(PnmReader, DecodesEveryKindAndDepth) {
  const std::vector<PictureCase> cases = {
      {"P1: 1 is black",
       "P1\n3 2\n1 0 1\n0 1 0\n",
       3,
       {kBlack, kWhite, kBlack, kWhite, kBlack, kWhite}},
      {"P1 needs no space between pixels",
       "P1 3 2 101010",
       3,
       {kBlack, kWhite, kBlack, kWhite, kBlack, kWhite}},
      {"P1 with comments everywhere",
       "P1# magic\n3 # width\n# line\n1\n1#a\n0 1",
       3,
       {kBlack, kWhite, kBlack}},
      {"P4: rows padded to whole bytes",
       "P4 10 2\n" + Bytes({0x80, 0x40, 0x01, 0x80}),
       10,
       {kBlack, kWhite, kWhite, kWhite, kWhite, kWhite, kWhite, kWhite, kWhite, kBlack,
        kWhite, kWhite, kWhite, kWhite, kWhite, kWhite, kWhite, kBlack, kBlack, kWhite}},
      {"P2 at 8 bits", "P2\n2 2\n255\n0 7\n128 255\n", 2, {Grey(0), Grey(7), Grey(128), Grey(255)}},
      {"P2 maxval 15 widens exactly", "P2 3 1 15 1 8 15", 3, {Grey(17), Grey(136), Grey(255)}},
      {"P2 maxval 2: a half rounds up", "P2 3 1 2 0 1 2", 3, {Grey(0), Grey(128), Grey(255)}},
      {"P2 maxval 1000", "P2 3 1 1000 500 1 997", 3, {Grey(128), Grey(0), Grey(254)}},
      {"P2 at 16 bits",
       "P2 4 1 65535 128 129 32896 65535",
       4,
       {Grey(0), Grey(1), Grey(128), Grey(255)}},
      {"P2 with CR LF line ends", "P2\r\n2 1\r\n255\r\n3 4\r\n", 2, {Grey(3), Grey(4)}},
      {"P3 at 8 bits",
       "P3 2 1 255\n255 0 0  1 2 3\n",
       2,
       {MakeColour(255, 0, 0), MakeColour(1, 2, 3)}},
      {"P3 at 16 bits", "P3 1 1 65535 65535 32896 129", 1, {MakeColour(255, 128, 1)}},
      {"P5 at 8 bits", "P5 3 1 255\n" + Bytes({0, 100, 255}), 3, {Grey(0), Grey(100), Grey(255)}},
      {"P5: one whitespace ends the header, the pixels may look like more",
       "P5 3 1 255\n" + Bytes({'\n', '#', ' '}),
       3,
       {Grey(10), Grey(35), Grey(32)}},
      {"P5: a comment before the last whitespace",
       "P5 2 1 255#c\n" + Bytes({1, 2}),
       2,
       {Grey(1), Grey(2)}},
      {"P5 at 8 bits, one pixel", "P5 1 1 255\n" + Bytes({77}), 1, {Grey(77)}},
      {"P5 maxval 100", "P5 2 1 100\n" + Bytes({50, 100}), 2, {Grey(128), Grey(255)}},
      {"P5 at 8 bits, rows one after another",
       "P5 3 2 255\n" + Bytes({0, 1, 2, 253, 254, 255}),
       3,
       {Grey(0), Grey(1), Grey(2), Grey(253), Grey(254), Grey(255)}},
      {"P5 at 16 bits, most significant byte first",
       "P5 3 1 65535\n" + Bytes({1, 0, 0x80, 0x80, 0xFF, 0xFF}),
       3,
       {Grey(1), Grey(128), Grey(255)}},
      {"P5 maxval 1000 at 16 bits",
       "P5 2 1 1000\n" + Bytes({0x01, 0xF4, 0x03, 0xE8}),
       2,
       {Grey(128), Grey(255)}},
      {"P6 at 8 bits",
       "P6 2 1 255\n" + Bytes({255, 0, 0, 1, 2, 3}),
       2,
       {MakeColour(255, 0, 0), MakeColour(1, 2, 3)}},
      {"P6 at 8 bits, rows one after another",
       "P6 3 2 255\n" + Bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18}),
       3,
       {MakeColour(1, 2, 3), MakeColour(4, 5, 6), MakeColour(7, 8, 9), MakeColour(10, 11, 12),
        MakeColour(13, 14, 15), MakeColour(16, 17, 18)}},
      {"P6 at 16 bits",
       "P6 1 1 65535\n" + Bytes({0xFF, 0xFF, 0x80, 0x80, 0, 129}),
       1,
       {MakeColour(255, 128, 1)}},
      {"several pictures: the first",
       "P5 1 1 255\n" + Bytes({9}) + "P5 1 1 255\n" + Bytes({7}),
       1,
       {Grey(9)}},
  };
  for (const PictureCase& c : cases) {
    SCOPED_TRACE(c.what);
    try {
      const Bitmap b = Decode(c.file);
      EXPECT_EQ(b.Width(), c.width);
      EXPECT_EQ(Pixels(b), c.expected);
      // Straight to grey: binary PGMs of maxval 255 alone, the same greys.
      int width = 0, height = 0;
      std::vector<std::uint8_t> greys;
      const bool grey = DecodePnmGrey(reinterpret_cast<const std::uint8_t*>(c.file.data()),
                                      c.file.size(), "test.pnm", width, height, greys);
      EXPECT_EQ(grey, c.file.rfind("P5", 0) == 0 && c.file.find(" 255") != std::string::npos);
      if (!grey) continue;
      EXPECT_EQ(width, c.width);
      EXPECT_EQ(static_cast<std::size_t>(width) * height, c.expected.size());
      std::vector<Colour> spread;
      for (const std::uint8_t g : greys) spread.push_back(Grey(g));
      EXPECT_EQ(spread, c.expected);
    } catch (const Error& e) {
      ADD_FAILURE() << e.what();
    }
  }
}

struct RefusalCase {
  const char* what;
  std::string file;
  const char* problem;
};

TEST(PnmReader, RefusesBadFilesNamingTheProblem) {
  const std::vector<RefusalCase> cases = {
      {"another kind", "P7 1 1 255\n", "not a PBM, PGM or PPM file"},
      {"magic only", "P5", "bad PNM header (ends before the width)"},
      {"no height", "P5 3 ", "bad PNM header (ends before the height)"},
      {"no maxval", "P2 3 3\n", "bad PNM header (ends before the maxval)"},
      {"width not a number", "P5 abc 2 255\n", "bad PNM header (width is not a number)"},
      {"size run together", "P5 2x2 255\n", "bad PNM header (width is not a number)"},
      {"magic run into the width", "P52 2 255\n", "no whitespace after the magic number"},
      {"maxval 0", "P5 1 1 0\n" + Bytes({0}), "bad PNM header (maxval 0, must be 1 to 65535)"},
      {"maxval 65536", "P5 1 1 65536\n" + Bytes({0, 0}), "maxval 65536"},
      {"width 0", "P5 0 1 255\n", "picture has no pixels"},
      {"wider than the cap", "P4 40000 1\n", "picture too large (40000 x 1 pixels)"},
      {"a side of twenty digits", "P5 99999999999999999999 1 255\n", "picture too large"},
      {"binary header without its last whitespace", "P5 1 1 255", "file is truncated"},
      {"P5 one byte short", "P5 3 3 255\n" + std::string(8, 'a'), "file is truncated"},
      {"P6 at 16 bits one byte short", "P6 1 1 65535\n" + std::string(5, 'a'), "file is truncated"},
      {"P4 one row short", "P4 9 2\n" + Bytes({0, 0}), "file is truncated"},
      {"plain data too short for the size", "P2 3 1 255 1 2", "file is truncated"},
      {"plain data ending early", "P2 3 1 255\n1 2        ", "file is truncated"},
      {"P1 data ending early", "P1 3 2\n1 0 1 0 ", "file is truncated"},
      {"plain sample above maxval", "P2 2 1 10 5 11", "bad pixel data (sample 11 above maxval 10)"},
      {"binary sample above maxval", "P5 1 1 100\n" + Bytes({200}), "sample 200 above maxval 100"},
      {"16-bit sample above maxval", "P5 1 1 1000\n" + Bytes({0x03, 0xE9}),
       "sample 1001 above maxval 1000"},
      {"plain sample not a number", "P3 1 1 255 1 2 x", "bad pixel data (not a number)"},
      {"P1 pixel not a bit", "P1 2 1 1 2", "bad pixel data (a PBM pixel must be 0 or 1)"},
  };
  for (const RefusalCase& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string message = Refusal(c.file);
    EXPECT_EQ(message.rfind("test.pnm: ", 0), 0u) << message;
    EXPECT_NE(message.find(c.problem), std::string::npos) << message;
    // Decoding straight to grey refuses the same files, but those it leaves to DecodePnm.
    int width = 0, height = 0;
    std::vector<std::uint8_t> greys;
    try {
      if (!DecodePnmGrey(reinterpret_cast<const std::uint8_t*>(c.file.data()), c.file.size(),
                         "test.pnm", width, height, greys))
        continue;
      ADD_FAILURE() << "decoded straight to grey";
    } catch (const Error& e) {
      EXPECT_EQ(std::string(e.what()), message);
    }
  }
}

TEST(PnmReader, RefusesImplausibleSizesBeforeAllocating) {
  const long before = test::PeakKilobytes();
  for (const std::string& file : {std::string("P6 8000 8000 255\n") + std::string(1000, 'x'),
                                  std::string("P3 8000 8000 255\n") + std::string(1000, '1'),
                                  std::string("P4 8000 8000\n") + std::string(1000, 'x')})
    EXPECT_NE(Refusal(file).find("file is truncated"), std::string::npos) << Refusal(file);
  EXPECT_LT(test::PeakKilobytes() - before, 64 * 1024);
}

}  // namespace
}  // namespace morvik
