#include "reading/character_recognition.h"

#include <vector>

#include "image/picture_loading.h"

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
  return RecognizeWithLibrary(library, probes, options.Filter);
}

}  // namespace morvik
