// Tests of the fixed layouts (grid and table), of cutting a character out for the matcher and
// of drawing the boxes, on pictures assembled from rendered glyphs.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/error.h"
#include "font_files.h"
#include "fonts/font_face.h"
#include "fonts/render.h"
#include "segment/binarise.h"
#include "segment/cut.h"
#include "segment/draw_boxes.h"
#include "segment/grey_image.h"
#include "segment/grid.h"
#include "segment/table.h"
#include "segment/text_segmenter.h"

namespace morvik {
namespace {

using test::FontInstalled;

// The glyph pasted with its top-left corner at (x, y); ink keeps the darker pixel.
void Paste(Bitmap& dst, const Bitmap& glyph, int x, int y) {
  for (int gy = 0; gy < glyph.Height(); ++gy)
    for (int gx = 0; gx < glyph.Width(); ++gx) {
      const Colour c = glyph.Pixel(gx, gy);
      if (RedOf(c) < RedOf(dst.Pixel(x + gx, y + gy))) dst.SetPixel(x + gx, y + gy, c);
    }
}

void FillRect(Bitmap& bm, int x, int y, int w, int h, Colour c) {
  for (int yy = y; yy < y + h; ++yy)
    for (int xx = x; xx < x + w; ++xx) bm.SetPixel(xx, yy, c);
}

Bitmap Glyph(const FontFace& face, char32_t c, int cap = 24) {
  RenderOptions o;
  o.Margin = 0;
  return RenderGlyph(face, c, cap, o);
}

bool Inside(const CharBox& b, int left, int top, int width, int height) {
  return b.Left >= left && b.Top >= top && b.Left + b.Width <= left + width &&
         b.Top + b.Height <= top + height;
}

TEST(SegmentGrid, OneBoxPerCellEmptyCellsMarked) {
  if (!FontInstalled(test::kDejaVuSans)) GTEST_SKIP();
  const FontFace face(test::kDejaVuSans);
  // 4 x 2 cells of 40 x 50 at (5, 7); "AB C" over "D EF".
  const char32_t text[2][4] = {{U'A', U'B', 0, U'C'}, {U'D', 0, U'E', U'F'}};
  Bitmap page(5 + 4 * 40 + 9, 7 + 2 * 50 + 3);
  page.Fill(kWhite);
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 4; ++c)
      if (text[r][c]) Paste(page, Glyph(face, text[r][c]), 5 + 40 * c + 8, 7 + 50 * r + 12);
  const GridLayout grid{5, 7, 40, 50, 4, 2};
  const Segmentation s = SegmentGrid(ToGreyImage(page), grid);
  EXPECT_TRUE(s.DarkOnLight);
  ASSERT_EQ(s.Lines.size(), 2u);
  for (int r = 0; r < 2; ++r) {
    ASSERT_EQ(s.Lines[r].Chars.size(), 4u);
    for (int c = 0; c < 4; ++c) {
      const CharBox& b = s.Lines[r].Chars[c];
      const int left = 5 + 40 * c, top = 7 + 50 * r;
      EXPECT_EQ(b.Empty, text[r][c] == 0) << r << " " << c;
      EXPECT_TRUE(Inside(b, left, top, 40, 50)) << r << " " << c;
      if (b.Empty) {
        EXPECT_EQ(b.Width, 40);
        EXPECT_EQ(b.Height, 50);
      } else {
        EXPECT_NEAR(b.Left, left + 8, 1) << r << " " << c;  // a faint first column may fall out
        EXPECT_NEAR(b.Height, 24, 1);
      }
    }
  }
}

TEST(SegmentGrid, CellsOutsideThePictureAreEmptyAndBadGridsRefused) {
  GreyImage g{20, 10, std::vector<std::uint8_t>(200, 255)};
  g.Pixels[5 * 20 + 5] = 0;  // a dot is no character
  const Segmentation s = SegmentGrid(g, {-10, -10, 15, 15, 4, 3});
  ASSERT_EQ(s.Lines.size(), 3u);
  for (const TextLine& l : s.Lines)
    for (const CharBox& b : l.Chars) {
      EXPECT_TRUE(b.Empty);
      EXPECT_TRUE(Inside(b, 0, 0, 20, 10));
    }
  for (const GridLayout& bad : {GridLayout{0, 0, 0, 5, 1, 1}, GridLayout{0, 0, 5, 5, 0, 1},
                                GridLayout{0, 0, 5, -1, 1, 1}, GridLayout{0, 0, 1, 1, 2000, 2000}})
    EXPECT_THROW(SegmentGrid(g, bad), Error);
  // A grid reaching far beyond the picture does not overflow.
  EXPECT_EQ(SegmentGrid(g, {2000000000, 0, 1000000, 5, 1000, 1}).Lines[0].Chars[999].Width, 0);
}

// A table of 3 columns and 2 rows with ruling lines 2 pixels wide, text in the cells.
Bitmap TablePicture(const FontFace& face, const std::vector<std::vector<std::u32string>>& cells) {
  const int cw = 90, ch = 44, rule = 2;
  Bitmap page(3 * cw + 4 * rule + 20, 2 * ch + 3 * rule + 20);
  page.Fill(kWhite);
  for (int i = 0; i <= 3; ++i)
    FillRect(page, 10 + i * (cw + rule), 10, rule, 2 * ch + 3 * rule, kBlack);
  for (int i = 0; i <= 2; ++i)
    FillRect(page, 10, 10 + i * (ch + rule), 3 * cw + 4 * rule, rule, kBlack);
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 3; ++c) {
      int x = 10 + rule + c * (cw + rule) + 6;
      for (char32_t ch32 : cells[r][c]) {
        const Bitmap g = Glyph(face, ch32);
        Paste(page, g, x, 10 + rule + r * (ch + rule) + 10);
        x += g.Width() + 4;
      }
    }
  return page;
}

