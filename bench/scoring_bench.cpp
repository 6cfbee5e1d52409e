// Scoring one normalised test pattern against 40 normalised references of drawn glyphs:
// the work of one image in a recognition run after its pattern has been made.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdlib>
#include <string>

#include "core/normalize.h"
#include "core/pattern_bank.h"
#include "core/scoring.h"

namespace morvik {
namespace {

// Strokes of digits, letters and four signs: each group of four hex digits is a segment
// x1 y1 x2 y2 on the 16 x 16 grid (column, row from 0).
const std::array<const char*, 40> kGlyphs = {"0090 909D 9D0D 0D00 0D90",
                                             "404D 2240 1D7D",
                                             "0090 9096 9606 060D 0D9D",
                                             "0090 909D 9D0D 2696",
                                             "0009 0999 707D",
                                             "9000 0006 0696 969D 9D0D",
                                             "9000 000D 0D9D 9D96 9606",
                                             "0090 904D",
                                             "0090 909D 9D0D 0D00 0696",
                                             "9606 0600 0090 909D 9D0D",
                                             "0D40 409D 2777",
                                             "000D 0070 7073 7306 0696 969D 9D0D",
                                             "9000 000D 0D9D",
                                             "000D 0060 6093 939A 9A6D 6D0D",
                                             "000D 0090 0676 0D9D",
                                             "000D 0090 0676",
                                             "9000 000D 0D9D 9D97 9757",
                                             "000D 909D 0696",
                                             "404D 1070 1D7D",
                                             "909D 9D0D 0D0A 6090",
                                             "000D 9006 069D",
                                             "000D 0D9D",
                                             "0D00 0045 4590 909D",
                                             "0D00 009D 9D90",
                                             "1080 8093 939A 9A8D 8D1D 1D0A 0A03 0310",
                                             "000D 0090 9096 9606",
                                             "0090 909D 9D0D 0D00 6A9D",
                                             "000D 0090 9096 9606 069D",
                                             "9101 0106 0696 969C 9C0C",
                                             "0090 404D",
                                             "000D 0D9D 9D90",
                                             "004D 4D90",
                                             "002D 2D46 467D 7DA0",
                                             "009D 900D",
                                             "0046 4690 464D",
                                             "0090 900D 0D9D",
                                             "0696 404D",
                                             "0696",
                                             "0494 0898",
                                             "900D"};

int Hex(char c) {
  return c <= '9' ? c - '0' : c - 'A' + 10;
}

void Plot(TPattern& p, int x, int y, std::uint8_t level) {
  if (x < 0 || x > 15 || y < 0 || y > 15) return;
  TPatternCell& cell = p.At(y + 1, x + 1);
  if (cell.Level < level) cell = {1, level};
}

// The glyph's strokes, moved by (dx, dy), with a half-strength shadow right of every stroke
// cell, as a scanned pen stroke gives.
TPattern Draw(const std::string& strokes, int dx, int dy, std::uint8_t shadow) {
  TPattern p;
  for (std::size_t k = 0; k + 3 < strokes.size(); k += 5) {
    int x0 = Hex(strokes[k]) + dx, y0 = Hex(strokes[k + 1]) + dy;
    const int x1 = Hex(strokes[k + 2]) + dx, y1 = Hex(strokes[k + 3]) + dy;
    const int ddx = std::abs(x1 - x0), ddy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    for (int err = ddx + ddy;;) {
      Plot(p, x0, y0, 100);
      Plot(p, x0 + 1, y0, shadow);
      if (x0 == x1 && y0 == y1) break;
      const int e2 = 2 * err;
      if (e2 >= ddy) err += ddy, x0 += sx;
      if (e2 <= ddx) err += ddx, y0 += sy;
    }
  }
  p.MaxLevel = ComputeMaxLevel(p);
  return p;
}

// Strokes with shadows of 50 (references) and 25 (the test): levels that are multiples of 25.
// With faint shadows of level 10 every shadowed line takes the slower, general evaluation.
void ScoreAgainstFortyReferences(benchmark::State& st, std::uint8_t refShadow,
                                 std::uint8_t testShadow) {
  TPatternBank bank;
  for (int k = 1; k <= kReferenceCount; ++k) bank.Slot(k) = Draw(kGlyphs[k - 1], 2, 1, refShadow);
  bank.TestPattern() = Draw(kGlyphs[8], 4, 2, testShadow);  // an "8", placed and inked differently
  NormalizeBank(bank);
  ScoreState state;
  std::array<TRankEntry, 3> ranks{};
  for (auto _ : st) {
    ComputeBankSpans(bank);
    ComputeScores(bank, 0.75, state);
    PickTopThree(state, ranks);
    benchmark::DoNotOptimize(ranks);
  }
  st.counters["best"] = ranks[0].No;
}

void BM_ScoreAgainstFortyReferences(benchmark::State& st) {
  ScoreAgainstFortyReferences(st, 50, 25);
}
BENCHMARK(BM_ScoreAgainstFortyReferences);

void BM_ScoreAgainstFortyReferencesFaint(benchmark::State& st) {
  ScoreAgainstFortyReferences(st, 10, 10);
}
BENCHMARK(BM_ScoreAgainstFortyReferencesFaint);

}  // namespace
}  // namespace morvik
