// Small and soft print restored before a page is cut: the x2 Lanczos resampling and when it
// is chosen, the blur measure and the unsharp mask.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "reading/sharpen.h"
#include "reading/upscale.h"

namespace morvik {
namespace {

// A white page with dark bars `stroke` px wide, 24 apart (a page is mostly ground), each
// with `blur` px of linear ramp either side (0: a sharp edge).
GreyImage Bars(int width, int height, int stroke, int blur) {
  GreyImage g{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height)};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const int into = x % 24;  // the bar covers [4, 4 + stroke)
      const int out = into < 4 ? 4 - into : into >= 4 + stroke ? into - (4 + stroke) + 1 : 0;
      const int grey = out == 0 ? 0 : out > blur ? 255 : 255 * out / (blur + 1);
      g.Pixels[static_cast<std::size_t>(y) * width + x] = static_cast<std::uint8_t>(grey);
    }
  return g;
}

TextLine Line(int letters, int cap) {
  TextLine l;
  for (int k = 0; k < letters; ++k) l.Chars.push_back(CharBox{k * 10, 0, 8, cap});
  return l;
}

TEST(Upscale, FactorFollowsThePrintSize) {
  const struct {
    std::string Name;
    std::vector<TextLine> Lines;
    int Width, Height, Factor;
  } cases[] = {
      {"small print", {Line(30, 8), Line(30, 9)}, 800, 600, 2},
      {"print read as it is", {Line(30, 14), Line(30, 16)}, 800, 600, 1},
      {"at the limit", {Line(30, kSmallPrintHeight)}, 800, 600, 1},
      {"too few letters", {Line(10, 8)}, 800, 600, 1},
      {"no lines", {}, 800, 600, 1},
      {"picture too large", {Line(30, 8)}, 8000, 4000, 1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(UpscaleFactor(c.Lines, c.Width, c.Height), c.Factor) << c.Name;
}

TEST(Upscale, KeepsGreysAndEdgesInPlace) {
  const GreyImage bars = Bars(96, 5, 2, 0);
  for (int factor : {1, 2, 3}) {
    const GreyImage up = Upscale(bars, factor);
    ASSERT_EQ(up.Width, bars.Width * factor) << factor;
    ASSERT_EQ(up.Height, bars.Height * factor) << factor;
    // Rows alike in the source stay alike; the bar's middle stays dark, the gaps light.
    for (int y = 0; y < up.Height; ++y)
      for (int x = 0; x < up.Width; ++x) ASSERT_EQ(up.At(x, y), up.At(x, 0)) << factor;
    for (int bar = 0; bar < 4; ++bar) {
      EXPECT_LT(up.At((bar * 24 + 5) * factor, 0), 64) << factor << " bar " << bar;
      EXPECT_GT(up.At((bar * 24 + 16) * factor, 0), 192) << factor << " gap " << bar;
    }
  }
  const GreyImage flat{7, 3, std::vector<std::uint8_t>(21, 200)};
  for (std::uint8_t v : Upscale(flat, 2).Pixels) EXPECT_EQ(v, 200);
}

// The resampling from its definition, in long double and without rounding between the
// passes: the greys at the taps of three lobes either side of each output pixel's source
// position, the edge greys standing in beyond the picture, weights normalised to one; the
// greys along the rows kept within 0-255 as they are stored.
long double Lanczos3(long double x) {
  const long double pi = 3.141592653589793238462643383279502884L;
  if (x == 0) return 1;
  if (std::fabs(x) >= 3) return 0;
  return 3 * std::sin(pi * x) * std::sin(pi * x / 3) / (pi * pi * x * x);
}

long double Resampled(const std::function<long double(int)>& at, int n, int out, int factor) {
  const long double centre = (out + 0.5L) / factor - 0.5L;
  long double sum = 0, weights = 0;
  for (int i = static_cast<int>(std::floor(centre)) - 2; i <= std::floor(centre) + 3; ++i) {
    const long double w = Lanczos3(i - centre);
    sum += w * at(std::clamp(i, 0, n - 1));
    weights += w;
  }
  return sum / weights;
}

TEST(Upscale, AgreesWithTheFilterOnAnyWidth) {
  // Widths around the lengths the passes are taken in at once, and their tails.
  for (const auto& [width, height] : {std::pair{1, 1}, {2, 3}, {7, 2}, {17, 5}, {33, 4}, {70, 3}}) {
    GreyImage g{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height)};
    for (std::size_t i = 0; i < g.Pixels.size(); ++i)
      g.Pixels[i] = static_cast<std::uint8_t>((i * 7919 + i / 3 * 104729) % 256);
    for (int factor : {2, 3}) {
      const GreyImage up = Upscale(g, factor);
      ASSERT_EQ(up.Width, width * factor);
      int worst = 0;
      for (int y = 0; y < up.Height; ++y)
        for (int x = 0; x < up.Width; ++x) {
          const auto column = [&](int sy) {
            return std::clamp<long double>(
                Resampled([&](int sx) { return g.At(sx, sy); }, width, x, factor), 0, 255);
          };
          const long double want =
              std::clamp<long double>(Resampled(column, height, y, factor), 0, 255);
          worst = std::max(worst, static_cast<int>(std::fabs(up.At(x, y) - want) + 0.5L));
        }
      // The fixed-point weights and the greys rounded between the passes.
      EXPECT_LE(worst, 2) << width << " x " << height << ", factor " << factor;
    }
  }
}

// Sharp bars beside a block of solid ink (a dark bar across a page), whose inside is flat.
GreyImage WithBlock() {
  GreyImage g = Bars(600, 40, 3, 0);
  for (int y = 5; y < 35; ++y)
    for (int x = 100; x < 250; ++x) g.Pixels[static_cast<std::size_t>(y) * g.Width + x] = 0;
  return g;
}

GreyImage Inverted(GreyImage g) {
  for (std::uint8_t& v : g.Pixels) v = static_cast<std::uint8_t>(255 - v);
  return g;
}

TEST(Sharpen, TellsSoftEdgesAndSteepensThem) {
  const struct {
    std::string Name;
    GreyImage Picture;
    bool Blurred;
  } cases[] = {
      {"sharp", Bars(600, 40, 3, 0), false},
      {"anti-aliased", Bars(600, 40, 3, 1), false},
      {"blurred", Bars(600, 40, 3, 3), true},
      {"solid ink", WithBlock(), false},
      {"too little ink", Bars(120, 4, 3, 3), false},
      {"blank", GreyImage{50, 50, std::vector<std::uint8_t>(2500, 255)}, false},
      // Light on dark alike; rows of a few pixels, most edges at their ends.
      {"blurred, light on dark", Inverted(Bars(600, 40, 3, 3)), true},
      {"anti-aliased, light on dark", Inverted(Bars(600, 40, 3, 1)), false},
      {"blurred, narrow", Bars(40, 400, 3, 3), true},
      {"blurred, narrow, light on dark", Inverted(Bars(40, 400, 3, 3)), true},
      {"anti-aliased, narrow", Bars(40, 400, 3, 1), false},
  };
  for (const auto& c : cases) EXPECT_EQ(LooksBlurred(c.Picture), c.Blurred) << c.Name;
  // The unsharp mask leaves flat greys alone and pushes a ramp's ends apart.
  const GreyImage soft = Bars(600, 40, 3, 3), sharp = Sharpen(soft);
  ASSERT_EQ(sharp.Width, soft.Width);
  ASSERT_EQ(sharp.Height, soft.Height);
  EXPECT_LT(sharp.At(4, 20), soft.At(4, 20) / 2 + 1);  // bar edge darker
  EXPECT_GT(sharp.At(1, 20), soft.At(1, 20));          // ramp's light end lighter
  const GreyImage flat{20, 20, std::vector<std::uint8_t>(400, 180)};
  for (std::uint8_t v : Sharpen(flat).Pixels) EXPECT_EQ(v, 180);
}

// Each pixel of the mask worked out on its own: the Gaussian (sigma 1.5, five taps either side,
// weights in 1/16384 whose rounding the middle one takes up) along the row, rounded to a
// byte, then down the column, edge greys standing in beyond the picture; then twice the grey
// less the blur, clamped. Widths around the eight pixels worked at once.
TEST(Sharpen, EachPixelIsTheUnsharpMaskOfItsNeighbours) {
  long double w[11], sum = 0;
  for (int k = -5; k <= 5; ++k) sum += w[k + 5] = std::exp(-(k * k) / (2 * 1.5L * 1.5L));
  int weights[11], total = 0;
  for (int k = 0; k < 11; ++k)
    total += weights[k] = static_cast<int>(std::lround(w[k] / sum * 16384));
  weights[5] += 16384 - total;
  for (const auto& [width, height] : {std::pair{1, 1}, {7, 3}, {8, 12}, {37, 23}, {61, 9}}) {
    GreyImage g{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height)};
    for (std::size_t i = 0; i < g.Pixels.size(); ++i)
      g.Pixels[i] = static_cast<std::uint8_t>(i * 7919 % 253);
    const auto blurred = [&](const std::function<int(int)>& at) {
      int v = 0;
      for (int k = -5; k <= 5; ++k) v += weights[k + 5] * at(k);
      return (v + 8192) >> 14;
    };
    const GreyImage sharp = Sharpen(g);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const int blur = blurred([&](int dy) {
          const int row = std::clamp(y + dy, 0, height - 1);
          return blurred([&](int dx) { return g.At(std::clamp(x + dx, 0, width - 1), row); });
        });
        ASSERT_EQ(sharp.At(x, y), std::clamp(2 * g.At(x, y) - blur, 0, 255))
            << width << "x" << height << " at " << x << "," << y;
      }
  }
}

}  // namespace
}  // namespace morvik
