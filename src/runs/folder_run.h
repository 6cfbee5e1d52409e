// Recognition of the numbered bitmaps "<row>_<column>.bmp" of a folder, writing what was
// recognised to "result.txt" (numbers and scores) and "result.out" (the text).
#pragma once

#include <string>
#include <vector>

#include "runs/numbered_bitmaps.h"
#include "runs/run_observer.h"
#include "runs/run_pictures.h"
#include "runs/set_run.h"
#include "runs/text_file.h"
#include "session/recognition.h"

namespace morvik {

// The result.out item of pattern n with score s under the character map and compare mode.
std::string ResultOutItem(const CharMapState& chars, int n, double s);

// Ends an image row in both result files.
void EndResultRow(TextFile& resultTxt, TextFile& resultOut);

// The paths of the rows' pictures appended to paths, row by row.
void AppendPicturePaths(const std::vector<BitmapRow>& rows, std::vector<std::string>& paths);

struct FolderRunOptions {
  std::string Folder;      // the folder to recognise; an empty name names none
  bool Dynamic = false;    // dynamic naming (rows and columns 0..10), else fixed
  SetRun* Sets = nullptr;  // sets named for the run, instead of the session's references
  unsigned Jobs = 1;       // threads recognising pictures (see RunPictures); files as with 1
};

struct FolderRunResult {
  bool FolderFound = false;
  int Images = 0;                   // pictures found, read or not
  std::vector<std::string> Failed;  // a message naming each picture that could not be read
};

// Recognises the folder's pictures (see ListNumberedBitmaps) into its result files, every
// one of them: a picture that cannot be read is listed in Failed and written as a blank one.
// When the folder does not exist nothing is touched; throws Error when a result file cannot
// be written. With Jobs above 1 the session and the sets are only read (see RunPictures).
FolderRunResult RecognizeFolder(Session& session, const FolderRunOptions& options,
                                RunObserver& observer);

}  // namespace morvik
