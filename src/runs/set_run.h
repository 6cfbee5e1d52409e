// Folder and batch runs against sets named for the run: every picture sampled under each
// set's own settings and scored as with that set alone, the best three taken over all sets.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/char_map.h"
#include "image/image_options.h"
#include "image/picture_loading.h"
#include "library/char_filter.h"
#include "library/library_scoring.h"
#include "library/reference_library.h"
#include "library/set_settings.h"

namespace morvik {

// The image settings and tally one set is used with in a run.
struct SetRunSettings {
  ImageOptions Image;
  double Tally = 0.75;
};

// The run's own settings, the set's stored ones over them, and the options given explicitly
// for the run over both.
SetRunSettings SetRunSettingsOf(const ImageOptions& run, double runTally, const SetSettings& stored,
                                const SetSettings& overrides);

// The sets of a run with what each is used with. Every set's Chars is the map its answers
// are written with: its own, else the run's (with the run's compare mode).
struct SetRun {
  ReferenceLibrary Library;
  std::vector<SetRunSettings> Settings;  // one per set
  CharFilter Filter;
  // Pictures matched so far: the run's references are normalised once more before each
  // picture, as the single-set run does (PreparedReferences).
  std::size_t Matched = 0;
};

// The run over the library's sets. Sets without a map of their own take runChars; with
// replaceMaps every set takes it (a map named for the run wins). Throws Error for a library
// without sets.
SetRun MakeSetRun(ReferenceLibrary library, const ImageOptions& run, double runTally,
                  const SetSettings& overrides, const CharMapState& runChars, bool replaceMaps,
                  const CharFilter& filter);

// The settings given in s over the image options and tally (a fraction) of a run.
void ApplySetSettings(const SetSettings& s, ImageOptions& image, double& tally);

// Whether any set of the run has a character map, which a filter needs to admit anything.
bool AnySetMapped(const SetRun& run);

// The number result.txt holds for a match: with one set the reference's own number, with
// several 40 x (set index) + number, unique over the run; 0 for no match.
int RunNumber(const LibraryMatch& match, std::size_t setCount);

// The map a match is written with: its set's; the first set's for no match.
const CharMapState& MatchChars(const SetRun& run, const LibraryMatch& match);

// One picture of the run.
struct SetRunMatch {
  std::array<LibraryMatch, 3> Best{};  // best first; Set -1 and No 0 where nothing scored
  LoadedPicture Shown;                 // the picture as sampled for the first set
};

// Reads the picture once and samples it once per distinct image settings of the sets. A
// picture that cannot be read counts as blank (no match) and its problem, naming the file,
// is appended to failed.
SetRunMatch MatchPictureFile(SetRun& run, const std::string& fileName,
                             std::vector<std::string>& failed);

// The same as the picture after `earlier` others of the run sees it, leaving the run as it
// is: threads may match pictures of one run at once.
SetRunMatch MatchPictureFile(const SetRun& run, const std::string& fileName, std::size_t earlier,
                             std::vector<std::string>& failed);

// What a picture that cannot be read, or that is blank, counts as: no pattern, matching
// nothing, sampled at the run's threshold and increment.
LoadedPicture BlankPicture(const ImageOptions& options);

}  // namespace morvik
