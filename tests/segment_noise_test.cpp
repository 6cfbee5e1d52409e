// Tests of telling noise from characters: textures by their crossings, lines of dots by their
// height, and what the segmentation keeps of a line once they are left out.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "segment/noise.h"

namespace morvik {
namespace {

// Random ink of the given share.
BinaryImage Noise(int width, int height, double share, unsigned seed) {
  BinaryImage b{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height)};
  std::mt19937 rng(seed);
  std::bernoulli_distribution ink(share);
  for (std::uint8_t& p : b.Ink) p = ink(rng);
  return b;
}

// `strokes` vertical strokes two pixels wide, two apart, 30 high: a comb.
BinaryImage Comb(int strokes) {
  BinaryImage b{4 * strokes, 30,
                std::vector<std::uint8_t>(static_cast<std::size_t>(4 * strokes) * 30)};
  for (int y = 0; y < 30; ++y)
    for (int s = 0; s < strokes; ++s)
      b.Ink[static_cast<std::size_t>(y) * b.Width + 4 * s] =
          b.Ink[static_cast<std::size_t>(y) * b.Width + 4 * s + 1] = 1;
  return b;
}

// The runs of ink of a box counted one pixel at a time, along each row and down each column,
// against the texture test, on random ink of every density and boxes partly outside.
TEST(Noise, TextureByTheRunsCountedOneAtATime) {
  std::mt19937 rng(1209);
  int textures = 0;
  for (int n = 0; n < 300; ++n) {
    const BinaryImage ink = Noise(1 + n % 100, 1 + n % 31, (n % 10) / 10.0, n);
    // Every other box holds the whole picture, wide enough for texture.
    const Rect box = n % 2
                         ? Rect{-1, 0, ink.Width + 2, ink.Height}
                         : Rect{static_cast<int>(rng() % 110) - 5, static_cast<int>(rng() % 40) - 5,
                                static_cast<int>(rng() % 110), static_cast<int>(rng() % 40)};
    const int left = std::max(box.Left, 0), top = std::max(box.Top, 0);
    const int right = std::min(box.Right(), ink.Width), bottom = std::min(box.Bottom(), ink.Height);
    long long across = 0, down = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) {
        across += ink.At(x, y) && (x == left || !ink.At(x - 1, y));
        down += ink.At(x, y) && (y == top || !ink.At(x, y - 1));
      }
    const bool texture =
        right > left && bottom > top &&
        (across > kNoiseCrossings * (bottom - top) || down > kNoiseCrossings * (right - left));
    ASSERT_EQ(IsTexture(ink, box), texture) << "picture " << n;
    textures += texture;
  }
  EXPECT_GT(textures, 10);
}

TEST(Noise, TexturesCrossRowsOrColumnsMoreThanCharactersDo) {
  const struct {
    const char* name;
    BinaryImage ink;
    bool texture;
  } cases[] = {
      {"half ink at random", Noise(60, 60, 0.5, 1), true},
      {"a tenth ink, tall", Noise(40, 300, 0.1, 2), true},
      {"a solid block", Noise(20, 30, 1.0, 3), false},
      {"four strokes (an m, a W)", Comb(4), false},
      {"eight strokes (WW in one box)", Comb(8), false},
      {"fourteen strokes", Comb(14), true},
      {"nothing", Noise(10, 10, 0.0, 4), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(IsTexture(c.ink, {0, 0, c.ink.Width, c.ink.Height}), c.texture);
    // Clipped to the image: a box reaching past it judges what lies inside.
    EXPECT_EQ(IsTexture(c.ink, {-5, -5, c.ink.Width + 10, c.ink.Height + 10}), c.texture);
  }
}

CharBox Box(int left, int width, int height, bool space = false, bool empty = false) {
  return {left, 0, width, height, space, empty};
}

// A picture of a solid 10 x 60 character at x = 0, 100 and 140 and random noise at 20 .. 79.
BinaryImage ThreeWithNoise() {
  BinaryImage b = Noise(150, 60, 0.0, 5);
  const BinaryImage noise = Noise(60, 60, 0.5, 6);
  for (int y = 0; y < 60; ++y) {
    for (int x : {0, 100, 140})
      for (int k = 0; k < 10; ++k) b.Ink[static_cast<std::size_t>(y) * 150 + x + k] = 1;
    for (int k = 0; k < 60; ++k)
      b.Ink[static_cast<std::size_t>(y) * 150 + 20 + k] =
          noise.Ink[static_cast<std::size_t>(y) * 60 + k];
  }
  return b;
}

TEST(Noise, RemovedFromLinesWithTheirSpacesKept) {
  const BinaryImage ink = ThreeWithNoise();
  const TextLine line{
      {0, 0, 150, 60},
      {Box(0, 10, 60), Box(20, 60, 60, true), Box(100, 10, 60), Box(140, 10, 60, true)}};
  const TextLine dots{{0, 0, 20, 2}, {Box(0, 2, 2), Box(8, 2, 2), Box(16, 2, 2)}};
  const TextLine onlyNoise{{20, 0, 60, 60}, {Box(20, 60, 60)}};
  // Dashes and one figure: the figure is tall enough, so the dashes stay with it.
  const TextLine dashes{{0, 0, 150, 10}, {Box(0, 8, 2), Box(100, 8, 10, true), Box(140, 8, 2)}};

  Segmentation text{true, {dots, line, onlyNoise, dashes}};
  RemoveNoise(text, ink, false);
  ASSERT_EQ(text.Lines.size(), 2u);
  EXPECT_EQ(text.Lines[1].Chars.size(), 3u);
  const std::vector<CharBox>& kept = text.Lines[0].Chars;
  ASSERT_EQ(kept.size(), 3u);
  EXPECT_EQ(kept[1].Left, 100);
  EXPECT_TRUE(kept[1].SpaceBefore);  // the space before the noise
  EXPECT_TRUE(kept[2].SpaceBefore);

  // A grid keeps every cell in its place: noise and dots become empty cells.
  Segmentation grid{true, {dots, line}};
  RemoveNoise(grid, ink, true);
  ASSERT_EQ(grid.Lines.size(), 2u);
  EXPECT_EQ(grid.Lines[0].Chars.size(), 3u);
  EXPECT_TRUE(grid.Lines[0].Chars[0].Empty);
  ASSERT_EQ(grid.Lines[1].Chars.size(), 4u);
  EXPECT_TRUE(grid.Lines[1].Chars[1].Empty);
  EXPECT_FALSE(grid.Lines[1].Chars[2].Empty);
}

}  // namespace
}  // namespace morvik
