// A reference set learned from a picture or a font: its references, its characters and the
// settings it was learned with, saved as set files with their own map and settings.
#pragma once

#include <string>
#include <vector>

#include "core/char_map.h"
#include "core/pattern_bank.h"
#include "core/safe_write.h"
#include "library/set_detail.h"
#include "library/set_settings.h"

namespace morvik {

struct LearnedSet {
  TPatternBank Bank;     // references in slots 1..Count, the last one learned in slot 41
  CharMapState Chars;    // slot n stands for Chars.CharMap[n]
  SetSettings Settings;  // what the references were sampled with
  int Count = 0;         // slots used, 0..40
  SetDetail Detail;      // the references' finer detail, where the learning kept it
};

// Saves one set as "<base>.PCP", "<base>.PCT", "<base>.charmap.txt" and "<base>.set.ini",
// with "<base>.detail" when it holds any detail (a sidecar the set does not need is removed).
// The set is saved whole or not at all: every file is written beside its name first, then
// all are renamed into place, and a failure puts back the old files. Links where the files
// go are replaced, never followed. Throws Error naming the file that could not be written.
void SaveLearnedSet(const std::string& base, LearnedSet& set);
// The same as steps of a group of files saved together.
void StageLearnedSet(ReplacementGroup& group, const std::string& base, LearnedSet& set);

// One set is saved under base itself. Several are saved as "<base>-1", "<base>-2", ... with
// a library file "<base>.sets" listing them in order. Returns what a run names to use them
// all: base, or "<base>.sets". All the files are saved as one, as SaveLearnedSet's are.
// Throws Error as SaveLearnedSet.
std::string SaveLearnedSets(const std::string& base, std::vector<LearnedSet>& sets);

// The bases SaveLearnedSets saves `count` sets under: base itself for one, else
// "<base>-1" .. "<base>-<count>".
std::vector<std::string> LearnedSetBases(const std::string& base, std::size_t count);

}  // namespace morvik
