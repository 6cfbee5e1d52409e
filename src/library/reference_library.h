// A reference library: several pattern sets in a fixed order, each with its own character
// map and settings, opened from base names or from a library file "<name>.sets".
#pragma once

#include <string>
#include <vector>

#include "core/char_map.h"
#include "core/pattern_bank.h"
#include "core/safe_write.h"
#include "core/scoring.h"
#include "library/prepared_references.h"
#include "library/set_detail.h"
#include "library/set_settings.h"

namespace morvik {

constexpr int kMaxLibrarySets = 256;  // sets one library may hold
constexpr std::size_t kMaxLibraryFileBytes = 256 * 1024;

// One set of a library. Bank holds the references in slots 1..40 (slots a short file does not
// reach stay empty), as read until the set is prepared, settled after. The openers below
// prepare the set (PrepareReferenceSet); after that nothing changes it, and scoring reads it
// from any number of threads at once.
struct ReferenceSet {
  // Every member starts as its initialiser makes it. Declared so that a set made as a value
  // (ReferenceSet{}, a vector's emplace_back()) is not zero-filled whole before that. (The
  // references and details a set only reads are shared or made on first change, so a set of
  // the stock library writes little of its own.)
  ReferenceSet() {}
  std::string Base;  // base name of the set files, as opened
  TPatternBank Bank;
  CharMapState Chars;           // "<base>.charmap.txt"; CharMapLoaded false when the set has none
  SetSettings Settings;         // "<base>.set.ini"; nothing stored when the set has none
  SetDetail Detail;             // "<base>.detail"; Loaded false when the set has none
  PreparedReferences Prepared;  // with Bank; prepare again after changing Bank or Detail
};

// Settles Bank and works out what else scoring reads (see PreparedReferences): every opener
// calls it; a set built by hand needs it before it is scored, and only once.
void PrepareReferenceSet(ReferenceSet& set);

// A library's sets in ranking order. A library the openers return is ready to read and is
// never changed by reading: one const library can serve several threads at once.
struct ReferenceLibrary {
  std::vector<ReferenceSet> Sets;  // in the order of ranking ties: earlier sets first
};

// Reads "<base>.PCP" (found without regard to case, as set files are), the set's map and its
// settings. Throws Error naming the file that is missing, unreadable or bad.
ReferenceSet OpenReferenceSet(const std::string& base);

// Refuses the bytes of a reference file that cannot be a set (Error of kind kBadData naming
// file): none, a part of a record (within the 40 a set reads), a record that is no pattern
// (a mark other than 0 and 1, a level above 100), or no reference with a marked cell, which
// would answer "?" to everything.
void CheckReferenceBytes(const std::uint8_t* data, std::size_t size, const std::string& file);

// The base names the text of a library file named file lists: one per line (CR LF or LF),
// blanks around it dropped, relative names taken against the library file's folder; empty
// lines and lines whose first non-blank character is '#' are skipped. Throws Error naming
// the file when it lists no set or more than kMaxLibrarySets; names that are no set names
// (control characters, a library file) are refused (kBadData) naming the line.
std::vector<std::string> ParseLibraryFile(const std::string& text, const std::string& file);

// The same read from the library file at path; also throws Error naming it when it is
// missing, not a regular file or too large.
std::vector<std::string> ReadLibraryFile(const std::string& path);

// Whether a name is that of a library file: it ends in ".sets", in any case.
bool IsLibraryFileName(const std::string& name);

// Writes a library file listing the base names in order, CR LF line ends, through a new
// file renamed into place. Names in the library file's folder or below it are written
// relative to that folder, so the library moves with its sets; others are written absolute. Throws
// Error naming the file when it cannot be written, or when a name could not be read back (empty,
// beginning with
// '#' or a blank, ending with a blank, or holding a line end).
void SaveLibraryFile(const std::string& path, const std::vector<std::string>& bases);
// The same as one step of a group of files saved together.
void StageLibraryFile(ReplacementGroup& group, const std::string& path,
                      const std::vector<std::string>& bases);

// Opens every set the library file lists (as ParseLibraryFile reads it). Throws Error naming
// the library file when it is missing, not a regular file or too large, as ParseLibraryFile
// does, or, for a set that cannot be opened, naming the line, then the set's own problem.
ReferenceLibrary LoadReferenceLibrary(const std::string& path);

// Sets named one by one, as options give them: a library file name (IsLibraryFileName) adds
// the sets it lists, in their place, and a packed library (packed_library.h) the sets it
// holds; any other name is the base name of a set. Throws Error
// as the two openers, or when there are more than kMaxLibrarySets sets in all.
ReferenceLibrary OpenReferenceNames(const std::vector<std::string>& names);

}  // namespace morvik
