// Stems of l and i told from the signs they match by their place on the line and the dot.
#include "reading/stroke_letters.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace morvik {
namespace {

// A word of four: small letters 8 high on a baseline at 30 (x-height from 22) and a stem
// one pixel wide in a box of three drawn black on white from Top to Bottom, with a gap row
// at GapRow, a dot outside the box at DotRow, a cross-bar the box wide at BarRow and a faint
// pixel under it at TailRow, at the word's star. No best at all: nothing matched it.
struct Stem {
  int Top, Bottom, GapRow, DotRow, BarRow;
  const char* Best;
  const char* Word;  // the line's characters, * for the stem
  char Want;
  int TailRow = -1;
  bool Comma = false;  // the word ends in a comma whose tail hangs below the baseline in ink
  int Width = 3;
};

ReadCharacter Letter(int left, int top, int height, const char* best) {
  ReadCharacter c;
  c.Box = {left, top, 3, height, false, false};
  for (int k = 0; k < 3 && best[k]; ++k) c.Best[k] = {0, k + 1, 0.9 - 0.1 * k, best[k]};
  c.Rejected = best[0] == 0;
  return c;
}

TEST(StrokeLetters, StemsAndMarksSettledByPlaceDotAndBar) {
  const Stem cases[] = {
      {18, 30, -1, -1, -1, "j]1", "ae*s", 'l'},      // a stem to the ascenders: l, from the library
      {18, 30, 20, -1, -1, "l|1", "ae*s", 'i'},      // a dot parted by a gap row: i
      {22, 30, -1, -1, -1, "1l|", "ae*s", '1'},      // at the x-height without a dot: as read
      {22, 30, -1, 20, -1, "1l|", "ae*s", 'i'},      // at the x-height, its dot cut apart: i
      {18, 33, -1, -1, -1, "j]1", "ae*s", 'j'},      // below the baseline: a j
      {18, 30, -1, -1, -1, "!|1", "aec*", '!'},      // a ! closing the word
      {18, 30, -1, -1, -1, "l|1", "ae*s", 'l'},      // an l stays
      {20, 30, -1, -1, -1, "rnm", "ae*s", 't'},      // an r rising above the x-height: a t
      {22, 30, -1, -1, -1, "rnm", "ae*s", 'r'},      // an r at the x-height stays
      {18, 30, -1, -1, 22, "l|1", "ae*s", 't'},      // a cross-bar at the x-height: a t
      {18, 30, -1, -1, -1, "tlf", "ahe*s", 'l'},     // a t as tall as the h without one: l
      {18, 30, -1, -1, -1, "tlf", "ae*s", 't'},      // no ascender to measure it by: as read
      {18, 30, -1, -1, -1, "1|I", "ae*s-2.1", 'l'},  // letters joined to digits by signs
      {18, 33, -1, -1, -1, "PRB", "ae*s", 'p'},      // a P hanging below the baseline: p
      {18, 30, -1, -1, -1, "PRB", "ae*s", 'P'},      // one on it stays
      {28, 30, -1, -1, -1, "'`*", "aes*", '.'},      // a low mark on the baseline: a stop
      {27, 32, -1, -1, -1, "'`*", "aes*", ','},      // one reaching below it: a comma
      {18, 21, -1, -1, -1, "'`*", "aes*", '\''},     // a high one stays
      {18, 30, -1, -1, -1, "1|I", "ace-x*2", '1'},   // digits in the part
      {18, 30, -1, -1, -1, "1l|", "ace-*0", '1'},    // a part of figures in a word of letters
      {21, 30, -1, -1, -1, "", "ae*s", 't'},         // a hairline matching nothing, a little high
      {18, 30, 20, -1, -1, "", "ae*s", 'i'},         // one with its dot
      {18, 30, -1, -1, -1, "", "ae*s", 'l'},         // one to the ascenders
      {22, 30, -1, -1, -1, "", "ae*s", '?'},         // one at the x-height: left unread
      {28, 30, -1, -1, -1, ".'`", "aes*", ',', 30},  // a stop with a faint tail: a comma
      {28, 30, -1, -1, -1, ".'`", "aes*", '.'},      // without one: a stop
      {28, 30, -1, -1, -1, ".'`", "aes*", '.', 30, true},  // print that keeps its tails: a stop
      {28, 31, -1, -1, -1, ".'`", "aes*", '.'},            // a row low in the ink alone: a stop
      {27, 31, -1, -1, -1, "r,'", "aes*", ','},            // a small r reaching below: a comma
      {30, 31, -1, -1, -1, "-=~", "aes*x", '_'},           // a dash under the baseline: underscore
      {25, 26, -1, -1, -1, "-=~", "aes*x", '-'},           // one at the x-height's middle stays
      {18, 30, -1, -1, -1, "wvx", "*ater", 'W'},           // a w as high as the capitals: W
      {22, 30, -1, -1, -1, "Oo0", "*aser", 'o'},           // an O at the x-height: o
      {22, 33, -1, -1, -1, "Oo0", "*aser", 'O'},           // one off the baseline: as read
      {18, 30, 20, -1, -1, "l|1", "ace *s", 'i'},          // a dotted stem in a word of two: i
      {16, 33, -1, -1, -1, "l[(", "ae * s", '|', -1, false, 2},  // a bar through the line
      {16, 33, 18, -1, -1, "j[(", "ae * s", 'j', -1, false, 2},  // ... not one with a dot
      {18, 30, -1, -1, -1, "l[(", "ae * s", 'l', -1, false, 2},  // on the baseline: l
      {18, 30, -1, -1, -1, "1l|", "ace *s", '1'},                // one without a dot there: as read
      {18, 30, -1, -1, -1, "lj]", "*887", '1'},                  // an l amid figures: a one
      {18, 30, -1, -1, -1, "Ij]", "*9l0", '1'},                  // ... beside a look-alike
      {18, 30, -1, -1, -1, "lj]", "*0ve", 'l'},                  // amid letters: as read
  };
  ReferenceLibrary library;
  library.Sets.resize(1);
  library.Sets[0].Chars.CharMap[7] = 'l';
  library.Sets[0].Chars.CharMap[8] = 'i';
  library.Sets[0].Chars.CharMap[9] = 't';
  library.Sets[0].Chars.CharMap[10] = 'p';
  library.Sets[0].Chars.CharMap[11] = '.';
  library.Sets[0].Chars.CharMap[12] = ',';
  library.Sets[0].Chars.CharMap[13] = '_';
  library.Sets[0].Chars.CharMap[14] = 'W';
  library.Sets[0].Chars.CharMap[15] = '|';
  library.Sets[0].Chars.CharMap[16] = '1';
  for (const Stem& s : cases) {
    GreyImage grey{60, 40, std::vector<std::uint8_t>(2400, 255)};
    PictureReading r;
    std::size_t at = 0;
    for (int k = 0, x = 0; s.Word[k]; ++k, x += 4) {
      if (s.Word[k] == ' ') continue;  // a column left out parts the words
      if (s.Word[k] == '*') {
        at = r.Chars.size();
        ReadCharacter c = Letter(x, s.Top, s.Bottom - s.Top, s.Best);
        c.Box.Width = s.Width;
        c.Column = k;
        for (int y = 0; y < 40; ++y) {
          if ((y >= s.Top && y < s.Bottom && y != s.GapRow) || y == s.DotRow)
            grey.Pixels[static_cast<std::size_t>(y) * 60 + x + 1] = 0;
          if (y == s.TailRow) grey.Pixels[static_cast<std::size_t>(y) * 60 + x + 1] = 160;
          if (y == s.BarRow)
            for (int dx = 0; dx < 3; ++dx)
              grey.Pixels[static_cast<std::size_t>(y) * 60 + x + dx] = 0;
        }
        r.Chars.push_back(c);
        continue;
      }
      const char best[2] = {s.Word[k], 0};
      ReadCharacter c = Letter(x, 22, 8, best);
      c.Column = k;
      r.Chars.push_back(c);
    }
    if (s.Comma) {
      r.Chars.push_back(Letter(56, 27, 5, ","));
      r.Chars.back().Column = r.Chars[r.Chars.size() - 2].Column + 1;
    }
    ApplyStrokeLetters(r, grey, true, library, CharFilter{});
    const ReadCharacter& stem = r.Chars[at];
    EXPECT_EQ(ShownChar(stem), s.Want) << s.Word << " " << s.Best << " from " << s.Top;
    if (s.Want != s.Best[0] && s.Want != '?') {
      EXPECT_EQ(stem.Best[0].Set, 0);
    }
  }
}

// Enlarged screen text: capitals rise a quarter of the x-height (16) above it, less than the
// third that tells an S from an s by itself; the line's other capitals show how far they rise.
TEST(StrokeLetters, CaseBySizeMeasuredByTheLinesCapitals) {
  const struct {
    const char* word;  // * the s, D a capital rising 4 above the x-height
    int top;           // of the s; the x-height's top is 14, the baseline 30
    char want;
  } cases[] = {
      {"Dae*n", 10, 'S'},  // as high as the capital
      {"xae*n", 10, 's'},  // no capital to measure by: as read
      {"Dae*n", 13, 's'},  // a round letter's overshoot
  };
  for (const auto& c : cases) {
    GreyImage grey{60, 40, std::vector<std::uint8_t>(2400, 255)};
    PictureReading r;
    for (int k = 0; c.word[k]; ++k) {
      const bool star = c.word[k] == '*';
      const int top = star ? c.top : c.word[k] == 'D' ? 10 : 14;
      const char best[3] = {star ? 's' : c.word[k], star ? 'S' : '\0', 0};
      ReadCharacter l = Letter(4 * k, top, 30 - top, best);
      l.Column = k;
      r.Chars.push_back(l);
    }
    ApplyStrokeLetters(r, grey, true, ReferenceLibrary{}, CharFilter{});
    EXPECT_EQ(ShownChar(r.Chars[3]), c.want) << c.word << " " << c.top;
  }
}

// A word of four letters 8 high and 5 wide on a baseline at 30, the second read as `second`.
PictureReading FiveWideWord(const char* second) {
  PictureReading r;
  for (int k = 0; k < 4; ++k) {
    ReadCharacter c = Letter(6 * k, 22, 8, k == 1 ? second : "aes");
    c.Box.Width = 5;
    c.Column = k;
    r.Chars.push_back(c);
  }
  return r;
}

// The second letter of FiveWideWord(second) once read over a picture 40 x 40 that draw inks.
template <typename Draw>
char MiddleLetterDrawn(const char* second, Draw draw) {
  ReferenceLibrary library;
  library.Sets.resize(1);
  GreyImage grey{40, 40, std::vector<std::uint8_t>(1600, 255)};
  draw(grey.Pixels);
  PictureReading r = FiveWideWord(second);
  ApplyStrokeLetters(r, grey, true, library, CharFilter{});
  return ShownChar(r.Chars[1]);
}

// Letters 8 high drawn from rows of art ('#' ink, '+' faint ink, a fifth of the strongest
// or more) and read as e: a bar across the eye, level or slanted, keeps the e; without one,
// an arc open to the right, it is a c.
TEST(StrokeLetters, BarAcrossTheEyeTellsEFromC) {
  const struct {
    std::vector<std::string> Art;
    const char* Best;
    char Want;
  } cases[] = {
      {{" ### ", "#   #", "#####", "#    ", "#    ", "#   #", " ### ", "     "}, "ec", 'e'},
      {{" ### ", "#   #", "#    ", "#    ", "#    ", "#   #", " ### ", "     "}, "ec", 'c'},
      {{" ### ", "#   #", "## ##", "#    ", "#    ", "#   #", " ### ", "     "}, "ec", 'e'},
      {{"  ## ", " #  #", "#  ++", "#++  ", "#    ", "#    ", " ### ", "     "}, "ec", 'e'},
      {{" ####", "##  #", "#   #", "#    ", "#    ", "#   #", " ### ", "     "}, "ec", 'c'},
  };
  for (const auto& c : cases) {
    const char read = MiddleLetterDrawn(c.Best, [&](std::vector<std::uint8_t>& pixels) {
      for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 5; ++x) {
          const char a = c.Art[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
          if (a != ' ') pixels[static_cast<std::size_t>(22 + y) * 40 + 6 + x] = a == '#' ? 0 : 200;
        }
    });
    EXPECT_EQ(read, c.Want) << c.Best;
  }
}

// An n and a u drawn five wide and eight high, read either way round: the side where the
// arch closes across the middle decides.
TEST(StrokeLetters, ArchesTellNFromU) {
  struct Arch {
    bool ClosedAtTop;
    const char* Best;
    char Want;
  };
  const Arch cases[] = {{true, "un", 'n'}, {false, "nu", 'u'}, {true, "nu", 'n'}};
  for (const Arch& a : cases) {
    const char read = MiddleLetterDrawn(a.Best, [&](std::vector<std::uint8_t>& pixels) {
      for (int y = 22; y < 30; ++y)
        for (int x = 6; x < 11; ++x)
          if (x == 6 || x == 10 || y == (a.ClosedAtTop ? 22 : 29))
            pixels[static_cast<std::size_t>(y) * 40 + x] = 0;
    });
    EXPECT_EQ(read, a.Want) << a.Best;
  }
}

}  // namespace
}  // namespace morvik
