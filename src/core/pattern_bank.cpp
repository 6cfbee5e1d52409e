#include "core/pattern_bank.h"

namespace morvik {

TPatternBank::TPatternBank() {
  AllocateEditPattern(*this);
  AllocateBank(*this);
}

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
