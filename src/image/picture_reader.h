// Loading a picture of any supported format (BMP, PNG, PBM/PGM/PPM) into the engine's raster;
// the format is told by the file's first bytes, never by its name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "image/bitmap.h"
#include "image/picture_limits.h"

namespace morvik {

// Decodes the picture held in data[0, size), a whole file's bytes (standard input, say):
// "BM" (or an OS/2 "BA" array) is BMP, the PNG signature is PNG, "P1" to "P6" is Netpbm.
// name is the file named in error messages. Throws FileError(name, ...) for an unknown
// signature ("not a BMP, PNG or PNM picture") and whatever the chosen reader refuses.
// Every reader keeps to the size cap of picture_limits.h.
Bitmap DecodePicture(const std::uint8_t* data, std::size_t size, const std::string& name);

// Reads the regular file at path (see ReadPictureBytes) and decodes it with DecodePicture. A
// file without a picture's signature is refused on its first bytes, unread beyond them.
Bitmap ReadPictureFile(const std::string& path);

// A picture file as ReadPictureFile reads it, but kept grey, one byte a pixel in Greys (Colour
// empty), where the file is a grey picture DecodePnmGrey takes: reading needs no colour raster.
struct DecodedPicture {
  bool Grey = false;
  int Width = 0, Height = 0;
  std::vector<std::uint8_t> Greys;
  Bitmap Colour;
};
DecodedPicture ReadPictureFileKeepingGrey(const std::string& path);

// The same for a stream (standard input), read to its end, at most maxBytes of it (see
// ReadPictureStream); name is the stream as messages name it.
Bitmap ReadPictureFromStream(int fd, const std::string& name,
                             std::int64_t maxBytes = kMaxPictureFileBytes);

}  // namespace morvik
