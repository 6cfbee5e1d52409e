#include "library/reference_library.h"

#include <strings.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "core/error.h"
#include "core/file_names.h"
#include "core/regular_file.h"
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
  return FileError(file, "lists more than " + std::to_string(kMaxLibrarySets) + " sets",
                   ErrorKind::kTooLarge);
}

// A name a set may have: no control characters (a binary file read as a list has them) and
// not a library file, which would list itself or others without end.
bool Nameable(const std::string& name) {
  return std::none_of(name.begin(), name.end(),
                      [](char c) { return static_cast<unsigned char>(c) < 32 || c == 127; }) &&
         !IsLibraryFileName(name);
}

struct ListedSet {
  std::string Base;
  int Line = 0;
};

std::vector<ListedSet> ListedSets(const std::string& text, const std::string& file) {
  const std::string folder = fs::path(file).parent_path().string();
  std::vector<ListedSet> sets;
  // A byte-order mark, as some editors put before the first line, is no part of a name.
  const std::size_t start = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  const std::vector<std::string> lines = TextLines(text.substr(start));
  for (int line = 1; line <= static_cast<int>(lines.size()); ++line) {
    const std::string name = Trim(lines[static_cast<std::size_t>(line) - 1]);
    if (name.empty() || name[0] == '#') continue;
    if (!Nameable(name))
      throw FileError(file, "line " + std::to_string(line) + ": not the name of a set",
                      ErrorKind::kBadData);
    if (static_cast<int>(sets.size()) == kMaxLibrarySets) throw TooManySets(file);
    sets.push_back({JoinPath(folder, name), line});
  }
  if (sets.empty()) throw FileError(file, "lists no set", ErrorKind::kBadData);
  return sets;
}

std::vector<ListedSet> ListSets(const std::string& path) {
  const std::optional<std::string> text = ReadSmallFile(path, kMaxLibraryFileBytes);
  const std::string file = ResolveFileName(path);
  if (!text) throw FileError(file, "library file not found", ErrorKind::kNotFound);
  return ListedSets(*text, file);
}

// Whether a record is a pattern this system could have written; marked when a cell is.
// Every set a run opens is checked whole, so the cells are checked without a branch each.
bool CheckRecord(const std::uint8_t* record, bool& marked) {
  unsigned bad = 0, marks = 0;
  for (std::size_t k = 0; k < PatternRecordSize - 5; k += 2) {
    bad |= static_cast<unsigned>(record[k] > 1) | static_cast<unsigned>(record[k + 1] > 100);
    marks |= record[k];
  }
  if (bad != 0) return false;
  marked = marked || marks != 0;
  return record[PatternRecordSize - 5] <= 100;
}

}  // namespace

void CheckReferenceBytes(const std::uint8_t* data, std::size_t size, const std::string& file) {
  const auto bad = [&](const std::string& problem) {
    return FileError(file, problem, ErrorKind::kBadData);
  };
  const std::size_t read = std::min(size, PatternRecordSize * kReferenceCount);
  if (read == 0) throw bad("is empty: a set file holds 517-byte pattern records");
  if (read % PatternRecordSize != 0)
    throw bad("is " + std::to_string(size) + " bytes, not whole 517-byte pattern records");
  bool marked = false;
  for (std::size_t k = 0; k < read / PatternRecordSize; ++k)
    if (!CheckRecord(data + k * PatternRecordSize, marked))
      throw bad("record " + std::to_string(k + 1) + " is not a pattern");
  if (!marked) throw bad("holds no reference: every pattern is empty");
}

ReferenceSet OpenReferenceSet(const std::string& base) {
  ReferenceSet set;
  set.Base = base;
  const std::string pcp = ResolveFileName(base + ".PCP");
  std::error_code ec;
  const fs::file_status status = fs::status(pcp, ec);
  if (!fs::exists(status)) throw FileError(pcp, "no such set file", ErrorKind::kNotFound);
  if (!fs::is_regular_file(status))
    throw FileError(pcp, "is not a regular file", ErrorKind::kCannotRead);
  std::string bytes;
  if (!ReadRegularFilePrefix(pcp, PatternRecordSize * kReferenceCount, bytes))
    throw ReadError(pcp, "cannot be read", errno);
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  CheckReferenceBytes(data, bytes.size(), pcp);
  DecodeReferenceFile(data, bytes.size(), set.Bank);
  set.Chars = LoadSetCharMap(base);
  set.Settings = LoadSetSettings(base);
  set.Detail = LoadSetDetail(base);
  PrepareReferenceSet(set);
  return set;
}

void PrepareReferenceSet(ReferenceSet& set) {
  // Sets scored whole keep their references' line profiles; sets with detail score a few
  // candidates per character, which costs less than profiling all forty at every start.
  set.Prepared = PrepareReferences(set.Bank, !set.Detail.Loaded);
}

std::vector<std::string> ReadLibraryFile(const std::string& path) {
  std::vector<std::string> bases;
  for (const ListedSet& set : ListSets(path)) bases.push_back(set.Base);
  return bases;
}

std::vector<std::string> ParseLibraryFile(const std::string& text, const std::string& file) {
  std::vector<std::string> bases;
  for (const ListedSet& set : ListedSets(text, file)) bases.push_back(set.Base);
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
                      "line " + std::to_string(listed.Line) + ": " + e.what(), e.Kind());
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
      throw Error("more than " + std::to_string(kMaxLibrarySets) + " reference sets",
                  ErrorKind::kTooLarge);
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
