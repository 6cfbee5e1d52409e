// Scoring one test pattern against a library of 10 sets of 40 references (the size of a
// stock library), against the same work done set by set on banks already normalised.
#include <benchmark/benchmark.h>

#include <array>
#include <string>
#include <vector>

#include "core/normalize.h"
#include "core/scoring.h"
#include "golden/glyphs.h"
#include "library/library_scoring.h"

namespace morvik {
namespace {

constexpr int kSets = 10;
const std::string kChars = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ0O1I";

// The 5 x 7 glyph scaled to w x h cells at (left, top) with a shadow right of every stroke
// cell: each set is drawn at its own size and ink, as sets from different typefaces are.
TPattern Glyph(char c, int w, int h, int left, int top, std::uint8_t shadow) {
  const auto& rows = test::GlyphRows(c);
  TPattern p;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (!(rows[static_cast<std::size_t>(y * 7 / h)] & (0x10 >> (x * 5 / w)))) continue;
      p.At(top + y + 1, left + x + 1) = {1, 100};
      TPatternCell& right = p.At(top + y + 1, std::min(left + x + 2, kGridSize));
      if (right.Level < shadow) right = {1, shadow};
    }
  p.MaxLevel = ComputeMaxLevel(p);
  return p;
}

TPatternBank SetBank(int s) {
  TPatternBank bank;
  const int w = 8 + s % 5, h = 11 + s % 4;
  const std::uint8_t shadow = s % 2 ? 50 : 25;
  for (int k = 1; k <= kReferenceCount; ++k)
    bank.Slot(k) = Glyph(kChars[static_cast<std::size_t>(k - 1)], w, h, s % 3, s % 2, shadow);
  return bank;
}

const TPattern& TestPattern() {
  static const TPattern test = Glyph('8', 10, 13, 3, 2, 75);
  return test;
}

ReferenceLibrary TenSets() {
  ReferenceLibrary library;
  for (int s = 0; s < kSets; ++s) {
    library.Sets.emplace_back();
    ReferenceSet& set = library.Sets.back();
    set.Bank = SetBank(s);
    set.Chars.CharMapLoaded = true;
    for (int k = 1; k <= kReferenceCount; ++k) set.Chars.CharMap[k] = kChars[k - 1];
    PrepareReferenceSet(set);
  }
  return library;
}

void LibraryOfTenSets(benchmark::State& st, const CharFilter& filter) {
  ReferenceLibrary library = TenSets();
  std::array<LibraryMatch, 3> best{};
  for (auto _ : st) {
    best = RecognizeWithLibrary(library, TestPattern(), 0.75, filter);
    benchmark::DoNotOptimize(best);
  }
  st.counters["set"] = best[0].Set;
  st.counters["best"] = best[0].No;
  st.counters["references/s"] =
      benchmark::Counter(kSets * kReferenceCount, benchmark::Counter::kIsIterationInvariantRate);
}
void BM_LibraryOfTenSets(benchmark::State& st) {
  LibraryOfTenSets(st, CharFilter{});
}
BENCHMARK(BM_LibraryOfTenSets);

// Digits only: the other references are not matched at all.
void BM_LibraryOfTenSetsDigitsOnly(benchmark::State& st) {
  LibraryOfTenSets(st, ParseCharFilter("0-9"));
}
BENCHMARK(BM_LibraryOfTenSetsDigitsOnly);

// The floor: only the scoring and ranking of each set, on banks normalised beforehand.
void BM_TenSetsOneByOne(benchmark::State& st) {
  std::vector<TPatternBank> banks;
  for (int s = 0; s < kSets; ++s) {
    banks.push_back(SetBank(s));
    banks.back().TestPattern() = TestPattern();
    NormalizeBank(banks.back());
  }
  std::vector<ScoreState> states(kSets);
  std::array<TRankEntry, 3> ranks{};
  for (auto _ : st) {
    for (int s = 0; s < kSets; ++s) {
      ComputeBankSpans(banks[s]);
      ComputeScores(banks[s], 0.75, states[s]);
      PickTopThree(states[s], ranks);
    }
    benchmark::DoNotOptimize(ranks);
  }
}
BENCHMARK(BM_TenSetsOneByOne);

}  // namespace
}  // namespace morvik
