#include "runs/numbered_bitmaps.h"

#include <filesystem>
#include <system_error>

#include "core/file_names.h"

namespace morvik {

namespace {

constexpr int kLastNumber = 10;  // dynamic names run from 0 to 10

bool BitmapExists(const std::string& name) {
  std::error_code ec;
  return std::filesystem::is_regular_file(name, ec);
}

}  // namespace

std::string BitmapName(const std::string& folder, int row, int column) {
  return JoinPath(folder, std::to_string(row) + "_" + std::to_string(column) + ".bmp");
}

std::vector<BitmapRow> ListNumberedBitmaps(const std::string& folder, bool dynamic) {
  std::vector<BitmapRow> rows;
  if (!dynamic) {
    for (int r = 1; BitmapExists(BitmapName(folder, r, 0)); ++r) {
      BitmapRow& row = rows.emplace_back();
      for (int c = 0; BitmapExists(BitmapName(folder, r, c)); ++c)
        row.push_back({BitmapName(folder, r, c), r, c});
    }
    return rows;
  }
  for (int r = 0; r <= kLastNumber; ++r) {
    BitmapRow& row = rows.emplace_back();
    for (int c = 0; c <= kLastNumber; ++c)
      if (BitmapExists(BitmapName(folder, r, c))) row.push_back({BitmapName(folder, r, c), r, c});
  }
  return rows;
}

int CountBitmaps(const std::vector<BitmapRow>& rows) {
  std::size_t n = 0;
  for (const BitmapRow& row : rows) n += row.size();
  return static_cast<int>(n);
}

}  // namespace morvik
