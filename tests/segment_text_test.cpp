// Tests of the text segmenter on pictures rendered with FreeType: lines, characters and spaces
// of several typefaces, sizes and both polarities, with and without noise; the dots of i and j,
// colons and percent signs; a touching pair; boxes; pictures without text.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "font_files.h"
#include "fonts/font_face.h"
#include "fonts/render.h"
#include "segment/binarise.h"
#include "segment/components.h"
#include "segment/grey_image.h"
#include "segment/text_segmenter.h"

namespace morvik {
namespace {

using test::FontInstalled;

GreyImage Render(const std::string& font, const std::vector<std::string>& lines, int cap,
                 bool lightOnDark, int tracking = 0) {
  const FontFace face(font);
  RenderOptions o;
  o.LightOnDark = lightOnDark;
  o.Margin = 12;
  o.Tracking = tracking;
  return ToGreyImage(RenderText(face, lines, cap, o));
}

// share of the pixels set to black or white at random, half each
void AddSaltAndPepper(GreyImage& g, unsigned seed, double share) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> u(0.0, 1.0);
  for (std::uint8_t& p : g.Pixels) {
    const double r = u(rng);
    if (r < share / 2)
      p = 0;
    else if (r < share)
      p = 255;
  }
}

// The layout as text: 'x' per character, a blank for a space, '\n' after each line.
std::string ShapeOf(const Segmentation& s) {
  std::string out;
  for (const TextLine& l : s.Lines) {
    for (const CharBox& c : l.Chars) out += c.SpaceBefore ? " x" : "x";
    out += '\n';
  }
  return out;
}

std::string ShapeOf(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& l : lines) {
    for (char c : l) out += c == ' ' ? ' ' : 'x';
    out += '\n';
  }
  return out;
}

TEST(SegmentText, LinesCharactersAndSpaces) {
  struct Case {
    const std::string& font;
    std::vector<std::string> lines;
    int cap;
    bool lightOnDark;
    double noise;
  };
  const Case cases[] = {
      {test::kDejaVuSans, {"0123 456"}, 24, false, 0},
      {test::kDejaVuSans, {"AB12 CD", "XYZ 9"}, 32, true, 0},
      {test::kDejaVuSerif, {"HELLO WORLD"}, 40, false, 0},
      {test::kDejaVuSansMono, {"11 1 111"}, 28, false, 0},    // monospaced pitch
      {test::kFreeMono, {"07:45 21.5"}, 28, true, 0},         // narrow signs, wide cells
      {test::kDejaVuSans, {"4102 18 56 182"}, 20, false, 0},  // tabular figures
      {test::kDejaVuSans, {"mini jig", "ii"}, 30, false, 0},  // dots of i and j
      {test::kDejaVuSans, {"12:30 50%"}, 30, true, 0},        // colon, percent sign
      {test::kNimbusRomanOtf, {"SEVEN 7", "EIGHT 88", "NINE 9"}, 36, false, 0},
      {test::kLiberationSans, {"4102 18 56"}, 20, false, 0.01},  // noise
      {test::kNimbusSansType1, {"QUICK 42", "FOX 7"}, 48, true, 0.01},
      {test::kDejaVuSerif, {"2718 2818"}, 64, true, 0.02},
  };
  for (const Case& c : cases) {
    if (!FontInstalled(c.font)) continue;
    GreyImage g = Render(c.font, c.lines, c.cap, c.lightOnDark);
    if (c.noise > 0) AddSaltAndPepper(g, 7, c.noise);
    const Segmentation s = SegmentText(g);
    EXPECT_EQ(ShapeOf(s), ShapeOf(c.lines)) << c.font << " " << c.lines[0] << " at " << c.cap;
    EXPECT_EQ(s.DarkOnLight, !c.lightOnDark) << c.lines[0];
  }
}

TEST(SegmentText, DotsOfIAndJStayWithTheirStems) {
  if (!FontInstalled(test::kDejaVuSans)) GTEST_SKIP();
  for (int cap : {16, 30, 60}) {
    const Segmentation s = SegmentText(Render(test::kDejaVuSans, {"iji jij", "iii"}, cap, true));
    ASSERT_EQ(s.Lines.size(), 2u) << cap;
    EXPECT_EQ(s.Lines[0].Chars.size(), 6u) << cap;
    ASSERT_EQ(s.Lines[1].Chars.size(), 3u) << cap;
    const CharBox& i = s.Lines[1].Chars[0];
    EXPECT_GT(i.Height, cap * 4 / 5) << cap;  // the dot is in the box
  }
}