TEST(SegmentTable, RulingsRemovedCellsCut) {
  if (!FontInstalled(test::kDejaVuSans)) GTEST_SKIP();
  const FontFace face(test::kDejaVuSans);
  const Bitmap page = TablePicture(face, {{U"12", U"A", U""}, {U"XY", U"7", U"Z"}});
  const GreyImage grey = ToGreyImage(page);
  const Binarised b = Binarise(grey, Polarity::Auto);
  const Rulings rulings = FindRulings(b.Image);
  EXPECT_EQ(rulings.Rows.size(), 3u);
  EXPECT_EQ(rulings.Columns.size(), 4u);
  ASSERT_FALSE(rulings.Rows.empty());
  EXPECT_EQ(rulings.Rows[0], std::make_pair(10, 12));

  const Segmentation s = SegmentTable(grey);
  ASSERT_EQ(s.Lines.size(), 2u);
  // Row 1: "1" "2" | "A" | empty; row 2: "X" "Y" | "7" | "Z".
  const std::vector<std::string> shapes = {"xx x _", "xx x x"};
  for (int r = 0; r < 2; ++r) {
    std::string shape;
    for (const CharBox& c : s.Lines[r].Chars)
      shape += std::string(c.SpaceBefore ? " " : "") + (c.Empty ? "_" : "x");
    EXPECT_EQ(shape, shapes[r]) << r;
  }
  // No box takes in a ruling line.
  for (const TextLine& l : s.Lines)
    for (const CharBox& c : l.Chars) EXPECT_LE(c.Empty ? 0 : c.Height, 26);
  const CharBox& empty = s.Lines[0].Chars.back();
  EXPECT_EQ(empty.Left, 10 + 2 + 2 * 92);
  EXPECT_EQ(empty.Width, 90);
}

