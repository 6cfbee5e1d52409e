// Character lists with ranges, as users name the characters to render or learn ("0-9A-Z").
#pragma once

#include <string>

namespace morvik {

// The characters of a UTF-8 list in order. A '-' between two characters is the range between
// them, both ends included; a '-' at the start or the end stands for itself. Throws Error
// (kUsage: the list is what a caller typed) on a reversed range ("9-0") and on text that is
// not UTF-8.
std::u32string ParseCharList(const std::string& list);

}  // namespace morvik
