// What the segmenter returns: character boxes grouped in text lines, in reading order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace morvik {

struct Rect {
  int Left = 0, Top = 0, Width = 0, Height = 0;
  int Right() const { return Left + Width; }   // one past the last column
  int Bottom() const { return Top + Height; }  // one past the last row
};

// The smallest rectangle holding both; an empty rectangle (no width or height) adds nothing.
Rect Union(const Rect& a, const Rect& b);

struct CharBox {
  int Left = 0, Top = 0, Width = 0, Height = 0;
  bool SpaceBefore = false;  // a word space (or a table cell border) precedes the character
  bool Empty = false;        // a grid or table cell without ink; the box is the whole cell
};

struct TextLine {
  Rect Box;  // the line's ink
  std::vector<CharBox> Chars;
};

struct Segmentation {
  bool DarkOnLight = true;
  std::vector<TextLine> Lines;  // top to bottom, characters left to right
};

// The most characters read, learned or cut from one picture. A page of dense print at 600
// dpi holds about 10,000; past 100,000 a picture is noise or a pattern, whose reading would
// only cost time and memory. The segmenters take a limit and stop cutting once they have
// found more characters than it allows.
constexpr std::size_t kMaxCharactersPerPicture = 100000;
constexpr std::size_t kNoCharacterLimit = SIZE_MAX;

// The boxes that are characters: all but the Empty cells.
std::size_t CharacterCount(const Segmentation& s);

}  // namespace morvik
