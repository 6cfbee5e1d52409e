// The pattern record: 16 x 16 cells of six intensity levels, with the small operations
// every part of the engine uses on whole patterns. Rows and columns run 1 to 16.
#pragma once

#include <array>
#include <cstdint>

namespace morvik {

constexpr int kGridSize = 16;

struct TPatternCell {
  std::uint8_t Mark = 0;   // 1 when the cell is marked, 0 when empty
  std::uint8_t Level = 0;  // intensity 0..100; normally one of LevelValues
};

inline bool operator==(const TPatternCell& a, const TPatternCell& b) {
  return a.Mark == b.Mark && a.Level == b.Level;
}
inline bool operator!=(const TPatternCell& a, const TPatternCell& b) {
  return !(a == b);
}

struct TPattern {
  std::array<TPatternCell, kGridSize * kGridSize> Cells{};  // row-major
  std::uint8_t MaxLevel = 0;  // largest Level of all 256 cells, Mark not considered
  std::array<std::uint8_t, 4> StoredCounts{};  // counts as stored in a record; see PackCounts
  std::uint16_t ColCount = 16;  // weighted count of occupied columns (see ComputeSpans)
  std::uint16_t RowCount = 16;  // weighted count of occupied rows

  // Cell of row r and column c, both 1..16.
  TPatternCell& At(int r, int c) { return Cells[(r - 1) * kGridSize + (c - 1)]; }
  const TPatternCell& At(int r, int c) const { return Cells[(r - 1) * kGridSize + (c - 1)]; }
};

// The six intensity levels and the exclusive upper bound of each level's band.
constexpr std::array<std::uint8_t, 6> LevelValues = {0, 10, 25, 50, 75, 100};
constexpr std::array<std::uint8_t, 6> LevelBounds = {5, 11, 34, 56, 78, 101};

// Band index 0..5 of an intensity. Intensities of 101 or more (only possible in a record
// this system did not write) give 5, so every caller can index LevelValues with the result.
int QuantizeLevel(std::uint8_t intensity);

// Empties cells (firstRow..lastRow, firstCol..lastCol), then recomputes MaxLevel over all
// 256 cells. Counts are not touched. Empty ranges clear nothing.
void ClearCells(int firstRow, int lastRow, int firstCol, int lastCol, TPattern& pattern);

// Copies the cells, recomputes the target's MaxLevel from them, then copies both counts.
// StoredCounts is not copied.
void CopyPattern(const TPattern& source, TPattern& target);

// A new or reset pattern: every cell empty, MaxLevel 0, counts 16.
void ResetPattern(TPattern& pattern);

// Stored form of the counts <-> counts in force. A stored count of 0 reads as 16.
void UnpackCounts(TPattern& pattern);
void PackCounts(TPattern& pattern);

// value := value + delta, then held in low..high.
void AddClamped(int& value, int delta, int low, int high);

// Largest Level of all 256 cells.
std::uint8_t ComputeMaxLevel(const TPattern& pattern);

}  // namespace morvik
