// The whole image path of one picture: grey and analyse (choosing threshold and increment
// when asked), optionally crop, scale to the 64-pixel raster, analyse again and sample the
// 16 x 16 pattern. Pure: every result is returned.
#pragma once

#include <cstdint>
#include <string>

#include "core/pattern.h"
#include "image/bitmap.h"
#include "image/grey.h"
#include "image/image_options.h"

namespace morvik {

constexpr int CellWidth = 64;   // raster length of the longer side, wide bitmaps
constexpr int CellHeight = 64;  // the same for bitmaps at least as high as wide

struct LoadedPicture {
  TPattern Pattern;   // cells and MaxLevel sampled from Raster; counts as a fresh pattern's
  Bitmap Source;      // the picture in grey, cropped when asked
  Bitmap Raster;      // the scaled raster the pattern was sampled from
  Bitmap Preview;     // the scaled picture before its second analysis, on white
  int Threshold = 0;  // threshold and increment the pattern was sampled with
  int Increment = 0;
  Histograms Analysis;  // of the raster
  // Nothing to sample: no pixels left after cropping, or a raster without pixels whose
  // threshold was to be found. The pattern is then empty and the raster has no pixels.
  bool Blank = false;
};

// Raster size for a w x h picture: Trunc(h x sx) by Trunc(h x s), the products formed in
// extended precision from the double scale factors. Throws Error for a height of 0.
struct RasterSize {
  int Width = 0, Height = 0;
};
RasterSize ComputeRasterSize(int w, int h, const ImageOptions& options);

// The whole path of one picture; a picture left without pixels comes back Blank (a run
// recognises it as blank: it matches no reference).
LoadedPicture LoadPictureOrBlank(const Bitmap& picture, const ImageOptions& options);

// The same, but throws Error naming `name` for a Blank picture (division by zero, or no
// threshold to find), as a single picture loaded by hand is refused.
LoadedPicture LoadPicture(const Bitmap& picture, const ImageOptions& options,
                          const std::string& name = "picture");

// Reads the picture file, then LoadPicture. Throws Error naming the file.
LoadedPicture LoadPictureFile(const std::string& path, const ImageOptions& options);

// The pattern of a raster sampled under threshold t and increment inc (percentages): all 256
// cells and MaxLevel of target; nothing when the raster has no width.
void SamplePattern(const Bitmap& raster, int t, int inc, TPattern& target);

// The same for a grey raster of one byte per pixel, rows of `width` bytes.
void SampleGreyPattern(const std::uint8_t* pixels, int width, int height, int t, int inc,
                       TPattern& target);

}  // namespace morvik
