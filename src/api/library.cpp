// The public Library over the engine's reference library (morvik/library.h).
#include <cstdlib>

#include "api/library_core.h"
#include "core/char_map.h"
#include "core/file_names.h"
#include "library/reference_library.h"
#include "library/set_char_map.h"
#include "library/set_detail.h"
#include "library/set_settings.h"
#include "morvik/library.h"
#include "reading/stock_library.h"
#include "session/home_folder.h"
#include "session/named_set.h"
#include "session/set_io.h"

namespace morvik {

namespace {

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

ReferenceLibrary OpenNamedReferences(const std::vector<std::string>& names,
                                     const std::string& folder) {
  if (names.empty()) throw Error("no reference set named", ErrorKind::kUsage);
  std::vector<std::string> bases;
  for (const std::string& name : names)
    bases.push_back(JoinPath(folder, IsLibraryFileName(name) ? name : SetBaseName(name)));
  ReferenceLibrary library = OpenReferenceNames(bases);
  // Sets are shown as named: relative to the folder where they lie in it.
  const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
  for (ReferenceSet& set : library.Sets)
    if (!prefix.empty() && set.Base.compare(0, prefix.size(), prefix) == 0)
      set.Base.erase(0, prefix.size());
  return library;
}

Library Library::Open(const std::vector<std::string>& names, const std::string& characterMap) {
  return Open(names, characterMap, "");
}

Library Library::Open(const std::vector<std::string>& names, const std::string& characterMap,
                      const std::string& folder) {
  ReferenceLibrary sets = OpenNamedReferences(names, folder);
  if (!characterMap.empty()) {
    const CharMapState chars = LoadStrictCharMap(JoinPath(folder, characterMap));
    for (ReferenceSet& set : sets.Sets) set.Chars = chars;
  }
  return Library(std::make_shared<const LibraryCore>(std::move(sets)));
}

Library Library::Stock() {
  std::string found = LocateStock(ExecutableFolder(nullptr)).Path;
  if (found.empty()) found = InstalledStock();
  if (found.empty())
    throw Error("the stock library is not installed beside the program (set MORVIK_STOCK)",
                ErrorKind::kNotFound);
  return Open(found);
}

std::vector<std::string> Library::StockPlaces(const std::string& programFolder) {
  return StockLibraryPlaces(programFolder);
}

std::string Library::FindStock(const std::string& programFolder) {
  return FindStockLibrary(programFolder);
}

Library::StockLocation Library::LocateStock(const std::string& programFolder) {
  if (const char* named = std::getenv("MORVIK_STOCK"); named && *named) return {named, {named}};
  return {FindStock(programFolder), StockPlaces(programFolder)};
}

std::vector<std::string> Library::SetNames() const {
  std::vector<std::string> names;
  for (const ReferenceSet& set : core_->Sets.Sets) names.push_back(set.Base);
  return names;
}

std::vector<std::string> SetFileNames(const std::string& base, bool withDetail) {
  std::vector<std::string> files{ReferenceFileOf(base), TestFileOf(base), SetSettingsPath(base),
                                 SetCharMapPath(base)};
  if (withDetail) files.push_back(SetDetailPath(base));
  return files;
}

SetSearch FindSet(const std::string& name, const std::vector<std::string>& folders) {
  NamedSet found = FindNamedSet(name, folders);
  return SetSearch{std::move(found.File), std::move(found.Tried)};
}

}  // namespace morvik
