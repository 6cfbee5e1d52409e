// The options several routes of the command line share, defined once: name, value, help
// line and how the value is read. Each route builds its getopt_long table from its own
// options and the shared ones it takes, and hands a shared option to ApplySharedOption; what
// a value means when the option is not given (a route's defaults) stays with the route.
#pragma once

#include <getopt.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "morvik/settings.h"

namespace morvik {

// Ids of the shared options, apart from every route's own ids (256 up) and short options.
enum SharedOptionId {
  kOptHelp = 'h',
  kOptTally = 1000,
  kOptThreshold,
  kOptIncrement,
  kOptRatio,
  kOptCrop,
  kOptNoCrop,
  kOptNoAuto,
  kOptBlack,
  kOptSet,
  kOptCharmap,
  kOptChars,
  kOptSave,
  kOptJobs,
};

// What the shared options given say.
struct SharedValues {
  SamplingOverrides Sampling;  // --tally, --threshold, --increment, --ratio, --[no-]crop, --no-auto
  bool Black = false;          // --black
  std::vector<std::string> Sets;  // --set, in their order
  std::optional<std::string> Charmap, Chars, Save;
  unsigned Jobs = 0;  // --jobs; 0: one thread a core
  bool Help = false;
};

// getopt_long's table: the route's own options, then the shared ones it takes, then the end.
std::vector<option> OptionTable(std::initializer_list<option> own,
                                std::initializer_list<SharedOptionId> shared);

// Takes a shared option's value into values. Returns false for an id that names none.
// Throws UsageError for a value the option refuses (a number out of range, an empty name).
bool ApplySharedOption(SharedValues& values, int id, const std::string& value);

// The help lines of the shared options named, in that order:
// "  --threshold N      threshold in percent, 0..100". Options whose meaning differs between
// the routes (--set, --charmap, --chars, --save, --no-crop, --jobs) have none: each route says it.
std::string SharedHelp(std::initializer_list<SharedOptionId> shared);

// What a route's --chars names: the characters to answer with, those of a picture to learn in
// reading order, or those to render from a font.
enum class CharsUse { kAnswer, kLearnPicture, kFont };

// Checks --chars, when given, before any work: a list that cannot be used for `use` is a
// usage fault, "--chars: <problem>".
void CheckCharsOption(const std::optional<std::string>& chars, CharsUse use);

}  // namespace morvik
