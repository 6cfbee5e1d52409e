// The public Library over the engine's reference library (morvik/library.h).
#include <cstdlib>

#include "api/library_core.h"
#include "core/char_map.h"
#include "core/file_names.h"
#include "library/reference_library.h"
#include "morvik/library.h"
#include "reading/stock_library.h"
#include "session/home_folder.h"

namespace morvik {

namespace {

void ReplaceCharacterMaps(ReferenceLibrary& library, const std::string& path) {
  if (!FileExists(path)) throw FileError(path, "character map not found", ErrorKind::kNotFound);
  CharMapState chars;
  if (const std::string problem = LoadCharMap(path, chars); !problem.empty())
    throw FileError(path, problem, ErrorKind::kBadData);
  for (ReferenceSet& set : library.Sets) set.Chars = chars;
}

std::string InstalledStock() {
#ifdef MORVIK_INSTALLED_STOCK
  const std::string path = MORVIK_INSTALLED_STOCK;
  return FileExists(path) ? path : "";
#else
  return "";
#endif
}

}  // namespace

std::string SetBaseName(const std::string& name) {
  const std::size_t n = name.size();
  if (n > 4 && name[n - 4] == '.' && (name[n - 3] | 0x20) == 'p' && (name[n - 2] | 0x20) == 'c' &&
      (name[n - 1] | 0x20) == 'p')
    return name.substr(0, n - 4);
  return name;
}

Library Library::Open(const std::vector<std::string>& names, const std::string& characterMap) {
  if (names.empty()) throw Error("no reference set named", ErrorKind::kUsage);
  std::vector<std::string> bases;
  for (const std::string& name : names)
    bases.push_back(IsLibraryFileName(name) ? name : SetBaseName(name));
  ReferenceLibrary sets = OpenReferenceNames(bases);
  if (!characterMap.empty()) ReplaceCharacterMaps(sets, characterMap);
  return Library(std::make_shared<const LibraryCore>(std::move(sets)));
}

Library Library::Stock() {
  if (const char* named = std::getenv("MORVIK_STOCK"); named && *named) return Open(named);
  std::string found = FindStockLibrary(ExecutableFolder(nullptr));
  if (found.empty()) found = InstalledStock();
  if (found.empty())
    throw Error("the stock library is not installed beside the program (set MORVIK_STOCK)",
                ErrorKind::kNotFound);
  return Open(found);
}

std::vector<std::string> Library::SetNames() const {
  std::vector<std::string> names;
  for (const ReferenceSet& set : core_->Sets.Sets) names.push_back(set.Base);
  return names;
}

}  // namespace morvik
