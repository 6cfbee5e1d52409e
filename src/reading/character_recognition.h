// Recognising one character cut out of a picture (bright strokes on black) against a reference
// library: sampled under each set's effective settings, scored, best three over all sets.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/pattern.h"
#include "image/bitmap.h"
#include "image/image_options.h"
#include "library/char_filter.h"
#include "library/library_scoring.h"
#include "library/reference_library.h"
#include "library/set_settings.h"
#include "reading/detail_shortlist.h"
#include "segment/grey_image.h"

namespace morvik {

// The defaults for cut characters, where neither the set nor the run says otherwise:
// white characters (cuts are always bright on black), automatic threshold, cropped to the
// strokes, proportions kept, tally 75.
SetSettings CharacterDefaults();

// What a run asks for: options given explicitly win over a set's stored settings, which win
// over CharacterDefaults. The colour is always white: a cut never needs inverting.
struct CharacterOptions {
  SetSettings Overrides;
  CharFilter Filter;
  // Of the sets that carry detail, the DetailCandidates references whose detail is most like
  // the cut's (DetailSimilarity) are scored by the line matcher and ranked by line mean plus
  // DetailWeight times that likeness. Sets without detail are scored whole by the line
  // matcher and ranked by line mean plus DetailWeight times the best candidate's likeness.
  // 0, or a library without any detail, scores and ranks every reference by the line matcher
  // alone, as RecognizeWithLibrary does.
  int DetailCandidates = 6;
  double DetailWeight = 10.0;
};

// The image options and tally a set's references were learned with and a cut is sampled with.
struct EffectiveSettings {
  ImageOptions Image;
  double Tally = 0.75;
};
EffectiveSettings ResolveSettings(const SetSettings& stored, const SetSettings& overrides);

// The pattern of a cut character under the given image options (the test pattern of a run,
// not yet normalised). Throws Error naming `name` for a cut with nothing to sample.
TPattern CharacterPattern(const Bitmap& cut, const ImageOptions& options,
                          const std::string& name = "character");

// What recognising characters with one library under one run's options works out once, not
// for every character: each set's effective settings, and which sets share a sampling. It
// refers to the library, which must outlive it; both are only read, so threads may share them.
struct LibraryReader {
  const ReferenceLibrary* Library = nullptr;
  CharacterOptions Options;
  std::vector<ImageOptions> Samplings;  // the distinct image options of the sets
  std::vector<std::size_t> SamplingOf;  // per set, its index into Samplings
  std::vector<double> Tallies;          // per set
  bool AnyDetail = false;               // whether any set carries detail
  DetailShortlist Shortlist;            // of the sets with detail, where the options use it
};
LibraryReader MakeLibraryReader(const ReferenceLibrary& library, const CharacterOptions& options);

// The best three references of all sets for a cut of the reading path (ScaleCharacter: bright
// on black, no margins). Sets with equal effective settings share one sampling of the cut.
// Each match's Score is its line matcher's mean, also where the detail decided the order.
// `height` is the cut's height against its line's capitals (RelativeHeight); 0 where not
// known leaves heights out of the comparison. Throws Error as SampleCharacter does.
std::array<LibraryMatch, 3> RecognizeCharacter(const LibraryReader& reader, const GreyImage& cut,
                                               std::uint16_t height = 0);

// The same for a cut with CutCharacter's margins, through the one-bitmap route.
std::array<LibraryMatch, 3> RecognizeCharacter(const ReferenceLibrary& library, const Bitmap& cut,
                                               const CharacterOptions& options,
                                               std::uint16_t height = 0);

}  // namespace morvik
