#include "segment/grey_image.h"

#include "image/grey.h"

namespace morvik {

GreyImage ToGreyImage(const Bitmap& bitmap) {
  GreyImage g;
  g.Width = bitmap.Width();
  g.Height = bitmap.Height();
  g.Pixels.resize(static_cast<std::size_t>(g.Width) * g.Height);
  std::uint8_t* out = g.Pixels.data();
  auto grey = [](const std::uint8_t* p) { return p[0] == p[1] && p[1] == p[2]; };
  for (int y = 0; y < g.Height; ++y) {
    const std::uint8_t* p = bitmap.Row(y);
    int x = 0;
    // Runs of four grey pixels, the whole of a grey picture, are taken as they are.
    for (; x + 4 <= g.Width && grey(p) && grey(p + 3) && grey(p + 6) && grey(p + 9);
         x += 4, p += 12) {
      out[0] = p[0];
      out[1] = p[3];
      out[2] = p[6];
      out[3] = p[9];
      out += 4;
    }
    for (; x < g.Width; ++x, p += 3) {
      // A grey pixel is its own grey.
      *out++ = static_cast<std::uint8_t>(grey(p) ? p[0] : GreyOf(MakeColour(p[2], p[1], p[0])));
    }
  }
  return g;
}

Bitmap ToBitmap(const GreyImage& grey) {
  Bitmap bm(grey.Width, grey.Height);
  for (int y = 0; y < grey.Height; ++y) {
    std::uint8_t* p = bm.Row(y);
    for (int x = 0; x < grey.Width; ++x, p += 3) p[0] = p[1] = p[2] = grey.At(x, y);
  }
  return bm;
}

}  // namespace morvik
