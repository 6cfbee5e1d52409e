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

bool CarriesDetail(const ReferenceLibrary& library) {
  for (const ReferenceSet& set : library.Sets)
    if (set.Detail.Loaded) return true;
  return false;
}

struct Candidate {
  LibraryMatch Match;
  long double Rank = 0;
};

// The line matcher's best `count` references of the last scoring, highest mean first; equal
// means keep set and number order, as RankLibrary ranks them.
std::vector<Candidate> BestByLine(const ReferenceLibrary& library, const CharFilter& filter,
                                  int count) {
  std::vector<Candidate> all;
  for (std::size_t s = 0; s < library.Sets.size(); ++s) {
    const ReferenceSet& set = library.Sets[s];
    for (int k = 1; k <= kReferenceCount; ++k) {
      const double mean = set.Scores.ScoreTable[k].Mean;
      if (!(mean > 0) || !IsCandidate(filter, set.Chars, k)) continue;
      const char c = set.Chars.CharMapLoaded ? set.Chars.CharMap[k] : 0;
      all.push_back(Candidate{LibraryMatch{static_cast<int>(s), k, mean, c}, mean});
    }
  }
  const auto higher = [](const Candidate& a, const Candidate& b) {
    return a.Match.Score > b.Match.Score;
  };
  const std::size_t n = std::min(all.size(), static_cast<std::size_t>(count));
  std::partial_sort(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(n), all.end(),
                    [&](const Candidate& a, const Candidate& b) {
                      if (higher(a, b) || higher(b, a)) return higher(a, b);
                      return a.Match.Set != b.Match.Set ? a.Match.Set < b.Match.Set
                                                        : a.Match.No < b.Match.No;
                    });
  all.resize(n);
  return all;
}

// The second comparison among the line matcher's best: where a reference carries detail, its
// likeness to the cut's detail is added to its line score. The order of equal ranks is kept.
std::array<LibraryMatch, 3> RankByDetail(const ReferenceLibrary& library, const Bitmap& cut,
                                         const CharacterOptions& options) {
  std::vector<Candidate> best = BestByLine(library, options.Filter, options.DetailCandidates);
  const CharacterDetail detail = DetailOf(cut);
  for (Candidate& c : best) {
    const CharacterDetail& ref = library.Sets[static_cast<std::size_t>(c.Match.Set)]
                                     .Detail.Refs[static_cast<std::size_t>(c.Match.No)];
    if (detail.Valid && ref.Valid)
      c.Rank += static_cast<long double>(options.DetailWeight) * DetailSimilarity(detail, ref);
  }
  std::stable_sort(best.begin(), best.end(),
                   [](const Candidate& a, const Candidate& b) { return a.Rank > b.Rank; });
  std::array<LibraryMatch, 3> top{};
  for (std::size_t p = 0; p < top.size() && p < best.size(); ++p) top[p] = best[p].Match;
  return top;
}

}  // namespace

std::array<LibraryMatch, 3> RecognizeCharacter(ReferenceLibrary& library, const Bitmap& cut,
                                               const CharacterOptions& options) {
  // One sampling per distinct image options; most libraries have a single one.
  std::vector<ImageOptions> sampled;
  std::vector<TPattern> patterns;
  std::vector<SetProbe> probes;
  patterns.reserve(library.Sets.size());
  for (const ReferenceSet& set : library.Sets) {
    const EffectiveSettings e = ResolveSettings(set.Settings, options.Overrides);
    std::size_t k = 0;
    while (k < sampled.size() && !SameOptions(sampled[k], e.Image)) ++k;
    if (k == sampled.size()) {
      sampled.push_back(e.Image);
      patterns.push_back(CharacterPattern(cut, e.Image));
    }
    probes.push_back(SetProbe{nullptr, e.Tally});
    probes.back().Test = &patterns[k];  // stable: reserved for every set
  }
  const std::array<LibraryMatch, 3> byLine = RecognizeWithLibrary(library, probes, options.Filter);
  if (options.DetailCandidates <= 0 || !CarriesDetail(library)) return byLine;
  return RankByDetail(library, cut, options);
}

}  // namespace morvik
