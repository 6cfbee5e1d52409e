// Tests of the 24-bit BMP writer: what it writes reads back pixel for pixel through the
// engine's reader for every row padding, the header fields, and failures naming the file.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "error_of.h"
#include "image/bmp_writer.h"
#include "image/picture_reader.h"
#include "test_util.h"

namespace morvik {
namespace {

using test::ErrorOf;
using test::KindAndFileOf;

Bitmap Pattern(int w, int h) {
  Bitmap b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      b.SetPixel(x, y, MakeColour(x * 40 % 256, y * 70 % 256, (x + y) * 9 % 256));
  return b;
}

TEST(BmpWriterTest, ReadsBackExactlyForEveryRowPadding) {
  for (int w = 1; w <= 5; ++w) {
    const Bitmap b = Pattern(w, 3);
    const std::string bytes = EncodeBmp(b);
    const std::size_t row = (3 * w + 3) / 4 * 4;
    ASSERT_EQ(bytes.size(), 54 + 3 * row) << w;
    EXPECT_EQ(DecodePicture(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), "x"),
              b)
        << w;
  }
}

TEST(BmpWriterTest, HeaderIsABottomUp24BitBitmap) {
  const std::string s = EncodeBmp(Pattern(2, 2));
  auto u32 = [&](std::size_t at) {
    return static_cast<unsigned>(static_cast<unsigned char>(s[at])) |
           static_cast<unsigned>(static_cast<unsigned char>(s[at + 1])) << 8 |
           static_cast<unsigned>(static_cast<unsigned char>(s[at + 2])) << 16 |
           static_cast<unsigned>(static_cast<unsigned char>(s[at + 3])) << 24;
  };
  EXPECT_EQ(s.substr(0, 2), "BM");
  EXPECT_EQ(u32(2), s.size());
  EXPECT_EQ(u32(10), 54u);  // pixels right after the headers
  EXPECT_EQ(u32(14), 40u);  // BITMAPINFOHEADER
  EXPECT_EQ(u32(18), 2u);
  EXPECT_EQ(u32(22), 2u);  // positive height: bottom-up
  EXPECT_EQ(static_cast<unsigned char>(s[28]), 24);
  EXPECT_EQ(u32(30), 0u);  // BI_RGB
}

TEST(BmpWriterTest, FailuresNameTheFile) {
  test::TempDir dir;
  EXPECT_EQ(ErrorOf([&] { WriteBmpFile(dir.File("e.bmp"), Bitmap()); }),
            dir.File("e.bmp") + ": an empty picture cannot be written as BMP");
  const test::Caught e =
      test::CatchError([&] { WriteBmpFile(dir.File("no/such/folder.bmp"), Pattern(2, 2)); });
  EXPECT_EQ(e.Kind, ErrorKind::kCannotWrite);
  EXPECT_EQ(e.File, dir.File("no/such/folder.bmp"));
  WriteBmpFile(dir.File("ok.bmp"), Pattern(3, 2));
  EXPECT_EQ(ReadPictureFile(dir.File("ok.bmp")), Pattern(3, 2));
}

}  // namespace
}  // namespace morvik
