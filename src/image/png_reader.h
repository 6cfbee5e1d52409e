// Decodes PNG pictures through libpng into the engine's 24-bit raster: every colour type and
// bit depth, with transparency composed over white.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "image/bitmap.h"

namespace morvik {

// True when data starts with the 8-byte PNG signature.
bool HasPngSignature(const std::uint8_t* data, std::size_t size);

// Decodes the PNG file held in data[0, size); name is the file named in error messages.
//
// Grey, grey with alpha, palette, RGB and RGBA pictures of 1, 2, 4, 8 and 16 bits load:
// - grey below 8 bits widens exactly (a 2-bit 1 becomes 85, a 1-bit 1 becomes 255);
// - transparency (an alpha channel or a tRNS chunk) is composed over white, per channel
//   round((c * a + 255 * (255 - a)) / 255), where no sample ties;
// - 16-bit samples are composed at 16 bits and then reduced to round(v * 255 / 65535), which
//   never ties either.
// Only IHDR, PLTE, tRNS, IDAT and IEND count: other chunks, known or not, are skipped, so
// colour profiles and gamma never change a pixel, and a bad checksum in an ancillary chunk
// drops only that chunk. A damaged critical chunk, a truncated file or a picture beyond the
// size cap of picture_limits.h throws FileError(name, ...); a file whose image data could not
// fill the picture it claims is refused before the picture is allocated.
Bitmap DecodePng(const std::uint8_t* data, std::size_t size, const std::string& name);

}  // namespace morvik
