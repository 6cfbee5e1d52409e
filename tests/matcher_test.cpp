// The sequence matcher: line similarity (with the extended arithmetic that decides matches),
// the worked examples of runs, restarts and compaction, thresholds and degenerate counts.
#include "core/matcher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "test_util.h"

namespace morvik {
namespace {

using test::LevelOf;

TPatternLine Line(const std::string& cells) {
  TPatternLine line{};
  for (std::size_t p = 0; p < cells.size(); ++p)
    if (const std::uint8_t l = LevelOf(cells[p]); l != 0) line[p] = {1, l};
  return line;
}

// Rows from row 1 down, counted as every scoring does.
TPattern Rows(const std::vector<std::string>& rows) {
  TPattern p = test::Picture(rows);
  ComputeSpans(p);
  return p;
}

std::uint64_t Bits(double d) {
  std::uint64_t u;
  std::memcpy(&u, &d, sizeof u);
  return u;
}

struct SimilarityCase {
  std::string a, b;
  double expected;
};

class LineSimilarityTest : public testing::TestWithParam<SimilarityCase> {};

TEST_P(LineSimilarityTest, GivesTheValueInBothOrders) {
  const TPatternLine a = Line(GetParam().a), b = Line(GetParam().b);
  EXPECT_EQ(LineSimilarity(a, b), GetParam().expected);
  EXPECT_EQ(LineSimilarity(b, a), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, LineSimilarityTest,
    testing::Values(SimilarityCase{"", "", 1.0}, SimilarityCase{"####", "", 0.0},
                    SimilarityCase{"####", "........####", 1.0 / 3.0},
                    SimilarityCase{"#..............#", "#..............#", 1.0},
                    SimilarityCase{"#..............#", "#..............5", 31.5 / 32},
                    SimilarityCase{"...5", "...#", 0.75}, SimilarityCase{"..##", "..#", 0.5}));

// The same similarity in plain double arithmetic, and with S kept in extended throughout.
template <typename Sum>
double Reference(const TPatternLine& a, const TPatternLine& b) {
  int f = 0, l = 15;
  while (a[f].Mark == 0 && b[f].Mark == 0) ++f;
  while (a[l].Mark == 0 && b[l].Mark == 0) --l;
  unsigned e = 0;
  Sum s = 0;
  for (int p = f; p <= l; ++p) {
    e += a[p].Mark == b[p].Mark;
    s += Sum(1) - Sum(std::abs(a[p].Level - b[p].Level)) / Sum(100);
  }
  return static_cast<double>((e + s) / (Sum(2) * (l - f + 1)));
}

TEST(LineSimilarity, StoresEachStepOfSInDoubleAndFormsTheRestInExtended) {
  struct Case {
    std::string a, b;
    std::uint64_t bits;
  };
  // Pairs for which plain double arithmetic stores a different double.
  for (const Case& c :
       {Case{"#21", ".1#", 0x3fdf777777777777}, Case{"1#2", "211", 0x3fe999999999999a}}) {
    const TPatternLine a = Line(c.a), b = Line(c.b);
    EXPECT_EQ(Bits(LineSimilarity(a, b)), c.bits) << c.a << " " << c.b;
    EXPECT_NE(Bits(Reference<double>(a, b)), c.bits) << c.a << " " << c.b;
  }
  // A pair for which a sum never rounded to double would differ.
  EXPECT_EQ(Bits(LineSimilarity(Line("7#2"), Line("..1"))), 0x3fd6666666666667u);
  EXPECT_NE(Bits(Reference<long double>(Line("7#2"), Line("..1"))), 0x3fd6666666666667u);
  // 0.8 exactly: a match at Tally 0.80 that plain double arithmetic would miss.
  EXPECT_LT(Reference<double>(Line("1#2"), Line("211")), 0.8);
  EXPECT_EQ(MatchSequences(lkRow, Rows({"1#2"}), Rows({"211"}), 0.8), 1.0);
}

TEST(MatchSequences, WorkedExampleOfTwoTinyPatterns) {
  const TPattern test = Rows({"#", "#", "#"});
  const TPattern ref = Rows({"#", "#", "#", "#"});
  EXPECT_EQ(MatchSequences(lkRow, test, ref, 0.75), 0.875);
  EXPECT_EQ(MatchSequences(lkColumn, test, ref, 0.75), 1.0);
  EXPECT_EQ(MatchSequences(lkRow, test, ref, 0.76), 0.875);
  EXPECT_EQ(MatchSequences(lkColumn, test, ref, 0.76), 0.0);
}

TEST(MatchSequences, RestartPassesOverATestLineAndRoundsFiveTwelfthsOnce) {
  const std::string a = "####", b = "........####";
  const double h = MatchSequences(lkRow, Rows({a, b, a}), Rows({b, a}), 0.75);
  EXPECT_EQ(Bits(h), Bits(0.4166666666666667));
  EXPECT_EQ(Bits(h), 0x3fdaaaaaaaaaaaabu);
  const double third = 1.0 / 3.0;
  const double plain = (third + 1.0 / 2.0) / 2.0;
  EXPECT_EQ(plain, 0.41666666666666663);
  EXPECT_NE(Bits(h), Bits(plain));
}

struct SequenceCase {
  std::vector<std::string> test, ref;
  double threshold, expected;
};

class SequenceTest : public testing::TestWithParam<SequenceCase> {};

TEST_P(SequenceTest, Scores) {
  const SequenceCase& c = GetParam();
  EXPECT_DOUBLE_EQ(MatchSequences(lkRow, Rows(c.test), Rows(c.ref), c.threshold), c.expected);
}

const std::string X = "####", Y = "....####", Z = "........####", W = "............####";
const std::string A = "#", B = "..#";
const std::vector<std::string> kDiagonal = {"#", ".#", "..#", "...#", "....#"};
const std::vector<std::string> kSixteen(16, "#");

std::vector<std::string> Take(const std::vector<std::string>& rows, std::size_t n) {
  return {rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(n)};
}

INSTANTIATE_TEST_SUITE_P(
    Examples, SequenceTest,
    testing::Values(
        // Compaction drops two single matches although two test lines found a partner.
        SequenceCase{{X, Y, Z}, {X, W, Y}, 0.75, 0.0},
        // A run of two survives: (2/3 + 2/3) / 2.
        SequenceCase{{X, Y, Z}, {X, Y, W}, 0.75, 2.0 / 3.0},
        // Threshold 0 (or below): one diagonal run of min(nT, nR) lines.
        SequenceCase{Take(kDiagonal, 3), kDiagonal, 0.0, (1 + 3.0 / 5) / 2},
        SequenceCase{kDiagonal, Take(kDiagonal, 3), 0.0, (1 + 3.0 / 5) / 2},
        SequenceCase{{X, Y, Z, W}, {W, Z, Y, X}, 0.0, 1.0},
        SequenceCase{{X}, kSixteen, -0.5, (1 + 1.0 / 16) / 2},
        // Above 1 nothing matches, not even identical lines.
        SequenceCase{kDiagonal, kDiagonal, 1.01, 0.0}, SequenceCase{{X}, {X}, 1.5, 0.0},
        SequenceCase{kDiagonal, kDiagonal, 1.0, 1.0},
        // Reference line 17 (after a run ending on line 16) is a line of unmarked cells:
        // it matches the empty test line 3, which makes two single runs that are dropped...
        SequenceCase{{B, B, "", A},
                     [] {
                       std::vector<std::string> r(15, A);
                       r.push_back(B);
                       return r;
                     }(),
                     0.75,
                     0.0},
        // ...and misses a marked test line, so the lone run on line 16 counts.
        SequenceCase{{B, B, A, A},
                     [] {
                       std::vector<std::string> r(15, A);
                       r.push_back(B);
                       return r;
                     }(),
                     0.75,
                     (1.0 / 4 + 1.0 / 16) / 2}));

// Random patterns: mostly well formed (a mark exactly where a level is), some normalised, some
// from foreign files with any bytes. Only raw mt19937 output is used, so every platform
// draws the same patterns.
TPattern RandomPattern(std::mt19937& rng) {
  TPattern p;
  const bool foreign = rng() % 8 == 0;
  const int h = 1 + static_cast<int>(rng() % 16), w = 1 + static_cast<int>(rng() % 16);
  const int top = 1 + static_cast<int>(rng() % (17 - h)),
            left = 1 + static_cast<int>(rng() % (17 - w));
  const unsigned density = 1 + rng() % 4;
  for (int r = top; r < top + h; ++r)
    for (int c = left; c < left + w; ++c) {
      if (foreign) {
        p.At(r, c) = {static_cast<std::uint8_t>(rng() % 3), static_cast<std::uint8_t>(rng() % 121)};
      } else if (rng() % 5 < density) {
        p.At(r, c) = {1, LevelValues[1 + rng() % 5]};
      }
    }
  p.MaxLevel = ComputeMaxLevel(p);
  if (!foreign && rng() % 2 == 0 && NormalizePattern(p)) RequantizeLevels(p);
  ComputeSpans(p);
  return p;
}

TEST(ProfileLines, AgreesWithTheExtractedLinesOfEveryKind) {
  std::mt19937 rng(11);
  for (int n = 0; n < 300; ++n) {
    const TPattern p = RandomPattern(rng);
    TLineProfiles rows, columns;
    ProfileLines(p, rows, columns);
    EXPECT_EQ(rows.Count, std::min<int>(p.RowCount, 16));
    EXPECT_EQ(columns.Count, std::min<int>(p.ColCount, 16));
    for (TLineKind kind : {lkRow, lkColumn})
      for (int i = 1; i <= 17; ++i) {
        TPatternLine line;
        ExtractLine(kind, p, i, line);
        const TLineProfile want = ProfileLine(line);
        const TLineProfile& got = (kind == lkRow ? rows : columns).Lines[i];
        ASSERT_EQ(got.Levels, want.Levels) << n << " " << kind << " " << i;
        ASSERT_EQ(got.Marks, want.Marks);
        ASSERT_EQ(got.MarkBits, want.MarkBits);
        ASSERT_EQ(got.Regular, want.Regular);
        ASSERT_EQ(got.Quick, want.Quick);
        if (want.Quick) {
          ASSERT_EQ(got.Keys, want.Keys);
        }
      }
  }
}

TEST(MatchSequences, LargeMarkBytesOfAForeignFileLeaveTheNextColumnExact) {
  // Column 1 differs only in its mark bytes (64 against 128: similarity 0.5); column 2 is
  // the same single cell in both, similarity 1.0, so it alone matches at 0.9: S = 1.
  TPattern test, ref;
  test.At(1, 1) = {64, 100};
  ref.At(1, 1) = {128, 100};
  test.At(1, 2) = ref.At(1, 2) = {1, 100};
  ComputeSpans(test);
  ComputeSpans(ref);
  EXPECT_EQ(MatchSequences(lkColumn, test, ref, 0.9), 0.5);
  TLineProfiles rows, columns;
  ProfileLines(test, rows, columns);
  TPatternLine line;
  ExtractLine(lkColumn, test, 2, line);
  EXPECT_EQ(columns.Lines[2].Keys, ProfileLine(line).Keys);
}

// Line similarities and matcher scores over many random pairs, kinds and thresholds,
// reduced to one hash of the bits of every value: any change in a single result changes it.
TEST(MatchSequences, RandomPairsKeepTheirExactScores) {
  std::mt19937 rng(20240611);
  std::uint64_t hash = 1469598103934665603u;
  auto mix = [&hash](double v) { hash = (hash ^ Bits(v)) * 1099511628211u; };
  int positive = 0;
  for (int n = 0; n < 1500; ++n) {
    const TPattern test = RandomPattern(rng), ref = RandomPattern(rng);
    TPatternLine a, b;
    for (int k = 1; k <= 16; ++k) {
      ExtractLine(lkRow, test, k, a);
      ExtractLine(lkColumn, ref, k, b);
      mix(LineSimilarity(a, b));
    }
    for (TLineKind kind : {lkRow, lkColumn})
      for (double threshold : {0.55, 0.6, 0.65, 0.7, 0.75, 0.8, 0.85, 0.9}) {
        const double score = MatchSequences(kind, test, ref, threshold);
        positive += score > 0;
        mix(score);
      }
  }
  EXPECT_GT(positive, 5000);
  EXPECT_EQ(hash, 18177718086461303125u);
}

// The bound holds for every kind and threshold, and is reached where all lines match alike.
TEST(MatchSequences, BoundIsNeverBelowTheScore) {
  std::mt19937 rng(20261209);
  int reached = 0;
  for (int n = 0; n < 1500; ++n) {
    const TPattern test = RandomPattern(rng), ref = n % 3 == 0 ? test : RandomPattern(rng);
    TLineProfiles testRows, testColumns, refRows, refColumns;
    ProfileLines(test, testRows, testColumns);
    ProfileLines(ref, refRows, refColumns);
    for (double threshold : {0.0, 0.55, 0.75, 0.9}) {
      const double rows = MatchSequences(testRows, refRows, threshold);
      const double columns = MatchSequences(testColumns, refColumns, threshold);
      const double rowBound = MatchSequencesBound(testRows.Count, refRows.Count);
      EXPECT_LE(rows, rowBound) << n;
      EXPECT_LE(columns, MatchSequencesBound(testColumns.Count, refColumns.Count)) << n;
      reached += rows == rowBound;
    }
  }
  EXPECT_GT(reached, 500);
  for (const auto& counts : std::vector<std::array<int, 2>>{{0, 5}, {5, 0}, {-1, 3}})
    EXPECT_EQ(MatchSequencesBound(counts[0], counts[1]), 0.0);
}

// Asked for at least some lines matched, the matcher gives its score where it reaches them,
// else -1 (it may stop early): never a score that would pass for a match it did not reach.
TEST(MatchSequences, AtLeastGivesTheScoreWhereItIsReached) {
  std::mt19937 rng(20261210);
  int stopped = 0, kept = 0;
  for (int n = 0; n < 600; ++n) {
    const TPattern test = RandomPattern(rng), ref = n % 4 == 0 ? test : RandomPattern(rng);
    TLineProfiles testRows, testColumns, refRows, refColumns;
    ProfileLines(test, testRows, testColumns);
    ProfileLines(ref, refRows, refColumns);
    for (double threshold : {0.55, 0.75, 0.9})
      for (const auto* pair : {&testRows, &testColumns}) {
        const TLineProfiles& t = *pair;
        const TLineProfiles& r = pair == &testRows ? refRows : refColumns;
        const double score = MatchSequences(t, r, threshold);
        for (int least = 0; least <= t.Count + 1; ++least) {
          const double at = MatchSequencesAtLeast(t, r, threshold, least);
          if (least == 0 || score >= SequenceScoreOf(least, t.Count, r.Count)) {
            EXPECT_EQ(Bits(at), Bits(score)) << n << " least " << least;
            ++kept;
          } else {
            EXPECT_EQ(at, -1.0) << n << " least " << least;
            ++stopped;
          }
        }
      }
  }
  EXPECT_GT(stopped, 1000);
  EXPECT_GT(kept, 1000);
}

TEST(MatchSequences, DecidesMatchesExactlyAtTheThreshold) {
  // Single-line patterns score 1 on a match and 0 on a miss. A threshold equal to the exact
  // similarity must match and the next double above it must miss, whatever the levels.
  std::mt19937 rng(7);
  for (int n = 0; n < 4000; ++n) {
    TPattern a, b;
    for (TPattern* p : {&a, &b})
      for (int c = 1 + static_cast<int>(rng() % 16); c <= 16; c += 1 + static_cast<int>(rng() % 4))
        p->At(1, c) = {1, LevelValues[1 + rng() % 5]};
    ComputeSpans(a);
    ComputeSpans(b);
    TPatternLine la, lb;
    ExtractLine(lkRow, a, 1, la);
    ExtractLine(lkRow, b, 1, lb);
    const double s = LineSimilarity(la, lb);
    ASSERT_EQ(MatchSequences(lkRow, a, b, s), 1.0) << n;
    ASSERT_EQ(MatchSequences(lkRow, a, b, std::nextafter(s, 2.0)), 0.0) << n;
  }
}

TEST(MatchSequences, ACountOfZeroGivesZero) {
  TPattern blank;  // levels without marks: MaxLevel 50 but no counted line
  blank.At(1, 1) = {0, 50};
  ComputeSpans(blank);
  ASSERT_EQ(blank.RowCount, 0);
  const TPattern any = Rows({"#"});
  for (TLineKind kind : {lkRow, lkColumn}) {
    EXPECT_EQ(MatchSequences(kind, blank, any, 0.0), 0.0);
    EXPECT_EQ(MatchSequences(kind, any, blank, 0.0), 0.0);
  }
}

TEST(CompactRuns, DropsSingleMatchesOnlyWhenMoreThanOneRunIsHeld) {
  struct Case {
    std::vector<int> counts, kept;
  };
  for (const Case& c : {Case{{1}, {1}}, Case{{1, 1}, {}}, Case{{1, 3, 1, 2}, {3, 2}},
                        Case{{2, 2}, {2, 2}}, Case{{}, {}}}) {
    RunTable table;
    for (int n : c.counts) table.Entries[++table.RunCount] = {static_cast<std::uint16_t>(n), 9};
    CompactRuns(table);
    ASSERT_EQ(table.RunCount, static_cast<int>(c.kept.size()));
    for (std::size_t k = 0; k < c.kept.size(); ++k)
      EXPECT_EQ(table.Entries[k + 1].Count, c.kept[k]);
    for (std::size_t k = c.kept.size() + 1; k <= c.counts.size(); ++k)
      EXPECT_EQ(table.Entries[k].Count, 0);
  }
}

}  // namespace
}  // namespace morvik
