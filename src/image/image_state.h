// State of the image path in the window: the settings its controls hold, the histograms of
// the last analysis, the loaded and scaled bitmaps and the preview.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "image/bitmap.h"

namespace morvik {

// Settings of the image path with their defaults. Threshold and increment notify on every
// change of their value, whoever makes it (the user, or the automatic threshold).
class ImageSettings {
 public:
  int RadioGroupCol = 0;      // "Color": 0 "White" characters, 1 "Black" (inverts the grey)
  bool CheckBoxAuto = true;   // "Autodetect": the analysis writes threshold and increment
  bool CheckBoxCrop = false;  // "AutoCrop"
  bool CheckBoxRatio = true;  // "Aspect Ratio:"

  int SpinEditTresh() const { return threshold_; }  // "Treshold (%)", 0..100, default 45
  int SpinEditInc() const { return increment_; }    // "Increment (%)", 0..100, default 50
  int SpinEditRatio() const { return ratio_; }      // aspect ratio percent, 1..100, default 100

  // Stores the value clamped into 0..100; a change of the stored value notifies.
  void SetSpinEditTresh(int value);
  void SetSpinEditInc(int value);
  void SetSpinEditRatio(int value);  // clamped into 1..100, no notification
  // Threshold and increment an analysis chose, stored clamped into 0..100 without
  // notification: shown, not typed.
  void Assign(int threshold, int increment);

  std::function<void()> OnThresholdChanged;  // SpinEditTreshChange
  std::function<void()> OnIncrementChanged;  // SpinEditIncChange

 private:
  int threshold_ = 45;
  int increment_ = 50;
  int ratio_ = 100;
};

struct Histograms {
  std::array<std::int32_t, 256> Histogram{};
  std::array<std::int32_t, 16> CoarseHistogram{};
  std::int32_t PeakBin = 0;
};

constexpr int CellWidth = 64;   // raster length of the longer side, wide bitmaps
constexpr int CellHeight = 64;  // the same for bitmaps at least as high as wide

struct ImageState {
  ImageSettings Settings;
  Histograms Analysis;
  Bitmap SourceBitmap;  // the loaded file, grey (and cropped); replaced by every load
  Bitmap ScaledBitmap;  // the raster sampled into patterns

  std::string PictureFileName;  // last picture chosen with "Load BMP"
  Bitmap Preview;               // picture of the preview control ImageBMP
  std::string ImageName;        // text of LabelImageName
  std::function<void()> OnPreviewChanged;
};

}  // namespace morvik
