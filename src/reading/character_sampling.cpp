#include "reading/character_sampling.h"

#include <algorithm>
#include <vector>

#include "core/error.h"
#include "image/grey.h"
#include "image/picture_loading.h"
#include "segment/cut.h"

namespace morvik {

namespace {

// A grey picture and the threshold and increment in force, as the window's controls would
// hold them (clamped into 0..100).
struct Plane {
  int Width = 0, Height = 0;
  std::vector<std::uint8_t> Pixels;
};

// The cut with its black margins, inverted for black characters as the grey conversion does.
Plane Padded(const GreyImage& cut, bool invert) {
  Plane p{cut.Width + 2 * kCutMargin, cut.Height + 2 * kCutMargin, {}};
  p.Pixels.assign(static_cast<std::size_t>(p.Width) * p.Height, 0);
  for (int y = 0; y < cut.Height; ++y)
    std::copy_n(cut.Pixels.data() + static_cast<std::size_t>(y) * cut.Width, cut.Width,
                p.Pixels.data() + static_cast<std::size_t>(y + kCutMargin) * p.Width + kCutMargin);
  if (invert)
    for (std::uint8_t& g : p.Pixels) g = static_cast<std::uint8_t>(255 - g);
  return p;
}

// AnalyseBitmap's threshold and increment for the plane: with automatic threshold, those of
// its histogram; otherwise as given.
void Analyse(const Plane& plane, bool automatic, int& threshold, int& increment) {
  Histograms h;
  for (std::uint8_t g : plane.Pixels) ++h.Histogram[g];
  BuildCoarseHistogram(h);
  FindPeak(h);
  if (!automatic) return;
  threshold = std::clamp((FindThreshold(h) * 100) / 16 - 1, 0, 100);
  increment = std::clamp(100 - threshold, 0, 100);
}

// The box of pixels brighter than `background`, as FindContentBox finds it; empty when there
// are none.
Plane Cropped(const Plane& p, int background) {
  int top = p.Height, bottom = 0, left = p.Width, right = 0;
  for (int y = 0; y < p.Height; ++y) {
    const std::uint8_t* row = p.Pixels.data() + static_cast<std::size_t>(y) * p.Width;
    for (int x = 0; x < p.Width; ++x)
      if (row[x] > background) {
        top = std::min(top, y);
        bottom = y + 1;
        left = std::min(left, x);
        right = std::max(right, x + 1);
      }
  }
  if (bottom == 0) return Plane{};
  Plane out{right - left, bottom - top, {}};
  out.Pixels.reserve(static_cast<std::size_t>(out.Width) * out.Height);
  for (int y = top; y < bottom; ++y) {
    const std::uint8_t* row = p.Pixels.data() + static_cast<std::size_t>(y) * p.Width;
    out.Pixels.insert(out.Pixels.end(), row + left, row + right);
  }
  return out;
}

// StretchDraw's nearest-neighbour scaling to w x h.
Plane Stretched(const Plane& p, int w, int h) {
  Plane out{w, h,
            std::vector<std::uint8_t>(static_cast<std::size_t>(std::max(w, 0)) *
                                      static_cast<std::size_t>(std::max(h, 0)))};
  if (w <= 0 || h <= 0) return out;
  std::vector<int> xs(static_cast<std::size_t>(w));
  for (int x = 0; x < w; ++x)
    xs[static_cast<std::size_t>(x)] = static_cast<int>(static_cast<long long>(x) * p.Width / w);
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* row =
        p.Pixels.data() +
        static_cast<std::size_t>(static_cast<long long>(y) * p.Height / h) * p.Width;
    std::uint8_t* d = out.Pixels.data() + static_cast<std::size_t>(y) * w;
    for (int x = 0; x < w; ++x) d[x] = row[xs[static_cast<std::size_t>(x)]];
  }
  return out;
}

}  // namespace

TPattern SampleCharacter(const GreyImage& cut, const ImageOptions& options,
                         const std::string& name) {
  int threshold = std::clamp(options.Threshold, 0, 100);
  int increment = std::clamp(options.Increment, 0, 100);
  Plane source = Padded(cut, options.BlackCharacters);
  Analyse(source, options.AutoThreshold, threshold, increment);
  if (options.Crop) source = Cropped(source, ((threshold * 255) / 100 - 1) & 0xFF);
  if (source.Height == 0)
    throw FileError(name, "the picture has no pixels left to scale (division by zero)");
  const RasterSize size = ComputeRasterSize(source.Width, source.Height, options);
  Plane raster = Stretched(source, size.Width, size.Height);
  const bool empty = raster.Width <= 0 || raster.Height <= 0;
  if (empty && options.AutoThreshold)
    throw FileError(name,
                    "the picture has no pixels to find a threshold in (invalid floating-point "
                    "operation)");
  // The second analysis converts the raster once more: black characters are inverted back.
  if (options.BlackCharacters)
    for (std::uint8_t& g : raster.Pixels) g = static_cast<std::uint8_t>(255 - g);
  if (!empty) Analyse(raster, options.AutoThreshold, threshold, increment);
  TPattern pattern;
  SampleGreyPattern(raster.Pixels.data(), std::max(raster.Width, 0), raster.Height, threshold,
                    increment, pattern);
  return pattern;
}

}  // namespace morvik
