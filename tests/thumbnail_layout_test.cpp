// Thumbnail geometry: the exact truncation of the scaled raster, where labels, percentages
// and the margin go, their texts, and the scroll range of the thumbnail box.
#include "form/thumbnail_layout.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/error.h"

namespace morvik {
namespace {

const std::array<TRankEntry, 3> kRanks = {TRankEntry{7, 0.91234}, TRankEntry{12, 0.85},
                                          TRankEntry{3, 0.5}};

struct RectCase {
  int w, h, row, column;
  int left, top, right, bottom;
};

class ThumbnailRect : public ::testing::TestWithParam<RectCase> {};

TEST_P(ThumbnailRect, IsPlacedAndTruncated) {
  const RectCase& c = GetParam();
  const ThumbnailLayout t = LayoutThumbnail(c.w, c.h, c.row, c.column, kRanks, {});
  EXPECT_EQ(t.Left, c.left);
  EXPECT_EQ(t.Top, c.top);
  EXPECT_EQ(t.Right, c.right);
  EXPECT_EQ(t.Bottom, c.bottom);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ThumbnailRect,
    ::testing::Values(RectCase{64, 32, 1, 0, 16, 0, 54, 19},       // 38 x 19
                      RectCase{64, 32, 2, 3, 175, 106, 213, 125},  // row 2, column 3
                      RectCase{64, 64, 1, 1, 69, 0, 107, 38},      // 38/64 exact
                      RectCase{50, 50, 1, 0, 16, 0, 54, 38},       // 38/50 lands on 38
                      RectCase{40, 40, 1, 0, 16, 0, 53, 37},       // 40 x (38/40) just below 38
                      RectCase{30, 30, 1, 0, 16, 0, 53, 37}, RectCase{3, 3, 1, 0, 16, 0, 53, 37},
                      RectCase{38, 64, 1, 0, 16, 0, 38, 38},  // taller: L = H
                      RectCase{64, 0, 1, 0, 16, 0, 54, 0}));  // a zero height still draws

TEST(ThumbnailLayout, ProductIsNotRoundedToDouble) {
  // 38/40 as a double lies below 0.95; rounding 40 x it to double would give 38 again.
  const double s = 38.0 / 40;
  EXPECT_EQ(static_cast<int>(40 * s), 38);
  EXPECT_LT(static_cast<long double>(40) * s, 38.0L);
}

TEST(ThumbnailLayout, TextPositionsForRowOneColumnZero) {
  const ThumbnailLayout t = LayoutThumbnail(64, 32, 1, 0, kRanks, {});
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(t.Labels[k].X, 14);
    EXPECT_TRUE(t.Labels[k].RightAligned);
    EXPECT_EQ(t.Labels[k].Y, 14 * k);
    EXPECT_EQ(t.Labels[k].Bold, k == 0);
    EXPECT_EQ(t.Labels[k].TextColour, RankColours[k]);
    EXPECT_EQ(t.Percentages[k].X, 16);
    EXPECT_FALSE(t.Percentages[k].RightAligned);
    EXPECT_EQ(t.Percentages[k].Y, 19 + 14 * k);
    EXPECT_TRUE(t.Percentages[k].Underline);
  }
  EXPECT_EQ(t.Margin.X, 16);
  EXPECT_TRUE(t.Margin.RightAligned);
  EXPECT_EQ(t.Margin.Y, 26);
  EXPECT_EQ(t.Margin.TextColour, kFuchsia);
  EXPECT_TRUE(t.Margin.Opaque);
}

TEST(ThumbnailLayout, TextsAreNumbersOrMappedCharacters) {
  ThumbnailLayout t = LayoutThumbnail(64, 64, 1, 0, kRanks, {});
  EXPECT_EQ(t.Labels[0].Text, "7");
  EXPECT_EQ(t.Labels[1].Text, "12");
  EXPECT_EQ(t.Percentages[0].Text, "91.2%");
  EXPECT_EQ(t.Percentages[1].Text, "85%");
  EXPECT_EQ(t.Percentages[2].Text, "50%");
  EXPECT_EQ(t.Margin.Text, "6");  // 6.234 points

  CharMapState chars;
  chars.CharMapLoaded = true;
  chars.CharMap[7] = 'A';
  t = LayoutThumbnail(64, 64, 1, 0, kRanks, chars);
  EXPECT_EQ(t.Labels[0].Text, "A");
  EXPECT_EQ(t.Labels[1].Text, "");  // the map never named 12

  const std::array<TRankEntry, 3> none{};
  t = LayoutThumbnail(64, 64, 1, 0, none, {});
  EXPECT_EQ(t.Labels[0].Text, "0");
  EXPECT_EQ(t.Percentages[0].Text, "0%");
  EXPECT_EQ(t.Margin.Text, "0");
  const std::array<TRankEntry, 3> perfect = {TRankEntry{1, 1.0}, TRankEntry{}, TRankEntry{}};
  EXPECT_EQ(LayoutThumbnail(64, 64, 1, 0, perfect, {}).Percentages[0].Text, "100%");
  // Score x 100 is formatted in extended precision: just below 91.25 reads 91.2.
  const std::array<TRankEntry, 3> mean = {TRankEntry{1, static_cast<double>((0.875L + 0.95) / 2)},
                                          TRankEntry{}, TRankEntry{}};
  EXPECT_EQ(LayoutThumbnail(64, 64, 1, 0, mean, {}).Percentages[0].Text, "91.2%");
}

TEST(ThumbnailLayout, MarginRoundsHalfToEven) {
  EXPECT_EQ(MarginPoints(0.75, 0.5), 25);
  EXPECT_EQ(MarginPoints(0.9375, 0.8125), 12);  // 12.5 exactly -> 12
  EXPECT_EQ(MarginPoints(1.0, 0.625), 38);      // 37.5 exactly -> 38
  EXPECT_EQ(MarginPoints(0.91234, 0.85), 6);
  EXPECT_EQ(MarginPoints(0.5, 0.9), -40);
}

// A blank picture has no raster; its results still stand where a thumbnail's would.
TEST(ThumbnailLayout, RasterWithoutPixelsHasNoSize) {
  const ThumbnailLayout t = LayoutThumbnail(0, 0, 2, 1, kRanks, {});
  EXPECT_EQ(t.Scale, 0.0);
  EXPECT_EQ(t.Left, 69);
  EXPECT_EQ(t.Right, 69);
  EXPECT_EQ(t.Top, 106);
  EXPECT_EQ(t.Bottom, 106);
  EXPECT_EQ(t.Percentages[0].Y, 106);
  EXPECT_EQ(t.Margin.Y, 113);
}

TEST(ThumbnailLayout, ScrollRangeGrowsAcrossAndFollowsDown) {
  ThumbnailScrollRange range;
  EXPECT_EQ(range.Horizontal, 1000);
  EXPECT_EQ(range.Vertical, 10000);
  UpdateScrollRange(range, LayoutThumbnail(64, 64, 3, 0, kRanks, {}));
  EXPECT_EQ(range.Horizontal, 1000);         // 16 + 38 + 10 is less
  EXPECT_EQ(range.Vertical, 212 + 38 + 60);  // always the thumbnail just drawn
  UpdateScrollRange(range, LayoutThumbnail(64, 64, 1, 20, kRanks, {}));
  EXPECT_EQ(range.Horizontal, 1060 + 16 + 38 + 10);
  EXPECT_EQ(range.Vertical, 38 + 60);
  UpdateScrollRange(range, LayoutThumbnail(64, 64, 1, 0, kRanks, {}));
  EXPECT_EQ(range.Horizontal, 1124);  // never shrinks
  UpdateScrollRange(range, LayoutThumbnail(64, 64, 0, 0, kRanks, {}));
  EXPECT_EQ(range.Vertical, 0);  // -106 + 38 + 60 < 0
}

}  // namespace
}  // namespace morvik
