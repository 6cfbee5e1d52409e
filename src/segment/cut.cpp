#include "segment/cut.h"

#include <algorithm>

namespace morvik {

Bitmap CutCharacter(const GreyImage& grey, const CharBox& box, bool darkOnLight) {
  const int left = std::clamp(box.Left, 0, grey.Width);
  const int top = std::clamp(box.Top, 0, grey.Height);
  const int right = std::clamp(box.Left + std::max(box.Width, 0), left, grey.Width);
  const int bottom = std::clamp(box.Top + std::max(box.Height, 0), top, grey.Height);
  Bitmap out(right - left + 2 * kCutMargin, bottom - top + 2 * kCutMargin);
  for (int y = top; y < bottom; ++y) {
    std::uint8_t* p = out.Row(y - top + kCutMargin) + 3 * kCutMargin;
    for (int x = left; x < right; ++x, p += 3) {
      const int g = grey.At(x, y);
      p[0] = p[1] = p[2] = static_cast<std::uint8_t>(darkOnLight ? 255 - g : g);
    }
  }
  return out;
}

}  // namespace morvik
