#include "library/prepared_references.h"

#include <cstring>

#include "core/normalize.h"

namespace morvik {

namespace {

bool SamePatterns(const ReferencePatterns& a, const ReferencePatterns& b) {
  for (int k = 1; k <= kReferenceCount; ++k) {
    const TPattern &p = a[k], &q = b[k];
    if (std::memcmp(p.Cells.data(), q.Cells.data(), sizeof p.Cells) != 0 ||
        p.MaxLevel != q.MaxLevel || p.StoredCounts != q.StoredCounts || p.RowCount != q.RowCount ||
        p.ColCount != q.ColCount)
      return false;
  }
  return true;
}

// One pass of a run over its references, in place: normalised (re-quantised where that
// changed them), then counted.
void Pass(ReferencePatterns& refs) {
  for (int k = 1; k <= kReferenceCount; ++k)
    if (NormalizePattern(refs[k])) RequantizeLevels(refs[k]);
  for (int k = 1; k <= kReferenceCount; ++k) ComputeSpans(refs[k]);
}

// Whether another pass would leave references that a pass has counted as they are. Counting
// again changes nothing, so only normalising could; where it finds nothing to move or
// stretch it has only counted again.
bool Settled(const ReferencePatterns& refs) {
  for (int k = 1; k <= kReferenceCount; ++k) {
    TPattern p = refs[k];
    if (NormalizePattern(p)) return false;
  }
  return true;
}

}  // namespace

PreparedReferences PrepareReferences(const TPatternBank& bank, bool profile) {
  PreparedReferences p;
  ReferencePatterns& first = p.Passes.emplace_back();
  for (int k = 1; k <= kReferenceCount; ++k) first[k] = bank.Slot(k);
  Pass(first);
  // References this system wrote settle in one pass; stale stored values take more.
  if (!Settled(first)) {
    while (p.Passes.size() < kMaxPasses) {
      ReferencePatterns next = p.Passes.back();
      Pass(next);
      if (SamePatterns(next, p.Passes.back())) break;
      p.Passes.push_back(next);
    }
  }
  if (!profile) return p;
  p.Rows.resize(kReferenceCount + 1);
  p.Columns.resize(kReferenceCount + 1);
  const ReferencePatterns& settled = p.Passes.back();
  for (int k = 1; k <= kReferenceCount; ++k)
    if (settled[k].MaxLevel != 0) ProfileLines(settled[k], p.Rows[k], p.Columns[k]);
  return p;
}

}  // namespace morvik
