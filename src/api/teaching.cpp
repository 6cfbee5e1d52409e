// Teaching a user library from corrections (morvik/teaching.h): each corrected box is sampled
// as reading sampled it and stored as a learned picture's references are, and the files it
// replaced are kept, before and after, so that the teaching can be undone exactly.
#include "morvik/teaching.h"

#include <algorithm>
#include <optional>

#include "api/library_core.h"
#include "api/read_adapter.h"
#include "api/reading_source.h"
#include "core/file_names.h"
#include "core/regular_file.h"
#include "core/set_files.h"
#include "fonts/utf8.h"
#include "learning/learned_set.h"
#include "library/set_char_map.h"
#include "reading/character_detail.h"
#include "reading/character_height.h"

namespace morvik {

struct TeachingCore {
  GreyImage Grey;
  bool DarkOnLight = true;
  std::vector<std::vector<CharBox>> Lines;  // the boxes as the reading read them
};

// One file a teaching replaced: its contents before (none: it was not there) and after.
struct TouchedFile {
  std::string Path;
  std::optional<std::string> Before, After;
};

struct TeachingRecord {
  std::vector<TouchedFile> Files;
};

namespace {

constexpr std::size_t kMostSetFileBytes = 1024 * 1024;  // far above any set file's size

bool SameBox(const CharBox& a, const PictureBox& b) {
  return a.Left == b.Left && a.Top == b.Top && a.Width == b.Width && a.Height == b.Height;
}

// The box with its line's capital height; kUsage when the reading holds no such box.
std::pair<CharBox, int> FindBox(const TeachingCore& core, const PictureBox& box) {
  for (const std::vector<CharBox>& line : core.Lines)
    for (const CharBox& c : line)
      if (!c.Empty && SameBox(c, box)) return {c, LineCapHeight(line)};
  throw Error("no character of the reading at " + std::to_string(box.Left) + "," +
                  std::to_string(box.Top) + " " + std::to_string(box.Width) + "x" +
                  std::to_string(box.Height),
              ErrorKind::kUsage);
}

// A correction's character as the byte a set's map holds.
char MapByte(const std::string& text) {
  std::u32string code;
  try {
    code = DecodeUtf8(text);
  } catch (const Error&) {
    code.clear();
  }
  const bool one = code.size() == 1;
  const char32_t c = one ? code[0] : 0;
  if (!one || c < 0x21 || c > 0xFF || (c >= 0x7F && c <= 0x9F))
    throw Error("a correction names one printable character up to U+00FF, not \"" + text + "\"",
                ErrorKind::kUsage);
  return static_cast<char>(static_cast<unsigned char>(c));
}

struct Sampled {
  TPattern Pattern;
  CharacterDetail Detail;
};

Sampled Sample(const TeachingCore& core, const PictureBox& box, const SetSettings& settings) {
  const auto [found, capHeight] = FindBox(core, box);
  const Bitmap character = RecognitionCut(core.Grey, found, core.DarkOnLight);
  const EffectiveSettings e = ResolveSettings(settings, {});
  return {CharacterPattern(character, e.Image, "the corrected character"),
          DetailOf(character, RelativeHeight(found.Height, capHeight))};
}

// The file of exactly that name (the writers replace that name, whatever the case of others).
std::optional<std::string> Contents(const std::string& path) {
  if (ResolveFileName(path) != path || !FileExists(path)) return std::nullopt;
  return ReadRegularFile(path, kMostSetFileBytes);
}

std::string LibraryStem(const std::string& path) {
  return path.substr(0, path.size() - 5);  // without ".sets"
}

// The references a set holds: up to its last named or marked slot.
int UsedSlots(const ReferenceSet& set) {
  for (int n = kReferenceCount; n >= 1; --n)
    if (set.Chars.CharMap[static_cast<std::size_t>(n)] != 0 || set.Bank.Slot(n).MaxLevel > 0)
      return n;
  return 0;
}

// The set as stored: its references as read, not as opening settles them, so that the
// records of those already there are written back as they were.
LearnedSet Learned(const std::string& base) {
  const ReferenceSet set = OpenReferenceSet(base);  // refuses a set a reading could not use
  LearnedSet learned;
  LoadReferenceFile(ResolveFileName(base + ".PCP"), learned.Bank);
  LoadTestFile(ResolveFileName(base + ".PCT"), learned.Bank);
  learned.Chars = set.Chars;
  learned.Settings = set.Settings;
  learned.Detail = set.Detail;
  learned.Count = UsedSlots(set);
  return learned;
}

LearnedSet NewSet(const SamplingOverrides& sampling) {
  LearnedSet set;
  set.Settings = LearningSettings(EngineOverrides(sampling));
  set.Chars.CharMapLoaded = true;
  set.Chars.CharMap[0] = ' ';  // as a learned picture's: "no pattern" reads as a blank
  return set;
}

std::string FreeBase(const std::string& stem, const std::vector<std::string>& taken) {
  for (int k = 1;; ++k) {
    const std::string base = stem + "-" + std::to_string(k);
    if (std::find(taken.begin(), taken.end(), base) == taken.end() &&
        !FileExists(ResolveFileName(base + ".PCP")))
      return base;
  }
}

std::vector<std::string> SetFiles(const std::string& base) {
  return {ResolveFileName(base + ".PCP"), ResolveFileName(base + ".PCT"), SetCharMapPath(base),
          SetSettingsPath(base), SetDetailPath(base)};
}

// The sets a teaching writes, in library order, and the library file's list.
struct Plan {
  std::vector<std::string> Bases;  // every set of the library file, in order
  bool NewList = false;            // the library file changes
  std::vector<std::pair<std::string, LearnedSet>> Written;
};

Plan Prepare(const std::string& libraryFile, const SamplingOverrides& sampling) {
  Plan plan;
  if (FileExists(libraryFile)) plan.Bases = ReadLibraryFile(libraryFile);
  if (plan.Bases.empty()) {
    plan.NewList = true;
    plan.Bases.push_back(FreeBase(LibraryStem(libraryFile), {}));
    plan.Written.emplace_back(plan.Bases.back(), NewSet(sampling));
  } else {
    plan.Written.emplace_back(plan.Bases.back(), Learned(plan.Bases.back()));
  }
  return plan;
}

void Add(Plan& plan, const TeachingCore& core, const Correction& c, const std::string& stem,
         const SamplingOverrides& sampling) {
  if (plan.Written.back().second.Count >= kReferenceCount) {
    plan.Bases.push_back(FreeBase(stem, plan.Bases));
    plan.Written.emplace_back(plan.Bases.back(), NewSet(sampling));
    plan.NewList = true;
  }
  LearnedSet& set = plan.Written.back().second;
  const char byte = MapByte(c.Text);
  const Sampled s = Sample(core, c.Box, set.Settings);
  const int n = ++set.Count;
  set.Bank.TestPattern() = s.Pattern;
  CopyPattern(s.Pattern, set.Bank.Slot(n));
  set.Chars.CharMap[static_cast<std::size_t>(n)] = byte;
  set.Chars.CharMapLoaded = true;
  set.Detail.Ref(static_cast<std::size_t>(n)) = s.Detail;
  set.Detail.Loaded = true;
}

std::vector<std::string> TouchedPaths(const std::string& libraryFile, const Plan& plan) {
  std::vector<std::string> paths;
  for (const auto& written : plan.Written)
    for (const std::string& path : SetFiles(written.first)) paths.push_back(path);
  if (plan.NewList) paths.push_back(libraryFile);
  return paths;
}

}  // namespace

TeachingPicture::TeachingPicture(const void* data, std::size_t size, const Reading& reading,
                                 const std::string& name) {
  if (!reading.Source) throw Error("the reading carries no cut to teach from", ErrorKind::kUsage);
  auto core = std::make_shared<TeachingCore>();
  core->Grey = ReadingGrey(PictureOfBytes(data, size, name));
  const Segmentation& cut = reading.Source->Engine.Cut;
  core->DarkOnLight = cut.DarkOnLight;
  for (const TextLine& line : cut.Lines) core->Lines.push_back(line.Chars);
  core_ = std::move(core);
}

CellPattern TeachingPicture::PatternOf(const PictureBox& box) const {
  const Sampled s = Sample(*core_, box, LearningSettings({}));
  CellPattern p;
  for (std::size_t k = 0; k < p.Level.size(); ++k) {
    p.Marked[k] = s.Pattern.Cells[k].Mark != 0;
    p.Level[k] = s.Pattern.Cells[k].Level;
  }
  return p;
}

Teaching Teach(const TeachingPicture& picture, const std::vector<Correction>& corrections,
               const std::string& libraryFile, const SamplingOverrides& sampling) {
  if (!IsLibraryFileName(libraryFile))
    throw FileError(libraryFile, "a user library is a file NAME.sets", ErrorKind::kUsage);
  if (corrections.empty()) throw Error("no corrections to teach", ErrorKind::kUsage);
  for (const Correction& c : corrections) MapByte(c.Text);  // refused before any is sampled
  Plan plan = Prepare(libraryFile, sampling);
  for (const Correction& c : corrections)
    Add(plan, *picture.Core(), c, LibraryStem(libraryFile), sampling);

  auto record = std::make_shared<TeachingRecord>();
  for (const std::string& path : TouchedPaths(libraryFile, plan))
    record->Files.push_back({path, Contents(path), std::nullopt});
  ReplacementGroup group;
  Teaching teaching{libraryFile, {}, static_cast<int>(corrections.size()), nullptr};
  for (auto& [base, set] : plan.Written) {
    StageLearnedSet(group, base, set);
    teaching.Sets.push_back(base);
  }
  if (plan.NewList) StageLibraryFile(group, libraryFile, plan.Bases);
  group.Commit();
  for (TouchedFile& file : record->Files) file.After = Contents(file.Path);
  teaching.Record = std::move(record);
  return teaching;
}

void UndoTeaching(const Teaching& teaching) {
  if (!teaching.Record) throw Error("nothing was taught", ErrorKind::kUsage);
  for (const TouchedFile& file : teaching.Record->Files)
    if (Contents(file.Path) != file.After)
      throw FileError(file.Path, "changed since the teaching, which is not undone",
                      ErrorKind::kFailed);
  ReplacementGroup group;
  for (const TouchedFile& file : teaching.Record->Files) {
    if (file.Before)
      group.Replace(file.Path, *file.Before);
    else
      group.Remove(file.Path);
  }
  group.Commit();
}

Library JoinLibraries(const std::vector<Library>& libraries) {
  if (libraries.empty()) throw Error("no library to join", ErrorKind::kUsage);
  ReferenceLibrary joined;
  for (const Library& library : libraries)
    for (const ReferenceSet& set : library.Core()->Sets.Sets) joined.Sets.push_back(set);
  if (joined.Sets.size() > static_cast<std::size_t>(kMaxLibrarySets))
    throw Error("more than " + std::to_string(kMaxLibrarySets) + " sets", ErrorKind::kTooLarge);
  return Library(std::make_shared<const LibraryCore>(std::move(joined)));
}

}  // namespace morvik
