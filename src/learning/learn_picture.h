// Learning a reference set from a picture whose characters are named in reading order.
#pragma once

#include <string>

#include "image/bitmap.h"
#include "learning/learned_set.h"
#include "library/set_settings.h"
#include "reading/read_picture.h"

namespace morvik {

struct LearnOptions {
  CutOptions Cut;
  SetSettings Overrides;  // image settings and tally given for the run, as for reading
};

// The settings a set learned under these overrides is sampled with and stores: the reading
// defaults (CharacterDefaults) with the overrides applied, every key stored, so the set reads
// the same whatever the defaults become.
SetSettings LearningSettings(const SetSettings& overrides);

// The characters a list names, one byte each as a set's map holds them (Latin-1 above 127):
// as ParseCharList spells them out (blanks dropped). Throws Error (kUsage) for a list
// ParseCharList refuses or a character above U+00FF.
std::string LearnableChars(const std::string& chars);

// A set learned from the picture's characters in reading order as references 1..n; chars
// names them in the same order, blanks in it ignored, ranges such as "0-9A-Z" spelled out as
// ParseCharList does; characters above 255 are refused (a map holds bytes). Empty grid and table
// cells are skipped. Throws Error naming `name` when the picture holds no character, more than 40,
// or a count that differs from the characters named (saying both).
LearnedSet LearnFromPicture(const Bitmap& picture, const std::string& chars,
                            const LearnOptions& options, const std::string& name = "picture");

}  // namespace morvik