TEST(SegmentTable, LightOnDarkAndNoRulings) {
  if (!FontInstalled(test::kDejaVuSans)) GTEST_SKIP();
  const FontFace face(test::kDejaVuSans);
  GreyImage grey = ToGreyImage(TablePicture(face, {{U"1", U"2", U"3"}, {U"4", U"5", U"6"}}));
  for (std::uint8_t& p : grey.Pixels) p = static_cast<std::uint8_t>(255 - p);
  const Segmentation s = SegmentTable(grey);
  EXPECT_FALSE(s.DarkOnLight);
  ASSERT_EQ(s.Lines.size(), 2u);
  EXPECT_EQ(s.Lines[1].Chars.size(), 3u);
  // Without rulings the whole picture is one cell.
  RenderOptions o;
  const Segmentation plain = SegmentTable(ToGreyImage(RenderText(face, {"AB", "CD"}, 20, o)));
  ASSERT_EQ(plain.Lines.size(), 1u);
  EXPECT_EQ(plain.Lines[0].Chars.size(), 4u);
  EXPECT_TRUE(SegmentTable(GreyImage{}).Lines.empty());
}

void ExpectBoxesInside(const Segmentation& s, const GreyImage& g);

// Rules drawn on a white 100 x 100 picture, each {x, y, width, height} in black.
struct RuledShape {
  const char* name;
  std::vector<Rect> ink;
  std::size_t lines;  // table rows with a cell holding ink
};

GreyImage Ruled(const std::vector<Rect>& ink) {
  GreyImage g{100, 100, std::vector<std::uint8_t>(100 * 100, 255)};
  for (const Rect& r : ink)
    for (int y = r.Top; y < r.Bottom(); ++y)
      for (int x = r.Left; x < r.Right(); ++x) g.Pixels[static_cast<std::size_t>(y) * 100 + x] = 0;
  return g;
}

// Rules that are broken, alone, at the border or the whole picture: ink left on a ruling
// makes no cell, and the rows and columns kept always agree (one used to be empty while the
// other was not).
TEST(SegmentTable, BrokenAndLoneRulesGiveOnlyInkedCells) {
  const Rect block{20, 20, 8, 12};  // a character-sized blot
  const RuledShape shapes[] = {
      {"vertical rule broken in two", {{50, 0, 1, 60}, {50, 70, 1, 20}}, 0},
      {"horizontal rule broken in two", {{0, 50, 60, 1}, {70, 50, 20, 1}}, 0},
      {"broken rule beside ink", {{50, 0, 1, 60}, {50, 70, 1, 20}, block}, 1},
      {"rule on the left border", {{0, 0, 1, 100}}, 0},
      {"rule on the bottom border", {{0, 99, 100, 1}}, 0},
      {"frame alone", {{0, 0, 100, 2}, {0, 98, 100, 2}, {0, 0, 2, 100}, {98, 0, 2, 100}}, 0},
      {"cross alone", {{0, 50, 100, 1}, {50, 0, 1, 100}}, 0},
      {"cross with one inked cell", {{0, 50, 100, 1}, {50, 0, 1, 100}, block}, 1},
      {"all ink", {{0, 0, 100, 100}}, 0},
      {"rule of the shortest ruling length", {{0, 30, 40, 1}}, 0},
  };
  for (const RuledShape& shape : shapes) {
    SCOPED_TRACE(shape.name);
    const GreyImage g = Ruled(shape.ink);
    for (Polarity p : {Polarity::Auto, Polarity::DarkOnLight, Polarity::LightOnDark}) {
      const Segmentation s = SegmentTable(g, p);
      if (p == Polarity::DarkOnLight) {
        EXPECT_EQ(s.Lines.size(), shape.lines);
      }
      for (const TextLine& l : s.Lines) EXPECT_FALSE(l.Chars.empty());
      ExpectBoxesInside(s, g);
    }
  }
}

