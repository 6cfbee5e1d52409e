#include "reading/character_recognition.h"

#include <algorithm>
#include <vector>

#include "image/picture_loading.h"
#include "reading/character_detail.h"

namespace morvik {

SetSettings CharacterDefaults() {
  SetSettings s;
  s.Black = false;
  s.AutoCrop = true;
  s.Autodetect = true;
  s.Threshold = 45;
  s.Increment = 50;
  s.AspectRatioEnable = false;
  s.AspectRatio = 100;
  s.Tally = 75;
  return s;
}

EffectiveSettings ResolveSettings(const SetSettings& stored, const SetSettings& overrides) {
  const SetSettings s = MergeSettings(MergeSettings(CharacterDefaults(), stored), overrides);
  EffectiveSettings e;
  e.Image.BlackCharacters = false;
  e.Image.AutoThreshold = *s.Autodetect;
  e.Image.Crop = *s.AutoCrop;
  e.Image.FixedRatio = *s.AspectRatioEnable;
  e.Image.Ratio = *s.AspectRatio;
  e.Image.Threshold = *s.Threshold;
  e.Image.Increment = *s.Increment;
  e.Tally = TallyFraction(*s.Tally);
  return e;
}

TPattern CharacterPattern(const Bitmap& cut, const ImageOptions& options, const std::string& name) {
  return LoadPicture(cut, options, name).Pattern;
}

namespace {

bool SameOptions(const ImageOptions& a, const ImageOptions& b) {
  return a.BlackCharacters == b.BlackCharacters && a.AutoThreshold == b.AutoThreshold &&
         a.Crop == b.Crop && a.FixedRatio == b.FixedRatio && a.Ratio == b.Ratio &&
         a.Threshold == b.Threshold && a.Increment == b.Increment;
}

// The cut sampled once per distinct image options; probes[k] for set k.
struct Samplings {
  std::vector<ImageOptions> Options;
  std::vector<TPattern> Patterns;
  std::vector<SetProbe> Probes;
};

void Sample(const ReferenceLibrary& library, const Bitmap& cut, const SetSettings& overrides,
            Samplings& out) {
  out.Patterns.reserve(library.Sets.size());
  for (const ReferenceSet& set : library.Sets) {
    const EffectiveSettings e = ResolveSettings(set.Settings, overrides);
    std::size_t k = 0;
    while (k < out.Options.size() && !SameOptions(out.Options[k], e.Image)) ++k;
    if (k == out.Options.size()) {
      out.Options.push_back(e.Image);
      out.Patterns.push_back(CharacterPattern(cut, e.Image));
    }
    out.Probes.push_back(SetProbe{&out.Patterns[k], e.Tally});  // stable: reserved
  }
}

bool AnyCarriesDetail(const ReferenceLibrary& library) {
  for (const ReferenceSet& set : library.Sets)
    if (set.Detail.Loaded) return true;
  return false;
}

struct Candidate {
  int Set = 0, No = 0;
  double Likeness = 0;  // DetailSimilarity to the cut
};

// The `count` references most like the cut in detail, most alike first; equal likeness
// keeps set and number order. Only references the filter admits. Kept as a short sorted
// list while all references pass by: most fall below its last place at once, many on their
// proportions alone.
std::vector<Candidate> BestByDetail(const ReferenceLibrary& library, const CharacterDetail& cut,
                                    const CharFilter& filter, int count) {
  std::vector<Candidate> best;
  // No more places than references, whatever count asks for.
  const std::size_t room =
      std::min(static_cast<std::size_t>(count), library.Sets.size() * kReferenceCount);
  best.reserve(room + 1);
  for (std::size_t s = 0; s < library.Sets.size(); ++s) {
    const ReferenceSet& set = library.Sets[s];
    if (!set.Detail.Loaded) continue;
    for (int k = 1; k <= kReferenceCount; ++k) {
      const CharacterDetail& ref = set.Detail.Refs[static_cast<std::size_t>(k)];
      if (!ref.Valid || !IsCandidate(filter, set.Chars, k)) continue;
      const bool full = best.size() == room;
      const long double penalty = DetailPenalty(cut, ref);
      if (full && !(DetailSimilarityBound(penalty) > best.back().Likeness)) continue;
      const double likeness = DetailSimilarity(cut, ref, penalty);
      if (full && !(likeness > best.back().Likeness)) continue;
      auto at = best.end();
      while (at != best.begin() && likeness > (at - 1)->Likeness) --at;
      best.insert(at, Candidate{static_cast<int>(s), k, likeness});
      if (best.size() > room) best.pop_back();
    }
  }
  return best;
}

struct Ranked {
  LibraryMatch Match;
  long double Rank;
};

// The line matcher on the candidates alone, ranked by line mean plus the weighted likeness.
// Candidates the line matcher finds nothing alike in (mean 0) are not answers.
void RankCandidates(ReferenceLibrary& library, const std::vector<Candidate>& candidates,
                    const Samplings& sampled, double weight, std::vector<Ranked>& ranked) {
  std::vector<ReferenceMask> masks(library.Sets.size());
  for (const Candidate& c : candidates) masks[static_cast<std::size_t>(c.Set)].set(c.No);
  for (std::size_t s = 0; s < library.Sets.size(); ++s)
    if (masks[s].any())
      ScoreSet(library.Sets[s], *sampled.Probes[s].Test, sampled.Probes[s].Tally, masks[s]);
  for (const Candidate& c : candidates) {
    const ReferenceSet& set = library.Sets[static_cast<std::size_t>(c.Set)];
    const double mean = set.Scores.ScoreTable[c.No].Mean;
    if (!(mean > 0)) continue;
    const char ch = set.Chars.CharMapLoaded ? set.Chars.CharMap[c.No] : 0;
    ranked.push_back(Ranked{LibraryMatch{c.Set, c.No, mean, ch, c.Likeness},
                            mean + static_cast<long double>(weight) * c.Likeness});
  }
}

// Every reference of the sets without detail, by the line matcher alone. Their rank gives
// them the likeness of the likeliest detail candidate: between them and it the line mean
// decides, and the detail still orders the candidates of the sets that carry it.
void RankWithoutDetail(ReferenceLibrary& library, const Samplings& sampled,
                       const CharFilter& filter, long double bonus, std::vector<Ranked>& ranked) {
  for (std::size_t s = 0; s < library.Sets.size(); ++s) {
    ReferenceSet& set = library.Sets[s];
    if (set.Detail.Loaded) continue;
    ScoreSet(set, *sampled.Probes[s].Test, sampled.Probes[s].Tally, filter);
    for (int k = 1; k <= kReferenceCount; ++k) {
      const double mean = set.Scores.ScoreTable[k].Mean;
      if (!(mean > 0) || !IsCandidate(filter, set.Chars, k)) continue;
      const char ch = set.Chars.CharMapLoaded ? set.Chars.CharMap[k] : 0;
      ranked.push_back(Ranked{LibraryMatch{static_cast<int>(s), k, mean, ch}, mean + bonus});
    }
  }
}

// The best three by rank; equal ranks keep set and number order.
std::array<LibraryMatch, 3> BestRanked(std::vector<Ranked>& ranked) {
  std::stable_sort(ranked.begin(), ranked.end(), [](const Ranked& a, const Ranked& b) {
    if (a.Rank != b.Rank) return a.Rank > b.Rank;
    if (a.Match.Set != b.Match.Set) return a.Match.Set < b.Match.Set;
    return a.Match.No < b.Match.No;
  });
  std::array<LibraryMatch, 3> top{};
  for (std::size_t p = 0; p < top.size() && p < ranked.size(); ++p) top[p] = ranked[p].Match;
  return top;
}

}  // namespace

std::array<LibraryMatch, 3> RecognizeCharacter(ReferenceLibrary& library, const Bitmap& cut,
                                               const CharacterOptions& options,
                                               std::uint16_t height) {
  Samplings sampled;
  Sample(library, cut, options.Overrides, sampled);
  // Sets that carry detail are first narrowed down by it: comparing the grids costs a
  // fraction of the line matcher, which then looks only at the likeliest references. Sets
  // without detail are scored whole by the line matcher beside them.
  if (options.DetailCandidates > 0 && AnyCarriesDetail(library)) {
    const CharacterDetail detail = DetailOf(cut, height);
    if (detail.Valid) {
      const std::vector<Candidate> candidates =
          BestByDetail(library, detail, options.Filter, options.DetailCandidates);
      std::vector<Ranked> ranked;
      RankCandidates(library, candidates, sampled, options.DetailWeight, ranked);
      const long double bonus =
          candidates.empty()
              ? 0.0L
              : static_cast<long double>(options.DetailWeight) * candidates.front().Likeness;
      RankWithoutDetail(library, sampled, options.Filter, bonus, ranked);
      return BestRanked(ranked);
    }
  }
  return RecognizeWithLibrary(library, sampled.Probes, options.Filter);
}

}  // namespace morvik
