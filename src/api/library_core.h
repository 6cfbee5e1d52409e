// What a public Library holds: the sets as opened, never changed, and the working copies
// that readings score with. Scoring writes scratch (scores, profiles, settled patterns) into
// the library it is given, so each reading borrows a copy of its own and gives it back.
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "library/reference_library.h"

namespace morvik {

// A set named with its ".PCP" extension, in any case, opens as its base name.
std::string SetBaseName(const std::string& name);

struct LibraryCore {
  explicit LibraryCore(ReferenceLibrary sets) : Sets(std::move(sets)) {}
  const ReferenceLibrary Sets;  // names, maps and settings for answers and renderers

  // A copy to score with, for the lifetime of this object; returned to the core after.
  class Borrowed {
   public:
    explicit Borrowed(const LibraryCore& core);
    ~Borrowed();
    Borrowed(const Borrowed&) = delete;
    Borrowed& operator=(const Borrowed&) = delete;
    ReferenceLibrary& Get() { return *copy_; }

   private:
    const LibraryCore& core_;
    std::unique_ptr<ReferenceLibrary> copy_;
  };

 private:
  mutable std::mutex mutex_;
  mutable std::vector<std::unique_ptr<ReferenceLibrary>> spare_;
};

}  // namespace morvik
