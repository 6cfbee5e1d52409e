#include "image/bitmap.h"

#include <algorithm>

namespace morvik {

void Bitmap::Resize(int width, int height) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  pixels_.assign(RowBytes() * static_cast<std::size_t>(height_), 0);
}

void Bitmap::Fill(Colour c) {
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) SetPixel(x, y, c);
}

void StretchDraw(const Bitmap& src, Bitmap& dst, int w, int h) {
  if (src.Empty() || w <= 0 || h <= 0) return;
  const int rows = std::min(h, dst.Height());
  const int cols = std::min(w, dst.Width());
  for (int y = 0; y < rows; ++y) {
    const int sy = static_cast<int>(static_cast<long long>(y) * src.Height() / h);
    const std::uint8_t* s = src.Row(sy);
    std::uint8_t* d = dst.Row(y);
    for (int x = 0; x < cols; ++x) {
      const int sx = static_cast<int>(static_cast<long long>(x) * src.Width() / w);
      std::copy_n(s + 3 * sx, 3, d + 3 * x);
    }
  }
}

}  // namespace morvik
