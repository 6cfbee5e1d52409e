// Removing isolated pixels: the scan that examines only pixels far from their left neighbour
// against the plain definition, every pixel compared with all its neighbours.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <vector>

#include "segment/isolated_pixels.h"

namespace morvik {
namespace {

GreyImage CleanedByDefinition(const GreyImage& grey) {
  GreyImage out = grey;
  for (int y = 0; y < grey.Height; ++y)
    for (int x = 0; x < grey.Width; ++x) {
      const int p = grey.At(x, y);
      std::vector<int> n;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
          if ((dx || dy) && x + dx >= 0 && y + dy >= 0 && x + dx < grey.Width &&
              y + dy < grey.Height)
            n.push_back(grey.At(x + dx, y + dy));
      if (n.empty()) continue;
      const bool brighter =
          std::all_of(n.begin(), n.end(), [&](int q) { return p - q > kIsolatedPixelContrast; });
      const bool darker =
          std::all_of(n.begin(), n.end(), [&](int q) { return q - p > kIsolatedPixelContrast; });
      const auto [low, high] = std::minmax_element(n.begin(), n.end());
      if ((!brighter && !darker) || *high - *low > kIsolatedPixelContrast) continue;
      auto near = [&](int yy) { return std::abs(grey.At(x, yy) - p) <= kIsolatedPixelContrast; };
      if ((y + 3 < grey.Height && near(y + 2) && near(y + 3)) ||
          (y + 4 < grey.Height && near(y + 3) && near(y + 4)))
        continue;  // an i's dot
      std::sort(n.begin(), n.end());
      out.Pixels[static_cast<std::size_t>(y) * grey.Width + x] =
          static_cast<std::uint8_t>(n[(n.size() - 1) / 2]);
    }
  return out;
}

TEST(IsolatedPixels, EqualsTheDefinitionOnNoisyPictures) {
  std::mt19937 random(8122026);
  for (int round = 0; round < 400; ++round) {
    GreyImage g;
    g.Width = 1 + static_cast<int>(random() % 80);
    g.Height = 1 + static_cast<int>(random() % 40);
    // Flat ground and blocks of ink, then isolated pixels of every contrast, some at the edges.
    const int ground = static_cast<int>(random() % 256), ink = static_cast<int>(random() % 256);
    g.Pixels.assign(static_cast<std::size_t>(g.Width) * g.Height,
                    static_cast<std::uint8_t>(ground));
    for (int y = 0; y < g.Height; ++y)
      for (int x = 0; x < g.Width; ++x)
        if ((x / 3 + y / 4) % 3 == 0) g.Pixels[static_cast<std::size_t>(y) * g.Width + x] = ink;
    // Every other round a grain on ground and ink within the contrast, so that the median
    // taken of an isolated pixel's neighbours is one of several greys.
    if (round % 2 == 1)
      for (std::uint8_t& v : g.Pixels)
        v = static_cast<std::uint8_t>(
            std::clamp(v + static_cast<int>(random() % (kIsolatedPixelContrast / 2 + 1)), 0, 255));
    const int isolatedCount = static_cast<int>(random() % (g.Pixels.size() / 2 + 2));
    for (int k = 0; k < isolatedCount; ++k)
      g.Pixels[random() % g.Pixels.size()] = static_cast<std::uint8_t>(random() % 256);
    ASSERT_EQ(RemoveIsolatedPixels(g).Pixels, CleanedByDefinition(g).Pixels)
        << "round " << round << ", " << g.Width << " x " << g.Height;
  }
}

// Wide stretches of one grey, which the pass skips eight pixels at a time, with few isolated pixels
// among them: at every offset from the stretch's start, right up to the row's end.
TEST(IsolatedPixels, EqualsTheDefinitionAcrossWideFlatStretches) {
  std::mt19937 random(20261208);
  for (int round = 0; round < 400; ++round) {
    GreyImage g;
    g.Width = 1 + static_cast<int>(random() % 100);
    g.Height = 1 + static_cast<int>(random() % 12);
    const int ground = static_cast<int>(random() % 256), ink = static_cast<int>(random() % 256);
    const int block = 9 + static_cast<int>(random() % 12);
    g.Pixels.assign(static_cast<std::size_t>(g.Width) * g.Height,
                    static_cast<std::uint8_t>(ground));
    for (int y = 0; y < g.Height; ++y)
      for (int x = 0; x < g.Width; ++x)
        if ((x / block + y / 3) % 2 == 0) g.Pixels[static_cast<std::size_t>(y) * g.Width + x] = ink;
    const int isolatedCount = static_cast<int>(random() % 6);
    for (int k = 0; k < isolatedCount; ++k)
      g.Pixels[random() % g.Pixels.size()] = static_cast<std::uint8_t>(random() % 256);
    ASSERT_EQ(RemoveIsolatedPixels(g).Pixels, CleanedByDefinition(g).Pixels)
        << "round " << round << ", " << g.Width << " x " << g.Height;
  }
}

TEST(IsolatedPixelTest, SinglePixelsOfNoiseGoStrokesStay) {
  GreyImage g;
  g.Width = 7;
  g.Height = 5;
  g.Pixels = {
      255, 255, 255, 255, 255, 255, 255,  //
      255, 0,   255, 0,   255, 255, 255,  // a dot at (1, 1); (3, 1) starts a stroke
      255, 255, 255, 0,   255, 40,  255,  // (5, 2) a dot
      255, 255, 255, 0,   200, 255, 255,  // (4, 3) close to the ground: kept
      0,   255, 255, 255, 255, 255, 255,  // a dot in the corner
  };
  const GreyImage out = RemoveIsolatedPixels(g);
  GreyImage want = g;
  want.Pixels[1 * 7 + 1] = 255;
  want.Pixels[2 * 7 + 5] = 255;
  want.Pixels[4 * 7 + 0] = 255;
  EXPECT_EQ(out.Pixels, want.Pixels);

  // A bright dot in a dark field takes the neighbours' median; a dark dot with a soft edge
  // (a neighbour half way to it: the dot of an i at screen sizes) stays.
  GreyImage dark;
  dark.Width = dark.Height = 3;
  dark.Pixels = {10, 20, 30, 40, 255, 50, 60, 70, 70};
  EXPECT_EQ(RemoveIsolatedPixels(dark).Pixels[4], 40);
  GreyImage soft = dark;
  soft.Pixels = {255, 255, 255, 244, 26, 229, 249, 142, 242};
  EXPECT_EQ(RemoveIsolatedPixels(soft).Pixels[4], 26);
}

// Every pixel is judged by its neighbours as they were, also where the picture is cleaned in
// its own memory: in a column one pixel wide, 250 stands out and takes 100; 150 below it,
// judged beside the 250, stands out too and takes 230 (beside a 100 it would stay).
TEST(IsolatedPixels, JudgesByThePictureAsItWasInPlaceToo) {
  GreyImage g{1, 5, {100, 100, 250, 150, 230}};
  const std::vector<std::uint8_t> want = {100, 100, 100, 230, 150};
  EXPECT_EQ(CleanedByDefinition(g).Pixels, want);
  EXPECT_EQ(RemoveIsolatedPixels(g).Pixels, want);
  RemoveIsolatedPixelsInPlace(g);
  EXPECT_EQ(g.Pixels, want);
}

// A one-pixel dot one or two rows above a stem is an i's, kept; the same dot three rows
// above a stem is noise.
TEST(IsolatedPixels, KeepsTheDotOfAnI) {
  for (const int gap : {1, 2, 3}) {
    GreyImage g{5, 10, std::vector<std::uint8_t>(50, 255)};
    g.Pixels[1 * 5 + 2] = 20;
    for (int y = 2 + gap; y < 10; ++y) g.Pixels[static_cast<std::size_t>(y) * 5 + 2] = 20;
    EXPECT_EQ(RemoveIsolatedPixels(g).At(2, 1), gap < 3 ? 20 : 255) << gap;
  }
}

}  // namespace
}  // namespace morvik
