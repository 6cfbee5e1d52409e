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

// One pass of a run over its references: normalised (re-quantised where that changed them),
// then counted.
ReferencePatterns Pass(ReferencePatterns refs) {
  for (int k = 1; k <= kReferenceCount; ++k)
    if (NormalizePattern(refs[k])) RequantizeLevels(refs[k]);
  for (int k = 1; k <= kReferenceCount; ++k) ComputeSpans(refs[k]);
  return refs;
}

}  // namespace

PreparedReferences PrepareReferences(const TPatternBank& bank, bool profile) {
  PreparedReferences p;
  ReferencePatterns read;
  for (int k = 1; k <= kReferenceCount; ++k) read[k] = bank.Slot(k);
  p.Passes.push_back(Pass(read));
  while (p.Passes.size() < kMaxPasses) {
    ReferencePatterns next = Pass(p.Passes.back());
    if (SamePatterns(next, p.Passes.back())) break;
    p.Passes.push_back(std::move(next));
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
