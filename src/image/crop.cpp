#include "image/crop.h"

#include <algorithm>

namespace morvik {

namespace {

struct Background {
  std::uint8_t b, g, r;
  bool IsContent(const std::uint8_t* p) const { return p[2] > r || p[1] > g || p[0] > b; }
};

bool RowHasContent(const Bitmap& bm, int y, const Background& bg) {
  const std::uint8_t* p = bm.Row(y);
  for (int x = 0; x < bm.Width(); ++x, p += 3)
    if (bg.IsContent(p)) return true;
  return false;
}

}  // namespace

CropBox FindContentBox(const Bitmap& source, Colour background) {
  const Background bg{static_cast<std::uint8_t>(BlueOf(background)),
                      static_cast<std::uint8_t>(GreenOf(background)),
                      static_cast<std::uint8_t>(RedOf(background))};
  const int w = source.Width(), h = source.Height();
  CropBox box;
  while (box.Top < h && !RowHasContent(source, box.Top, bg)) ++box.Top;
  if (box.Top == h) box.Top = 0;
  for (int y = h - 1; y >= box.Top; --y) {
    if (RowHasContent(source, y, bg)) {
      box.Bottom = y + 1;
      break;
    }
  }
  box.Left = w;
  for (int y = box.Top; y < box.Bottom; ++y) {
    const std::uint8_t* row = source.Row(y);
    for (int x = 0; x < box.Left; ++x)
      if (bg.IsContent(row + 3 * x)) {
        box.Left = x;
        break;
      }
  }
  if (box.Left == w) box.Left = 0;
  for (int y = box.Top; y < box.Bottom; ++y) {
    const std::uint8_t* row = source.Row(y);
    for (int x = w - 1; x >= box.Right; --x)
      if (bg.IsContent(row + 3 * x)) {
        box.Right = x + 1;
        break;
      }
  }
  return box;
}

void AutoCrop(const Bitmap& source, Bitmap& target, int margin, Colour background) {
  const CropBox box = FindContentBox(source, background);
  if (box.Right == 0 || box.Bottom == 0) margin = 0;
  target.Resize(box.Right - box.Left + 2 * margin, box.Bottom - box.Top + 2 * margin);
  target.Fill(background);
  // The copied rectangle starts at the source's origin and is Left + Right wide and
  // Top + Bottom high; it is clipped to both bitmaps.
  const int copyW = std::min(box.Left + box.Right, source.Width());
  const int copyH = std::min(box.Top + box.Bottom, source.Height());
  const int dx = margin - box.Left, dy = margin - box.Top;
  const int x0 = std::max(0, -dx), x1 = std::min(copyW, target.Width() - dx);
  for (int y = std::max(0, -dy); y < std::min(copyH, target.Height() - dy); ++y) {
    if (x1 <= x0) break;
    std::copy(source.Row(y) + 3 * x0, source.Row(y) + 3 * x1, target.Row(y + dy) + 3 * (x0 + dx));
  }
}

}  // namespace morvik
