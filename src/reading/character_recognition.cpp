#include "reading/character_recognition.h"

#include <vector>

#include "image/picture_loading.h"
#include "reading/character_detail.h"
#include "reading/character_sampling.h"

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

// The cut's patterns, one per sampling of the reader, normalised and profiled for scoring.
struct Sampled {
  std::vector<TPattern> Patterns;
  std::vector<PreparedTest> Tests;
};

// The fewest of `count` lines matched whose rank (rankOf, rising with the lines matched) the
// best three would not refuse; count + 1 where they would refuse even every line matched.
template <typename RankOf>
int LeastMatched(const BestThree& best, char ch, int count, RankOf rankOf) {
  int lo = 0, hi = count + 1;  // refused below lo; not refused at hi, unless hi is count + 1
  while (lo < hi) {
    const int mid = lo + (hi - lo) / 2;
    if (best.Refuses(ch, rankOf(mid)))
      lo = mid + 1;
    else
      hi = mid;
  }
  return lo;
}

// The line matcher on the candidates alone, ranked by line mean plus the weighted likeness.
// Candidates the line matcher finds nothing alike in (mean 0) are not answers.
void RankCandidates(const LibraryReader& reader, const std::vector<DetailCandidate>& candidates,
                    const Sampled& sampled, BestThree& best) {
  const ReferenceLibrary& library = *reader.Library;
  const long double weight = reader.Options.DetailWeight;
  for (const DetailCandidate& c : candidates) {
    const std::size_t s = static_cast<std::size_t>(c.Set);
    const ReferenceSet& set = library.Sets[s];
    const PreparedTest& test = sampled.Tests[reader.SamplingOf[s]];
    const char ch = MappedChar(set, c.No);
    const long double bonus = weight * c.Likeness;
    // The rank rises with the mean, so the mean's bound bounds it.
    if (best.Refuses(ch, MeanBound(set, test, c.No) + bonus)) continue;
    const ReferenceLines lines = SettledLines(set, test, c.No);
    if (lines.Rows == nullptr) continue;  // nothing to score: a mean of 0
    const double tally = reader.Tallies[s];
    // The rows first, with the columns at their bound, then the columns with the rows' score:
    // the matcher stops where too few lines can match for a place.
    const int nT = test.Rows.Count, nR = lines.Rows->Count;
    const int mT = test.Columns.Count, mR = lines.Columns->Count;
    const double columnsBound = MatchSequencesBound(mT, mR);
    const int rowsNeeded = LeastMatched(best, ch, nT, [&](int m) {
      return MeanOf(SequenceScoreOf(m, nT, nR), columnsBound) + bonus;
    });
    if (rowsNeeded > nT) continue;
    const double h = MatchSequencesAtLeast(test.Rows, *lines.Rows, tally, rowsNeeded);
    if (h < 0) continue;
    const int columnsNeeded = LeastMatched(
        best, ch, mT, [&](int m) { return MeanOf(h, SequenceScoreOf(m, mT, mR)) + bonus; });
    if (columnsNeeded > mT) continue;
    const double v = MatchSequencesAtLeast(test.Columns, *lines.Columns, tally, columnsNeeded);
    if (v < 0) continue;
    const double mean = MeanOf(h, v);
    if (!(mean > 0)) continue;
    best.Offer(LibraryMatch{c.Set, c.No, mean, ch, c.Likeness}, mean + bonus);
  }
}