TEST(SegmentText, BoxesInReadingOrder) {
  if (!FontInstalled(test::kDejaVuSans)) GTEST_SKIP();
  const Segmentation s = SegmentText(Render(test::kDejaVuSans, {"AB CD", "EF", "GHI"}, 30, false));
  ASSERT_EQ(s.Lines.size(), 3u);
  for (std::size_t i = 0; i < s.Lines.size(); ++i) {
    const TextLine& l = s.Lines[i];
    if (i > 0) {
      EXPECT_GT(l.Box.Top, s.Lines[i - 1].Box.Bottom());
    }
    for (std::size_t k = 0; k < l.Chars.size(); ++k) {
      const CharBox& c = l.Chars[k];
      if (k > 0) {
        EXPECT_GE(c.Left, l.Chars[k - 1].Left + l.Chars[k - 1].Width);
      }
      EXPECT_GE(c.Left, l.Box.Left);
      EXPECT_LE(c.Top + c.Height, l.Box.Bottom());
      EXPECT_NEAR(c.Height, 30, 1);  // capitals: the cap height
    }
  }
}

TEST(SegmentText, BoxOfOneGlyphIsItsInk) {
  if (!FontInstalled(test::kDejaVuSans)) GTEST_SKIP();
  const FontFace face(test::kDejaVuSans);
  RenderOptions o;
  o.Margin = 10;
  for (bool light : {false, true}) {
    o.LightOnDark = light;
    const Bitmap bm = RenderGlyph(face, U'H', 40, o);
    const Segmentation s = SegmentText(ToGreyImage(bm));
    ASSERT_EQ(s.Lines.size(), 1u);
    ASSERT_EQ(s.Lines[0].Chars.size(), 1u);
    const CharBox& c = s.Lines[0].Chars[0];
    // FreeType's bitmap may carry a faint edge column that Otsu leaves out.
    EXPECT_NEAR(c.Left, 10, 1);
    EXPECT_NEAR(c.Top, 10, 1);
    EXPECT_NEAR(c.Width, bm.Width() - 20, 2);
    EXPECT_NEAR(c.Height, bm.Height() - 20, 2);
    EXPECT_FALSE(c.SpaceBefore);
    EXPECT_FALSE(c.Empty);
  }
}

int InkWidth(const GreyImage& g) {
  const Binarised b = Binarise(g, Polarity::Auto);
  Rect all;
  for (const Component& c : FindComponents(b.Image)) all = Union(all, c.Box);
  return all.Width;
}

TEST(SegmentText, TouchingPairIsSplitWideLettersAreNot) {
  if (!FontInstalled(test::kDejaVuSans)) GTEST_SKIP();
  for (const std::string pair : {"TT", "T7", "77", "E7", "ET"}) {
    const int single = InkWidth(Render(test::kDejaVuSans, {pair.substr(0, 1)}, 40, false));
    const int apart = InkWidth(Render(test::kDejaVuSans, {pair}, 40, false));
    const int gap =
        apart - single - InkWidth(Render(test::kDejaVuSans, {pair.substr(1)}, 40, false));
    const GreyImage touching = Render(test::kDejaVuSans, {pair}, 40, false, -gap - 1);
    ASSERT_EQ(FindComponents(Binarise(touching, Polarity::Auto).Image).size(), 1u) << pair;
    const Segmentation s = SegmentText(touching);
    ASSERT_EQ(s.Lines.size(), 1u);
    EXPECT_EQ(s.Lines[0].Chars.size(), 2u) << pair;
    if (s.Lines[0].Chars.size() != 2) continue;
    EXPECT_NEAR(s.Lines[0].Chars[0].Width, single, 3) << pair;
    EXPECT_FALSE(s.Lines[0].Chars[1].SpaceBefore);
  }
  // M and W are wide but have no thin waist to cut at.
  EXPECT_EQ(ShapeOf(SegmentText(Render(test::kDejaVuSans, {"1M1W1MW"}, 40, false))), "xxxxxxx\n");
}

TEST(SegmentText, ForcedPolarity) {
  if (!FontInstalled(test::kDejaVuSans)) GTEST_SKIP();
  const GreyImage g = Render(test::kDejaVuSans, {"42"}, 30, false);
  EXPECT_TRUE(SegmentText(g, Polarity::DarkOnLight).DarkOnLight);
  EXPECT_EQ(ShapeOf(SegmentText(g, Polarity::DarkOnLight)), "xx\n");
  // Read the wrong way round, the background is one big component around two holes.
  const Segmentation wrong = SegmentText(g, Polarity::LightOnDark);
  EXPECT_FALSE(wrong.DarkOnLight);
  EXPECT_NE(ShapeOf(wrong), "xx\n");
}

