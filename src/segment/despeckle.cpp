#include "segment/despeckle.h"

#include <algorithm>
#include <array>

namespace morvik {

namespace {

bool FarFrom(int p, int q) {
  return p - q > kSpeckleContrast || q - p > kSpeckleContrast;
}

}  // namespace

GreyImage RemoveSpeckles(const GreyImage& grey) {
  GreyImage out = grey;
  std::array<int, 8> n{};
  for (int y = 0; y < grey.Height; ++y) {
    const std::uint8_t* row = grey.Pixels.data() + static_cast<std::size_t>(y) * grey.Width;
    for (int x = 0; x < grey.Width; ++x) {
      const int p = row[x];
      // Most pixels have a neighbour close to them: the one to the left or right decides.
      const int side = x > 0 ? row[x - 1] : x + 1 < grey.Width ? row[x + 1] : -1;
      if (side >= 0 && !FarFrom(p, side)) continue;
      std::size_t count = 0;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
          const int nx = x + dx, ny = y + dy;
          if ((dx || dy) && nx >= 0 && ny >= 0 && nx < grey.Width && ny < grey.Height)
            n[count++] = grey.At(nx, ny);
        }
      if (count == 0) continue;
      const auto [low, high] = std::minmax_element(n.begin(), n.begin() + count);
      if (p - *high <= kSpeckleContrast && *low - p <= kSpeckleContrast) continue;
      std::nth_element(n.begin(), n.begin() + (count - 1) / 2, n.begin() + count);
      out.Pixels[static_cast<std::size_t>(y) * grey.Width + x] =
          static_cast<std::uint8_t>(n[(count - 1) / 2]);
    }
  }
  return out;
}

}  // namespace morvik
