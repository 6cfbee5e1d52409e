#include "core/normalize.h"

#include <algorithm>
#include <cmath>

#include "core/cell_rows.h"

namespace morvik {

void ExtractLine(TLineKind kind, const TPattern& pattern, int i, TPatternLine& line) {
  if (i < 1 || i > kGridSize) {
    line.fill(TPatternCell{});
    return;
  }
  for (int p = 1; p <= kGridSize; ++p)
    line[p - 1] = kind == lkRow ? pattern.At(i, p) : pattern.At(p, i);
}

bool LineHasMark(const TPatternLine& line) {
  return std::any_of(line.begin(), line.end(), [](const TPatternCell& c) { return c.Mark != 0; });
}

namespace {

bool LineMarked(TLineKind kind, const TPattern& pattern, int i) {
  TPatternLine line;
  ExtractLine(kind, pattern, i, line);
  return LineHasMark(line);
}

// Unmarked lines before the first marked one; 0 when no line is marked.
int LeadingEmptyLines(TLineKind kind, const TPattern& pattern) {
  for (int i = 1; i <= kGridSize; ++i)
    if (LineMarked(kind, pattern, i)) return i - 1;
  return 0;
}

void ShiftRowsUp(TPattern& p, int s) {
  for (int k = 1; k <= kGridSize - s; ++k)
    for (int c = 1; c <= kGridSize; ++c) p.At(k, c) = p.At(k + s, c);
  ClearCells(kGridSize + 1 - s, kGridSize, 1, kGridSize, p);
}

void ShiftColumnsLeft(TPattern& p, int t) {
  for (int r = 1; r <= kGridSize; ++r)
    for (int k = 1; k <= kGridSize - t; ++k) p.At(r, k) = p.At(r, k + t);
  ClearCells(1, kGridSize, kGridSize + 1 - t, kGridSize, p);
}

void StretchLevels(TPattern& p) {
  const long double max = p.MaxLevel;
  for (TPatternCell& cell : p.Cells) {
    // Extended precision, halves to even; a stale MaxLevel from a foreign file could
    // overshoot a byte, so the result is held at 255.
    const long double v = std::nearbyint(static_cast<long double>(cell.Level) * 100.0L / max);
    cell.Level = static_cast<std::uint8_t>(std::min(v, 255.0L));
  }
}

}  // namespace

void ComputeSpans(TPattern& pattern) {
  // One pass over the rows: a row is marked when any of its marks is, a column when it is
  // marked in any row.
  unsigned rows = 0, columns = 0;
  __m128i max = _mm_setzero_si128();
  for (int r = 0; r < kGridSize; ++r) {
    __m128i marks, levels;
    detail::LoadRow(pattern, r, marks, levels);
    const unsigned bits = detail::NonZeroBits(marks);
    if (bits != 0) rows |= 1u << r;
    columns |= bits;
    max = _mm_max_epu8(max, levels);
  }
  max = _mm_max_epu8(max, _mm_srli_si128(max, 8));
  max = _mm_max_epu8(max, _mm_srli_si128(max, 4));
  max = _mm_max_epu8(max, _mm_srli_si128(max, 2));
  max = _mm_max_epu8(max, _mm_srli_si128(max, 1));
  pattern.MaxLevel = static_cast<std::uint8_t>(_mm_cvtsi128_si32(max) & 0xFF);
  pattern.RowCount = detail::SpanCount(rows);
  pattern.ColCount = detail::SpanCount(columns);
}

bool NormalizePattern(TPattern& pattern) {
  if (pattern.MaxLevel == 0) return false;
  bool changed = false;
  if (const int s = LeadingEmptyLines(lkRow, pattern); s > 0) {
    ShiftRowsUp(pattern, s);
    changed = true;
  }
  if (const int t = LeadingEmptyLines(lkColumn, pattern); t > 0) {
    ShiftColumnsLeft(pattern, t);
    changed = true;
  }
  // A shift that removed every level leaves nothing to stretch.
  if (pattern.MaxLevel != 0 && pattern.MaxLevel < 100) {
    StretchLevels(pattern);
    changed = true;
  }
  ComputeSpans(pattern);
  return changed;
}

void RequantizeLevels(TPattern& pattern) {
  for (TPatternCell& cell : pattern.Cells)
    if (cell.Level != 0) cell.Level = LevelValues[QuantizeLevel(cell.Level)];
}

void NormalizeBank(TPatternBank& bank) {
  for (int k = 1; k <= kTestSlot; ++k)
    if (NormalizePattern(bank.Slot(k))) RequantizeLevels(bank.Slot(k));
}

void ComputeBankSpans(TPatternBank& bank) {
  for (int k = 1; k <= kTestSlot; ++k) ComputeSpans(bank.Slot(k));
}

}  // namespace morvik
