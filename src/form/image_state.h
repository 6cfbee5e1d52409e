// State of the image path in the window: the settings its controls hold, the histograms of
// the last analysis, the loaded and scaled bitmaps and the preview; and the window's picture
// path over it ("Load BMP", "Color"), which the engine's plain-valued path serves.
#pragma once

#include <functional>
#include <string>

#include "core/pattern.h"
#include "image/bitmap.h"
#include "image/grey.h"
#include "image/image_options.h"
#include "image/picture_loading.h"

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

// The plain values of the window's image controls.
ImageOptions OptionsOf(const ImageSettings& settings);

// Grey conversion and histograms of the bitmap (changed in place); with "Autodetect" on,
// writes threshold and increment (each write may notify). Throws as FindThreshold does.
void AnalyseBitmap(Bitmap& bitmap, ImageState& state);

// "Load BMP": loads, analyses, crops and scales the file (see LoadPictureFile) into
// SourceBitmap and ScaledBitmap, sets threshold and increment to those the analysis chose
// and shows the preview. Throws Error naming the file: unreadable, or a picture left
// without pixels (division by zero, or no threshold to find).
void LoadBitmapFile(const std::string& fileName, ImageState& state);

// Samples all 256 cells of target from ScaledBitmap (nothing when its width is 0) and
// recomputes the target's MaxLevel, so each image is normalised on its own content.
void FillPatternFromBitmap(const ImageState& state, TPattern& target);

// A run's picture: LoadPictureFile under the state's settings into SourceBitmap,
// ScaledBitmap, threshold and increment, with no preview, and its pattern into test.
void LoadTestPicFile(const std::string& fileName, ImageState& state, TPattern& test);

// The engine side of "Color": reloads the last chosen picture unscaled into ScaledBitmap,
// shows it in the preview with its name, and analyses the preview. The caller re-samples
// the editor pattern afterwards. Throws Error when no picture can be loaded.
void ReloadPictureForColour(ImageState& state);

}  // namespace morvik
