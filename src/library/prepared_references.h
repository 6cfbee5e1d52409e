// A set's references as scoring reads them, worked out once when the set is opened: after
// that the set is only read, so one opened library serves any number of threads.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "core/matcher.h"
#include "core/pattern_bank.h"

namespace morvik {

using ReferencePatterns = std::array<TPattern, kReferenceCount + 1>;  // 1..40; 0 unused

// A run normalises and counts its references before every image, so an image sees them after
// as many passes as images came before it and itself. For the references this system writes
// one pass settles them; a foreign file with stale stored values (a MaxLevel of 0 over marked
// cells) needs more, and its first images see the earlier passes.
struct PreparedReferences {
  bool Ready = false;
  // Unique to this preparation (never 0 once Ready). A set is never changed once prepared,
  // so a reference at an address under this stamp is the reference it was: line profiles
  // made of it once serve it again, and a later reference at a freed address comes with
  // another stamp.
  std::uint64_t Stamp = 0;
  // Earlier[i]: the references after i + 1 passes, where they were not yet settled; empty
  // for references one pass settles (the usual case).
  std::vector<ReferencePatterns> Earlier;
  // Line profiles of the settled references (1..40), for sets scored whole; empty for sets
  // narrowed down by their detail, whose few candidates are profiled when scored.
  std::vector<TLineProfiles> Rows, Columns;
};

// Settles the bank's references 1..40 in place (at most kMaxPasses passes: a bank still
// changing then keeps its last) and returns what else scoring reads, with the settled
// references' profiles where `profile` asks. Works in place because every page a process
// touches at start costs it time: a copy of every set would cost more than its passes.
constexpr std::size_t kMaxPasses = 8;
PreparedReferences PrepareReferences(TPatternBank& bank, bool profile);

// A stamp no preparation of this process had before.
std::uint64_t NewPreparationStamp();

// The line profiles of the settled references (1..40) into p.Rows and p.Columns, as
// PrepareReferences gives them when asked: for a bank settled before (a packed set).
void ProfileReferences(const TPatternBank& bank, PreparedReferences& p);

// Reference k as the image after `earlier` others of a run sees it: from the earlier passes
// while they last, then the settled bank.
inline const TPattern& ReferenceAfter(const TPatternBank& bank, const PreparedReferences& p, int k,
                                      std::size_t earlier) {
  return earlier < p.Earlier.size() ? p.Earlier[earlier][static_cast<std::size_t>(k)]
                                    : bank.Slot(k);
}

}  // namespace morvik
