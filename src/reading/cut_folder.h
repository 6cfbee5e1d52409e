// A picture's cut written as the numbered bitmaps the folder runs and batch read.
#pragma once

#include <string>

#include "image/bitmap.h"
#include "reading/read_picture.h"

namespace morvik {

// "<folder>/<line>_<column>.bmp" of a character of a reading.
std::string CutFileName(const std::string& folder, int line, int column);

// Writes every character of the reading, cut out of the picture it was read from (bright
// strokes on black, as CutCharacter gives them), as "<line>_<column>.bmp" in folder, which is
// created when missing. Lines count from 1 and columns from 0; word spaces and empty cells
// take their column as an all-black picture, which the runs read as a blank. Bitmaps of that
// naming already in the folder are removed first, so no earlier cut mixes into this one.
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
