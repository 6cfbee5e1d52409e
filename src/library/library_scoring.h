// Recognising one pattern against every set of a library: each set scored exactly as a run
// scores it alone, then the best three taken over all references of all sets. The library is
// only read; what one scoring needs is the caller's, so threads may share a library.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "core/pattern.h"
#include "core/scoring.h"
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

// The one ranking of candidates: the three of highest rank, equal ranks going to the earlier
// set, then the lower number, whatever order they are offered in. Missing places have Set -1
// and No 0. A distinct ranking keeps one place per character (its best rank), so that the
// places after the first offer other characters rather than the same one from other sets.
class BestThree {
 public:
  explicit BestThree(bool distinct = false) : distinct_(distinct) {}
  void Offer(const LibraryMatch& match, long double rank);
  // Whether offering a match of character c at a rank of at most `rank` (an upper bound) would
  // change nothing now: three places held above it, or, when distinct, c's place held above it.
  bool Refuses(char c, long double rank) const;
  const std::array<LibraryMatch, 3>& Matches() const { return best_; }

 private:
  std::array<LibraryMatch, 3> best_{};
  std::array<long double, 3> rank_{};
  bool distinct_ = false;
};

// H, V and Mean of references 1..40 (index 0 unused) for one test.
using ScoreTable = std::array<TScoreEntry, kReferenceCount + 1>;

// A test (as a run puts it into slot 41: sampled, not yet normalised) normalised, counted
// and profiled, once for every set it is scored against.
struct PreparedTest {
  TPattern Pattern;
  TLineProfiles Rows, Columns;
};
PreparedTest PrepareTest(const TPattern& test);

// Which passes of a set's references a scoring sees (PreparedReferences): `earlier` images of
// the same run came before it. A run of many images counts them; reading takes the settled
// references.
constexpr std::size_t kSettled = SIZE_MAX;

// The scores of the test against one prepared set, bit for bit as the single-set recognition
// of a run has them after `earlier` images: H and V of every reference, Mean as UpdateMean
// forms it. References the filter does not admit are not scored (H and V NoScore, Mean 0).
// Throws Error for a set that was not prepared.
ScoreTable ScoreSet(const ReferenceSet& set, const PreparedTest& test, double tally,
                    const CharFilter& filter = {}, std::size_t earlier = kSettled);

// The entry of the settled reference `no` (1..40) alone, as ScoreSet has it; for scoring a
// few candidates of a set without passing its other references.
TScoreEntry ScoreReference(const ReferenceSet& set, const PreparedTest& test, double tally, int no);

// The lines ScoreReference matches the test's rows and columns with, for a caller that
// matches the rows first and the columns only where the mean can still count. Both null
// where the test or the reference is empty (ScoreReference scores nothing). Valid until the
// thread scores another reference.
struct ReferenceLines {
  const TLineProfiles* Rows = nullptr;
  const TLineProfiles* Columns = nullptr;
};
ReferenceLines SettledLines(const ReferenceSet& set, const PreparedTest& test, int no);

// The Mean UpdateMean forms from scores h and v (never NoScore); it never falls as v rises.
double MeanOf(double h, double v);

// Never below ScoreReference(set, test, tally, no).Mean: from the line counts alone, for
// passing over a candidate that cannot rank among the best however its lines match.
double MeanBound(const ReferenceSet& set, const PreparedTest& test, int no);

// ScoreSet for every set (the test prepared once), ranked by mean: positive means only.
std::array<LibraryMatch, 3> RecognizeWithLibrary(const ReferenceLibrary& library,
                                                 const TPattern& test, double tally,
                                                 const CharFilter& filter = {},
                                                 std::size_t earlier = kSettled);

// The same where sets need their own test pattern or tally (sets learned with different
// image settings): probes[k] for set k, one per set.
struct SetProbe {
  const TPattern* Test = nullptr;
  double Tally = 0;
};
std::array<LibraryMatch, 3> RecognizeWithLibrary(const ReferenceLibrary& library,
                                                 const std::vector<SetProbe>& probes,
                                                 const CharFilter& filter = {},
                                                 std::size_t earlier = kSettled);

// The character the set's map gives reference `no`, 0 where it has no map.
inline char MappedChar(const ReferenceSet& set, int no) {
  return set.Chars.CharMapLoaded ? set.Chars.CharMap[static_cast<std::size_t>(no)] : 0;
}

}  // namespace morvik
