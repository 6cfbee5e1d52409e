// The references whose detail is most like a cut's. The grids of a library's references are
// listed once (read where the sets hold them, in place in a mapped pack), so that the one sum
// of the comparison that depends on both grids is taken for all references in one pass (the
// cut's grid widened once). A reference whose likeness, estimated in double precision, falls
// clearly below the last place is passed over; the others are compared by DetailLikeness
// exactly, so the answer is that of comparing the cut with each reference alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "library/char_filter.h"
#include "library/reference_library.h"
#include "reading/character_detail.h"

namespace morvik {

struct DetailCandidate {
  int Set = 0, No = 0;
  double Likeness = 0;  // DetailSimilarity to the cut
};

// Refers to the library, which must outlive it; only read after it is built, so threads may
// share one.
class DetailShortlist {
 public:
  DetailShortlist() = default;
  // The valid details of the sets that carry detail, of the references the filter admits.
  DetailShortlist(const ReferenceLibrary& library, const CharFilter& filter);

  // The `count` references most like the cut in detail, most alike first; equal likeness
  // goes to the earlier set, then the lower number. Fewer where fewer references qualify.
  std::vector<DetailCandidate> Best(const CharacterDetail& cut, int count) const;

 private:
  struct Entry {
    const CharacterDetail* Detail;
    int Set, No;
  };
  std::vector<Entry> entries_;              // in set and number order
  std::vector<const std::uint8_t*> grids_;  // entries_[i]'s grid
  // The fields the estimate reads, each in an array of its own so that it runs in vectors:
  // LogAspect, LogHeight (0 where unknown), 1 where the height is known else 0, InvNorm, Sum.
  std::vector<double> aspect_, height_, known_, invNorm_, sum_;
};

}  // namespace morvik
