#include "library/prepared_references.h"

#include <atomic>
#include <cstring>

#include "core/normalize.h"

namespace morvik {

namespace {

bool SamePattern(const TPattern& p, const TPattern& q) {
  return std::memcmp(p.Cells.data(), q.Cells.data(), sizeof p.Cells) == 0 &&
         p.MaxLevel == q.MaxLevel && p.StoredCounts == q.StoredCounts && p.RowCount == q.RowCount &&
         p.ColCount == q.ColCount;
}

// One pass of a run over its references, in place: normalised (re-quantised where that
// changed them), then counted. Returns whether it changed any.
bool Pass(TPatternBank& bank) {
  bool changed = false;
  for (int k = 1; k <= kReferenceCount; ++k) {
    const TPattern before = bank.Slot(k);
    if (NormalizePattern(bank.Slot(k))) RequantizeLevels(bank.Slot(k));
    ComputeSpans(bank.Slot(k));
    changed = changed || !SamePattern(before, bank.Slot(k));
  }
  return changed;
}

// Whether another pass would leave references that a pass has counted as they are. Counting
// again changes nothing, so only normalising could; where it finds nothing to move or
// stretch it has only counted again.
bool Settled(const TPatternBank& bank) {
  for (int k = 1; k <= kReferenceCount; ++k) {
    TPattern p = bank.Slot(k);
    if (NormalizePattern(p)) return false;
  }
  return true;
}

ReferencePatterns Copy(const TPatternBank& bank) {
  ReferencePatterns refs;
  for (int k = 1; k <= kReferenceCount; ++k) refs[static_cast<std::size_t>(k)] = bank.Slot(k);
  return refs;
}

}  // namespace

std::uint64_t NewPreparationStamp() {
  static std::atomic<std::uint64_t> last{0};
  return ++last;
}

PreparedReferences PrepareReferences(TPatternBank& bank, bool profile) {
  PreparedReferences p;
  p.Ready = true;
  p.Stamp = NewPreparationStamp();
  for (int k = 1; k <= kReferenceCount; ++k) {
    if (NormalizePattern(bank.Slot(k))) RequantizeLevels(bank.Slot(k));
  }
  for (int k = 1; k <= kReferenceCount; ++k) ComputeSpans(bank.Slot(k));
  // References this system wrote settle in one pass; stale stored values take more.
  if (!Settled(bank)) {
    for (std::size_t passes = 1; passes < kMaxPasses; ++passes) {
      ReferencePatterns before = Copy(bank);
      if (!Pass(bank)) break;
      p.Earlier.push_back(std::move(before));
    }
  }
  if (profile) ProfileReferences(bank, p);
  return p;
}

void ProfileReferences(const TPatternBank& bank, PreparedReferences& p) {
  p.Rows.resize(kReferenceCount + 1);
  p.Columns.resize(kReferenceCount + 1);
  for (int k = 1; k <= kReferenceCount; ++k)
    if (bank.Slot(k).MaxLevel != 0) ProfileLines(bank.Slot(k), p.Rows[k], p.Columns[k]);
}

}  // namespace morvik
