// Turning a bitmap file into a pattern: load, grey and analyse, optionally crop, scale to
// the 64-pixel raster, analyse again, and sample 16 x 16 blocks into levels.
#pragma once

#include <string>

#include "core/pattern.h"
#include "image/image_state.h"
#include "image/picture_loading.h"

namespace morvik {

// ComputeRasterSize under the window's image controls.
RasterSize ComputeRasterSize(int w, int h, const ImageSettings& settings);

// "Load BMP": loads, analyses, crops and scales the file (see LoadPictureFile) into
// SourceBitmap and ScaledBitmap, sets threshold and increment to those the analysis chose
// and shows the preview. Throws Error naming the file: unreadable, or a picture left
// without pixels (division by zero, or no threshold to find).
void LoadBitmapFile(const std::string& fileName, ImageState& state);

// Brightest grey of the block of column c and row r (1..16) of ScaledBitmap; positions
// outside the raster count as 0.
int SampleCell(const Bitmap& scaled, int column, int row);

// The level of grey g under threshold t and increment i (percentages).
std::uint8_t GreyToLevel(int g, int threshold, int increment);

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
