// Settings shared by reading and learning: how a picture is cut and how each character is
// sampled. Every field left at its default means what the command line means without the
// option; sampling fields left unset take the set's stored settings, else the defaults for
// cut characters (automatic threshold, cropped, proportions kept, tally 75).
#pragma once

#include <optional>

namespace morvik {

enum class InkPolarity {
  kAuto,   // told from the picture (--polarity auto)
  kDark,   // dark characters on a light ground
  kLight,  // light characters on a dark ground
};

// A fixed grid of Columns x Rows cells of CellWidth x CellHeight pixels from (Left, Top)
// (--grid X,Y,W,H,COLUMNS,ROWS). Sizes and counts are at least 1.
struct CellGrid {
  int Left = 0, Top = 0, CellWidth = 1, CellHeight = 1, Columns = 1, Rows = 1;
};

struct CutSettings {
  InkPolarity Polarity = InkPolarity::kAuto;
  std::optional<CellGrid> Grid;  // cut into the grid's cells (--grid)
  bool Table = false;            // cut a ruled table cell by cell (--table); not with Grid
};

// Overrides of the sets' stored image settings and tally (--crop/--no-crop, --no-auto,
// --threshold, --increment, --ratio, --tally). Percentages are 0..100; Ratio 1..100, or 0
// to keep the proportions (--ratio off).
struct SamplingOverrides {
  std::optional<bool> Crop;
  std::optional<bool> AutoThreshold;
  std::optional<int> Threshold;
  std::optional<int> Increment;
  std::optional<int> Ratio;
  std::optional<int> Tally;
};

}  // namespace morvik
