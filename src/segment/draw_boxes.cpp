#include "segment/draw_boxes.h"

namespace morvik {

namespace {

void Plot(Bitmap& bm, int x, int y, Colour c) {
  if (x >= 0 && y >= 0 && x < bm.Width() && y < bm.Height()) bm.SetPixel(x, y, c);
}

void Frame(Bitmap& bm, const CharBox& b, Colour c) {
  const int left = b.Left - 1, top = b.Top - 1, right = b.Left + b.Width, bottom = b.Top + b.Height;
  for (int x = left; x <= right; ++x) Plot(bm, x, top, c), Plot(bm, x, bottom, c);
  for (int y = top; y <= bottom; ++y) Plot(bm, left, y, c), Plot(bm, right, y, c);
}

}  // namespace

Bitmap DrawBoxes(const GreyImage& grey, const Segmentation& segmentation) {
  Bitmap bm = ToBitmap(grey);
  for (const TextLine& line : segmentation.Lines)
    for (const CharBox& b : line.Chars) {
      Frame(bm, b, b.Empty ? kLime : kRed);
      if (b.SpaceBefore)
        for (int y = b.Top; y < b.Top + b.Height; ++y) Plot(bm, b.Left - 3, y, kFuchsia);
    }
  return bm;
}

}  // namespace morvik
