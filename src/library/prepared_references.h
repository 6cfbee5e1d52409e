// A set's references as scoring reads them, worked out once when the set is opened: after
// that the set is only read, so one opened library serves any number of threads.
#pragma once

#include <array>
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
  // Passes[i]: the references after i + 1 passes; the last is settled (a further pass would
  // change nothing). Empty until prepared.
  std::vector<ReferencePatterns> Passes;
  // Line profiles of the settled references (1..40), for sets scored whole; empty for sets
  // narrowed down by their detail, whose few candidates are profiled when scored.
  std::vector<TLineProfiles> Rows, Columns;

  bool Ready() const { return !Passes.empty(); }
  // The references as the image after `earlier` others sees them.
  const ReferencePatterns& After(std::size_t earlier) const {
    return Passes[earlier < Passes.size() ? earlier : Passes.size() - 1];
  }
};

// The passes of the bank's references 1..40 (at most kMaxPasses; a bank still changing then
// keeps its last), with the settled references' profiles where `profile` asks.
constexpr std::size_t kMaxPasses = 8;
PreparedReferences PrepareReferences(const TPatternBank& bank, bool profile);

}  // namespace morvik
