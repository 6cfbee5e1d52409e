// The median of a list of numbers, as the segmenter and the reading rules measure lines by.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

namespace morvik {

// The upper median (of an even count, the larger middle value); values must not be empty.
template <typename T>
T UpperMedian(std::vector<T> values) {
  const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
  std::nth_element(values.begin(), middle, values.end());
  return *middle;
}

}  // namespace morvik
