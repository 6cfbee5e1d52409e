#include "runs/numbered_bitmaps.h"

#include <utility>

#include "core/file_names.h"
#include "image/numbered_picture.h"

namespace morvik {

namespace {

constexpr int kLastNumber = 10;  // dynamic names run from 0 to 10

// The picture of a cell: its BMP, else the same name as PNG, PGM, PPM or PBM; "" for none.
std::string PictureOf(const std::string& folder, int row, int column) {
  return FindNumberedPicture(BitmapName(folder, row, column));
}

}  // namespace

std::string BitmapName(const std::string& folder, int row, int column) {
  return JoinPath(folder, std::to_string(row) + "_" + std::to_string(column) + ".bmp");
}

std::vector<BitmapRow> ListNumberedBitmaps(const std::string& folder, bool dynamic) {
  std::vector<BitmapRow> rows;
  if (!dynamic) {
    for (int r = 1; !PictureOf(folder, r, 0).empty(); ++r) {
      BitmapRow& row = rows.emplace_back();
      for (int c = 0;; ++c) {
        std::string path = PictureOf(folder, r, c);
        if (path.empty()) break;
        row.push_back({std::move(path), r, c});
      }
    }
    return rows;
  }
  for (int r = 0; r <= kLastNumber; ++r) {
    BitmapRow& row = rows.emplace_back();
    for (int c = 0; c <= kLastNumber; ++c)
      if (std::string path = PictureOf(folder, r, c); !path.empty())
        row.push_back({std::move(path), r, c});
  }
  return rows;
}

int CountBitmaps(const std::vector<BitmapRow>& rows) {
  std::size_t n = 0;
  for (const BitmapRow& row : rows) n += row.size();
  return static_cast<int>(n);
}

}  // namespace morvik
