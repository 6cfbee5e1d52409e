// Word spaces of a read line measured against the line's own letter spacing.
#include "reading/word_spaces.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace morvik {
namespace {

// A line from a pattern: each character a box of its width (a digit, '.' or 'f' is read as
// itself, others as 'a'), '_' one pixel of gap, ' ' a gap of `space` pixels.
std::vector<RecognizedBox> Line(const std::string& pattern, int width, int space) {
  std::vector<RecognizedBox> line;
  int x = 0;
  for (char c : pattern) {
    if (c == '_' || c == ' ') {
      x += c == '_' ? 1 : space;
      continue;
    }
    const int w = c == '.' || c == '1' ? width / 3 : width;
    RecognizedBox b;
    b.Box = CharBox{x, 0, w, 10, false, false};
    const bool itself = c == '.' || c == 'f' || std::isdigit(static_cast<unsigned char>(c));
    b.Best[0] = LibraryMatch{0, 1, 0.9, itself ? c : 'a'};
    line.push_back(b);
    x += w;
  }
  return line;
}

std::string Spaced(const std::vector<RecognizedBox>& line) {
  std::string s;
  for (const RecognizedBox& b : line)
    s += std::string(b.Box.SpaceBefore ? " " : "") + b.Best[0].Char;
  return s;
}

TEST(WordSpaces, GapsStandingOutFromTheLinesLetterSpacing) {
  const struct {
    std::string pattern;
    int width, space;
    std::string want;
  } cases[] = {
      {"x_x_xx_x x_x_x x_x", 6, 4, "aaaaa aaa aa"},              // proportional words
      {"x_x_x_x_xx_x_x", 6, 4, "aaaaaaaa"},                      // one word: no class of spaces
      {"x_x x_x                    x_x x", 6, 4, "aa aa aa a"},  // a cell gap keeps word spaces
      {"3.6.0_x_x", 6, 1, "3.6.0aa"},                            // points between digits join them
      {"x_x_x_x 1_9_1_0 x_x", 6, 4, "aaaa 1910 aa"},             // a narrow figure's wide bearings
      {"x_xfx x_f__x_x x_x_x", 6, 4, "aafa af aa aaa"},          // an f's hook narrows its gap
  };
  for (const auto& c : cases) {
    std::vector<RecognizedBox> line = Line(c.pattern, c.width, c.space);
    SetWordSpaces(line);
    EXPECT_EQ(Spaced(line), c.want) << c.pattern;
  }
}

// A line of a justified narrow column at 150 dpi (boxes 10 high): letters that overlap or
// stand a pixel or two apart, word spaces stretched to 1.4 heights, beyond a table's cell gap.
TEST(WordSpaces, StretchedSpacesOfAJustifiedColumn) {
  const std::vector<int> gaps = {-1, 1, 1,  2, 15, -1, 2, 1, 2, 2, 1, 1, 2,  1, 14, -1, 2,  1,
                                 2,  1, 14, 0, 1,  15, 1, 2, 1, 1, 2, 1, 14, 0, 1,  2,  14, 2};
  std::vector<RecognizedBox> line;
  std::string want = "a";
  int x = 0;
  for (std::size_t k = 0; k <= gaps.size(); ++k) {
    RecognizedBox b;
    b.Box = CharBox{x, 0, 8, 10, false, false};
    b.Best[0] = LibraryMatch{0, 1, 0.9, 'a'};
    line.push_back(b);
    if (k < gaps.size()) x += 8 + gaps[k], want += gaps[k] > 8 ? " a" : "a";
  }
  SetWordSpaces(line);
  EXPECT_EQ(Spaced(line), want);
}

TEST(WordSpaces, MonospacedCellsSpannedByOneBox) {
  // Cells of 8 pixels; the third box spans two cells (touching letters), then a space.
  std::vector<RecognizedBox> line;
  for (int left : {1, 9, 17, 41, 49, 57, 65}) {
    RecognizedBox b;
    b.Box = CharBox{left, 0, left == 17 ? 14 : 6, 10, false, false};
    b.Best[0] = LibraryMatch{0, 1, 0.9, 'a'};
    line.push_back(b);
  }
  SetWordSpaces(line);
  EXPECT_EQ(Spaced(line), "aaa aaaa");
}

// A Courier line at 150 dpi: cells of 12.5 pixels, narrow letters ('i', 5 pixels against 9)
// two pixels off their cell centre, so that the centre distances stray beyond a tenth of the
// pitch. Spaces stand only where a whole cell is empty, wherever the line starts (the grid's
// phase falls in each quarter of a cell, and far along a wide picture).
TEST(WordSpaces, MonospacedGridWithInkOffCentre) {
  const std::string cells = "iaai aiia iaiia iai";
  for (int start : {0, 3, 6, 9, 4999, 30002}) {
    std::vector<RecognizedBox> line;
    for (std::size_t k = 0; k < cells.size(); ++k) {
      if (cells[k] == ' ') continue;
      const int width = cells[k] == 'i' ? 5 : 9, shift = cells[k] == 'i' ? (k % 2 ? 2 : -2) : 0;
      RecognizedBox b;
      b.Box = CharBox{start + static_cast<int>(12.5 * k + 6.25) - width / 2 + shift, 0, width, 14};
      b.Best[0] = LibraryMatch{0, 1, 0.9, 'a'};
      line.push_back(b);
    }
    SetWordSpaces(line);
    EXPECT_EQ(Spaced(line), "aaaa aaaa aaaaa aaa") << start;
  }
}

// Bold titles and buttons at screen size: pixel rounding leaves their letters nearly even, so
// the centre distances look monospaced, but the word gap is half a cell, not a whole one.
TEST(WordSpaces, EvenProportionalLettersKeepTheirWordSpace) {
  const struct {
    std::vector<std::pair<int, int>> boxes;  // left, width
    std::string want;
  } cases[] = {
      {{{61, 17},
        {81, 17},
        {99, 18},
        {118, 18},
        {146, 16},
        {164, 17},
        {183, 17},
        {203, 17},
        {222, 18},
        {242, 18},
        {261, 15},
        {278, 14}},
       "aaaa aaaaaaaa"},  // "Save changes?"
      {{{334, 19},
        {355, 15},
        {373, 14},
        {391, 4},
        {397, 10},
        {418, 15},
        {435, 14},
        {452, 16},
        {469, 15},
        {574, 18},
        {594, 14},
        {612, 14},
        {629, 13},
        {644, 15},
        {662, 4},
        {758, 15},
        {775, 14},
        {792, 15},
        {808, 16}},
       "aaaaa aaaa aaaaaa aaaa"},  // "Don't Save  Cancel  Save"
  };
  for (const auto& c : cases) {
    std::vector<RecognizedBox> line;
    for (const auto& [left, width] : c.boxes) {
      RecognizedBox b;
      b.Box = CharBox{left, 0, width, 16};
      b.Best[0] = LibraryMatch{0, 1, 0.9, 'a'};
      line.push_back(b);
    }
    SetWordSpaces(line);
    EXPECT_EQ(Spaced(line), c.want);
  }
}

// Touching letters of a monospaced face make one box two cells wide: it is cut at the cell
// border and each piece read anew. On a proportional line a wide box is left to the word
// search. Ink fills each box ('W' a touching pair); the reader reads a wide box poorly.
TEST(WordSpaces, BoxSpanningTwoCellsIsCutAtTheCellBorder) {
  // The grid fitted for the cut is handed on to the spacing when the line stays as it was.
  const struct {
    bool monospaced;  // cells of 10 pixels, else letter gaps of 1 pixel and word gaps of 5
    std::string text, want;
    bool gridKnown;
  } cases[] = {
      {true, "aaa aaaaWaaa aaaaaaa aaaa aaaaa aaW", "iii iiiiiiiii iiiiiii iiii iiiii iiii", false},
      {false, "aaa aaaaWaaa aaaaaaa aaaa aaaaa aaW", "iii iiiiwiii iiiiiii iiii iiiii iiw", true},
      {true, "aaa aaaaaaa aaaaaaa aaaa aaaaa aa", "iii iiiiiii iiiiiii iiii iiiii ii", true}};
  const BoxRecognizer read = [](const CharBox& b) {
    std::array<LibraryMatch, 3> best{};
    best[0] = b.Width > 8 ? LibraryMatch{1, 1, 0.3, 'w'} : LibraryMatch{2, 1, 0.9, 'i'};
    return best;
  };
  for (const auto& c : cases) {
    BinaryImage ink{400, 10, std::vector<std::uint8_t>(4000, 0)};
    std::vector<RecognizedBox> line;
    int x = 0;
    for (char t : c.text) {
      const int cells = t == 'W' ? 2 : 1, width = t == 'W' ? 16 : 6;
      if (t != ' ') {
        const int left = c.monospaced ? x + 2 : x;
        for (int y = 0; y < 10; ++y)
          for (int k = left; k < left + width; ++k)
            ink.Ink[static_cast<std::size_t>(y * 400 + k)] = 1;
        RecognizedBox b;
        b.Box = CharBox{left, 0, width, 10};
        b.Best = read(b.Box);
        line.push_back(b);
      }
      x += c.monospaced ? 10 * cells : t == ' ' ? 4 : width + 1;
    }
    const LineGrid grid = CutGridSpans(ink, line, read);
    EXPECT_EQ(grid.Known, c.gridKnown) << c.text;
    std::vector<RecognizedBox> fittedAgain = line;
    SetWordSpaces(line, grid);
    SetWordSpaces(fittedAgain);
    EXPECT_EQ(Spaced(line), c.want) << c.text;
    EXPECT_EQ(Spaced(fittedAgain), c.want) << c.text;
  }
}

}  // namespace
}  // namespace morvik
