#include "session/named_set.h"

#include <algorithm>
#include <cctype>

#include "core/file_names.h"

namespace morvik {

namespace {

bool EndsWithSetExtension(const std::string& name) {
  static const std::string kExtension = ".pcp";
  if (name.size() <= kExtension.size()) return false;
  return std::equal(kExtension.rbegin(), kExtension.rend(), name.rbegin(), [](char e, char c) {
    return e == std::tolower(static_cast<unsigned char>(c));
  });
}

}  // namespace

NamedSet FindNamedSet(const std::string& name, const std::vector<std::string>& folders) {
  NamedSet set;
  if (name.empty()) return set;
  const std::string fileName = EndsWithSetExtension(name) ? name : name + ".pcp";
  for (const std::string& folder : folders) {
    const std::string path = JoinPath(folder, fileName);
    if (std::find(set.Tried.begin(), set.Tried.end(), path) != set.Tried.end()) continue;
    set.Tried.push_back(path);
    if (EntryExists(path)) {
      set.File = ResolveFileName(path);
      return set;
    }
  }
  return set;
}

}  // namespace morvik
