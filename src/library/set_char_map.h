// A reference set's own character map, "<base>.charmap.txt" beside its "<base>.PCP", in the
// format of "charmap.txt": one line "<number><TAB><character>" CR LF per mapped pattern.
#pragma once

#include <string>

#include "core/char_map.h"
#include "core/safe_write.h"
#include "library/small_file.h"

namespace morvik {

std::string SetCharMapPath(const std::string& base);  // "<base>.charmap.txt"

// A map that must hold what it claims (a set's own, one named for a run, one given to the
// API), in the format of "charmap.txt" but without its leniency, which turns a damaged line
// into a blank (a false word break) or a damaged file into no characters at all: every line
// that is not empty or blank is "<number><TAB><character>", the number 0..40 named once,
// the character one byte other than 0, CR and LF. Throws Error (kBadData) naming file and
// the line, or, for a map that names no character, file alone.
CharMapState ParseStrictCharMap(const std::string& text, const std::string& file);

// The set's map by those rules. A missing file gives a map with CharMapLoaded false: the
// set carries none. Throws Error naming the file when it cannot be read, is not a regular
// file, is too large, or is not such a map.
CharMapState LoadSetCharMap(const std::string& base);

// A map file that must be there (--charmap, the API) by the same rules; kNotFound when it
// is not.
CharMapState LoadStrictCharMap(const std::string& path);

// Writes a line for every number 0..40 whose entry is not byte 0, in number order, through
// a new file renamed into place. A map with CharMapLoaded false removes the file instead, so
// the set carries none. Throws Error naming the file when it cannot be written, or when an
// entry is a CR or LF, which the format cannot hold.
void SaveSetCharMap(const std::string& base, const CharMapState& chars);
// The same as one step of a group of files saved together.
void StageSetCharMap(ReplacementGroup& group, const std::string& base, const CharMapState& chars);

}  // namespace morvik
