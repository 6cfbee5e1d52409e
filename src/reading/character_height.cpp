#include "reading/character_height.h"

#include <algorithm>
#include <cmath>

namespace morvik {

int LineCapHeight(const std::vector<CharBox>& chars) {
  std::vector<int> bottoms;
  int top = 0;
  for (const CharBox& b : chars) {
    if (b.Empty || b.Height <= 0) continue;
    top = bottoms.empty() ? b.Top : std::min(top, b.Top);
    bottoms.push_back(b.Top + b.Height);
  }
  if (bottoms.empty()) return 0;
  // The upper median, so that a line of two characters measures down to the lower baseline.
  const auto middle = bottoms.begin() + static_cast<std::ptrdiff_t>(bottoms.size() / 2);
  std::nth_element(bottoms.begin(), middle, bottoms.end());
  return *middle - top;
}

std::uint16_t RelativeHeight(int height, int capHeight) {
  if (height <= 0 || capHeight <= 0) return 0;
  const long double r = std::nearbyint(1000.0L * height / capHeight);
  return static_cast<std::uint16_t>(std::clamp(r, 1.0L, 65535.0L));
}

}  // namespace morvik
