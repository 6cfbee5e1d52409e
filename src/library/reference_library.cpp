#include "library/reference_library.h"

#include <strings.h>

#include <filesystem>
#include <system_error>

#include "core/error.h"
#include "core/file_names.h"
#include "core/safe_write.h"
#include "core/set_files.h"
#include "library/packed_library.h"
#include "library/set_char_map.h"
#include "library/small_file.h"

namespace fs = std::filesystem;

namespace morvik {

namespace {

std::string Trim(const std::string& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
  return s.substr(b, e - b);
}

Error TooManySets(const std::string& file) {
  return FileError(file, "lists more than " + std::to_string(kMaxLibrarySets) + " sets");
}

struct ListedSet {
  std::string Base;
  int Line = 0;
};

std::vector<ListedSet> ListSets(const std::string& path) {
  const std::optional<std::string> text = ReadSmallFile(path, kMaxLibraryFileBytes);
  const std::string file = ResolveFileName(path);
  if (!text) throw FileError(file, "library file not found", ErrorKind::kNotFound);
  const std::string folder = fs::path(file).parent_path().string();
  std::vector<ListedSet> sets;
  int line = 0;
  // A byte-order mark, as some editors put before the first line, is no part of a name.
  const std::size_t start = text->compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  for (std::size_t pos = start; pos < text->size();) {
    std::size_t end = text->find('\n', pos);
    if (end == std::string::npos) end = text->size();
    std::string name = text->substr(pos, end - pos);
    pos = end + 1;
    ++line;
    if (!name.empty() && name.back() == '\r') name.pop_back();
    name = Trim(name);
    if (name.empty() || name[0] == '#') continue;
    if (static_cast<int>(sets.size()) == kMaxLibrarySets) throw TooManySets(file);
    sets.push_back({JoinPath(folder, name), line});
  }
  if (sets.empty()) throw FileError(file, "lists no set");
  return sets;
}

}  // namespace

ReferenceSet OpenReferenceSet(const std::string& base) {
  ReferenceSet set;
  set.Base = base;
  const std::string pcp = ResolveFileName(base + ".PCP");
  std::error_code ec;
  const fs::file_status status = fs::status(pcp, ec);
  if (!fs::exists(status)) throw FileError(pcp, "no such set file", ErrorKind::kNotFound);
  if (!fs::is_regular_file(status))
    throw FileError(pcp, "is not a regular file", ErrorKind::kCannotRead);
  if (!LoadReferenceFile(pcp, set.Bank))
    throw FileError(pcp, "cannot be read", ErrorKind::kCannotRead);
  set.Chars = LoadSetCharMap(base);
  set.Settings = LoadSetSettings(base);
  set.Detail = LoadSetDetail(base);
  return set;
}

ReferenceLibrary OpenReferenceLibrary(const std::vector<std::string>& bases) {
  if (bases.size() > static_cast<std::size_t>(kMaxLibrarySets))
    throw Error("more than " + std::to_string(kMaxLibrarySets) + " reference sets");
  ReferenceLibrary library;
  library.Sets.reserve(bases.size());
  for (const std::string& base : bases) library.Sets.push_back(OpenReferenceSet(base));
  return library;
}

std::vector<std::string> ReadLibraryFile(const std::string& path) {
  std::vector<std::string> bases;
  for (const ListedSet& set : ListSets(path)) bases.push_back(set.Base);
  return bases;
}

namespace {

// The name as a library file in folder lists it, so that it names the same set wherever
// the program runs: relative to folder when it lies in or below it, otherwise absolute.
std::string ListedName(const std::string& base, const std::string& folder) {
  const fs::path name = fs::absolute(base).lexically_normal();
  const fs::path relative = name.lexically_relative(fs::absolute(folder).lexically_normal());
  if (relative.empty() || *relative.begin() == "..") return name.string();
  return relative.string();
}

bool Listable(const std::string& name) {
  return !name.empty() && name[0] != '#' && Trim(name) == name &&
         name.find_first_of("\r\n") == std::string::npos;
}

}  // namespace

void SaveLibraryFile(const std::string& path, const std::vector<std::string>& bases) {
  ReplacementGroup group;
  StageLibraryFile(group, path, bases);
  group.Commit();
}

void StageLibraryFile(ReplacementGroup& group, const std::string& path,
                      const std::vector<std::string>& bases) {
  const std::string file = ResolveFileName(path);
  const std::string folder = fs::path(file).parent_path().string();
  std::string text;
  for (const std::string& base : bases) {
    if (!Listable(base)) throw FileError(file, "cannot list the set name \"" + base + "\"");
    text += ListedName(base, folder.empty() ? "." : folder) + "\r\n";
  }
  group.Replace(file, text);
}

bool IsLibraryFileName(const std::string& name) {
  const std::string suffix = ".sets";
  return name.size() > suffix.size() &&
         strcasecmp(name.c_str() + name.size() - suffix.size(), suffix.c_str()) == 0;
}

ReferenceLibrary LoadReferenceLibrary(const std::string& path) {
  ReferenceLibrary library;
  const std::vector<ListedSet> sets = ListSets(path);
  library.Sets.reserve(sets.size());
  for (const ListedSet& listed : sets) {
    try {
      library.Sets.push_back(OpenReferenceSet(listed.Base));
    } catch (const Error& e) {
      throw FileError(ResolveFileName(path),
                      "line " + std::to_string(listed.Line) + ": " + e.what());
    }
  }
  return library;
}

ReferenceLibrary OpenReferenceNames(const std::vector<std::string>& names) {
  ReferenceLibrary library;
  for (const std::string& name : names) {
    std::vector<ReferenceSet> sets;
    if (IsLibraryFileName(name)) {
      sets = std::move(LoadReferenceLibrary(name).Sets);
    } else if (IsPackedLibraryName(name)) {
      sets = std::move(OpenPackedLibrary(name).Sets);
    } else {
      sets.push_back(OpenReferenceSet(name));
    }
    if (library.Sets.size() + sets.size() > static_cast<std::size_t>(kMaxLibrarySets))
      throw Error("more than " + std::to_string(kMaxLibrarySets) + " reference sets");
    // Sets are large: the first name's are taken over whole, later ones moved in once.
    if (library.Sets.empty()) {
      library.Sets = std::move(sets);
      continue;
    }
    library.Sets.reserve(library.Sets.size() + sets.size());
    for (ReferenceSet& set : sets) library.Sets.push_back(std::move(set));
  }
  return library;
}

}  // namespace morvik
