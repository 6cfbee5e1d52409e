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

// A line made ready for many comparisons: its cells, its marks as bits, and which of the
// shortcuts to the exact similarity apply to it.
struct alignas(16) TLineProfile {
  std::array<std::uint8_t, kGridSize> Levels{};  // position p at index p - 1
  std::array<std::uint8_t, kGridSize> Marks{};
  // Quick lines only: Level / 25 + 4 x Mark. Where both lines are quick, the sum of the
  // absolute key differences is (sum of level differences) / 25 + 4 x (unequal marks).
  std::array<std::uint8_t, kGridSize> Keys{};
  std::uint16_t MarkBits = 0;  // bit p - 1 set when position p has a non-zero Mark
  bool Regular = true;         // Marks 0 or 1 and no Level without a Mark
  bool Quick = true;           // Regular, and every Level 0, 25, 50, 75 or 100
};

// Lines 1..16 of one kind of a pattern (index 0 unused, 17 unmarked) and the pattern's count
// for that kind.
struct TLineProfiles {
  std::array<TLineProfile, kGridSize + 2> Lines{};
  int Count = 0;
};

TLineProfile ProfileLine(const TPatternLine& line);
// Rows and columns of a pattern, with RowCount and ColCount (held at 16 at most).
void ProfileLines(const TPattern& pattern, TLineProfiles& rows, TLineProfiles& columns);

// Exactly LineSimilarity of the two lines.
double LineSimilarity(const TLineProfile& a, const TLineProfile& b);

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
// The same over lines profiled once, for scoring one test against many references.
double MatchSequences(const TLineProfiles& test, const TLineProfiles& reference, double threshold);

// MatchSequences where it scores at least `least` test lines matched (the score
// SequenceScoreOf gives them); else it may stop as soon as it cannot, and gives -1.
double MatchSequencesAtLeast(const TLineProfiles& test, const TLineProfiles& reference,
                             double threshold, int least);
// MatchSequences' score of `matched` lines matched, rising with it.
double SequenceScoreOf(int matched, int testCount, int referenceCount);

// Never below MatchSequences over lines with these counts, whatever the lines: the score of
// every test line matched. A match takes a test line of its own, so there are at most
// testCount of them (a reference line past its count can match, so not at most
// referenceCount).
double MatchSequencesBound(int testCount, int referenceCount);

}  // namespace morvik
