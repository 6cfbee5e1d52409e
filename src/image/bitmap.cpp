#include "image/bitmap.h"

#include <algorithm>

namespace morvik {

void Bitmap::Resize(int width, int height) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  pixels_.assign(RowBytes() * static_cast<std::size_t>(height_), 0);
}

void Bitmap::Fill(Colour c) {
  if (pixels_.empty()) return;
  const auto b = static_cast<std::uint8_t>(BlueOf(c)), g = static_cast<std::uint8_t>(GreenOf(c)),
             r = static_cast<std::uint8_t>(RedOf(c));
  if (b == g && g == r) {  // a grey, as fills mostly are: every byte the same
    std::fill(pixels_.begin(), pixels_.end(), b);
    return;
  }
  for (int x = 0; x < width_; ++x) SetPixel(x, 0, c);
  for (int y = 1; y < height_; ++y) std::copy_n(Row(0), RowBytes(), Row(y));
}

namespace {

void StretchRow(const std::uint8_t* s, std::uint8_t* d, int cols, long long w, long long stepX,
                long long restX) {
  long long sx = 0, rx = 0;
  for (int x = 0; x < cols; ++x, d += 3) {
    const std::uint8_t* px = s + 3 * sx;
    d[0] = px[0];
    d[1] = px[1];
    d[2] = px[2];
    sx += stepX;
    rx += restX;
    if (rx >= w) rx -= w, ++sx;
  }
}

}  // namespace

void StretchDraw(const Bitmap& src, Bitmap& dst, int w, int h) {
  if (src.Empty() || w <= 0 || h <= 0) return;
  const int rows = std::min(h, dst.Height());
  const int cols = std::min(w, dst.Width());
  // Source position x * src.w div w kept as a quotient and a remainder (x * src.w = sx * w + rx)
  // and stepped from pixel to pixel, so no pixel needs a division.
  const long long stepX = src.Width() / w, restX = src.Width() % w;
  const long long stepY = src.Height() / h, restY = src.Height() % h;
  long long sy = 0, ry = 0;
  for (int y = 0; y < rows; ++y) {
    const std::uint8_t* s = src.Row(static_cast<int>(sy));
    std::uint8_t* d = dst.Row(y);
    if (stepX == 1 && restX == 0) {  // the same width: the row as it is
      std::copy_n(s, 3 * static_cast<std::size_t>(cols), d);
    } else {
      StretchRow(s, d, cols, w, stepX, restX);
    }
    sy += stepY;
    ry += restY;
    if (ry >= h) ry -= h, ++sy;
  }
}

}  // namespace morvik
