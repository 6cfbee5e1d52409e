// Checks over the fixed-size blocks of a packed set, run on every block when a pack is opened:
// thirty-two or sixteen bytes at a time where the host has AVX2 or SSE2, byte by byte
// elsewhere. The forms are declared so that one build can hold them to the same answers.
#pragma once

#include <cstddef>
#include <cstdint>

namespace morvik {

constexpr std::size_t kPackGridBytes = 144;  // a detail's grid, 12 x 12 levels
constexpr std::size_t kPackCellBytes = 512;  // a pattern's 256 cells, each mark then level

// The sum of a grid's kPackGridBytes cells.
std::int64_t GridSum(const std::uint8_t* grid);
std::int64_t GridSumPlain(const std::uint8_t* grid);

// What a pattern's cells determine: its largest level and the weighted counts of its marked
// columns and rows (as ComputeSpans works them out).
struct CellSpans {
  std::uint8_t MaxLevel = 0;
  std::uint16_t ColCount = 0, RowCount = 0;
};

// Whether every one of the kPackCellBytes / 2 cells is a pattern's (mark 0 or 1, level at
// most 100); marked is set when a cell is marked, and left as it was otherwise. spans is
// that of valid cells (one pass over them: this runs for every reference of a pack).
bool CellsValid(const std::uint8_t* cells, bool& marked, CellSpans& spans);
bool CellsValidPlain(const std::uint8_t* cells, bool& marked, CellSpans& spans);
#if defined(__SSE2__)
// The form CellsValid takes where the host lacks AVX2.
bool CellsValidSse2(const std::uint8_t* cells, bool& marked, CellSpans& spans);
#endif

}  // namespace morvik
