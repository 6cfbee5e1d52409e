// Reads Windows and OS/2 BMP files into the engine's 24-bit RGB raster: palette pictures of 1, 2,
// 4 and 8 bits, 16/24/32-bit pictures (with colour masks) and RLE4, RLE8 and OS/2 RLE24.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "image/bitmap.h"

namespace morvik {

// Decodes the BMP file held in data[0, size). name is the file named in error messages.
// Throws morvik::Error for anything that is not a BMP picture this reader can load, before
// allocating anything the file could not plausibly fill.
Bitmap DecodeBmp(const std::uint8_t* data, std::size_t size, const std::string& name);

}  // namespace morvik
