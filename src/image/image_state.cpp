#include "image/image_state.h"

#include <algorithm>

namespace morvik {

namespace {

void Store(int& field, int value, int low, int high, const std::function<void()>& changed) {
  value = std::clamp(value, low, high);
  if (value == field) return;
  field = value;
  if (changed) changed();
}

}  // namespace

void ImageSettings::SetSpinEditTresh(int value) {
  Store(threshold_, value, 0, 100, OnThresholdChanged);
}

void ImageSettings::SetSpinEditInc(int value) {
  Store(increment_, value, 0, 100, OnIncrementChanged);
}

void ImageSettings::Assign(int threshold, int increment) {
  threshold_ = std::clamp(threshold, 0, 100);
  increment_ = std::clamp(increment, 0, 100);
}

void ImageSettings::SetSpinEditRatio(int value) {
  Store(ratio_, value, 1, 100, nullptr);
}

}  // namespace morvik
