// Learning reference sets through the public API (morvik/learning.h): the engine learns,
// the result is kept as the engine's sets until saved.
#include "morvik/learning.h"
#include "api/read_adapter.h"
#include "api/reading_source.h"
#include "api/session_options.h"
#include "core/char_map.h"
#include "core/file_names.h"
#include "core/normalize.h"
#include "core/pattern_bank.h"
#include "fonts/char_list.h"
#include "fonts/render.h"
#include "image/picture_reader.h"
#include "learning/font_learning.h"
#include "learning/learned_set.h"
#include "library/set_settings.h"
#include "morvik/library.h"
#include "morvik/picture.h"
#include "runs/learning.h"

namespace morvik {

static_assert(kDefaultCapHeight == kDefaultLearnCapHeight && kMaxCapHeight == kMaxRenderSize);

struct LearnedCore {
  std::vector<LearnedSet> Sets;
};

namespace {

LearnedSets Wrap(std::vector<LearnedSet> sets) {
  return LearnedSets(std::make_shared<const LearnedCore>(LearnedCore{std::move(sets)}));
}

// A list that names no character, or that the parser refuses, is a usage fault; the
// parser is the one the learning itself spells the list out with.
template <typename Parse>
void CheckCharList(const std::string& chars, Parse parse) {
  bool none = false;
  try {
    none = parse(chars).empty();
  } catch (const Error& e) {
    throw Error(std::string("the characters: ") + e.what(), ErrorKind::kUsage);
  }
  if (none) throw Error("no characters named to learn", ErrorKind::kUsage);
}

LearnOptions PictureLearnOptions(const std::string& chars, const LearnSettings& settings) {
  CheckCharList(chars, LearnableChars);
  LearnOptions options;
  options.Cut = EngineCutOptions(settings.Cut);
  options.Overrides = EngineOverrides(settings.Sampling);
  return options;
}

CharMapState LoadedMap(const std::string& path) {
  if (!FileExists(path)) throw FileError(path, "character map not found", ErrorKind::kNotFound);
  CharMapState chars;
  if (const std::string problem = LoadCharMap(path, chars); !problem.empty())
    throw FileError(path, problem, ErrorKind::kBadData);
  return chars;
}

}  // namespace

int LearnedSets::References() const {
  int n = 0;
  for (const LearnedSet& set : core_->Sets) n += set.Count;
  return n;
}

int LearnedSets::SetCount() const {
  return static_cast<int>(core_->Sets.size());
}

std::string LearnedSets::Save(const std::string& base) const {
  std::vector<LearnedSet> sets = core_->Sets;  // saving may settle the patterns it writes
  return SaveLearnedSets(base, sets);
}

std::vector<std::string> LearnedSets::Files(const std::string& base) const {
  std::vector<std::string> files;
  for (const std::string& b : LearnedSetBases(base, core_->Sets.size()))
    for (std::string& file : SetFileNames(b, true)) files.push_back(std::move(file));
  if (core_->Sets.size() > 1) files.push_back(base + ".sets");
  return files;
}

LearnedSets LearnPicture(const std::string& path, const std::string& chars,
                         const LearnSettings& settings) {
  const LearnOptions options = PictureLearnOptions(chars, settings);
  return Wrap({LearnFromPicture(PictureOfFile(path), chars, options, path)});
}

LearnedSets LearnPicture(const Picture& picture, const std::string& chars,
                         const LearnSettings& settings, const std::string& name) {
  const LearnOptions options = PictureLearnOptions(chars, settings);
  return Wrap({LearnFromPicture(picture.Core()->Pixels(), chars, options, name)});
}

LearnedSets LearnFont(const std::string& fontFile, const std::string& chars,
                      const std::vector<int>& capHeights, const SamplingOverrides& sampling) {
  CheckCharList(chars, ParseCharList);
  for (const int size : capHeights)
    if (size < 1 || size > kMaxRenderSize)
      throw Error("a cap height is 1 to " + std::to_string(kMaxRenderSize) + " pixels",
                  ErrorKind::kUsage);
  if (capHeights.empty()) throw Error("no cap height to learn at", ErrorKind::kUsage);
  FontLearnOptions options;
  options.CapHeights = capHeights;
  options.Settings = EngineOverrides(sampling);
  return Wrap(LearnFromFont(fontFile, chars, options));
}

LearnedSets LearnFolder(const std::string& folder, const RecognizerOptions& image,
                        const std::string& characterMap) {
  Session session;
  ApplyRecognizerOptions(image, session);
  if (!characterMap.empty()) session.Chars = LoadedMap(characterMap);
  if (!DirectoryExists(folder)) throw FileError(folder, "folder not found", ErrorKind::kNotFound);
  const std::vector<int> learned = LearnReferences(session, folder);
  if (learned.empty())
    throw FileError(folder,
                    "no pictures 1.bmp to 40.bmp (or .png, .pgm, .ppm, .pbm) to learn from");
  ComputeBankSpans(session.Bank);  // as a set is saved from a session
  LearnedSet set;
  set.Bank = session.Bank;
  set.Chars = session.Chars;
  set.Settings = CaptureSetSettings(session.Image, session.Tally);
  set.Count = static_cast<int>(learned.size());
  return Wrap({std::move(set)});
}

}  // namespace morvik
