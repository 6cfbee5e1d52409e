#include "core/pattern.h"

#include <algorithm>

namespace morvik {

int QuantizeLevel(std::uint8_t intensity) {
  if (intensity < LevelBounds[0]) return 0;
  for (int i = 1; i <= 5; ++i)
    if (LevelBounds[i - 1] <= intensity && intensity < LevelBounds[i]) return i;
  return 5;
}

void AddClamped(int& value, int delta, int low, int high) {
  value += delta;
  if (value < low) {
    value = low;
  } else if (value > high) {
    value = high;
  }
}

std::uint8_t ComputeMaxLevel(const TPattern& pattern) {
  std::uint8_t max = 0;
  for (const TPatternCell& cell : pattern.Cells) max = std::max(max, cell.Level);
  return max;
}

void ClearCells(int firstRow, int lastRow, int firstCol, int lastCol, TPattern& pattern) {
  for (int r = std::max(firstRow, 1); r <= std::min(lastRow, kGridSize); ++r)
    for (int c = std::max(firstCol, 1); c <= std::min(lastCol, kGridSize); ++c)
      pattern.At(r, c) = TPatternCell{};
  pattern.MaxLevel = ComputeMaxLevel(pattern);
}

void CopyPattern(const TPattern& source, TPattern& target) {
  target.Cells = source.Cells;
  target.MaxLevel = ComputeMaxLevel(target);
  target.ColCount = source.ColCount;
  target.RowCount = source.RowCount;
}

void ResetPattern(TPattern& pattern) {
  ClearCells(1, kGridSize, 1, kGridSize, pattern);
  pattern.ColCount = 16;
  pattern.RowCount = 16;
}

void UnpackCounts(TPattern& pattern) {
  const auto& s = pattern.StoredCounts;
  pattern.ColCount = static_cast<std::uint16_t>(s[0] + 256 * s[1]);
  pattern.RowCount = static_cast<std::uint16_t>(s[2] + 256 * s[3]);
  if (pattern.ColCount == 0) pattern.ColCount = 16;
  if (pattern.RowCount == 0) pattern.RowCount = 16;
}

void PackCounts(TPattern& pattern) {
  pattern.StoredCounts = {static_cast<std::uint8_t>(pattern.ColCount & 0xFF),
                          static_cast<std::uint8_t>(pattern.ColCount >> 8),
                          static_cast<std::uint8_t>(pattern.RowCount & 0xFF),
                          static_cast<std::uint8_t>(pattern.RowCount >> 8)};
}

}  // namespace morvik
