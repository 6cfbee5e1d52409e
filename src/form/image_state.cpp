#include "form/image_state.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "core/error.h"
#include "image/crop.h"
#include "image/picture_reader.h"

namespace morvik {

namespace {

void Store(int& field, int value, int low, int high, const std::function<void()>& changed) {
  value = std::clamp(value, low, high);
  if (value == field) return;
  field = value;
  if (changed) changed();
}

// Scale of the longer side to 64 pixels, as a double.
double LongerSideScale(int w, int h) {
  if (w > h) return static_cast<double>(static_cast<long double>(CellWidth) / w);
  if (h == 0) throw Error("the picture has no pixels left to scale (division by zero)");
  return static_cast<double>(static_cast<long double>(CellHeight) / h);
}

void ShowPreview(ImageState& state, Bitmap preview) {
  state.Preview = std::move(preview);
  if (state.OnPreviewChanged) state.OnPreviewChanged();
}

// Takes over what the path produced; threshold and increment notify when they change.
void Adopt(LoadedPicture& picture, ImageState& state) {
  state.SourceBitmap = std::move(picture.Source);
  state.ScaledBitmap = std::move(picture.Raster);
  state.Analysis = picture.Analysis;
  state.Settings.SetSpinEditTresh(picture.Threshold);
  state.Settings.SetSpinEditInc(picture.Increment);
}

// Reads the file; a failed read leaves the raster of the last picture in place.
LoadedPicture ReadAndLoad(const std::string& fileName, ImageState& state) {
  state.SourceBitmap = Bitmap();
  Bitmap file = ReadPictureFile(fileName);
  state.ScaledBitmap = Bitmap();
  return LoadPicture(file, OptionsOf(state.Settings), fileName);
}

}  // namespace

void ImageSettings::SetSpinEditTresh(int value) {
  Store(threshold_, value, 0, 100, OnThresholdChanged);
}

void ImageSettings::SetSpinEditInc(int value) {
  Store(increment_, value, 0, 100, OnIncrementChanged);
}

void ImageSettings::Assign(int threshold, int increment) {
  threshold_ = std::clamp(threshold, 0, 100);
  increment_ = std::clamp(increment, 0, 100);
}

void ImageSettings::SetSpinEditRatio(int value) {
  Store(ratio_, value, 1, 100, nullptr);
}

ImageOptions OptionsOf(const ImageSettings& settings) {
  ImageOptions o;
  o.BlackCharacters = settings.RadioGroupCol == 1;
  o.AutoThreshold = settings.CheckBoxAuto;
  o.Crop = settings.CheckBoxCrop;
  o.FixedRatio = settings.CheckBoxRatio;
  o.Ratio = settings.SpinEditRatio();
  o.Threshold = settings.SpinEditTresh();
  o.Increment = settings.SpinEditInc();
  return o;
}

void AnalyseBitmap(Bitmap& bitmap, ImageState& state) {
  AnalyseBitmap(bitmap, state.Settings.RadioGroupCol == 1, state.Analysis);
  if (!state.Settings.CheckBoxAuto) return;
  int threshold = 0, increment = 0;
  ChooseThreshold(state.Analysis, threshold, increment);
  state.Settings.SetSpinEditTresh(threshold);
  state.Settings.SetSpinEditInc(increment);
}

void LoadBitmapFile(const std::string& fileName, ImageState& state) {
  LoadedPicture picture = ReadAndLoad(fileName, state);
  Adopt(picture, state);
  ShowPreview(state, std::move(picture.Preview));
}

void FillPatternFromBitmap(const ImageState& state, TPattern& target) {
  SamplePattern(state.ScaledBitmap, state.Settings.SpinEditTresh(), state.Settings.SpinEditInc(),
                target);
}

void LoadTestPicFile(const std::string& fileName, ImageState& state, TPattern& test) {
  LoadedPicture picture = ReadAndLoad(fileName, state);
  state.SourceBitmap = std::move(picture.Source);
  state.ScaledBitmap = std::move(picture.Raster);
  state.Analysis = picture.Analysis;
  state.Settings.Assign(picture.Threshold, picture.Increment);
  if (state.ScaledBitmap.Width() == 0) return;  // nothing was sampled
  test.Cells = picture.Pattern.Cells;
  test.MaxLevel = picture.Pattern.MaxLevel;
}

void ReloadPictureForColour(ImageState& state) {
  if (state.PictureFileName.empty())
    throw Error("No picture has been loaded yet: choose one with \"Load BMP\" first.");
  const std::string& name = state.PictureFileName;
  state.ScaledBitmap = ReadPictureFile(name);
  const int w = state.ScaledBitmap.Width(), h = state.ScaledBitmap.Height();
  const double s = WithFileName(name, [&] { return LongerSideScale(w, h); });
  const int pw = static_cast<int>(std::trunc(static_cast<long double>(w) * s));
  const int ph = static_cast<int>(std::trunc(static_cast<long double>(h) * s));
  Bitmap preview(pw, ph);
  preview.Fill(kWhite);
  StretchDraw(state.ScaledBitmap, preview, pw, ph);
  ShowPreview(state, std::move(preview));
  state.ImageName = "Image: " + name;
  WithFileName(name, [&] { AnalyseBitmap(state.Preview, state); });
}

}  // namespace morvik
