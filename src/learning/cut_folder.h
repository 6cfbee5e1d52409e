// A picture's cut written as the numbered bitmaps the folder runs and batch read.
#pragma once

#include <string>

#include "image/bitmap.h"
#include "reading/read_picture.h"

namespace morvik {

// The file a cut leaves in its folder, listing the files it wrote, one name a line after a
// first line that names the file's purpose: the next cut into the folder removes exactly
// those, and nothing of anyone else's.
constexpr const char* kCutMarkerName = ".morvik-cut";

// Writes every character of the reading, cut out of the picture it was read from (bright
// strokes on black, as CutCharacter gives them), as "<line>_<column>.bmp" in folder, which is
// created when missing. Lines count from 1 and columns from 0; word spaces and empty cells
// take their column as an all-black picture, which the runs read as a blank.
// The folder must be new, empty, or one an earlier cut made (it holds kCutMarkerName): the
// files that cut listed are removed first, so no earlier cut mixes into this one, and any
// other file stays. A folder with files but no marker, or whose file of a name this cut
// writes is not from the earlier cut, is refused untouched (kCannotWrite). The whole write
// holds the folder's lock (FolderLock), so cuts into one folder at once take turns. Links
// found where a file goes are replaced, never followed.
// Throws Error naming the folder or file that could not be made or written.
void WriteCutFolder(const Bitmap& picture, const PictureReading& reading,
                    const std::string& folder);

// How many files WriteCutFolder writes for the reading: every character, word space and
// empty cell.
std::size_t CutFileCount(const PictureReading& reading);

// The most files one cut writes unless the run allows more (--cut-limit): a page of text
// gives a few thousand, and a noisy picture could otherwise fill a disk with small files.
constexpr std::size_t kDefaultCutFileLimit = 10000;

}  // namespace morvik
