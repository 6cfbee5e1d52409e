// Reads the Netpbm pictures PBM, PGM and PPM, plain (P1-P3) and binary (P4-P6), into the
// engine's 24-bit raster.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "image/bitmap.h"

namespace morvik {

// True when data starts with "P1" to "P6".
bool HasPnmSignature(const std::uint8_t* data, std::size_t size);

// Decodes the Netpbm file held in data[0, size); name is the file named in error messages.
//
// The header is the magic number, width, height and (but for PBM) maxval 1..65535, separated
// by whitespace (space, tab, CR, LF, VT, FF) and comments ('#' to the end of the line); one
// whitespace character ends it. Binary samples take one byte up to maxval 255 and two bytes,
// most significant first, above it. A sample v widens to (v * 255 + maxval / 2) / maxval, the
// nearest value with an exact half rounded up; a PBM 1 is black and 0 white. A file of several
// pictures gives the first. A bad header, a sample above maxval or too little data throws
// FileError(name, ...). The header, the size cap of picture_limits.h and the amount of data
// are checked before the picture is allocated.
Bitmap DecodePnm(const std::uint8_t* data, std::size_t size, const std::string& name);

// The pixels of a binary PGM of maxval 255 (P5), the usual grey picture, one byte each, rows
// top to bottom, straight from the file (what DecodePnm makes of it is these greys in three
// equal channels); false, with nothing set, for any other kind of PNM. A bad file throws as
// DecodePnm does.
bool DecodePnmGrey(const std::uint8_t* data, std::size_t size, const std::string& name, int& width,
                   int& height, std::vector<std::uint8_t>& pixels);

}  // namespace morvik