// Every reference of the sets without detail, by the line matcher alone. Their rank gives
// them the likeness of the likeliest detail candidate: between them and it the line mean
// decides, and the detail still orders the candidates of the sets that carry it.
void RankWithoutDetail(const LibraryReader& reader, const Sampled& sampled, long double bonus,
                       BestThree& best) {
  const ReferenceLibrary& library = *reader.Library;
  const CharFilter& filter = reader.Options.Filter;
  for (std::size_t s = 0; s < library.Sets.size(); ++s) {
    const ReferenceSet& set = library.Sets[s];
    if (set.Detail.Loaded) continue;
    const ScoreTable table =
        ScoreSet(set, sampled.Tests[reader.SamplingOf[s]], reader.Tallies[s], filter);
    for (int k = 1; k <= kReferenceCount; ++k) {
      const double mean = table[k].Mean;
      if (!(mean > 0) || !IsCandidate(filter, set.Chars, k)) continue;
      best.Offer(LibraryMatch{static_cast<int>(s), k, mean, MappedChar(set, k)}, mean + bonus);
    }
  }
}

// Sets that carry detail are first narrowed down by it: comparing the grids costs a fraction
// of the line matcher, which then looks only at the likeliest references. Sets without
// detail are scored whole by the line matcher beside them. detailOf() gives the cut's detail.
template <typename DetailOfCut>
std::array<LibraryMatch, 3> Recognize(const LibraryReader& reader, Sampled& sampled,
                                      DetailOfCut detailOf) {
  const ReferenceLibrary& library = *reader.Library;
  const CharacterOptions& options = reader.Options;
  if (options.DetailCandidates > 0 && reader.AnyDetail) {
    const CharacterDetail detail = detailOf();
    if (detail.Valid) {
      for (const TPattern& p : sampled.Patterns) sampled.Tests.push_back(PrepareTest(p));
      const std::vector<DetailCandidate> candidates =
          reader.Shortlist.Best(detail, options.DetailCandidates);
      BestThree best(/*distinct=*/true);  // reading only: its places go to word rules
      RankCandidates(reader, candidates, sampled, best);
      const long double bonus =
          candidates.empty()
              ? 0.0L
              : static_cast<long double>(options.DetailWeight) * candidates.front().Likeness;
      RankWithoutDetail(reader, sampled, bonus, best);
      return best.Matches();
    }
  }
  std::vector<SetProbe> probes;
  for (std::size_t s = 0; s < library.Sets.size(); ++s)
    probes.push_back(SetProbe{&sampled.Patterns[reader.SamplingOf[s]], reader.Tallies[s]});
  return RecognizeWithLibrary(library, probes, options.Filter);
}

}  // namespace

LibraryReader MakeLibraryReader(const ReferenceLibrary& library, const CharacterOptions& options) {
  LibraryReader r;
  r.Library = &library;
  r.Options = options;
  for (const ReferenceSet& set : library.Sets) {
    const EffectiveSettings e = ResolveSettings(set.Settings, options.Overrides);
    std::size_t k = 0;
    while (k < r.Samplings.size() && !SameOptions(r.Samplings[k], e.Image)) ++k;
    if (k == r.Samplings.size()) r.Samplings.push_back(e.Image);
    r.SamplingOf.push_back(k);
    r.Tallies.push_back(e.Tally);
    r.AnyDetail = r.AnyDetail || set.Detail.Loaded;
  }
  if (r.AnyDetail && options.DetailCandidates > 0)
    r.Shortlist = DetailShortlist(library, r.Options.Filter);
  return r;
}

std::array<LibraryMatch, 3> RecognizeCharacter(const LibraryReader& reader, const GreyImage& cut,
                                               std::uint16_t height) {
  Sampled sampled;
  for (const ImageOptions& o : reader.Samplings)
    sampled.Patterns.push_back(SampleCharacter(cut, o));
  return Recognize(reader, sampled, [&] { return DetailOf(cut, height); });
}

std::array<LibraryMatch, 3> RecognizeCharacter(const ReferenceLibrary& library, const Bitmap& cut,
                                               const CharacterOptions& options,
                                               std::uint16_t height) {
  const LibraryReader reader = MakeLibraryReader(library, options);
  Sampled sampled;
  for (const ImageOptions& o : reader.Samplings)
    sampled.Patterns.push_back(CharacterPattern(cut, o));
  return Recognize(reader, sampled, [&] { return DetailOf(cut, height); });
}

}  // namespace morvik