TEST(SegmentText, PicturesWithoutText) {
  GreyImage none;
  EXPECT_TRUE(SegmentText(none).Lines.empty());
  GreyImage flat{50, 20, std::vector<std::uint8_t>(1000, 200)};
  EXPECT_TRUE(SegmentText(flat).Lines.empty());
  EXPECT_EQ(OtsuThreshold(flat), -1);
  GreyImage dust = flat;
  AddSaltAndPepper(dust, 3, 0.001);
  dust.Pixels[0] = 0;
  EXPECT_LE(SegmentText(dust).Lines.size(), 1u);  // no crash; dots alone make no text
}

TEST(Binarise, OtsuAndPolarity) {
  // 30 dark pixels of 10 on 70 light ones of 200: the threshold separates them, ink is dark.
  GreyImage g{10, 10, std::vector<std::uint8_t>(100, 200)};
  for (int i = 0; i < 30; ++i) g.Pixels[i] = 10;
  const int t = OtsuThreshold(g);
  EXPECT_GE(t, 10);
  EXPECT_LT(t, 200);
  Binarised b = Binarise(g, Polarity::Auto);
  EXPECT_TRUE(b.DarkOnLight);
  EXPECT_TRUE(b.Image.At(0, 0));
  EXPECT_FALSE(b.Image.At(9, 9));
  for (std::uint8_t& p : g.Pixels) p = static_cast<std::uint8_t>(255 - p);
  b = Binarise(g, Polarity::Auto);
  EXPECT_FALSE(b.DarkOnLight);
  EXPECT_TRUE(b.Image.At(0, 0));
  EXPECT_FALSE(b.Image.At(9, 9));
}

// Otsu's criterion from its definition, exactly: for each split, the two classes counted
// from the pixels themselves, n0 n1 (m0 - m1)^2 = (s0 n1 - s1 n0)^2 / (n0 n1) as a fraction.
__extension__ typedef unsigned __int128 Wide;

struct Between {
  Wide Square = 0, Product = 1;  // Square / Product
  bool operator>(const Between& o) const { return Square * o.Product > o.Square * Product; }
  bool operator==(const Between& o) const { return Square * o.Product == o.Square * Product; }
};

Between BetweenAt(const GreyImage& grey, int t) {
  std::int64_t n0 = 0, n1 = 0, s0 = 0, s1 = 0;
  for (std::uint8_t v : grey.Pixels) (v <= t ? n0 : n1) += 1, (v <= t ? s0 : s1) += v;
  if (n0 == 0 || n1 == 0) return Between{0, 1};
  const std::int64_t d = s0 * n1 - s1 * n0;
  const Wide magnitude = static_cast<Wide>(d < 0 ? -d : d);
  return Between{magnitude * magnitude, static_cast<Wide>(n0 * n1)};
}

// The threshold Otsu's method chooses splits the greys where the classes lie furthest apart,
// at the lowest such split; a picture of one grey has none. Checked by trying every split:
// sizes that are not a multiple of the histogram's parts, flat pictures, two greys, and
// mostly-background noise.
TEST(Binarise, OtsuFindsTheBestSplitOfAll) {
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> size(1, 60), grey(0, 255), chance(0, 99);
  for (int n = 0; n < 200; ++n) {
    GreyImage g;
    g.Width = size(rng);
    g.Height = size(rng);
    const int background = grey(rng), ink = grey(rng), noise = n % 4 == 0 ? 100 : n % 3 * 10;
    g.Pixels.resize(static_cast<std::size_t>(g.Width) * g.Height);
    for (auto& v : g.Pixels)
      v = static_cast<std::uint8_t>(chance(rng) < noise ? grey(rng)
                                    : chance(rng) < 20  ? ink
                                                        : background);
    int best = -1;
    Between most;
    for (int t = 0; t < 255; ++t)
      if (const Between b = BetweenAt(g, t); b.Square > 0 && (best < 0 || b > most))
        best = t, most = b;
    const int t = OtsuThreshold(g);
    ASSERT_EQ(t, best) << "picture " << n;
  }
}

// Each pixel's ink mark and the histogram, pixel by pixel, for both polarities and widths that
// leave a few pixels past the last whole block of sixteen; every other picture mostly ground of
// one grey, whose blocks of sixteen are counted whole; every third one wide enough to be counted
// thirty-two pixels a step where the processor can.
TEST(Binarise, MarksEachPixelByItsClass) {
  std::mt19937 rng(912);
  for (int n = 0; n < 40; ++n) {
    GreyImage g{1 + n % 37 + (n % 3 == 0 ? 290 : 0), 1 + n % 5, {}};
    g.Pixels.resize(static_cast<std::size_t>(g.Width) * g.Height);
    for (auto& v : g.Pixels) v = static_cast<std::uint8_t>(n % 2 && rng() % 8 ? 200 : rng());
    std::array<long long, 256> counts{};
    for (const std::uint8_t v : g.Pixels) ++counts[v];
    EXPECT_EQ(GreyHistogram(g), counts) << "picture " << n;
    const int t = OtsuThreshold(g);
    for (const Polarity polarity : {Polarity::DarkOnLight, Polarity::LightOnDark}) {
      const Binarised b = Binarise(g, polarity);
      for (std::size_t i = 0; i < g.Pixels.size(); ++i)
        ASSERT_EQ(b.Image.Ink[i], t >= 0 && (g.Pixels[i] <= t) == b.DarkOnLight)
            << "picture " << n << ", pixel " << i;
    }
  }
}

