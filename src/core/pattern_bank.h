// The fixed table of pattern slots: references 1 to 40, the pattern under test (41) and
// the editor's pattern (44). Slots live as long as the bank; all changes are made in place.
#pragma once

#include <array>

#include "core/pattern.h"

namespace morvik {

constexpr int kReferenceCount = 40;
constexpr int kTestSlot = 41;
constexpr int kEditSlot = 44;

class TPatternBank {
 public:
  // Every slot starts empty with counts 16 (AllocateEditPattern, then AllocateBank).
  TPatternBank();

  // Slot n: 1..40 references, 41 the TestPattern, 44 the EditPattern.
  TPattern& Slot(int n) { return slots_.at(static_cast<std::size_t>(n)); }
  const TPattern& Slot(int n) const { return slots_.at(static_cast<std::size_t>(n)); }

  TPattern& TestPattern() { return slots_[kTestSlot]; }
  const TPattern& TestPattern() const { return slots_[kTestSlot]; }
  TPattern& EditPattern() { return slots_[kEditSlot]; }
  const TPattern& EditPattern() const { return slots_[kEditSlot]; }

 private:
  // Slots 0, 42 and 43 belong to the grid view and hold nothing here.
  std::array<TPattern, kEditSlot + 1> slots_{};
};

void AllocateEditPattern(TPatternBank& bank);
void AllocateBank(TPatternBank& bank);

// "New/Empty" for the patterns: slots 1 to 40, then 41, emptied with counts 16.
// The EditPattern is left as it is.
void ResetBank(TPatternBank& bank);

}  // namespace morvik
