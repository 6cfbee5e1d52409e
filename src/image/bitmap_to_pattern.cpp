#include "image/bitmap_to_pattern.h"

#include <algorithm>
#include <cmath>

#include "core/error.h"
#include "image/crop.h"
#include "image/grey.h"
#include "image/picture_reader.h"

namespace morvik {

namespace {

const char* kDivisionByZero = "the picture has no pixels left to scale (division by zero)";

// Scale of the longer side to 64 pixels, as a double.
double LongerSideScale(int w, int h) {
  if (w > h) return static_cast<double>(static_cast<long double>(CellWidth) / w);
  if (h == 0) throw Error(kDivisionByZero);
  return static_cast<double>(static_cast<long double>(CellHeight) / h);
}

void Analyse(Bitmap& bitmap, ImageState& state, const std::string& fileName) {
  try {
    AnalyseBitmap(bitmap, state);
  } catch (const Error& e) {
    throw FileError(fileName, e.what());
  }
}

void ShowPreview(ImageState& state, const Bitmap& picture, int w, int h) {
  state.Preview = Bitmap(w, h);
  state.Preview.Fill(kWhite);
  StretchDraw(picture, state.Preview, w, h);
  if (state.OnPreviewChanged) state.OnPreviewChanged();
}

}  // namespace

RasterSize ComputeRasterSize(int w, int h, const ImageSettings& settings) {
  if (h == 0) throw Error(kDivisionByZero);
  const double s = LongerSideScale(w, h);
  double sx = static_cast<double>(static_cast<long double>(w) / h * s);
  if (settings.CheckBoxRatio)
    sx = static_cast<double>(static_cast<long double>(settings.SpinEditRatio()) * s / 100.0L);
  return RasterSize{static_cast<int>(std::trunc(static_cast<long double>(h) * sx)),
                    static_cast<int>(std::trunc(static_cast<long double>(h) * s))};
}

void LoadBitmapFile(const std::string& fileName, ImageState& state) {
  Bitmap cropTarget;
  state.SourceBitmap = Bitmap();
  state.SourceBitmap = ReadPictureFile(fileName);
  state.ScaledBitmap = Bitmap();
  Analyse(state.SourceBitmap, state, fileName);

  if (state.Settings.CheckBoxCrop) {
    const int a = ((state.Settings.SpinEditTresh() * 255) / 100 - 1) & 0xFF;
    AutoCrop(state.SourceBitmap, cropTarget, 0, MakeColour(a, a, a));
    state.SourceBitmap = std::move(cropTarget);
  }

  RasterSize size;
  try {
    size =
        ComputeRasterSize(state.SourceBitmap.Width(), state.SourceBitmap.Height(), state.Settings);
  } catch (const Error& e) {
    throw FileError(fileName, e.what());
  }
  if (!state.LoadingGuard) ShowPreview(state, state.SourceBitmap, size.Width, size.Height);

  Bitmap scaled(size.Width, size.Height);
  StretchDraw(state.SourceBitmap, scaled, size.Width, size.Height);
  state.ScaledBitmap = std::move(scaled);
  Analyse(state.ScaledBitmap, state, fileName);
}

namespace {

// Pixels first..last of block k (1..16) of a side of `size` pixels, clipped to the side; empty
// (last < first) when the block holds no pixel (Trunc(v0 + block - 1) < v0, as for blocks
// below one pixel), or none inside the raster.
struct Span {
  int first, last;
};
Span BlockSpan(double block, int k, int size) {
  // Converting to int truncates toward zero, as Trunc does.
  const int v0 = static_cast<int>((k - 1) * block);
  const int v1 = static_cast<int>(v0 + block - 1);
  return {v0, std::min(v1, size - 1)};
}

// The same block size serves both directions.
double BlockSize(const Bitmap& raster) {
  return std::max(raster.Width() / 16.0, raster.Height() / 16.0);
}

// Grey rasters are the rule; GreyOf of a grey pixel is its own value.
inline int PixelGrey(const std::uint8_t* px) {
  return (px[0] == px[1] && px[1] == px[2]) ? px[0] : GreyOf(MakeColour(px[2], px[1], px[0]));
}

// Raises best to the greys of the pixels xs of row p.
inline void RowMax(const std::uint8_t* p, Span xs, int& best) {
  for (int x = xs.first; x <= xs.last; ++x) best = std::max(best, PixelGrey(p + 3 * x));
}

}  // namespace

int SampleCell(const Bitmap& scaled, int column, int row) {
  const double block = BlockSize(scaled);
  const Span xs = BlockSpan(block, column, scaled.Width());
  const Span ys = BlockSpan(block, row, scaled.Height());
  int best = 0;
  for (int y = ys.first; y <= ys.last; ++y) RowMax(scaled.Row(y), xs, best);
  return best;
}

std::uint8_t GreyToLevel(int g, int threshold, int increment) {
  if (100 * g < 255 * threshold) return LevelValues[0];
  AddClamped(g, (255 * increment) / 100, 0, 255);
  return LevelValues[(11 * g) / 510];
}

void FillPatternFromBitmap(const ImageState& state, TPattern& target) {
  if (state.ScaledBitmap.Width() == 0) return;
  const Bitmap& raster = state.ScaledBitmap;
  const int t = state.Settings.SpinEditTresh(), inc = state.Settings.SpinEditInc();
  // SampleCell for every cell, a band of rows at a time, so each pixel row is read once.
  const double block = BlockSize(raster);
  Span xs[kGridSize];
  for (int c = 1; c <= kGridSize; ++c) xs[c - 1] = BlockSpan(block, c, raster.Width());
  for (int r = 1; r <= kGridSize; ++r) {
    int best[kGridSize] = {};
    const Span ys = BlockSpan(block, r, raster.Height());
    for (int y = ys.first; y <= ys.last; ++y) {
      const std::uint8_t* p = raster.Row(y);
      for (int c = 0; c < kGridSize; ++c) RowMax(p, xs[c], best[c]);
    }
    for (int c = 1; c <= kGridSize; ++c) {
      const std::uint8_t level = GreyToLevel(best[c - 1], t, inc);
      target.At(r, c) = TPatternCell{static_cast<std::uint8_t>(level > 0 ? 1 : 0), level};
    }
  }
  target.MaxLevel = ComputeMaxLevel(target);
}

void LoadTestPicFile(const std::string& fileName, ImageState& state, TPattern& test) {
  LoadingGuardScope guard(state);
  LoadBitmapFile(fileName, state);
  FillPatternFromBitmap(state, test);
}

void ReloadPictureForColour(ImageState& state) {
  if (state.PictureFileName.empty())
    throw Error("No picture has been loaded yet: choose one with \"Load BMP\" first.");
  const std::string& name = state.PictureFileName;
  state.ScaledBitmap = ReadPictureFile(name);
  const int w = state.ScaledBitmap.Width(), h = state.ScaledBitmap.Height();
  double s;
  try {
    s = LongerSideScale(w, h);
  } catch (const Error& e) {
    throw FileError(name, e.what());
  }
  ShowPreview(state, state.ScaledBitmap,
              static_cast<int>(std::trunc(static_cast<long double>(w) * s)),
              static_cast<int>(std::trunc(static_cast<long double>(h) * s)));
  state.ImageName = "Image: " + name;
  Analyse(state.Preview, state, name);
}

}  // namespace morvik
