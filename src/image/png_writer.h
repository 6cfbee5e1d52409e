// Writes the engine's raster as a 24-bit RGB PNG file, for pictures a user looks at.
#pragma once

#include <string>

#include "image/bitmap.h"

namespace morvik {

// The PNG file of bitmap: 8-bit RGB, not interlaced, no ancillary chunks. Throws Error for an
// empty bitmap, which PNG cannot hold.
std::string EncodePng(const Bitmap& bitmap);

// Writes EncodePng(bitmap) as the new contents of path: to a new file beside it that then
// replaces it (a link found there included, whose target stays as it was), so a reader never
// sees half a picture. Throws FileError(path, ...) on failure.
void WritePngFile(const std::string& path, const Bitmap& bitmap);

}  // namespace morvik
