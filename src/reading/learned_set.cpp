#include "reading/learned_set.h"

#include "core/error.h"
#include "core/set_files.h"
#include "library/reference_library.h"
#include "library/set_char_map.h"
#include "library/set_detail.h"

namespace morvik {

void SaveLearnedSet(const std::string& base, LearnedSet& set) {
  if (!SaveReferenceFile(base + ".PCP", set.Bank))
    throw FileError(base + ".PCP", "Error writing patterns");
  if (!SaveTestFile(base + ".PCT", set.Bank))
    throw FileError(base + ".PCT", "Error writing test pic");
  SaveSetCharMap(base, set.Chars);
  SaveSetSettings(base, set.Settings);
  SaveSetDetail(base, set.Detail);
}

std::string SaveLearnedSets(const std::string& base, std::vector<LearnedSet>& sets) {
  if (sets.size() == 1) {
    SaveLearnedSet(base, sets.front());
    return base;
  }
  std::vector<std::string> bases;
  for (std::size_t k = 0; k < sets.size(); ++k) {
    bases.push_back(base + "-" + std::to_string(k + 1));
    SaveLearnedSet(bases.back(), sets[k]);
  }
  SaveLibraryFile(base + ".sets", bases);
  return base + ".sets";
}

}  // namespace morvik
