// Recognition of the numbered bitmaps "<row>_<column>.bmp" of a folder, writing what was
// recognised to "result.txt" (numbers and scores) and "result.out" (the text).
#pragma once

#include <string>

#include "runs/text_file.h"
#include "runs/workspace.h"

namespace morvik {

// "<folder>/<row>_<column>.bmp"
std::string BitmapName(const std::string& folder, int row, int column);

// The result.out item of pattern n with score s under the character map and compare mode.
std::string ResultOutItem(const CharMapState& chars, int n, double s);

// One image: load it into the TestPattern, normalise the bank, recognise, write both result
// items and report it to the view (its thumbnail at `row`, `column`). Throws Error.
void RecognizeImageFile(Workspace& ws, const std::string& fileName, int row, int column,
                        TextFile& resultTxt, TextFile& resultOut);

// Ends an image row in both result files.
void EndResultRow(TextFile& resultTxt, TextFile& resultOut);

// "Recognize": the folder EditPatternsBatch (relative to the run folder, which the run
// makes current), fixed or dynamic naming by CheckBoxDynamic. Returns false when the folder
// does not exist (nothing is touched); throws Error when a bitmap cannot be loaded or a
// result file cannot be written.
bool ButtonRecognizeClick(Workspace& ws);
// Rows from 1 and columns from 0, each until the first missing file.
bool ButtonRecognizeFixed(Workspace& ws);
// Every name of rows and columns 0..10; 11 lines in each result file.
bool ButtonRecognizeDynamic(Workspace& ws);

}  // namespace morvik
