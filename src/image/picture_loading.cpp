#include "image/picture_loading.h"

#include <algorithm>
#include <cmath>

#include "core/error.h"
#include "image/crop.h"
#include "image/grey.h"
#include "image/picture_reader.h"

namespace morvik {

namespace {

const char* kDivisionByZero = "the picture has no pixels left to scale (division by zero)";
const char* kNoThreshold =
    "the picture has no pixels to find a threshold in (invalid floating-point operation)";

// Grey conversion and histograms of the bitmap, in place; with AutoThreshold the threshold
// and increment of the picture replace those in `picture`.
void Analyse(Bitmap& bitmap, const ImageOptions& options, LoadedPicture& picture) {
  AnalyseBitmap(bitmap, options.BlackCharacters, picture.Analysis);
  if (options.AutoThreshold) {
    ChooseThreshold(picture.Analysis, picture.Threshold, picture.Increment);
  } else {
    picture.Threshold = std::clamp(picture.Threshold, 0, 100);
    picture.Increment = std::clamp(picture.Increment, 0, 100);
  }
}

}  // namespace

RasterSize ComputeRasterSize(int w, int h, const ImageOptions& options) {
  if (h == 0) throw Error(kDivisionByZero);
  // Scale of the longer side to 64 pixels, as a double.
  const double s = w > h ? static_cast<double>(static_cast<long double>(CellWidth) / w)
                         : static_cast<double>(static_cast<long double>(CellHeight) / h);
  double sx = static_cast<double>(static_cast<long double>(w) / h * s);
  if (options.FixedRatio)
    sx = static_cast<double>(static_cast<long double>(options.Ratio) * s / 100.0L);
  return RasterSize{static_cast<int>(std::trunc(static_cast<long double>(h) * sx)),
                    static_cast<int>(std::trunc(static_cast<long double>(h) * s))};
}

LoadedPicture LoadPictureOrBlank(const Bitmap& picture, const ImageOptions& options) {
  LoadedPicture p;
  p.Threshold = options.Threshold;
  p.Increment = options.Increment;
  p.Source = picture;
  Analyse(p.Source, options, p);
  if (options.Crop) {
    const int a = ((p.Threshold * 255) / 100 - 1) & 0xFF;
    Bitmap cropped;
    AutoCrop(p.Source, cropped, 0, MakeColour(a, a, a));
    p.Source = std::move(cropped);
  }
  // Nothing left to scale: the scale would divide by zero.
  if (p.Source.Height() == 0) {
    p.Blank = true;
    return p;
  }
  const RasterSize size = ComputeRasterSize(p.Source.Width(), p.Source.Height(), options);
  p.Raster = Bitmap(size.Width, size.Height);
  StretchDraw(p.Source, p.Raster, size.Width, size.Height);
  // The preview is the stretched picture on white: the raster as it is now, since the
  // stretch covers it whole, unless there was nothing to stretch.
  p.Preview = p.Raster;
  if (p.Source.Empty()) p.Preview.Fill(kWhite);
  // A raster without pixels has no threshold to find (its histogram is empty).
  if (p.Raster.Empty() && options.AutoThreshold) {
    p.Blank = true;
    return p;
  }
  Analyse(p.Raster, options, p);
  SamplePattern(p.Raster, p.Threshold, p.Increment, p.Pattern);
  return p;
}

LoadedPicture LoadPicture(const Bitmap& picture, const ImageOptions& options,
                          const std::string& name) {
  return WithFileName(name, [&] {
    LoadedPicture p = LoadPictureOrBlank(picture, options);
    if (p.Blank) throw Error(p.Source.Height() == 0 ? kDivisionByZero : kNoThreshold);
    return p;
  });
}

LoadedPicture LoadPictureFile(const std::string& path, const ImageOptions& options) {
  return LoadPicture(ReadPictureFile(path), options, path);
}

}  // namespace morvik
