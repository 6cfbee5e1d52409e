#include "core/pattern_bank.h"

namespace morvik {

namespace {

// What a bank without slots of its own reads: every slot empty with counts 16.
const std::array<TPattern, kEditSlot + 1>& EmptySlots() {
  static const std::array<TPattern, kEditSlot + 1> empty{};
  return empty;
}

}  // namespace

// Every slot reads empty with counts 16, which is what AllocateEditPattern and AllocateBank
// would make of it again; the slots themselves are made when one is first changed.
TPatternBank::TPatternBank() = default;

TPatternBank::TPatternBank(std::shared_ptr<const TPattern> references)
    : shared_(std::move(references)) {}

TPatternBank::TPatternBank(const TPatternBank& other) : shared_(other.shared_) {
  if (other.slots_) slots_ = std::make_unique<Slots>(*other.slots_);
}

TPatternBank& TPatternBank::operator=(const TPatternBank& other) {
  if (this != &other) {
    slots_ = other.slots_ ? std::make_unique<Slots>(*other.slots_) : nullptr;
    shared_ = other.shared_;
  }
  return *this;
}

TPatternBank::~TPatternBank() = default;

const TPattern& TPatternBank::Slot(int n) const {
  if (slots_) return slots_->at(static_cast<std::size_t>(n));
  if (shared_ && n >= 1 && n <= kReferenceCount) return shared_.get()[n - 1];
  return EmptySlots().at(static_cast<std::size_t>(n));
}

TPatternBank::Slots& TPatternBank::Own() {
  if (!slots_) {
    slots_ = std::make_unique<Slots>();
    if (shared_)
      for (int k = 1; k <= kReferenceCount; ++k)
        (*slots_)[static_cast<std::size_t>(k)] = shared_.get()[k - 1];
  }
  return *slots_;
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
