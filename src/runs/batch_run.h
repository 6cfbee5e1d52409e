// Batch recognition: every sub-folder of a root is recognised, its text collected into
// "batchresult.out", and compared position by position with "compare.txt" into
// "batchresult.txt".
#pragma once

#include <string>
#include <vector>

#include "runs/run_observer.h"
#include "runs/set_run.h"
#include "session/session.h"

namespace morvik {

// The plain sub-folders of root (no links, no names starting with "."), ascending by name
// compared without regard to ASCII case (folded to upper case, as a Windows listing orders
// them), ties in byte order: the same order on every machine, since line k of "compare.txt"
// belongs to the k-th of them.
std::vector<std::string> ListSubfolders(const std::string& root);

// Recognises the bitmaps "<r>_<c>.bmp", r and c 0..10, of one sub-folder into its own result
// files, with thumbnails from thumbnailRow on (counted on past each row that held an image).
// Returns the recognised text (characters of the map, a blank after each row that gave any);
// empty when the folder does not exist. Pictures that cannot be read are written as blank
// ones and their problems appended to `failed` (see RecognizeImageFile). With `sets`, the
// pictures are recognised against those sets, each answer written with its set's map.
std::string RecognizeSubfolder(Session& session, const std::string& path, int& thumbnailRow,
                               RunObserver& observer, std::vector<std::string>& failed,
                               SetRun* sets = nullptr);

// The lines of "compare.txt": ends at CR LF or LF; a lone CR is dropped.
std::vector<std::string> SplitCompareLines(const std::string& text);

// Trims both texts (characters 0..32 at either end) in place and compares them position by
// position over the shorter length.
struct MatchCount {
  int Hits = 0, Compared = 0;
};
MatchCount CountMatches(std::string& expected, std::string& recognised);

// hits * 100 / compared, truncated; 0 when nothing was compared.
int MatchPercent(const MatchCount& m);

struct BatchRunOptions {
  std::string Root;        // the root folder; an empty name names none
  std::string RootName;    // the root as the user typed it, for the report
  SetRun* Sets = nullptr;  // sets named for the run, instead of the session's references
  unsigned Jobs = 1;       // threads recognising pictures (see RunPictures); files as with 1
};

struct BatchRunResult {
  bool RootFound = false;
  int Images = 0;                   // pictures found, read or not
  int NextThumbnailRow = 1;         // the thumbnail row after the last one used
  std::vector<std::string> Failed;  // a message naming each picture that could not be read
};

// Recognises every sub-folder of the root (see ListSubfolders) into its own result files,
// collects the texts into "batchresult.out" and, when the root holds "compare.txt", the
// comparison into "batchresult.txt". The observer hears RunStarted before the root is looked
// for. Every picture is recognised: one that cannot be read is listed in Failed and written
// as a blank one. Throws Error when a result file fails.
BatchRunResult RecognizeBatch(Session& session, const BatchRunOptions& options,
                              RunObserver& observer);

}  // namespace morvik
