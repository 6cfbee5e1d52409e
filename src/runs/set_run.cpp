#include "runs/set_run.h"

#include "core/error.h"
#include "image/picture_reader.h"

namespace morvik {

void ApplySetSettings(const SetSettings& s, ImageOptions& image, double& tally) {
  if (s.Black) image.BlackCharacters = *s.Black;
  if (s.AutoCrop) image.Crop = *s.AutoCrop;
  if (s.Autodetect) image.AutoThreshold = *s.Autodetect;
  if (s.Threshold) image.Threshold = *s.Threshold;
  if (s.Increment) image.Increment = *s.Increment;
  if (s.AspectRatioEnable) image.FixedRatio = *s.AspectRatioEnable;
  if (s.AspectRatio) image.Ratio = *s.AspectRatio;
  if (s.Tally) tally = TallyFraction(*s.Tally);
}

namespace {

bool SameOptions(const ImageOptions& a, const ImageOptions& b) {
  return a.BlackCharacters == b.BlackCharacters && a.AutoThreshold == b.AutoThreshold &&
         a.Crop == b.Crop && a.FixedRatio == b.FixedRatio && a.Ratio == b.Ratio &&
         a.Threshold == b.Threshold && a.Increment == b.Increment;
}

}  // namespace

LoadedPicture BlankPicture(const ImageOptions& options) {
  LoadedPicture blank;
  blank.Blank = true;
  blank.Threshold = options.Threshold;
  blank.Increment = options.Increment;
  return blank;
}

SetRunSettings SetRunSettingsOf(const ImageOptions& run, double runTally, const SetSettings& stored,
                                const SetSettings& overrides) {
  SetRunSettings s{run, runTally};
  ApplySetSettings(MergeSettings(stored, overrides), s.Image, s.Tally);
  return s;
}

SetRun MakeSetRun(ReferenceLibrary library, const ImageOptions& run, double runTally,
                  const SetSettings& overrides, const CharMapState& runChars, bool replaceMaps,
                  const CharFilter& filter) {
  if (library.Sets.empty()) throw Error("a run needs at least one reference set");
  SetRun r;
  r.Library = std::move(library);
  r.Filter = filter;
  for (ReferenceSet& set : r.Library.Sets) {
    if (!set.Prepared.Ready) PrepareReferenceSet(set);  // a session's bank, built here
    if (replaceMaps || !set.Chars.CharMapLoaded) {
      set.Chars.CharMap = runChars.CharMap;
      set.Chars.CharMapLoaded = runChars.CharMapLoaded;
    }
    set.Chars.CharCompareMode = runChars.CharCompareMode;
    set.Chars.ExpectedChar = runChars.ExpectedChar;
    r.Settings.push_back(SetRunSettingsOf(run, runTally, set.Settings, overrides));
  }
  return r;
}

bool AnySetMapped(const SetRun& run) {
  for (const ReferenceSet& set : run.Library.Sets)
    if (set.Chars.CharMapLoaded) return true;
  return false;
}

int RunNumber(const LibraryMatch& match, std::size_t setCount) {
  if (match.No == 0 || match.Set < 0) return 0;
  return setCount == 1 ? match.No : kReferenceCount * match.Set + match.No;
}

const CharMapState& MatchChars(const SetRun& run, const LibraryMatch& match) {
  const std::size_t set = match.Set < 0 ? 0 : static_cast<std::size_t>(match.Set);
  return run.Library.Sets.at(set).Chars;
}

SetRunMatch MatchPictureFile(SetRun& run, const std::string& fileName,
                             std::vector<std::string>& failed) {
  return MatchPictureFile(static_cast<const SetRun&>(run), fileName, run.Matched++, failed);
}

SetRunMatch MatchPictureFile(const SetRun& run, const std::string& fileName, std::size_t earlier,
                             std::vector<std::string>& failed) {
  // One sampling per distinct image settings; probes point into `patterns`, which is
  // reserved so that they stay valid.
  const std::size_t count = run.Library.Sets.size();
  std::vector<ImageOptions> options;
  std::vector<LoadedPicture> pictures;
  pictures.reserve(count);
  std::vector<std::size_t> sampling;
  for (const SetRunSettings& s : run.Settings) {
    std::size_t k = 0;
    while (k < options.size() && !SameOptions(options[k], s.Image)) ++k;
    if (k == options.size()) options.push_back(s.Image);
    sampling.push_back(k);
  }
  try {
    const Bitmap bitmap = ReadPictureFile(fileName);
    WithFileName(fileName, [&] {
      for (const ImageOptions& o : options) pictures.push_back(LoadPictureOrBlank(bitmap, o));
    });
  } catch (const Error& e) {
    failed.push_back(e.what());
    pictures.clear();
    for (const ImageOptions& o : options) pictures.push_back(BlankPicture(o));
  }
  std::vector<SetProbe> probes;
  for (std::size_t s = 0; s < count; ++s)
    probes.push_back(SetProbe{&pictures[sampling[s]].Pattern, run.Settings[s].Tally});
  SetRunMatch match;
  match.Best = RecognizeWithLibrary(run.Library, probes, run.Filter, earlier);
  match.Shown = std::move(pictures[sampling[0]]);
  return match;
}

}  // namespace morvik
