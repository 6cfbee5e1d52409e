// Batch recognition: every sub-folder of a root is recognised, its text collected into
// "batchresult.out", and compared position by position with "compare.txt" into
// "batchresult.txt".
#pragma once

#include <string>
#include <vector>

#include "runs/workspace.h"

namespace morvik {

// The plain sub-folders of root (no links, no names starting with "."), ascending by name
// compared without regard to ASCII case (folded to upper case, as a Windows listing orders
// them), ties in byte order: the same order on every machine, since line k of "compare.txt"
// belongs to the k-th of them.
std::vector<std::string> ListSubfolders(const std::string& root);

// Recognises the bitmaps "<r>_<c>.bmp", r and c 0..10, of one sub-folder into its own result
// files, with thumbnails from ws.ThumbnailRow on. Returns the recognised text (characters of
// the map, a blank after each row that gave any); empty when the folder does not exist.
std::string RecognizeSubfolder(Workspace& ws, const std::string& path);

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

// "Batch Recognize" over the root EditPatternsBatch. Returns false when the root does not
// exist; throws Error when a bitmap or a file fails.
bool ButtonRecBatchClick(Workspace& ws);

}  // namespace morvik
