// Where the thumbnail of a recognised image and its three results go on the thumbnail
// canvas, and how far the thumbnail box scrolls: pure geometry and texts, so the window
// only measures text widths and paints.
#pragma once

#include <array>
#include <string>

#include "core/char_map.h"
#include "core/colour.h"
#include "form/result_display.h"

namespace morvik {

constexpr int kThumbnailSide = 38;        // the raster's longer side on the canvas
constexpr int kThumbnailColumnStep = 53;  // pixels from one thumbnail column to the next
constexpr int kThumbnailLeftOffset = 16;  // left edge of column 0
constexpr int kThumbnailRowStep = 106;    // 58 + 48: thumbnail and three result lines
constexpr int kThumbnailLineStep = 14;    // between the lines of one thumbnail's results
constexpr int kThumbnailCanvasWidth = 1000;
constexpr int kThumbnailCanvasHeight = 10000;

struct ThumbnailText {
  std::string Text;
  int X = 0;                  // left edge, or the right end (exclusive) when RightAligned
  int Y = 0;                  // top of the text
  bool RightAligned = false;  // drawn at X - its width
  Colour TextColour = kBlack;
  bool Bold = false;
  bool Underline = false;
  bool Opaque = false;  // on the canvas's white instead of a transparent background
};

struct ThumbnailLayout {
  double Scale = 0;                              // 38 / the raster's longer side
  int Left = 0, Top = 0, Right = 0, Bottom = 0;  // the stretched raster, right/bottom exclusive
  std::array<ThumbnailText, 3> Labels;           // right-aligned 2 pixels left of the thumbnail
  std::array<ThumbnailText, 3> Percentages;      // under the thumbnail, from Left
  ThumbnailText Margin;  // lead of rank 1 over rank 2 in points, right-aligned at Left
};

// The layout for a width x height raster at thumbnail row `row` (from 1) and file column
// `column` (from 0). The raster's sides are scaled with the products of the integer side and
// the double scale taken exactly and truncated, so a longer side of 3, 30 or 40 gives 37.
// Labels are the mapped characters when a map is loaded (a number the map never named draws
// as nothing), else the numbers. A raster without pixels (a blank picture) gives a thumbnail
// of no size, scale 0, with its texts where they would stand.
ThumbnailLayout LayoutThumbnail(int width, int height, int row, int column,
                                const std::array<TRankEntry, 3>& topThree,
                                const CharMapState& chars);

// Integer nearest to (score1 - score2) * 100 in extended precision, ties to even.
int MarginPoints(double score1, double score2);

// The scrollable extent of the thumbnail box. It starts as the canvas's own size (the box's
// automatic range); each thumbnail widens it to Right + 10 when that is more, and sets the
// height to Bottom + 60 (at least 0), so the box scrolls down to the image just drawn.
struct ThumbnailScrollRange {
  int Horizontal = kThumbnailCanvasWidth;
  int Vertical = kThumbnailCanvasHeight;
};
void UpdateScrollRange(ThumbnailScrollRange& range, const ThumbnailLayout& layout);

}  // namespace morvik