TEST(CutCharacter, BrightStrokesOnBlackWithMargin) {
  GreyImage g{6, 4, std::vector<std::uint8_t>(24, 250)};
  g.Pixels[1 * 6 + 2] = 10;  // ink at (2, 1)
  g.Pixels[2 * 6 + 3] = 40;  // ink at (3, 2)
  const CharBox box{2, 1, 2, 2, false, false};
  const Bitmap dark = CutCharacter(g, box, true);
  ASSERT_EQ(dark.Width(), 2 + 2 * kCutMargin);
  ASSERT_EQ(dark.Height(), 2 + 2 * kCutMargin);
  EXPECT_EQ(dark.Pixel(0, 0), kBlack);
  EXPECT_EQ(dark.Pixel(dark.Width() - 1, dark.Height() - 1), kBlack);
  EXPECT_EQ(dark.Pixel(kCutMargin, kCutMargin), MakeColour(245, 245, 245));
  EXPECT_EQ(dark.Pixel(kCutMargin + 1, kCutMargin + 1), MakeColour(215, 215, 215));
  EXPECT_EQ(dark.Pixel(kCutMargin + 1, kCutMargin), MakeColour(5, 5, 5));
  const Bitmap light = CutCharacter(g, box, false);
  EXPECT_EQ(light.Pixel(kCutMargin, kCutMargin), MakeColour(10, 10, 10));
  // Boxes reaching out of the picture are clipped; an empty one gives the margins.
  EXPECT_EQ(CutCharacter(g, {4, 2, 10, 10, false, false}, true).Width(), 2 + 2 * kCutMargin);
  EXPECT_EQ(CutCharacter(g, {-5, -5, 3, 3, false, false}, true).Width(), 2 * kCutMargin);
  EXPECT_EQ(CutCharacter(g, {1, 1, -4, 0, false, true}, true).Height(), 2 * kCutMargin);
}

TEST(DrawBoxes, FramesOutsideTheBoxes) {
  GreyImage g{10, 8, std::vector<std::uint8_t>(80, 200)};
  Segmentation s;
  TextLine line;
  line.Chars.push_back({2, 2, 3, 3, false, false});
  line.Chars.push_back({0, 0, 10, 8, true, true});  // frame falls outside: clipped away
  s.Lines.push_back(line);
  const Bitmap bm = DrawBoxes(g, s);
  ASSERT_EQ(bm.Width(), 10);
  EXPECT_EQ(bm.Pixel(1, 1), kRed);
  EXPECT_EQ(bm.Pixel(5, 5), kRed);
  EXPECT_EQ(bm.Pixel(3, 1), kRed);
  EXPECT_EQ(bm.Pixel(3, 3), MakeColour(200, 200, 200));  // inside untouched
  EXPECT_EQ(bm.Pixel(9, 7), MakeColour(200, 200, 200));
}

void ExpectBoxesInside(const Segmentation& s, const GreyImage& g) {
  for (const TextLine& l : s.Lines)
    for (const CharBox& b : l.Chars) {
      EXPECT_TRUE(Inside(b, 0, 0, g.Width, g.Height))
          << b.Left << " " << b.Top << " " << b.Width << " " << b.Height;
      const Bitmap cut = CutCharacter(g, b, s.DarkOnLight);
      EXPECT_EQ(cut.Width(), b.Width + 2 * kCutMargin);
    }
}

// Random pictures of every shape, from thin lines to blotches: every mode returns boxes inside
// the picture and every box can be cut.
TEST(Segmenters, AnyPictureGivesBoxesInsideIt) {
  std::mt19937 rng(42);
  const int sizes[][2] = {{1, 1}, {1, 50}, {50, 1}, {2, 2}, {37, 23}, {200, 60}, {64, 300}};
  for (const auto& size : sizes)
    for (int density : {1, 10, 50, 90}) {
      GreyImage g{size[0], size[1], {}};
      std::uniform_int_distribution<int> percent(0, 99), grey(0, 255);
      for (int i = 0; i < size[0] * size[1]; ++i)
        g.Pixels.push_back(static_cast<std::uint8_t>(percent(rng) < density ? grey(rng) / 4 : 255));
      SCOPED_TRACE(std::to_string(size[0]) + "x" + std::to_string(size[1]) + " at " +
                   std::to_string(density) + "%");
      ExpectBoxesInside(SegmentText(g), g);
      ExpectBoxesInside(SegmentTable(g), g);
      ExpectBoxesInside(SegmentGrid(g, {0, 0, 7, 9, 5, 5}), g);
      EXPECT_EQ(DrawBoxes(g, SegmentText(g)).Width(), g.Width);
    }
}

}  // namespace
}  // namespace morvik
