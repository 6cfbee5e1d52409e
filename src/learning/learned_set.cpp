#include "learning/learned_set.h"

#include "core/error.h"
#include "core/file_names.h"
#include "core/normalize.h"
#include "core/set_files.h"
#include "library/reference_library.h"
#include "library/set_char_map.h"
#include "library/set_detail.h"

namespace morvik {

void StageLearnedSet(ReplacementGroup& group, const std::string& base, LearnedSet& set) {
  // The counts of every record worked out from its cells, as a set saved from a session
  // has them: a pattern copied into its slot keeps the counts of the raster it came from.
  ComputeBankSpans(set.Bank);
  group.Replace(ResolveFileName(base + ".PCP"), EncodeReferenceFile(set.Bank));
  group.Replace(ResolveFileName(base + ".PCT"), EncodeTestFile(set.Bank));
  StageSetCharMap(group, base, set.Chars);
  StageSetSettings(group, base, set.Settings);
  StageSetDetail(group, base, set.Detail);
}

void SaveLearnedSet(const std::string& base, LearnedSet& set) {
  ReplacementGroup group;
  StageLearnedSet(group, base, set);
  group.Commit();
}

std::string SaveLearnedSets(const std::string& base, std::vector<LearnedSet>& sets) {
  ReplacementGroup group;
  if (sets.size() == 1) {
    StageLearnedSet(group, base, sets.front());
    group.Commit();
    return base;
  }
  const std::vector<std::string> bases = LearnedSetBases(base, sets.size());
  for (std::size_t k = 0; k < sets.size(); ++k) StageLearnedSet(group, bases[k], sets[k]);
  StageLibraryFile(group, base + ".sets", bases);
  group.Commit();
  return base + ".sets";
}

std::vector<std::string> LearnedSetBases(const std::string& base, std::size_t count) {
  if (count == 1) return {base};
  std::vector<std::string> bases;
  for (std::size_t k = 0; k < count; ++k) bases.push_back(base + "-" + std::to_string(k + 1));
  return bases;
}

}  // namespace morvik
