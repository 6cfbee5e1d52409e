// The engine's raster: 24-bit RGB pixels, (0, 0) at the top left, read and written as
// colours 0x00BBGGRR. Rows are stored top to bottom, each pixel as the bytes B, G, R.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/colour.h"

namespace morvik {

class Bitmap {
 public:
  Bitmap() = default;
  Bitmap(int width, int height) { Resize(width, height); }

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ == 0 || height_ == 0; }

  // New size; every pixel becomes black. Negative sizes count as 0.
  void Resize(int width, int height);

  Colour Pixel(int x, int y) const {
    const std::uint8_t* p = Row(y) + 3 * static_cast<std::size_t>(x);
    return MakeColour(p[2], p[1], p[0]);
  }
  void SetPixel(int x, int y, Colour c) {
    std::uint8_t* p = Row(y) + 3 * static_cast<std::size_t>(x);
    p[0] = static_cast<std::uint8_t>(BlueOf(c));
    p[1] = static_cast<std::uint8_t>(GreenOf(c));
    p[2] = static_cast<std::uint8_t>(RedOf(c));
  }

  // Direct access to row y: Width() pixels of 3 bytes, B, G, R.
  std::uint8_t* Row(int y) { return pixels_.data() + RowBytes() * static_cast<std::size_t>(y); }
  const std::uint8_t* Row(int y) const {
    return pixels_.data() + RowBytes() * static_cast<std::size_t>(y);
  }
  std::size_t RowBytes() const { return 3 * static_cast<std::size_t>(width_); }

  void Fill(Colour c);

  bool operator==(const Bitmap& o) const {
    return width_ == o.width_ && height_ == o.height_ && pixels_ == o.pixels_;
  }

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint8_t> pixels_;
};

// Nearest-neighbour stretch of the whole of src into the w x h target rectangle at (0, 0)
// of dst: target pixel (x, y) takes source pixel (x * src.w div w, y * src.h div h).
// Pixels of the rectangle outside dst are dropped. An empty source or rectangle draws nothing.
void StretchDraw(const Bitmap& src, Bitmap& dst, int w, int h);

}  // namespace morvik
