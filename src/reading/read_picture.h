// Reading a whole picture: cut it into characters (running text, a grid or a ruled table) and
// recognise each against a reference library.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "image/bitmap.h"
#include "library/library_scoring.h"
#include "library/reference_library.h"
#include "library/set_settings.h"
#include "reading/character_recognition.h"
#include "segment/binarise.h"
#include "segment/grey_image.h"
#include "segment/grid.h"
#include "segment/segmentation.h"

namespace morvik {

enum class Layout { Text, Grid, Table };

// How a picture is cut: running text by default, a fixed grid of cells, or a ruled table.
struct CutOptions {
  Layout Mode = Layout::Text;
  GridLayout Grid;  // with Layout::Grid
  Polarity Ink = Polarity::Auto;
  // The cut stops past this many characters; reading and learning then refuse the picture.
  std::size_t MaxCharacters = kMaxCharactersPerPicture;
};

struct ReadOptions {
  CutOptions Cut;
  CharacterOptions Character;  // image overrides and candidate filter
  double Reject = 0;           // a best score below this rejects the character
  // Told after each line (lines read, lines in all); false abandons the reading (kFailed).
  std::function<bool(int done, int lines)> Progress;
  // The threads the lines are recognised on (0: one a core where the picture holds enough
  // characters to pay for them); the reading and the order of Progress are the same whatever the
  // number.
  unsigned Threads = 1;
};

// One character box of the picture with what it was read as.
struct ReadCharacter {
  int Line = 1;           // text line, from 1
  int Column = 0;         // position in the line's text, from 0: a word space takes one
  CharBox Box;            // in picture coordinates
  bool Blank = false;     // an empty grid or table cell: read as a blank, not recognised
  bool Rejected = false;  // no match, or the best score below ReadOptions::Reject
  std::array<LibraryMatch, 3> Best{};
};

struct PictureReading {
  Segmentation Cut;                  // for drawing the boxes
  std::vector<ReadCharacter> Chars;  // in reading order
  // Where running text was read from the picture changed (bars of the other polarity turned
  // round, the picture turned straight): the Chars' boxes in the changed picture, and the
  // polarity asked for, which make it again (ReadFromGrey). Empty where read as given.
  std::vector<CharBox> ReadBoxes;
  Polarity ReadInk = Polarity::Auto;
  int ReadScale = 1;  // small print is read from the picture resampled this many times larger
  bool ReadSharpened = false;  // soft print is read from the picture sharpened
};

// The segmentation of a grey picture under the cut options. Throws Error for a bad grid.
Segmentation CutPicture(const GreyImage& grey, const CutOptions& options);

// The grey picture that is cut and sampled: isolated pixels removed (RemoveIsolatedPixels).
GreyImage ReadingGrey(const Bitmap& picture);
// The same for a picture decoded straight to grey (its pixels as ToGreyImage would give them).
GreyImage ReadingGrey(const GreyImage& picture);
// The same made in the picture's own memory.
GreyImage ReadingGrey(GreyImage&& picture);

// One character as it is recognised, learned and written by --cut: the box's greys, bright
// on black, resampled to the matcher's raster size (CutCharacterScaled).
Bitmap RecognitionCut(const GreyImage& grey, const CharBox& box, bool darkOnLight);

// The grey picture the reading's characters were read from (in ReadBoxes where that is not
// empty, else in their Box): given (the picture's ReadingGrey), changed again as the reading
// changed it (sharpened, resampled larger, bars turned round, turned straight).
GreyImage ReadFromGrey(const GreyImage& given, const PictureReading& reading);

// Segments, cuts and recognises every character of the picture. Throws Error for a bad grid
// and, of kind kTooLarge, for a picture of more than options.Cut.MaxCharacters characters
// (before any is recognised); a picture without ink reads as no characters.
// The library is only read: threads may read pictures with one library at once.
PictureReading ReadPicture(const Bitmap& picture, const ReferenceLibrary& library,
                           const ReadOptions& options);

// The same for the picture's ReadingGrey, made once by a caller that needs it for more.
PictureReading ReadPicture(const GreyImage& grey, const ReferenceLibrary& library,
                           const ReadOptions& options);

// The character a reading shows: the blank of an empty cell, '?' when rejected or when the
// best reference names no character, else the best reference's character.
char ShownChar(const ReadCharacter& c);

// The text of a reading: one string per text line, one blank between words, a ligature
// written as its letters (LettersOf).
std::vector<std::string> ReadingText(const PictureReading& reading);

}  // namespace morvik
