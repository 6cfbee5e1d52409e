// The candidate filter: which characters a recognition may answer with, given as a list
// such as "0-9A-Z", and whether a reference of a set is a candidate under it.
#pragma once

#include <bitset>
#include <string>

#include "core/char_map.h"

namespace morvik {

struct CharFilter {
  bool Active = false;     // false: every reference is a candidate
  std::bitset<256> Chars;  // the admitted characters, by code point (a map's Latin-1 byte)
};

// The list's characters (UTF-8, as typed), each on its own or as a range "a-z": a '-' between
// two characters spans both and every code point between them; a '-' at either end of the
// list, or right after a range, stands for itself. Blanks are ignored. A character stands for
// the map byte of its code point (maps hold Latin-1). Throws Error (kUsage) for a list that
// is not UTF-8, names no character, holds a range that runs backwards ("Z-A") or a
// character beyond U+00FF.
CharFilter ParseCharFilter(const std::string& list);

// Whether reference no (1..40) of a set with this map may be ranked. Without an active
// filter every reference may; with one, only a reference whose character (CharMap entry,
// neither 0 nor a blank) the filter admits, so a set without a map offers none.
bool IsCandidate(const CharFilter& filter, const CharMapState& chars, int no);

}  // namespace morvik
