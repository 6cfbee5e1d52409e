#include "image/bitmap_to_pattern.h"

#include <algorithm>
#include <cmath>

#include "core/error.h"
#include "image/bmp_reader.h"
#include "image/crop.h"
#include "image/grey.h"

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
  state.SourceBitmap = ReadBmpFile(fileName);
  state.ScaledBitmap = Bitmap();
  Analyse(state.SourceBitmap, state, fileName);

  if (state.Settings.CheckBoxCrop) {
    const int a = ((state.Settings.SpinEditTresh() * 255) / 100 - 1) & 0xFF;
    AutoCrop(state.SourceBitmap, cropTarget, 0, MakeColour(a, a, a));
    state.SourceBitmap = std::move(cropTarget);
  }

  RasterSize size;
  try {
    size = ComputeRasterSize(state.SourceBitmap.Width(), state.SourceBitmap.Height(),
                             state.Settings);
  } catch (const Error& e) {
    throw FileError(fileName, e.what());
  }
  if (!state.LoadingGuard) ShowPreview(state, state.SourceBitmap, size.Width, size.Height);

  Bitmap scaled(size.Width, size.Height);
  StretchDraw(state.SourceBitmap, scaled, size.Width, size.Height);
  state.ScaledBitmap = std::move(scaled);
  Analyse(state.ScaledBitmap, state, fileName);
}

int SampleCell(const Bitmap& scaled, int column, int row) {
  const int w = scaled.Width(), h = scaled.Height();
  const double block = std::max(w / 16.0, h / 16.0);
  const int x0 = static_cast<int>(std::trunc((column - 1) * block));
  const int y0 = static_cast<int>(std::trunc((row - 1) * block));
  const int x1 = static_cast<int>(std::trunc(x0 + block - 1));
  const int y1 = static_cast<int>(std::trunc(y0 + block - 1));
  if (x1 < x0 || y1 < y0) return 0;
  // Grey rasters are the rule; GreyOf of a grey pixel is its own value.
  int best = 0;
  for (int y = y0; y <= std::min(y1, h - 1); ++y) {
    const std::uint8_t* p = scaled.Row(y);
    for (int x = x0; x <= std::min(x1, w - 1); ++x) {
      const std::uint8_t* px = p + 3 * x;
      const int g = (px[0] == px[1] && px[1] == px[2]) ? px[0]
                                                        : GreyOf(MakeColour(px[2], px[1], px[0]));
      best = std::max(best, g);
    }
  }
  return best;
}

std::uint8_t GreyToLevel(int g, int threshold, int increment) {
  if (100 * g < 255 * threshold) return LevelValues[0];
  AddClamped(g, (255 * increment) / 100, 0, 255);
  return LevelValues[(11 * g) / 510];
}

void FillPatternFromBitmap(const ImageState& state, TPattern& target) {
  if (state.ScaledBitmap.Width() == 0) return;
  const int t = state.Settings.SpinEditTresh(), inc = state.Settings.SpinEditInc();
  for (int c = 1; c <= kGridSize; ++c) {
    for (int r = 1; r <= kGridSize; ++r) {
      const std::uint8_t level = GreyToLevel(SampleCell(state.ScaledBitmap, c, r), t, inc);
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
  state.ScaledBitmap = ReadBmpFile(name);
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
