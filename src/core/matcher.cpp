#include "core/matcher.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "core/cell_rows.h"

namespace morvik {

namespace {

// 1 - d / 100 in extended for every level difference d a byte can give.
const std::array<long double, 256>& StepTable() {
  static const std::array<long double, 256> table = [] {
    std::array<long double, 256> t{};
    for (int d = 0; d < 256; ++d) t[d] = 1.0L - static_cast<long double>(d) / 100.0L;
    return t;
  }();
  return table;
}

// Between quick lines every step 1 - d / 100 is a multiple of 1/4, so every partial S is
// exact and E + S = n / 4 with n = 0..8m. The table holds (E + S) / (2 m) for each m and n.
using QuickTable = std::array<std::array<double, 8 * kGridSize + 1>, kGridSize + 1>;
const QuickTable& QuickValues() {
  static const QuickTable table = [] {
    QuickTable t{};
    for (int m = 1; m <= kGridSize; ++m)
      for (int n = 0; n <= 8 * m; ++n)
        t[m][n] = static_cast<double>(static_cast<long double>(n) / 4.0L / (2.0L * m));
    return t;
  }();
  return table;
}

unsigned BitCount(unsigned v) {
  v = v - ((v >> 1) & 0x55555555u);
  v = (v & 0x33333333u) + ((v >> 2) & 0x33333333u);
  return (((v + (v >> 4)) & 0x0F0F0F0Fu) * 0x01010101u) >> 24;
}

int Sad(const std::array<std::uint8_t, kGridSize>& a,
        const std::array<std::uint8_t, kGridSize>& b) {
  const __m128i sad = _mm_sad_epu8(_mm_load_si128(reinterpret_cast<const __m128i*>(a.data())),
                                   _mm_load_si128(reinterpret_cast<const __m128i*>(b.data())));
  return _mm_cvtsi128_si32(sad) + _mm_cvtsi128_si32(_mm_srli_si128(sad, 8));
}

// Cells that break Regular, and cells that break Quick, as 0xFF bytes.
void Irregular(__m128i marks, __m128i levels, __m128i& irregular, __m128i& notQuick) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i one = _mm_set1_epi8(1);
  const __m128i bigMark =
      _mm_xor_si128(_mm_cmpeq_epi8(_mm_max_epu8(marks, one), one), _mm_set1_epi8(-1));
  const __m128i orphan =
      _mm_andnot_si128(_mm_cmpeq_epi8(levels, zero), _mm_cmpeq_epi8(marks, zero));
  irregular = _mm_or_si128(bigMark, orphan);
  __m128i onScale = _mm_cmpeq_epi8(levels, zero);
  for (int v : {25, 50, 75, 100})
    onScale = _mm_or_si128(onScale, _mm_cmpeq_epi8(levels, _mm_set1_epi8(static_cast<char>(v))));
  notQuick = _mm_or_si128(irregular, _mm_xor_si128(onScale, _mm_set1_epi8(-1)));
}

// Level / 25 + 4 x Mark for quick cells: the level's steps 25, 50, 75, 100 are counted by
// compares that each give -1. 4 x Mark comes from doubling Mark twice byte by byte: a 16-bit
// shift would carry the top bits of a large mark byte (a foreign file's) into the next key.
__m128i Keys(__m128i marks, __m128i levels) {
  __m128i keys = _mm_add_epi8(marks, marks);
  keys = _mm_add_epi8(keys, keys);
  for (int v : {25, 50, 75, 100}) {
    const __m128i step = _mm_set1_epi8(static_cast<char>(v));
    keys = _mm_sub_epi8(keys, _mm_cmpeq_epi8(_mm_max_epu8(levels, step), levels));
  }
  return keys;
}

void Fill(TLineProfile& line, __m128i marks, __m128i levels, __m128i keys, bool regular,
          bool quick) {
  _mm_store_si128(reinterpret_cast<__m128i*>(line.Levels.data()), levels);
  _mm_store_si128(reinterpret_cast<__m128i*>(line.Marks.data()), marks);
  _mm_store_si128(reinterpret_cast<__m128i*>(line.Keys.data()), keys);
  line.MarkBits = static_cast<std::uint16_t>(detail::NonZeroBits(marks));
  line.Regular = regular;
  line.Quick = quick;
}

// The similarity step by step, as the definition forms it, over positions first..last.
double ExactSimilarity(const TLineProfile& a, const TLineProfile& b, int first, int last) {
  const std::array<long double, 256>& step = StepTable();
  unsigned equalMarks = 0;
  double s = 0.0;  // a double variable: each step is formed in extended and stored rounded
  for (int p = first; p <= last; ++p) {
    if (a.Marks[p] == b.Marks[p]) ++equalMarks;
    s = static_cast<double>(s +
                            step[static_cast<std::size_t>(std::abs(a.Levels[p] - b.Levels[p]))]);
  }
  const int m = last - first + 1;
  return static_cast<double>((static_cast<long double>(equalMarks) + s) / (2.0L * m));
}

// For each trimmed length m, the largest sum of key differences at which two quick lines
// still reach the threshold (-1 where none does): the table's values rise with n = 8m - sum,
// so comparing the sum with it decides exactly as looking the value up, without the load of
// the value in the chain of each comparison.
using QuickBounds = std::array<int, kGridSize + 1>;
QuickBounds QuickBoundsOf(double threshold) {
  const QuickTable& t = QuickValues();
  QuickBounds most{};
  for (int m = 1; m <= kGridSize; ++m) {
    int n = 8 * m + 1;  // the least n that reaches the threshold, 8m + 1 for none
    while (n > 0 && t[m][n - 1] >= threshold) --n;
    most[m] = 8 * m - n;
  }
  return most;
}

// LineSimilarity(a, b) >= threshold (`quick` its bounds). Between regular lines the exact
// rational value N / (200 m), N = 100 (E + m) - (sum of level differences), lies within
// 1e-13 of the computed similarity (at most 16 roundings of S, each below 2^-48, then the
// division), so only a value within a margin of the threshold (1e-6 on N, above 3e-10 on the
// similarity) needs the step-by-step evaluation to decide.
bool Matches(const TLineProfile& a, const TLineProfile& b, double threshold,
             const QuickBounds& quick) {
  const unsigned marked = a.MarkBits | b.MarkBits;
  if (marked == 0) return 1.0 >= threshold;
  const int first = __builtin_ctz(marked), last = 31 - __builtin_clz(marked);
  const int m = last - first + 1;
  if (a.Quick && b.Quick) return Sad(a.Keys, b.Keys) <= quick[m];
  if (a.Regular && b.Regular) {
    const int e = m - static_cast<int>(BitCount(static_cast<unsigned>(a.MarkBits ^ b.MarkBits)));
    const double n = 100 * (e + m) - Sad(a.Levels, b.Levels);
    const double bound = threshold * (200.0 * m);
    if (n >= bound + 1e-6) return true;
    if (n <= bound - 1e-6) return false;
  }
  return ExactSimilarity(a, b, first, last) >= threshold;
}

}  // namespace

