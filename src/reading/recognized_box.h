// A character box of a line with its recognition, and the recogniser that reads a box, shared
// by the segmentation decided by recognition and the rules that read spaces between boxes.
#pragma once

#include <array>
#include <functional>

#include "library/library_scoring.h"
#include "segment/segmentation.h"

namespace morvik {

struct RecognizedBox {
  CharBox Box;
  std::array<LibraryMatch, 3> Best{};
};

using BoxRecognizer = std::function<std::array<LibraryMatch, 3>(const CharBox&)>;

}  // namespace morvik
