// A packed library: one file holding every set of a library with the bytes of its files, so
// that a run opens one file instead of four for each set (the stock library is packed so).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "library/reference_library.h"

namespace morvik {

constexpr std::size_t kMaxPackedLibraryBytes = std::size_t{64} << 20;

// Whether a name is that of a packed library: it ends in ".pack", in any case.
bool IsPackedLibraryName(const std::string& name);

// Writes packPath (a new file renamed into place) holding, in order, the sets named relative
// to the pack's folder (or absolute): each name with the bytes of "<name>.PCP" (as far as a
// set reads it, 40 records) and, where they exist, of its ".charmap.txt", ".set.ini" and
// ".detail". Throws Error naming the file that is missing or cannot be read or written.
void SavePackedLibrary(const std::string& packPath, const std::vector<std::string>& names);

// The sets of a packed library, each exactly as OpenReferenceSet opens it from the files it
// was packed from, with the base name taken against the pack's folder as a library file's
// names are. Throws Error naming the pack when it is missing, too large or damaged.
ReferenceLibrary OpenPackedLibrary(const std::string& packPath);
// The same from the bytes of a pack named file, its sets' names taken against folder. Every
// part is checked as a set's own file is (kBadData naming the pack and the set's file).
ReferenceLibrary ParsePackedLibrary(const char* data, std::size_t size, const std::string& file,
                                    const std::string& folder);

}  // namespace morvik
