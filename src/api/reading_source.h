// What a public Reading keeps for the renderers: the engine's reading and the library it was
// read with (set names and maps), shared and never changed; and what a public Picture holds.
#pragma once

#include <memory>
#include <string>

#include "api/library_core.h"
#include "image/bitmap.h"
#include "morvik/reading.h"
#include "reading/read_picture.h"

namespace morvik {

struct ReadingSource {
  PictureReading Engine;
  std::shared_ptr<const LibraryCore> Library;
};

struct PictureCore {
  Bitmap Pixels;
};

// Reads decoded pixels; an error of the reading names `name`. Throws Error kUsage for bad
// settings before any reading.
Reading ReadBitmap(const Bitmap& picture, const Library& library, const ReadSettings& settings,
                   const std::string& name);

}  // namespace morvik
