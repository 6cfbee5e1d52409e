// The pictures of a folder or batch run recognised in the run's order, on several threads
// when asked. What a picture gives is worked out apart from the result files, which the
// calling thread writes in the run's order: a run writes the same bytes with any number of
// threads.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/ordered_jobs.h"
#include "image/picture_loading.h"
#include "library/library_scoring.h"
#include "library/reference_library.h"
#include "runs/run_observer.h"
#include "runs/set_run.h"
#include "runs/text_file.h"
#include "session/session.h"

namespace morvik {

// What one picture of a run gives.
// Only what the writing thread needs is kept: the larger pictures of the image path are
// freed on the thread that made them, while they are still in its cache.
struct RunPicture {
  Bitmap Raster;  // the raster sampled (for the first set, with sets)
  int Threshold = 0, Increment = 0;
  std::array<TRankEntry, 3> Best{};       // the session's three best (runs without sets)
  std::array<LibraryMatch, 3> Matches{};  // the three best over the sets (runs with sets)
  std::vector<std::string> Failed;        // the problem of a picture that could not be read
};

// The recognition of a run's pictures: against the session's references, or against the
// sets named for the run. With one job every picture is recognised on the calling thread
// when it is asked for, changing the session (its bank normalised once more, its scores) or
// the set run (its count of pictures) as runs always did. With more, the session and the
// sets are only read: the session's references are prepared once in a copy, so that every
// picture sees them as the sequential run would have left them for it, and the pictures are
// recognised ahead on `jobs` threads. References that do not settle within the prepared
// passes (a foreign file), and runs of a few pictures (one thread's turn), keep one job.
class RunPictures {
 public:
  RunPictures(Session& session, SetRun* sets, std::vector<std::string> paths, unsigned jobs);
  // The next picture of the run, in the order of `paths`; call it once per path.
  RunPicture Next();

 private:
  RunPicture Recognize(std::size_t i);
  RunPicture RecognizeShared(std::size_t i) const;

  Session& session_;
  SetRun* sets_;
  const std::vector<std::string> paths_;
  std::size_t earlierMatched_ = 0;  // the set run's count of pictures at the start
  bool shared_ = false;             // whether pictures are recognised on other threads
  ReferenceSet sessionSet_;         // the session's references, prepared (shared only)
  std::unique_ptr<OrderedJobs<RunPicture>> jobs_;
};

// Writes one picture's items into result.txt and result.out, appends its problem (if any)
// to failed and reports it to the observer as thumbnail `row`, `column`. Returns the
// character the batch's text takes for it: none in compare mode or without a map.
std::optional<char> WriteRunPicture(const Session& session, const SetRun* sets,
                                    const std::string& path, const RunPicture& picture, int row,
                                    int column, TextFile& resultTxt, TextFile& resultOut,
                                    RunObserver& observer, std::vector<std::string>& failed);

}  // namespace morvik
