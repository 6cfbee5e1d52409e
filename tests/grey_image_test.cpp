// A picture's grey image: every pixel the grey of its colour, on pictures of grey runs broken
// by colours at every offset.
#include "segment/grey_image.h"

#include <gtest/gtest.h>

#include <random>

#include "image/grey.h"

namespace morvik {
namespace {

TEST(GreyImage, EveryPixelIsTheGreyOfItsColour) {
  std::mt19937 random(81226);
  for (int round = 0; round < 200; ++round) {
    Bitmap bm(1 + static_cast<int>(random() % 60), 1 + static_cast<int>(random() % 5));
    const int colours = static_cast<int>(random() % 4);  // none in a quarter of the pictures
    for (int y = 0; y < bm.Height(); ++y)
      for (int x = 0; x < bm.Width(); ++x) {
        const int v = static_cast<int>(random() % 256);
        const bool colour = colours > 0 && static_cast<int>(random() % 8) < colours;
        bm.SetPixel(x, y, colour ? static_cast<Colour>(random() & 0xFFFFFF) : MakeColour(v, v, v));
      }
    const GreyImage g = ToGreyImage(bm);
    ASSERT_EQ(g.Width, bm.Width());
    ASSERT_EQ(g.Height, bm.Height());
    for (int y = 0; y < bm.Height(); ++y)
      for (int x = 0; x < bm.Width(); ++x)
        ASSERT_EQ(g.At(x, y), GreyOf(bm.Pixel(x, y)))
            << "round " << round << " at " << x << "," << y;
  }
}

}  // namespace
}  // namespace morvik