TLineProfile ProfileLine(const TPatternLine& line) {
  TLineProfile profile;
  for (int p = 0; p < kGridSize; ++p) {
    const std::uint8_t mark = line[p].Mark, level = line[p].Level;
    profile.Levels[p] = level;
    profile.Marks[p] = mark;
    profile.Keys[p] = static_cast<std::uint8_t>(level / 25 + 4 * mark);
    if (mark != 0) profile.MarkBits = static_cast<std::uint16_t>(profile.MarkBits | 1u << p);
    const bool regular = mark <= 1 && (level == 0 || mark != 0);
    profile.Regular = profile.Regular && regular;
    profile.Quick = profile.Quick && regular && level <= 100 && level % 25 == 0;
  }
  return profile;
}

void ProfileLines(const TPattern& pattern, TLineProfiles& rows, TLineProfiles& columns) {
  __m128i marks[16], levels[16], keys[16], colMarks[16], colLevels[16], colKeys[16];
  unsigned columnsIrregular = 0, columnsNotQuick = 0;
  for (int r = 0; r < kGridSize; ++r) {
    detail::LoadRow(pattern, r, marks[r], levels[r]);
    keys[r] = Keys(marks[r], levels[r]);
    __m128i irregular, notQuick;
    Irregular(marks[r], levels[r], irregular, notQuick);
    const unsigned badRegular = static_cast<unsigned>(_mm_movemask_epi8(irregular));
    const unsigned badQuick = static_cast<unsigned>(_mm_movemask_epi8(notQuick));
    columnsIrregular |= badRegular;
    columnsNotQuick |= badQuick;
    Fill(rows.Lines[r + 1], marks[r], levels[r], keys[r], badRegular == 0, badQuick == 0);
  }
  detail::Transpose16(marks, colMarks);
  detail::Transpose16(levels, colLevels);
  detail::Transpose16(keys, colKeys);
  for (int c = 0; c < kGridSize; ++c)
    Fill(columns.Lines[c + 1], colMarks[c], colLevels[c], colKeys[c],
         (columnsIrregular >> c & 1u) == 0, (columnsNotQuick >> c & 1u) == 0);
  rows.Lines[kGridSize + 1] = columns.Lines[kGridSize + 1] = TLineProfile{};
  rows.Count = std::min<int>(pattern.RowCount, kGridSize);
  columns.Count = std::min<int>(pattern.ColCount, kGridSize);
}

