// Recognition of the numbered bitmaps "<row>_<column>.bmp" of a folder, writing what was
// recognised to "result.txt" (numbers and scores) and "result.out" (the text).
#pragma once

#include <string>
#include <vector>

#include "runs/numbered_bitmaps.h"
#include "runs/run_observer.h"
#include "runs/set_run.h"
#include "runs/text_file.h"
#include "session/recognition.h"

namespace morvik {

// The result.out item of pattern n with score s under the character map and compare mode.
std::string ResultOutItem(const CharMapState& chars, int n, double s);

// One image: load it under the session's image settings, recognise it, write both result
// items and report it to the observer (its thumbnail at `row`, `column`). A blank picture
// (nothing left to sample) matches no reference: number 0, score 0. A picture that cannot be
// read gets the same entries and an empty raster, and its problem (a message naming the
// file) is appended to `failed`. Throws Error only when a result file cannot be written.
Recognition RecognizeImageFile(Session& session, const std::string& fileName, int row, int column,
                               TextFile& resultTxt, TextFile& resultOut, RunObserver& observer,
                               std::vector<std::string>& failed);

// The same against the sets of a run: result.txt holds RunNumber, result.out the item of
// the matched set's map (the digit of the set's own number without one). Returns the best
// three.
std::array<LibraryMatch, 3> RecognizeImageFile(SetRun& run, const std::string& fileName, int row,
                                               int column, TextFile& resultTxt, TextFile& resultOut,
                                               RunObserver& observer,
                                               std::vector<std::string>& failed);

// Ends an image row in both result files.
void EndResultRow(TextFile& resultTxt, TextFile& resultOut);

struct FolderRunOptions {
  std::string Folder;      // the folder to recognise; an empty name names none
  bool Dynamic = false;    // dynamic naming (rows and columns 0..10), else fixed
  SetRun* Sets = nullptr;  // sets named for the run, instead of the session's references
};

struct FolderRunResult {
  bool FolderFound = false;
  int Images = 0;                   // pictures found, read or not
  std::vector<std::string> Failed;  // a message naming each picture that could not be read
};

// Recognises the folder's pictures (see ListNumberedBitmaps) into its result files, every
// one of them: a picture that cannot be read is listed in Failed and written as a blank one.
// When the folder does not exist nothing is touched; throws Error when a result file cannot
// be written.
FolderRunResult RecognizeFolder(Session& session, const FolderRunOptions& options,
                                RunObserver& observer);

}  // namespace morvik
