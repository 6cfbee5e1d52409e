// The sequence matcher: how well the rows (or columns) of a test pattern follow those of a
// reference, line by line against a similarity threshold, as runs of consecutive matches.
#pragma once

#include <array>
#include <cstdint>

#include "core/normalize.h"
#include "core/pattern.h"

namespace morvik {

// Similarity 0..1 of two lines: the outer positions unmarked in both are trimmed; each
// remaining position scores equal marks (E) and 1 - |level difference| / 100 (S), and the
// result is (E + S) / (2 m). Two unmarked lines give 1.0.
double LineSimilarity(const TPatternLine& a, const TPatternLine& b);

struct TRunEntry {
  std::uint16_t Count = 0;     // matches in the run
  std::uint16_t LastLine = 0;  // reference line of the run's latest match
};

struct RunTable {
  std::array<TRunEntry, 11> Entries{};  // entries 1..10 in use; 0 unused
  std::int32_t RunCount = 0;
};

// Drops runs of a single match, unless only one run is held.
void CompactRuns(RunTable& table);

// Score 0..1 of test against reference over rows or columns, with the counts in force
// (ComputeSpans). A count of 0 gives 0.0.
double MatchSequences(TLineKind kind, const TPattern& test, const TPattern& reference,
                      double threshold);

}  // namespace morvik
