// What a public Library holds: the sets as opened and prepared, never changed afterwards, so
// every reading on any thread scores with them directly.
#pragma once

#include <memory>
#include <vector>

#include "library/reference_library.h"

namespace morvik {

// A set named with its ".PCP" extension, in any case, opens as its base name.
std::string SetBaseName(const std::string& name);

struct LibraryCore {
  explicit LibraryCore(ReferenceLibrary sets) : Sets(std::move(sets)) {}
  const ReferenceLibrary Sets;  // names, maps and settings for answers and renderers
};

}  // namespace morvik
