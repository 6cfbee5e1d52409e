// The command that learns reference sets from a font file:
//   morvik --learn-font FILE --chars CHARS [--size PX]... --save BASE
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace morvik {

// Whether the arguments ask for this command (any of them is --learn-font).
bool IsFontCommand(const std::vector<std::string>& args);

// Learns the characters of the font at each size (cap height in pixels; --size may be given
// several times or as a list "24,48"; 40 when not given) and saves them under BASE: one set
// as BASE.PCP and its companions, more than 40 references as BASE-1, BASE-2, ... listed in
// BASE.sets. Relative names are taken against startFolder. Prints what it saved on out;
// diagnostics begin with "morvik: " on err. Returns 0 when saved, 1 when the font cannot be
// read or lacks a character or a file cannot be written, 3 for bad or missing options.
int RunFontCommand(const std::vector<std::string>& args, const std::string& startFolder,
                   std::ostream& out, std::ostream& err);

}  // namespace morvik
