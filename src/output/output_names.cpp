#include "output/output_names.h"

#include "core/file_names.h"

namespace morvik {

std::string OutputStem(const std::string& picture) {
  if (picture == "-") return "stdin";
  const std::size_t slash = picture.find_last_of('/');
  const std::string stem =
      StripExtension(slash == std::string::npos ? picture : picture.substr(slash + 1));
  // "." and ".." would name the folder itself or its parent (from "..png" and "...png").
  if (stem.find_first_not_of('.') == std::string::npos) return "picture";
  return stem;
}

std::string OutputNames::Next(const std::string& picture) {
  const std::string stem = OutputStem(picture);
  std::string unique = stem;
  for (int k = 2; !used_.insert(unique).second; ++k) unique = stem + "-" + std::to_string(k);
  return unique;
}

std::string OutputNames::Folder(const std::string& folder, const std::string& unique) const {
  return several_ ? JoinPath(folder, unique) : folder;
}

std::string OutputNames::File(const std::string& file, const std::string& unique) const {
  if (!several_) return file;
  const std::size_t slash = file.find_last_of('/');
  const std::size_t dot = file.find_last_of('.');
  const bool hasExt = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return hasExt ? file.substr(0, dot) + "-" + unique + file.substr(dot) : file + "-" + unique;
}

}  // namespace morvik
