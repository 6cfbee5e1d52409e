// Turning a bitmap file into a pattern: load, grey and analyse, optionally crop, scale to
// the 64-pixel raster, analyse again, and sample 16 x 16 blocks into levels.
#pragma once

#include <string>

#include "core/pattern.h"
#include "image/image_state.h"

namespace morvik {

// Raster size for a w x h picture: Trunc(h x sx) by Trunc(h x s), the products formed in
// extended precision from the double scale factors. Throws Error for a height of 0.
struct RasterSize {
  int Width = 0, Height = 0;
};
RasterSize ComputeRasterSize(int w, int h, const ImageSettings& settings);

// Loads, analyses, crops and scales the file into SourceBitmap and ScaledBitmap; shows the
// preview unless LoadingGuard is set. Throws Error naming the file: unreadable, or a
// picture left without pixels (division by zero, or no threshold to find).
void LoadBitmapFile(const std::string& fileName, ImageState& state);

// Brightest grey of the block of column c and row r (1..16) of ScaledBitmap; positions
// outside the raster count as 0.
int SampleCell(const Bitmap& scaled, int column, int row);

// The level of grey g under threshold t and increment i (percentages).
std::uint8_t GreyToLevel(int g, int threshold, int increment);

// Samples all 256 cells of target from ScaledBitmap (nothing when its width is 0) and
// recomputes the target's MaxLevel, so each image is normalised on its own content.
void FillPatternFromBitmap(const ImageState& state, TPattern& target);

// LoadBitmapFile and FillPatternFromBitmap into test under the loading guard, which is
// cleared on every way out.
void LoadTestPicFile(const std::string& fileName, ImageState& state, TPattern& test);

// Sets LoadingGuard for its lifetime and clears it however the scope is left.
class LoadingGuardScope {
 public:
  explicit LoadingGuardScope(ImageState& state) : state_(state) { state_.LoadingGuard = true; }
  ~LoadingGuardScope() { state_.LoadingGuard = false; }
  LoadingGuardScope(const LoadingGuardScope&) = delete;
  LoadingGuardScope& operator=(const LoadingGuardScope&) = delete;

 private:
  ImageState& state_;
};

// The engine side of "Color": reloads the last chosen picture unscaled into ScaledBitmap,
// shows it in the preview with its name, and analyses the preview. The caller re-samples
// the editor pattern afterwards. Throws Error when no picture can be loaded.
void ReloadPictureForColour(ImageState& state);

}  // namespace morvik