TEST(Components, EightConnectedAndDust) {
  // Two diagonal pixels are one component; a separate pixel is another.
  BinaryImage b{5, 4, std::vector<std::uint8_t>(20, 0)};
  b.Ink[0] = b.Ink[6] = b.Ink[12] = 1;  // (0,0) (1,1) (2,2)
  b.Ink[4] = 1;                         // (4,0)
  b.Ink[19] = 1;                        // (4,3)
  const std::vector<Component> c = FindComponents(b);
  ASSERT_EQ(c.size(), 3u);
  EXPECT_EQ(c[0].Box.Width, 3);
  EXPECT_EQ(c[0].Area, 3);
  EXPECT_TRUE(IsDust(c[1], 12));  // fewer than 3 pixels
  EXPECT_FALSE(IsDust(c[0], 20));
  EXPECT_TRUE(IsDust(c[0], 21));  // 3 pixels < (21 / 12)^2
  EXPECT_FALSE(IsDust(Component{{0, 0, 9, 9}, 81}, 108));
  EXPECT_TRUE(IsDust(Component{{0, 0, 9, 9}, 80}, 108));
  const BinaryImage clean = RemoveDust(b, 20);
  EXPECT_EQ(FindComponents(clean).size(), 1u);
  // A U shape whose arms join only at the bottom row is one component.
  BinaryImage u{3, 3, {1, 0, 1, 1, 0, 1, 1, 1, 1}};
  EXPECT_EQ(FindComponents(u).size(), 1u);
}

// Components by flooding from each first pixel in reading order, eight neighbours each.
std::vector<Component> FloodComponents(const BinaryImage& image) {
  std::vector<Component> out;
  std::vector<char> seen(image.Ink.size(), 0);
  for (int y = 0; y < image.Height; ++y)
    for (int x = 0; x < image.Width; ++x) {
      if (!image.At(x, y) || seen[static_cast<std::size_t>(y) * image.Width + x]) continue;
      int left = x, right = x, top = y, bottom = y;
      long long area = 0;
      std::vector<std::pair<int, int>> stack{{x, y}};
      seen[static_cast<std::size_t>(y) * image.Width + x] = 1;
      while (!stack.empty()) {
        const auto [px, py] = stack.back();
        stack.pop_back();
        ++area;
        left = std::min(left, px), right = std::max(right, px);
        top = std::min(top, py), bottom = std::max(bottom, py);
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx) {
            const int nx = px + dx, ny = py + dy;
            if (nx < 0 || ny < 0 || nx >= image.Width || ny >= image.Height) continue;
            const std::size_t at = static_cast<std::size_t>(ny) * image.Width + nx;
            if (image.At(nx, ny) && !seen[at]) seen[at] = 1, stack.push_back({nx, ny});
          }
      }
      out.push_back(Component{Rect{left, top, right - left + 1, bottom - top + 1}, area});
    }
  return out;
}

// The runs found a word at a time give the components of the plain flood: widths around
// the word size, long runs of ink and of background, sparse dust and dense blots.
TEST(Components, EqualTheFloodOnRandomImages) {
  std::mt19937 rng(5);
  std::uniform_int_distribution<int> size(1, 70), chance(0, 99);
  for (int n = 0; n < 400; ++n) {
    BinaryImage image;
    image.Width = size(rng);
    image.Height = size(rng) / 3 + 1;
    const int density = n % 5 * 22, runLength = n % 7 + 1;
    image.Ink.resize(static_cast<std::size_t>(image.Width) * image.Height);
    for (std::size_t k = 0; k < image.Ink.size();) {
      const std::uint8_t v = chance(rng) < density ? 1 : 0;
      for (int r = 0; r < runLength && k < image.Ink.size(); ++r) image.Ink[k++] = v;
    }
    const std::vector<Component> found = FindComponents(image), flood = FloodComponents(image);
    ASSERT_EQ(found.size(), flood.size()) << "image " << n;
    for (std::size_t c = 0; c < found.size(); ++c) {
      const Rect a = found[c].Box, b = flood[c].Box;
      ASSERT_TRUE(a.Left == b.Left && a.Top == b.Top && a.Width == b.Width &&
                  a.Height == b.Height && found[c].Area == flood[c].Area)
          << "image " << n << ", component " << c;
    }
  }
}

}  // namespace
}  // namespace morvik
