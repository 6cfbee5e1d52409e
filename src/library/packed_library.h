// A packed library: one file holding every set of a library as opening the set's files
// leaves it (prepared: see prepared_pack.h), so that a run maps one file and reads its sets'
// references in place instead of reading and preparing four files for each (the stock
// library is packed so).
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "library/reference_library.h"

namespace morvik {

constexpr std::size_t kMaxPackedLibraryBytes = std::size_t{64} << 20;

// Whether a name is that of a packed library: it ends in ".pack", in any case.
bool IsPackedLibraryName(const std::string& name);

// Writes packPath (a new file renamed into place) holding, in order, the sets named relative
// to the pack's folder (or absolute), each opened as OpenReferenceSet opens it. Throws Error
// naming the file that is missing, bad or cannot be read or written.
void SavePackedLibrary(const std::string& packPath, const std::vector<std::string>& names);

// The sets of a packed library, each exactly as OpenReferenceSet opened it from the files it
// was packed from, with the base name taken against the pack's folder as a library file's
// names are. Packs of the earlier form, which held the files' bytes, are read too. Throws
// Error naming the pack when it is missing, too large or damaged.
ReferenceLibrary OpenPackedLibrary(const std::string& packPath);
// The same from the bytes of a pack named file, its sets' names taken against folder. Every
// count, size and field is checked before it is used (kBadData naming the pack). Where keep
// holds the bytes alive, the sets may read their references from them in place (a mapped
// pack); without it they copy what they read.
ReferenceLibrary ParsePackedLibrary(const char* data, std::size_t size, const std::string& file,
                                    const std::string& folder,
                                    std::shared_ptr<const char> keep = nullptr);

}  // namespace morvik
