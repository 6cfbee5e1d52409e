// The numbered pictures "<row>_<column>.bmp" of a folder (or the same names as PNG, PGM, PPM
// or PBM), walked row by row.
#pragma once

#include <string>
#include <vector>

namespace morvik {

// "<folder>/<row>_<column>.bmp"
std::string BitmapName(const std::string& folder, int row, int column);

struct NumberedBitmap {
  std::string Path;  // the BMP, or the picture found in its place
  int Row = 0, Column = 0;
};
using BitmapRow = std::vector<NumberedBitmap>;

// Fixed naming: rows from 1 and columns from 0, each until the first missing file (every row
// listed holds a bitmap). Dynamic naming: every row 0..10, each with the existing names of
// columns 0..10 (a row may be empty). Where "<r>_<c>.bmp" does not exist, "<r>_<c>.png",
// ".pgm", ".ppm" and ".pbm" are tried in that order before the name counts as missing (see
// FindNumberedPicture). Names are taken exactly; only plain files count.
std::vector<BitmapRow> ListNumberedBitmaps(const std::string& folder, bool dynamic);

// How many bitmaps the rows hold.
int CountBitmaps(const std::vector<BitmapRow>& rows);

}  // namespace morvik
