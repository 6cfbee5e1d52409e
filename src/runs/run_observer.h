// What a run tells its caller while it works: that it started, each recognised image and
// its progress. Every method does nothing by default.
#pragma once

#include <array>
#include <string>

#include "core/scoring.h"
#include "image/bitmap.h"

namespace morvik {

struct LibraryMatch;

// One recognised image of a run.
struct RecognizedImage {
  std::string FileName;
  int Row = 0;                     // thumbnail row
  int Column = 0;                  // column of the file name
  const Bitmap* Scaled = nullptr;  // the raster sampled (valid during the call only)
  std::array<TRankEntry, 3> TopThree{};
  int Threshold = 0;  // threshold and increment the pattern was sampled with
  int Increment = 0;
  // With sets named for the run: set, number and character of each of the three (valid
  // during the call only); TopThree then holds the numbers result.txt shows.
  const std::array<LibraryMatch, 3>* Matches = nullptr;
};

class RunObserver {
 public:
  virtual ~RunObserver() = default;
  virtual void RunStarted() {}  // a run found its folder and starts afresh
  virtual void ImageRecognized(const RecognizedImage&) {}
  virtual void Progress(const std::string& /*what*/, int /*done*/, int /*total*/) {}
  // Something the user should know that does not stop the run ("<file>: <what happened>").
  virtual void Notice(const std::string& /*text*/) {}
};

}  // namespace morvik