double LineSimilarity(const TLineProfile& a, const TLineProfile& b) {
  const unsigned marked = a.MarkBits | b.MarkBits;
  if (marked == 0) return 1.0;
  // The trim keeps positions first..last, the outermost marked in either line.
  const int first = __builtin_ctz(marked), last = 31 - __builtin_clz(marked);
  const int m = last - first + 1;
  if (a.Quick && b.Quick) return QuickValues()[m][8 * m - Sad(a.Keys, b.Keys)];
  return ExactSimilarity(a, b, first, last);
}

double LineSimilarity(const TPatternLine& a, const TPatternLine& b) {
  return LineSimilarity(ProfileLine(a), ProfileLine(b));
}

namespace {

// The score of `matched` lines matched: rising with it, as each step rounds monotonically.
double SequenceScore(int matched, int nT, int nR) {
  const long double sum = matched;
  return static_cast<double>((sum / nT + sum / nR) / 2.0L);
}

}  // namespace

void CompactRuns(RunTable& table) {
  if (table.RunCount <= 1) return;
  int kept = 0;
  for (int k = 1; k <= table.RunCount; ++k)
    if (table.Entries[k].Count >= 2) table.Entries[++kept] = table.Entries[k];
  for (int k = kept + 1; k <= table.RunCount; ++k) table.Entries[k].Count = 0;
  table.RunCount = kept;
}

double SequenceScoreOf(int matched, int testCount, int referenceCount) {
  return SequenceScore(matched, testCount, referenceCount);
}

double MatchSequences(const TLineProfiles& test, const TLineProfiles& reference, double threshold) {
  return MatchSequencesAtLeast(test, reference, threshold, 0);
}

// The reads stay inside the tables: a pass that starts past the reference's count (at
// LastLine + 1, after a run that ended on its last line) compares one line and ends, and a
// match there makes a run of one beside a kept run (one of two or more matches, or the only
// run, which a lone new run joins in being dropped), so it never becomes LastLine: reference
// line Count + 1 (17 at most, the unmarked line) is the furthest read. A pass over 16 lines
// opens at most 8 runs, and the runs kept from earlier passes, two matches each at least,
// leave it as many fewer reference lines: never more than 9 runs are held.
double MatchSequencesAtLeast(const TLineProfiles& test, const TLineProfiles& reference,
                             double threshold, int least) {
  const int nT = test.Count;
  const int nR = reference.Count;
  if (nT == 0 || nR == 0) return least > 0 ? -1.0 : 0.0;

  // A run's sets share one threshold, the tally: its bounds are kept from the last call.
  thread_local double boundsFor = std::numeric_limits<double>::quiet_NaN();  // none yet
  thread_local QuickBounds kept{};
  if (!(threshold == boundsFor)) {
    kept = QuickBoundsOf(threshold);
    boundsFor = threshold;
  }
  const QuickBounds quick = kept;  // a copy of its own: no thread's storage asked for each line

  RunTable table;
  // The matches the table holds: runs are only dropped, and every later match takes a test
  // line of its own, so the score can reach `least` only while these and the test lines left
  // reach it.
  int held = 0;
  int i = 1, j = 1;
  do {
    bool inRun = false;
    do {
      if (Matches(test.Lines[i], reference.Lines[j], threshold, quick)) {
        if (!inRun) {
          inRun = true;
          ++table.RunCount;
        }
        TRunEntry& run = table.Entries[table.RunCount];
        ++run.Count;
        ++held;
        run.LastLine = static_cast<std::uint16_t>(j);
        ++i;
        ++j;
      } else {
        inRun = false;
        ++j;
      }
    } while (j <= nR && i <= nT);

    ++i;  // the test line the pass stopped at is passed over
    if (j > nR) {
      CompactRuns(table);
      held = 0;
      for (int k = 1; k <= table.RunCount; ++k) held += table.Entries[k].Count;
      if (table.RunCount == 0) {
        j = 1;
      } else if (table.Entries[table.RunCount].Count >= nR) {
        i = nT + 1;
      } else {
        j = table.Entries[table.RunCount].LastLine + 1;
      }
    }
    if (held + std::max(nT - i + 1, 0) < least) return -1.0;
  } while (i <= nT);

  int matched = 0;
  for (int k = 1; k <= table.RunCount; ++k) matched += table.Entries[k].Count;
  return SequenceScore(matched, nT, nR);
}

double MatchSequencesBound(int testCount, int referenceCount) {
  if (testCount <= 0 || referenceCount <= 0) return 0.0;
  return SequenceScore(testCount, testCount, referenceCount);
}

double MatchSequences(TLineKind kind, const TPattern& test, const TPattern& reference,
                      double threshold) {
  TLineProfiles testRows, testColumns, refRows, refColumns;
  ProfileLines(test, testRows, testColumns);
  ProfileLines(reference, refRows, refColumns);
  return kind == lkRow ? MatchSequences(testRows, refRows, threshold)
                       : MatchSequences(testColumns, refColumns, threshold);
}

}  // namespace morvik
