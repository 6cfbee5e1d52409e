// The fixed table of pattern slots: references 1 to 40, the pattern under test (41) and
// the editor's pattern (44). Slots live as long as the bank; all changes are made in place.
// A bank may instead read its references from patterns it shares (a packed library mapped
// read-only): it takes slots of its own, a copy of those, only when asked for one to change.
#pragma once

#include <array>
#include <memory>

#include "core/pattern.h"

namespace morvik {

constexpr int kReferenceCount = 40;
constexpr int kTestSlot = 41;
constexpr int kEditSlot = 44;

class TPatternBank {
 public:
  // Every slot starts empty with counts 16 (AllocateEditPattern, then AllocateBank).
  TPatternBank();
  // References 1..40 read from references[0..39], kept alive by the pointer; every other
  // slot empty.
  explicit TPatternBank(std::shared_ptr<const TPattern> references);
  TPatternBank(const TPatternBank& other);
  TPatternBank& operator=(const TPatternBank& other);
  TPatternBank(TPatternBank&&) noexcept = default;
  TPatternBank& operator=(TPatternBank&&) noexcept = default;
  ~TPatternBank();

  // Slot n: 1..40 references, 41 the TestPattern, 44 the EditPattern.
  TPattern& Slot(int n) { return Own().at(static_cast<std::size_t>(n)); }
  const TPattern& Slot(int n) const;

  TPattern& TestPattern() { return Own()[kTestSlot]; }
  const TPattern& TestPattern() const { return Slot(kTestSlot); }
  TPattern& EditPattern() { return Own()[kEditSlot]; }
  const TPattern& EditPattern() const { return Slot(kEditSlot); }

  // Whether the references are still read from shared patterns (nothing changed them).
  bool Shares() const { return shared_ && !slots_; }

 private:
  // Slots 0, 42 and 43 belong to the grid view and hold nothing here.
  using Slots = std::array<TPattern, kEditSlot + 1>;
  Slots& Own();

  // Made on first change: a bank only read (a library's set) writes no 23 KiB of its own.
  std::unique_ptr<Slots> slots_;
  // Kept after slots are made, so that a pattern read from it before stays readable.
  std::shared_ptr<const TPattern> shared_;
};

void AllocateEditPattern(TPatternBank& bank);
void AllocateBank(TPatternBank& bank);

// "New/Empty" for the patterns: slots 1 to 40, then 41, emptied with counts 16.
// The EditPattern is left as it is.
void ResetBank(TPatternBank& bank);

}  // namespace morvik
