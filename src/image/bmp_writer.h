// Writes the engine's raster as a 24-bit Windows bitmap, the form the folder runs read.
#pragma once

#include <string>

#include "image/bitmap.h"

namespace morvik {

// A bottom-up 24-bit BMP with a BITMAPINFOHEADER, rows padded to four bytes, 2835 pixels a
// metre. Throws Error for an empty bitmap.
std::string EncodeBmp(const Bitmap& bitmap);

// Writes EncodeBmp(bitmap) to a new file beside path, then renames it into place (over a
// link found there, whose target stays as it was). Throws
// FileError(path, ...) on failure.
void WriteBmpFile(const std::string& path, const Bitmap& bitmap);

}  // namespace morvik
