// Tests of the engine's raster: pixel layout, resizing, filling and the nearest-neighbour
// stretch, whose pinned mapping decides which pixels of a picture reach the pattern raster.
#include "image/bitmap.h"

#include <gtest/gtest.h>

#include <utility>

#include <vector>

namespace morvik {
namespace {

TEST(Bitmap, PixelsAreColoursStoredBlueGreenRed) {
  Bitmap bm(3, 2);
  EXPECT_EQ(bm.RowBytes(), 9u);
  EXPECT_EQ(bm.Pixel(2, 1), kBlack);
  bm.SetPixel(1, 1, MakeColour(10, 20, 30));
  EXPECT_EQ(bm.Pixel(1, 1), 0x1E140Au);
  const std::uint8_t* row = bm.Row(1);
  EXPECT_EQ(row[3], 30);  // blue
  EXPECT_EQ(row[4], 20);  // green
  EXPECT_EQ(row[5], 10);  // red
  bm.Row(0)[8] = 0xFF;    // red of pixel (2, 0)
  EXPECT_EQ(bm.Pixel(2, 0), kRed);
}

TEST(Bitmap, FillSetsEveryPixelOfEverySize) {
  for (const Colour c : {kAqua, kGrey, kWhite, kBlack, MakeColour(1, 2, 3)})
    for (const auto& [w, h] : {std::pair{1, 1}, {5, 3}, {1, 7}, {8, 1}}) {
      Bitmap bm(w, h);
      bm.SetPixel(w - 1, h - 1, MakeColour(9, 9, 8));
      bm.Fill(c);
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
          ASSERT_EQ(bm.Pixel(x, y), c) << w << "x" << h << " " << x << "," << y;
    }
}

TEST(Bitmap, ResizeFillAndEmpty) {
  Bitmap bm(2, 2);
  bm.Fill(kAqua);
  EXPECT_EQ(bm.Pixel(1, 1), kAqua);
  EXPECT_FALSE(bm.Empty());
  bm.Resize(3, 1);
  EXPECT_EQ(bm.Width(), 3);
  EXPECT_EQ(bm.Height(), 1);
  EXPECT_EQ(bm.Pixel(0, 0), kBlack);
  bm.Resize(-4, 5);
  EXPECT_EQ(bm.Width(), 0);
  EXPECT_EQ(bm.Height(), 5);
  EXPECT_TRUE(bm.Empty());
  EXPECT_TRUE(Bitmap(4, 0).Empty());
  EXPECT_TRUE(Bitmap().Empty());
}

// Source pixel columns (or rows) that the target columns of a stretch take.
std::vector<int> StretchedColumns(int from, int to) {
  Bitmap src(from, 1);
  for (int x = 0; x < from; ++x) src.SetPixel(x, 0, MakeColour(x, 0, 0));
  Bitmap dst(to, 1);
  StretchDraw(src, dst, to, 1);
  std::vector<int> cols;
  for (int x = 0; x < to; ++x) cols.push_back(RedOf(dst.Pixel(x, 0)));
  return cols;
}

TEST(StretchDraw, NearestNeighbourByIntegerDivision) {
  struct Case {
    int from, to;
    std::vector<int> columns;
  };
  const Case cases[] = {
      {2, 5, {0, 0, 0, 1, 1}},
      {5, 2, {0, 2}},
      {3, 2, {0, 1}},
      {7, 3, {0, 2, 4}},
      {4, 4, {0, 1, 2, 3}},
      {1, 3, {0, 0, 0}},
      {3, 7, {0, 0, 0, 1, 1, 2, 2}},
  };
  for (const Case& c : cases) EXPECT_EQ(StretchedColumns(c.from, c.to), c.columns) << c.from;
}

TEST(StretchDraw, EveryPairOfSizes) {
  for (int from = 1; from <= 70; ++from) {
    for (int to = 1; to <= 70; ++to) {
      const std::vector<int> cols = StretchedColumns(from, to);
      for (int x = 0; x < to; ++x) ASSERT_EQ(cols[x], x * from / to) << from << " -> " << to;
    }
  }
  const std::vector<int> shrunk = StretchedColumns(250, 63);
  EXPECT_EQ(shrunk[62], 62 * 250 / 63);
}

TEST(StretchDraw, RowsMapLikeColumns) {
  Bitmap src(1, 5);
  for (int y = 0; y < 5; ++y) src.SetPixel(0, y, MakeColour(0, y, 0));
  Bitmap dst(2, 3);
  StretchDraw(src, dst, 2, 3);
  const int rows[] = {0, 1, 3};
  for (int y = 0; y < 3; ++y) {
    EXPECT_EQ(dst.Pixel(0, y), MakeColour(0, rows[y], 0)) << y;
    EXPECT_EQ(dst.Pixel(1, y), MakeColour(0, rows[y], 0)) << y;
  }
}

TEST(StretchDraw, RectangleIsClippedToTheTarget) {
  Bitmap src(2, 2);
  src.SetPixel(0, 0, kRed);
  src.SetPixel(1, 0, kLime);
  src.SetPixel(0, 1, kAqua);
  src.SetPixel(1, 1, kWhite);
  Bitmap dst(3, 3);
  dst.Fill(kGrey);
  StretchDraw(src, dst, 4, 4);  // a 4 x 4 rectangle on a 3 x 3 target
  EXPECT_EQ(dst.Pixel(0, 0), kRed);
  EXPECT_EQ(dst.Pixel(1, 1), kRed);
  EXPECT_EQ(dst.Pixel(2, 0), kLime);
  EXPECT_EQ(dst.Pixel(0, 2), kAqua);
  EXPECT_EQ(dst.Pixel(2, 2), kWhite);

  Bitmap small(3, 3);
  small.Fill(kGrey);
  StretchDraw(src, small, 2, 2);  // a smaller rectangle leaves the rest as it was
  EXPECT_EQ(small.Pixel(1, 1), kWhite);
  EXPECT_EQ(small.Pixel(2, 2), kGrey);
  EXPECT_EQ(small.Pixel(2, 0), kGrey);
}

TEST(StretchDraw, EmptySourceOrRectangleDrawsNothing) {
  Bitmap dst(2, 2);
  dst.Fill(kGrey);
  const Bitmap before = dst;
  StretchDraw(Bitmap(0, 3), dst, 2, 2);
  StretchDraw(Bitmap(3, 0), dst, 2, 2);
  Bitmap src(2, 2);
  src.Fill(kRed);
  StretchDraw(src, dst, 0, 2);
  StretchDraw(src, dst, 2, 0);
  EXPECT_EQ(dst, before);
  Bitmap none;
  StretchDraw(src, none, 2, 2);
  EXPECT_TRUE(none.Empty());
}

}  // namespace
}  // namespace morvik
