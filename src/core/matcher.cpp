#include "core/matcher.h"

#include <algorithm>
#include <cstdlib>

namespace morvik {

double LineSimilarity(const TPatternLine& a, const TPatternLine& b) {
  auto bothEmpty = [&](int p) { return a[p].Mark == 0 && b[p].Mark == 0; };
  int first = 0;
  while (first < kGridSize && bothEmpty(first)) ++first;
  if (first == kGridSize) return 1.0;
  int last = kGridSize - 1;
  while (last >= 0 && bothEmpty(last)) --last;

  unsigned equalMarks = 0;
  double s = 0.0;  // a double variable: each step is formed in extended and stored rounded
  for (int p = first; p <= last; ++p) {
    if (a[p].Mark == b[p].Mark) ++equalMarks;
    const int d = std::abs(a[p].Level - b[p].Level);
    s = static_cast<double>(s + (1.0L - static_cast<long double>(d) / 100.0L));
  }
  const int m = last - first + 1;
  return static_cast<double>((static_cast<long double>(equalMarks) + s) / (2.0L * m));
}

void CompactRuns(RunTable& table) {
  if (table.RunCount <= 1) return;
  int kept = 0;
  for (int k = 1; k <= table.RunCount; ++k)
    if (table.Entries[k].Count >= 2) table.Entries[++kept] = table.Entries[k];
  for (int k = kept + 1; k <= table.RunCount; ++k) table.Entries[k].Count = 0;
  table.RunCount = kept;
}

namespace {

int LineCount(TLineKind kind, const TPattern& p) {
  // Counts from ComputeSpans never exceed 16; the clamp keeps the run table in bounds
  // whatever a caller passes.
  return std::min<int>(kind == lkRow ? p.RowCount : p.ColCount, kGridSize);
}

}  // namespace

double MatchSequences(TLineKind kind, const TPattern& test, const TPattern& reference,
                      double threshold) {
  const int nT = LineCount(kind, test);
  const int nR = LineCount(kind, reference);
  if (nT == 0 || nR == 0) return 0.0;

  std::array<TPatternLine, kGridSize + 2> testLines, refLines;
  for (int k = 1; k <= kGridSize + 1; ++k) {
    ExtractLine(kind, test, k, testLines[k]);
    ExtractLine(kind, reference, k, refLines[k]);
  }

  RunTable table;
  int i = 1, j = 1;
  do {
    bool inRun = false;
    do {
      const double s = LineSimilarity(testLines[i], refLines[j]);
      if (s >= threshold) {
        if (!inRun) {
          inRun = true;
          ++table.RunCount;
        }
        TRunEntry& run = table.Entries[table.RunCount];
        ++run.Count;
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
      if (table.RunCount == 0) {
        j = 1;
      } else if (table.Entries[table.RunCount].Count >= nR) {
        i = nT + 1;
      } else {
        j = table.Entries[table.RunCount].LastLine + 1;
      }
    }
  } while (i <= nT);

  int matched = 0;
  for (int k = 1; k <= table.RunCount; ++k) matched += table.Entries[k].Count;
  const long double sum = matched;
  return static_cast<double>((sum / nT + sum / nR) / 2.0L);
}

}  // namespace morvik
