// The names of a reading's outputs (--cut folders, --boxes pictures) for each picture read,
// derived from the picture's name so that several pictures in one run keep theirs apart.
#pragma once

#include <set>
#include <string>

namespace morvik {

// The part of a picture's name an output may carry: its file name without folder or
// extension ("stdin" for "-"). Never empty, "." or "..", and never holds a "/": a name of
// dots only, or nothing, gives "picture". A name may go into a folder path as one level.
std::string OutputStem(const std::string& picture);

// One output per picture: the name itself for a single picture; with several, a folder
// below it named after each picture, or the picture's name put before the extension.
class OutputNames {
 public:
  explicit OutputNames(bool several) : several_(several) {}
  // The picture's stem, made unique among those given before by "-2", "-3", ...
  std::string Next(const std::string& picture);
  // "<folder>/<unique>" with several pictures, else folder.
  std::string Folder(const std::string& folder, const std::string& unique) const;
  // "<file without extension>-<unique><extension>" with several pictures, else file.
  std::string File(const std::string& file, const std::string& unique) const;

 private:
  bool several_;
  std::set<std::string> used_;
};

}  // namespace morvik
