#include "core/pattern_bank.h"

namespace morvik {

// Every slot is value-initialised empty with counts 16, which is what AllocateEditPattern
// and AllocateBank would make of it again: a bank built for every opened set need not pay
// for that twice.
TPatternBank::TPatternBank() = default;

void AllocateEditPattern(TPatternBank& bank) {
  ResetPattern(bank.EditPattern());
}

void AllocateBank(TPatternBank& bank) {
  ResetBank(bank);
}

void ResetBank(TPatternBank& bank) {
  for (int k = 1; k <= kTestSlot; ++k) ResetPattern(bank.Slot(k));
}

}  // namespace morvik
