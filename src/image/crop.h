// Auto-crop: cuts a bitmap down to the bounding box of the pixels brighter than a
// background colour in at least one channel.
#pragma once

#include "image/bitmap.h"

namespace morvik {

struct CropBox {
  int Top = 0, Bottom = 0, Left = 0, Right = 0;  // Bottom and Right exclusive
};

// The bounding box of the content of source; (0, 0, 0, 0) when there is none. Scans whole
// rows and stops each scan as early as its bound allows.
CropBox FindContentBox(const Bitmap& source, Colour background);

// target := the box plus `margin` pixels on every side (the margin is dropped when there is
// no content), filled with the background and then with the source pixels that fall in it.
void AutoCrop(const Bitmap& source, Bitmap& target, int margin, Colour background);

}  // namespace morvik
