// What a public Library holds: the sets as opened and prepared, never changed afterwards, so
// every reading on any thread scores with them directly.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "library/reference_library.h"
#include "morvik/library.h"

namespace morvik {

struct LibraryCore {
  explicit LibraryCore(ReferenceLibrary sets) : Sets(std::move(sets)) {}
  const ReferenceLibrary Sets;  // names, maps and settings for answers and renderers
};

// The sets of names (base names, ".PCP" typed or not, or library files) taken against
// folder, in their order; sets lying in folder are named relative to it. Throws Error kUsage
// for no names, else as the engine opens them.
ReferenceLibrary OpenNamedReferences(const std::vector<std::string>& names,
                                     const std::string& folder);

}  // namespace morvik
