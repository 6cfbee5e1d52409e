// Stems of l and i told from the signs they match by their place on the line and the dot.
#include "reading/stroke_letters.h"

#include <gtest/gtest.h>

namespace morvik {
namespace {

// A word of four: small letters 8 high on a baseline at 30 (x-height from 22) and a stem
// one pixel wide in a box of three drawn black on white from Top to Bottom, with a gap row
// at GapRow, a dot outside the box at DotRow and a cross-bar the box wide at BarRow, in third
// place or, when Last, in fourth.
struct Stem {
  int Top, Bottom, GapRow, DotRow, BarRow;
  const char* Best;
  bool Last;  // the stem ends the word
  char Want;
};

ReadCharacter Letter(int left, int top, int height, const char* best) {
  ReadCharacter c;
  c.Box = {left, top, 3, height, false, false};
  for (int k = 0; k < 3 && best[k]; ++k) c.Best[k] = {0, k + 1, 0.9 - 0.1 * k, best[k]};
  return c;
}

TEST(StrokeLetters, StemsBecomeLIOrTByPlaceDotAndBar) {
  const Stem cases[] = {
      {18, 30, -1, -1, -1, "j]1", false, 'l'},  // a stem to the ascenders: l, from the library
      {18, 30, 20, -1, -1, "l|1", false, 'i'},  // a dot parted by a gap row: i
      {22, 30, -1, -1, -1, "1l|", false, '1'},  // at the x-height without a dot: as read
      {22, 30, -1, 20, -1, "1l|", false, 'i'},  // at the x-height, its dot cut apart: i
      {18, 33, -1, -1, -1, "j]1", false, 'j'},  // below the baseline: a j
      {18, 30, -1, -1, -1, "!|1", true, '!'},   // a ! closing the word
      {18, 30, -1, -1, -1, "l|1", false, 'l'},  // an l stays
      {20, 30, -1, -1, -1, "rnm", false, 't'},  // an r rising above the x-height: a t
      {22, 30, -1, -1, -1, "rnm", false, 'r'},  // an r at the x-height stays
      {18, 30, -1, -1, 22, "l|1", false, 't'},  // a cross-bar at the x-height: a t
      {18, 30, -1, -1, -1, "tlf", false, 'l'},  // a t without one: an l
  };
  ReferenceLibrary library;
  library.Sets.resize(1);
  library.Sets[0].Chars.CharMap[7] = 'l';
  library.Sets[0].Chars.CharMap[8] = 'i';
  library.Sets[0].Chars.CharMap[9] = 't';
  for (const Stem& s : cases) {
    GreyImage grey{60, 40, std::vector<std::uint8_t>(2400, 255)};
    PictureReading r;
    int x = 0;
    for (int k = 0; k < 4; ++k, x += 4) {
      if (k == (s.Last ? 3 : 2)) {
        ReadCharacter c = Letter(x, s.Top, s.Bottom - s.Top, s.Best);
        c.Column = k;
        for (int y = 0; y < 40; ++y) {
          if ((y >= s.Top && y < s.Bottom && y != s.GapRow) || y == s.DotRow)
            grey.Pixels[static_cast<std::size_t>(y) * 60 + x + 1] = 0;
          if (y == s.BarRow)
            for (int dx = 0; dx < 3; ++dx)
              grey.Pixels[static_cast<std::size_t>(y) * 60 + x + dx] = 0;
        }
        r.Chars.push_back(c);
        continue;
      }
      const char best[2] = {"aecs"[k], 0};
      ReadCharacter c = Letter(x, 22, 8, best);
      c.Column = k;
      r.Chars.push_back(c);
    }
    ApplyStrokeLetters(r, grey, true, library, CharFilter{});
    const ReadCharacter& stem = r.Chars[s.Last ? 3 : 2];
    EXPECT_EQ(ShownChar(stem), s.Want) << s.Best << " from " << s.Top << " to " << s.Bottom;
    if (s.Want != s.Best[0]) {
      EXPECT_EQ(stem.Best[0].Set, 0);
    }
  }
}

}  // namespace
}  // namespace morvik
