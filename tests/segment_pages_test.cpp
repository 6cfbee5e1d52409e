// Tests of what real pages and screens need before lines are cut: the skew found and turned
// back, the polarity of tight crops from their border, and frames and rules left out.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "font_files.h"
#include "fonts/font_face.h"
#include "fonts/render.h"
#include "segment/bars.h"
#include "segment/binarise.h"
#include "segment/blocks.h"
#include "segment/columns.h"
#include "segment/components.h"
#include "segment/deskew.h"
#include "segment/frames.h"
#include "segment/grey_image.h"
#include "segment/marks.h"
#include "segment/text_segmenter.h"

namespace morvik {
namespace {

using test::FontInstalled;

const std::string kDejaVuSansBold = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

GreyImage Render(const std::string& font, const std::vector<std::string>& lines, int cap,
                 int margin, bool lightOnDark = false) {
  RenderOptions o;
  o.Margin = margin;
  o.LightOnDark = lightOnDark;
  return ToGreyImage(RenderText(FontFace(font), lines, cap, o));
}

std::size_t LineCount(const GreyImage& g) {
  return SegmentText(g).Lines.size();
}

const std::vector<std::string> kParagraph = {
    "The quick brown fox jumps over the lazy dog again", "and again while the farmer sleeps",
    "in the shade of an old oak tree beside the river",  "until the evening bells ring out",
    "across the valley and the hills beyond the town",   "where nobody hears them at all"};

// Turned by up to three degrees either way, the paragraph's skew is found to within a pixel
// over its width (a tenth of a degree over 500 pixels), and turning it back gives its lines
// again; upright, it is left alone.
TEST(Deskew, FindsTheSkewAndTurnsTheLinesBack) {
  if (!FontInstalled(test::kDejaVuSerif)) GTEST_SKIP();
  const GreyImage upright = Render(test::kDejaVuSerif, kParagraph, 14, 60);
  const Binarised b = Binarise(upright, Polarity::Auto);
  EXPECT_EQ(EstimateSkew(b.Image), 0);
  ASSERT_EQ(LineCount(upright), kParagraph.size());
  // Small turns too: a level coarse step must not hide a skew just past the least turned.
  for (long double degrees : {-3.0L, -1.2L, -0.2L, 0.16L, 0.6L, 2.5L}) {
    const GreyImage turned = Rotate(upright, degrees, GroundGrey(upright, b.Image));
    const long double skew = EstimateSkew(Binarise(turned, Polarity::Auto).Image);
    EXPECT_NEAR(skew, -degrees, 0.1L) << degrees;
    EXPECT_EQ(LineCount(Rotate(turned, skew, 255)), kParagraph.size()) << degrees;
  }
}

// Each pixel of the turned picture, worked out on its own: the source point in 1/65536 pixel,
// its four neighbours blended by the 1/256 fractions where all four lie inside, else ground.
TEST(Deskew, RotateBlendsEachPixelFromItsFourSources) {
  const struct {
    int width, height;
    long double degrees;
  } cases[] = {{1, 5, 2},
               {7, 1, 2},
               {2, 2, 45},
               {37, 23, 0.5L},
               {64, 41, -3.5L},
               {41, 64, 90},
               {33, 29, 180},
               {50, 30, -135},
               {120, 80, 0},
               // Long rows: runs of eight pixels from one source row, and where they cross
               // a row or skip a column.
               {300, 40, 1.2L},
               {300, 40, -0.7L},
               {200, 50, 10},
               {200, 50, -30}};
  for (const auto& c : cases) {
    GreyImage g{c.width, c.height,
                std::vector<std::uint8_t>(static_cast<std::size_t>(c.width) * c.height)};
    for (std::size_t i = 0; i < g.Pixels.size(); ++i)
      g.Pixels[i] = static_cast<std::uint8_t>(i * 7919 % 251);
    const GreyImage t = Rotate(g, c.degrees, 200);
    const long double a = c.degrees * 3.14159265358979323846264338327950288L / 180;
    const long long co = std::llround(std::cos(a) * 65536), si = std::llround(std::sin(a) * 65536);
    const long long cx = (c.width - 1) * 32768LL, cy = (c.height - 1) * 32768LL;
    for (int y = 0; y < c.height; ++y)
      for (int x = 0; x < c.width; ++x) {
        const long long dy = y * 65536LL - cy;
        const long long sx = cx - cx * co / 65536 - dy * si / 65536 + x * co;
        const long long sy = cy - cx * si / 65536 + dy * co / 65536 + x * si;
        const long long x0 = sx >> 16, y0 = sy >> 16, fx = (sx >> 8) & 255, fy = (sy >> 8) & 255;
        int want = 200;
        if (x0 >= 0 && y0 >= 0 && x0 + 1 < c.width && y0 + 1 < c.height) {
          const auto at = [&](long long px, long long py) { return g.Pixels[py * c.width + px]; };
          const long long top = at(x0, y0) * (256 - fx) + at(x0 + 1, y0) * fx;
          const long long bottom = at(x0, y0 + 1) * (256 - fx) + at(x0 + 1, y0 + 1) * fx;
          want = static_cast<int>((top * (256 - fy) + bottom * fy + 32768) >> 16);
        }
        ASSERT_EQ(t.Pixels[static_cast<std::size_t>(y) * c.width + x], want)
            << c.width << "x" << c.height << " " << c.degrees << " at " << x << "," << y;
      }
  }
}

// A point of the turned picture maps back to where Rotate took it from.
TEST(Deskew, UnrotateFindsWhereAPointCameFrom) {
  GreyImage g{200, 120, std::vector<std::uint8_t>(200 * 120, 255)};
  g.Pixels[static_cast<std::size_t>(30) * 200 + 170] = 0;
  for (long double degrees : {-3.5L, 1.0L, 2.0L}) {
    const GreyImage t = Rotate(g, degrees, 255);
    std::size_t darkest = 0;
    for (std::size_t i = 0; i < t.Pixels.size(); ++i)
      if (t.Pixels[i] < t.Pixels[darkest]) darkest = i;
    long double x = static_cast<long double>(darkest % 200),
                y = static_cast<long double>(darkest / 200);
    Unrotate(degrees, 200, 120, x, y);
    EXPECT_NEAR(x, 170, 1.0L) << degrees;
    EXPECT_NEAR(y, 30, 1.0L) << degrees;
  }
}

// Cropped to its ink, a bold figure is more ink than ground; the border tells which is which,
// in either polarity.
TEST(Binarise, TightCropsTakeTheirGroundFromTheBorder) {
  if (!FontInstalled(kDejaVuSansBold)) GTEST_SKIP();
  for (const char* digit : {"0", "4", "7", "8", "9"})
    for (bool light : {false, true}) {
      const GreyImage g = Render(kDejaVuSansBold, {digit}, 56, 0, light);
      EXPECT_EQ(Binarise(g, Polarity::Auto).DarkOnLight, !light) << digit << " " << light;
    }
}

// A frame around lines of text and a rule under them are no characters: the lines read as
// if they were not there. A large O, a frame's look-alike, holds nothing and stays.
TEST(Frames, FramesAndRulesAreLeftOut) {
  if (!FontInstalled(test::kDejaVuSans)) GTEST_SKIP();
  const std::vector<std::string> text = {"Replace the file", "OK 42"};
  GreyImage g = Render(test::kDejaVuSans, text, 16, 20);
  auto set = [&](int x, int y) { g.Pixels[static_cast<std::size_t>(y) * g.Width + x] = 0; };
  for (int x = 4; x < g.Width - 4; ++x) set(x, 4), set(x, g.Height - 5), set(x, g.Height - 12);
  for (int y = 4; y < g.Height - 4; ++y) set(4, y), set(g.Width - 5, y);
  const Segmentation s = SegmentText(g);
  ASSERT_EQ(s.Lines.size(), 2u);
  EXPECT_EQ(s.Lines[0].Chars.size(), 14u);
  EXPECT_EQ(s.Lines[1].Chars.size(), 4u);

  // A button's outline whose light corners the threshold drops: two sides standing alone.
  GreyImage button = Render(test::kDejaVuSans, {"Cancel now"}, 14, 8);
  ASSERT_LT(button.Height, 34);  // sides too short to pass for drawn lines
  for (int y = 1; y < button.Height - 1; ++y)
    button.Pixels[static_cast<std::size_t>(y) * button.Width + 2] =
        button.Pixels[static_cast<std::size_t>(y) * button.Width + button.Width - 3] = 0;
  ASSERT_EQ(SegmentText(button).Lines.size(), 1u);
  EXPECT_EQ(SegmentText(button).Lines[0].Chars.size(), 9u);

  // The whole outline, its rounded corners dropped to a speck between edge and side, as the
  // screen draws it and twice as large: neither the sides nor the specks make a character.
  for (int k : {1, 2}) {
    GreyImage keep = Render(test::kDejaVuSans, {"Keep"}, 10 * k, 8 * k);
    const auto ink = [&](int left, int top, int width, int height) {
      for (int y = top; y < top + height; ++y)
        for (int x = left; x < left + width; ++x)
          keep.Pixels[static_cast<std::size_t>(y) * keep.Width + x] = 0;
    };
    const int w = keep.Width, h = keep.Height;
    ink(4 * k, 0, w - 8 * k, k), ink(4 * k, h - k, w - 8 * k, k);
    ink(k, 4 * k, k, h - 8 * k), ink(w - 2 * k, 4 * k, k, h - 8 * k);
    for (int x : {2 * k, w - 3 * k})
      for (int y : {2 * k, h - 3 * k}) ink(x, y, k, k);
    const Segmentation s = SegmentText(keep);
    ASSERT_EQ(s.Lines.size(), 1u) << k;
    EXPECT_EQ(s.Lines[0].Chars.size(), 4u) << k;
  }

  if (!FontInstalled(test::kDejaVuSerif)) return;
  const GreyImage o = Render(test::kDejaVuSerif, {"O"}, 120, 4);
  ASSERT_EQ(SegmentText(o).Lines.size(), 1u);
  EXPECT_EQ(SegmentText(o).Lines[0].Chars.size(), 1u);
}

// Light text on a dark bar inside a light picture (a selected row, a button) reads as the dark
// text around it does once its greys are turned round; a solid block and a bold T hold no
// ground framed by ink and are no bars.
TEST(Bars, LightTextOnADarkBarIsTurnedRound) {
  if (!FontInstalled(test::kDejaVuSans)) GTEST_SKIP();
  // A wide bar and a button little more than twice as wide as high.
  for (const auto& [text, chars] :
       {std::pair<const char*, std::size_t>{"Replace all", 10u}, {"Delete", 6u}}) {
    const GreyImage dark = Render(test::kDejaVuSans, {text}, 14, 6, true);
    GreyImage page{dark.Width + 40, dark.Height + 60,
                   std::vector<std::uint8_t>(
                       static_cast<std::size_t>(dark.Width + 40) * (dark.Height + 60), 255)};
    for (int y = 0; y < dark.Height; ++y)
      for (int x = 0; x < dark.Width; ++x)
        page.Pixels[static_cast<std::size_t>(y + 40) * page.Width + x + 20] = dark.At(x, y);
    const Binarised ink = Binarise(page, Polarity::Auto);
    ASSERT_TRUE(ink.DarkOnLight);
    const std::vector<Bar> bars = FindBars(ink.Image, FindComponents(ink.Image));
    ASSERT_EQ(bars.size(), 1u) << text << " " << dark.Width << " x " << dark.Height;
    FlipBars(page, ink, bars);
    const Segmentation s = SegmentText(page);
    ASSERT_EQ(s.Lines.size(), 1u);
    EXPECT_EQ(s.Lines[0].Chars.size(), chars);
  }

  GreyImage block{80, 30, std::vector<std::uint8_t>(80 * 30, 0)};
  const BinaryImage blockInk = Binarise(block, Polarity::LightOnDark).Image;
  EXPECT_TRUE(FindBars(blockInk, FindComponents(blockInk)).empty());
  if (FontInstalled(kDejaVuSansBold)) {
    const GreyImage bold = Render(kDejaVuSansBold, {"TM"}, 90, 4);
    const BinaryImage boldInk = Binarise(bold, Polarity::Auto).Image;
    EXPECT_TRUE(FindBars(boldInk, FindComponents(boldInk)).empty());
  }
}

// A bar's rows keep where their ink starts and ends, for bars as wide as whole steps of
// sixteen pixels and between them, at the picture's edge and away from it.
TEST(Bars, EachRowKeepsItsFirstAndLastInk) {
  for (const int left : {0, 3, 33})
    for (const int width : {33, 37, 48, 64, 70}) {
      BinaryImage ink{110, 30, std::vector<std::uint8_t>(110 * 30, 0)};
      std::vector<int> starts, ends;
      for (int y = 5; y <= 20; ++y) {
        // Solid first and last rows; between them rows that start, end or break later.
        const int from = left + (y == 9 ? 2 : 0), to = left + width - (y == 12 ? 3 : 0);
        for (int x = from; x < to; ++x) ink.Ink[static_cast<std::size_t>(y) * 110 + x] = 1;
        if (y > 6 && y < 19) ink.Ink[static_cast<std::size_t>(y) * 110 + left + 5] = 0;
        starts.push_back(from);
        ends.push_back(to);
      }
      const std::vector<Bar> bars = FindBars(ink, FindComponents(ink));
      ASSERT_EQ(bars.size(), 1u) << left << " " << width;
      EXPECT_EQ(bars[0].Top, 5);
      EXPECT_EQ(bars[0].Bottom, 21);
      EXPECT_EQ(bars[0].Starts, starts) << left << " " << width;
      EXPECT_EQ(bars[0].Ends, ends) << left << " " << width;
    }
}

// A button of a middle grey that the threshold puts with the ink (a blue button in a dark
// dialog, a grey one in a light dialog) keeps its text once the block is made ground; a block
// with nothing past its grey, and one whose text is the ground's colour (a bar), are no blocks.
TEST(Blocks, TextPastAMiddleGreyBlockIsKept) {
  if (!FontInstalled(test::kDejaVuSans)) GTEST_SKIP();
  const GreyImage text = Render(test::kDejaVuSans, {"Save them"}, 10, 8, true);  // light on dark
  struct Case {
    int ground, block, ink;
    bool found;
  };
  for (const Case& c : {Case{30, 101, 255, true}, Case{255, 120, 0, true},
                        Case{30, 101, 101, false}, Case{30, 101, 30, false}}) {
    GreyImage page{text.Width + 40, text.Height + 40,
                   std::vector<std::uint8_t>(
                       static_cast<std::size_t>(text.Width + 40) * (text.Height + 40), c.ground)};
    for (int y = 0; y < text.Height; ++y)
      for (int x = 0; x < text.Width; ++x)
        page.Pixels[static_cast<std::size_t>(y + 20) * page.Width + x + 20] =
            static_cast<std::uint8_t>(c.block + (c.ink - c.block) * text.At(x, y) / 255);
    const Binarised ink = Binarise(page, Polarity::Auto);
    ASSERT_EQ(ink.DarkOnLight, c.ground > 128) << c.block;
    std::vector<Bar> bars;
    const TextBlocks blocks = FindTextBlocks(page, ink, bars, FindComponents(ink.Image));
    ASSERT_EQ(blocks.Bars.size(), c.found ? 1u : 0u) << c.ground << " " << c.ink;
    if (!c.found) continue;
    FlipBars(page, blocks.Ink, blocks.Bars);
    const Segmentation s = SegmentText(page);
    ASSERT_EQ(s.Lines.size(), 1u);
    EXPECT_EQ(s.Lines[0].Chars.size(), 8u);
  }
}

// Two justified columns read column by column, specks beside them or not; a table of short
// cells keeps its rows.
TEST(Columns, SetTextReadsColumnByColumnTablesRowByRow) {
  if (!FontInstalled(test::kDejaVuSansMono)) GTEST_SKIP();
  std::vector<std::string> twoColumns, table;
  for (std::size_t k = 0; k < kParagraph.size(); ++k) {
    const std::string left = (kParagraph[k] + "                    ").substr(0, 30);
    twoColumns.push_back(left + "      " + left);
    table.push_back("pkg" + std::to_string(k) + "        1.0-" + std::to_string(k) +
                    "        42 kB");
  }
  const auto columnsOf = [](const GreyImage& g) {
    const Binarised b = Binarise(g, Polarity::Auto);
    std::vector<Component> c = FindComponents(b.Image);
    const int typical = TypicalHeight(c);
    return LinesInReadingOrder(c, g.Height, typical);
  };
  const std::vector<LineParts> text = columnsOf(Render(test::kDejaVuSansMono, twoColumns, 14, 8));
  ASSERT_EQ(text.size(), 2 * kParagraph.size());
  EXPECT_LT(text[0].Box.Right(), text[kParagraph.size()].Box.Left);
  EXPECT_GT(text[kParagraph.size() - 1].Box.Top, text[kParagraph.size()].Box.Top);
  EXPECT_EQ(columnsOf(Render(test::kDejaVuSansMono, table, 14, 8)).size(), kParagraph.size());

  // A speck of noise far beside a line, which the line takes in, leaves the columns as they
  // are.
  GreyImage specked = Render(test::kDejaVuSansMono, twoColumns, 14, 60);
  const std::size_t speck = std::size_t{64} * specked.Width + specked.Width - 5;
  for (std::size_t at : {speck, speck + 1, speck + specked.Width, speck + specked.Width + 1})
    specked.Pixels[at] = 0;
  EXPECT_EQ(columnsOf(specked).size(), 2 * kParagraph.size());
}

// Marks as small as dust come back where a line model expects them: over a stem, on the
// baseline after a letter; elsewhere they stay out.
TEST(Marks, DotsOverStemsAndStopsOnTheBaselineComeBack) {
  const int typical = 10;
  const Rect stem{10, 20, 3, 8}, letter{20, 20, 6, 8}, wide{40, 20, 12, 8}, g{80, 20, 6, 11};
  struct Case {
    Rect Mark;
    bool Back;
  };
  const Case cases[] = {
      {{10, 16, 2, 2}, true},   // the dot of an i
      {{28, 26, 2, 2}, true},   // a full stop after a letter
      {{28, 21, 2, 2}, false},  // beside a letter, above the baseline
      {{42, 16, 2, 2}, false},  // over a wide letter
      {{11, 2, 2, 2}, false},   // far above the stem
      {{70, 26, 2, 2}, false},  // on the baseline, far from any letter
      {{87, 26, 2, 2}, true},   // on the baseline after a letter with a descender
  };
  for (const Case& c : cases) {
    std::vector<LineParts> lines(1);
    lines[0].Parts = {wide, stem, letter, g};
    for (const Rect& r : lines[0].Parts) lines[0].Box = Union(lines[0].Box, r);
    PutBackMarks(lines, {Component{c.Mark, 4}}, typical);
    EXPECT_EQ(lines[0].Parts.size(), c.Back ? 5u : 4u) << c.Mark.Left << "," << c.Mark.Top;
  }
}

}  // namespace
}  // namespace morvik
