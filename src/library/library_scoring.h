// Recognising one pattern against every set of a library: each set scored exactly as a run
// scores it alone, then the best three taken over all references of all sets.
#pragma once

#include <array>
#include <bitset>
#include <vector>

#include "core/pattern.h"
#include "library/char_filter.h"
#include "library/reference_library.h"

namespace morvik {

struct LibraryMatch {
  int Set = -1;      // index into ReferenceLibrary::Sets; -1 for no result
  int No = 0;        // reference 1..40; 0 for no result
  double Score = 0;  // the reference's mean of H and V
  char Char = 0;     // the set's character for No; 0 when its map names none
  // How alike the reference's detail is to the character's (-1..1), where the detail ranked
  // it; 0 where the line matcher alone did.
  double Likeness = 0;
};

// Scores test (as a run puts it into slot 41: sampled, not yet normalised) against the
// references of one set, with everything a run does first: the set's references and the
// test are normalised and counted as by NormalizeBank and ComputeBankSpans. Afterwards
// set.Scores.ScoreTable holds H and V of every reference bit for bit as the single-set
// recognition has them, and Mean as UpdateMean forms it. References the filter does not
// admit are not scored (H and V NoScore, Mean 0), which spares their matching.
void ScoreSet(ReferenceSet& set, const TPattern& test, double tally, const CharFilter& filter = {});

// The same for the references marked in `only` (by number 1..40) alone; the others are not
// scored (H and V NoScore, Mean 0). Each marked one scores exactly as under ScoreSet; the
// line profiles of the references are not kept, as few are scored at a time.
using ReferenceMask = std::bitset<kReferenceCount + 1>;
void ScoreSet(ReferenceSet& set, const TPattern& test, double tally, const ReferenceMask& only);

// The best three of the last scores of all sets: positive means only, highest first; equal
// means rank the earlier set first, then the lower number. References the filter does not
// admit are passed over. Missing places have Set -1 and No 0.
std::array<LibraryMatch, 3> RankLibrary(const ReferenceLibrary& library,
                                        const CharFilter& filter = {});

// ScoreSet for every set (the test normalised and profiled once), then RankLibrary.
std::array<LibraryMatch, 3> RecognizeWithLibrary(ReferenceLibrary& library, const TPattern& test,
                                                 double tally, const CharFilter& filter = {});

// The same where sets need their own test pattern or tally (sets learned with different
// image settings): probes[k] for set k, one per set.
struct SetProbe {
  const TPattern* Test = nullptr;
  double Tally = 0;
};
std::array<LibraryMatch, 3> RecognizeWithLibrary(ReferenceLibrary& library,
                                                 const std::vector<SetProbe>& probes,
                                                 const CharFilter& filter = {});

}  // namespace morvik
