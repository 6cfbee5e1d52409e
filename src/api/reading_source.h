// What a public Reading keeps for the renderers: the engine's reading and the library it was
// read with (set names and maps), shared and never changed.
#pragma once

#include <memory>

#include "api/library_core.h"
#include "reading/read_picture.h"

namespace morvik {

struct ReadingSource {
  PictureReading Engine;
  std::shared_ptr<const LibraryCore> Library;
};

}  // namespace morvik
