// Tests of the auto-crop: the content box, the margin and which source pixels reach the target.
#include "image/crop.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace morvik {
namespace {

constexpr Colour kBackground = 0x646464;  // grey 100
constexpr Colour kDark = 0x101010;        // not content, but not the background colour either
constexpr Colour kBright = 0xC8C8C8;      // content

// Rows of '#' (content), '.' (dark) and 'b' (background colour).
Bitmap FromRows(const std::vector<std::string>& rows) {
  Bitmap bm(rows.empty() ? 0 : static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
  for (int y = 0; y < bm.Height(); ++y)
    for (int x = 0; x < bm.Width(); ++x)
      bm.SetPixel(x, y, rows[y][x] == '#' ? kBright : rows[y][x] == '.' ? kDark : kBackground);
  return bm;
}

std::vector<std::string> ToRows(const Bitmap& bm) {
  std::vector<std::string> rows;
  for (int y = 0; y < bm.Height(); ++y) {
    std::string row;
    for (int x = 0; x < bm.Width(); ++x) {
      const Colour c = bm.Pixel(x, y);
      row += c == kBright ? '#' : c == kDark ? '.' : c == kBackground ? 'b' : '?';
    }
    rows.push_back(row);
  }
  return rows;
}

struct CropCase {
  const char* name;
  std::vector<std::string> source;
  int margin;
  CropBox box;
  std::vector<std::string> target;
};

class Crop : public testing::TestWithParam<CropCase> {};

TEST_P(Crop, BoxAndTarget) {
  const CropCase& c = GetParam();
  const Bitmap source = FromRows(c.source);
  const CropBox box = FindContentBox(source, kBackground);
  EXPECT_EQ(box.Top, c.box.Top);
  EXPECT_EQ(box.Bottom, c.box.Bottom);
  EXPECT_EQ(box.Left, c.box.Left);
  EXPECT_EQ(box.Right, c.box.Right);
  Bitmap target(7, 7);
  AutoCrop(source, target, c.margin, kBackground);
  EXPECT_EQ(ToRows(target), c.target);
  EXPECT_EQ(source, FromRows(c.source));
}

INSTANTIATE_TEST_SUITE_P(
    Examples, Crop,
    testing::Values(
        CropCase{"NoContentDropsMargin", {"...", ".b."}, 2, {0, 0, 0, 0}, {}},
        CropCase{"EmptySource", {}, 3, {0, 0, 0, 0}, {}},
        CropCase{"OnePixel", {"....", "....", "..#.", "...."}, 0, {2, 3, 2, 3}, {"#"}},
        CropCase{
            "FiveByFour", {".....", ".#...", "...#.", "....."}, 0, {1, 3, 1, 4}, {"#..", "..#"}},
        CropCase{
            "TouchingEdges", {"#...", "...#", ".#.."}, 0, {0, 3, 0, 4}, {"#...", "...#", ".#.."}},
        // The left scan only looks left of the leftmost content so far, the right scan right
        // of the rightmost; each row can still move the bound.
        CropCase{"BoundsFromDifferentRows",
                 {"......", "....#.", "......", ".#....", "..#...", "......"},
                 0,
                 {1, 5, 1, 5},
                 {"...#", "....", "#...", ".#.."}},
        // Margins: the copied rectangle is Left + Right wide and Top + Bottom high from the
        // source's origin, so at most min(margin, Left) columns and min(margin, Top) rows of
        // the surroundings reach the target on every side; the rest keeps the background.
        CropCase{"MarginAtOrigin",
                 {"#...", "....", "...."},
                 2,
                 {0, 1, 0, 1},
                 {"bbbbb", "bbbbb", "bb#bb", "bbbbb", "bbbbb"}},
        CropCase{"MarginPartlyReached",
                 {".....", ".#...", ".....", ".....", "....."},
                 2,
                 {1, 2, 1, 2},
                 {"bbbbb", "b...b", "b.#.b", "b...b", "bbbbb"}},
        CropCase{"MarginFullyReached",
                 {"......", "......", "...#..", "......", "......", "......"},
                 1,
                 {2, 3, 3, 4},
                 {"...", ".#.", "..."}},
        // The surroundings stop at the source's own edge.
        CropCase{"MarginBeyondSource",
                 {"....", "....", "...#"},
                 2,
                 {2, 3, 3, 4},
                 {"...bb", "...bb", "..#bb", "bbbbb", "bbbbb"}}),
    [](const testing::TestParamInfo<CropCase>& info) { return std::string(info.param.name); });

// Content is a pixel brighter than the background in at least one channel, compared
// channel by channel.
TEST(Crop, ContentTestPerChannel) {
  struct Case {
    Colour background, pixel;
    bool content;
  };
  const Case cases[] = {
      {0x646464, MakeColour(90, 90, 120), true},
      {0x646464, MakeColour(100, 100, 100), false},
      {0x646464, MakeColour(20, 30, 40), false},
      {MakeColour(10, 100, 200), MakeColour(11, 0, 0), true},
      {MakeColour(10, 100, 200), MakeColour(5, 101, 0), true},
      {MakeColour(10, 100, 200), MakeColour(5, 50, 201), true},
      {MakeColour(10, 100, 200), MakeColour(10, 100, 200), false},
      {MakeColour(10, 100, 200), MakeColour(200, 10, 10), true},
      {MakeColour(200, 100, 10), MakeColour(10, 100, 200), true},
      {MakeColour(200, 100, 10), MakeColour(200, 99, 10), false},
      {kWhite, kWhite, false},
  };
  for (const Case& c : cases) {
    Bitmap source(3, 3);
    source.Fill(c.background);
    source.SetPixel(1, 2, c.pixel);
    Bitmap target;
    AutoCrop(source, target, 0, c.background);
    EXPECT_EQ(target.Width(), c.content ? 1 : 0) << std::hex << c.background << " " << c.pixel;
    EXPECT_EQ(target.Height(), c.content ? 1 : 0) << std::hex << c.background << " " << c.pixel;
    if (c.content) {
      EXPECT_EQ(target.Pixel(0, 0), c.pixel);
    }
  }
}

TEST(Crop, EmptySourcesOfOneSide) {
  for (const Bitmap& source : {Bitmap(0, 4), Bitmap(4, 0)}) {
    Bitmap target(2, 2);
    AutoCrop(source, target, 1, kBackground);
    EXPECT_EQ(target.Width(), 0);
    EXPECT_EQ(target.Height(), 0);
  }
}

}  // namespace
}  // namespace morvik
