// A reference set's own character map, "<base>.charmap.txt" beside its "<base>.PCP", in the
// format of "charmap.txt": one line "<number><TAB><character>" CR LF per mapped pattern.
#pragma once

#include <string>

#include "core/safe_write.h"
#include "library/small_file.h"
#include "runs/char_map.h"

namespace morvik {

std::string SetCharMapPath(const std::string& base);  // "<base>.charmap.txt"

// The set's map, read by the rules of "charmap.txt" (LoadCharMap). A missing file gives a
// map with CharMapLoaded false: the set carries none. Throws Error naming the file when it
// cannot be read, is not a regular file, is too large, or holds a bad number.
CharMapState LoadSetCharMap(const std::string& base);

// Writes a line for every number 0..40 whose entry is not byte 0, in number order, through
// a new file renamed into place. A map with CharMapLoaded false removes the file instead, so
// the set carries none. Throws Error naming the file when it cannot be written, or when an
// entry is a CR or LF, which the format cannot hold.
void SaveSetCharMap(const std::string& base, const CharMapState& chars);
// The same as one step of a group of files saved together.
void StageSetCharMap(ReplacementGroup& group, const std::string& base, const CharMapState& chars);

}  // namespace morvik
