// What a reading prints: plain text, tab-separated values with a header, or JSON.
#pragma once

#include <ostream>
#include <string>

#include "library/reference_library.h"
#include "reading/read_picture.h"

namespace morvik {

enum class ReadingFormat { Text, Tsv, Json };

// The header line of the tsv format (without its line end). One row per character box:
//   picture  the picture's name as given ("-" for standard input)
//   line     text line, from 1
//   index    position in the line's text, from 0; a word space takes one position, so
//            line and index name the cut file "<line>_<index>.bmp"
//   left top width height   the character's box in the picture, in pixels
//   char1 set1 no1 score1   best reference: its character, its set's base name, its number
//                           1..40 and its score; all empty for an empty cell or no match
//   char2 ... score3        the second and third best likewise
//   rejected                1 when the best score is below the rejection score or nothing
//                           matched, else 0
// Scores have 6 significant digits. Characters are UTF-8 (a map's bytes from 128 up are
// Latin-1). A tab, line end or backslash in a field is written as \t, \r, \n or \\.
std::string TsvHeader();

// The rows of one picture, each with its line end "\n".
std::string TsvRows(const std::string& picture, const PictureReading& reading,
                    const ReferenceLibrary& library);

// One picture as a JSON object:
//   {"picture": NAME, "text": [LINE, ...], "characters": [{"line": L, "index": I,
//    "left": X, "top": Y, "width": W, "height": H, "space_before": B, "blank": B,
//    "rejected": B, "best": [{"char": C, "set": S, "no": N, "score": F}, ...]}, ...]}
// "best" holds up to three matches, best first ("char" is null for a reference without
// one). Strings are UTF-8: the characters read are Latin-1, as are bytes of names that are
// not UTF-8.
std::string JsonPicture(const std::string& picture, const PictureReading& reading,
                        const ReferenceLibrary& library);

// A JSON string literal of text, escaped as above.
std::string JsonString(const std::string& text);

// The text of one picture in UTF-8: one line per text line, each ended by "\n".
std::string TextOf(const PictureReading& reading);

// Prints readings one after another in one format: text with a line "==> NAME <==" before
// each picture when there are several (and a blank line between them, as head(1) does), tsv
// under one header, json as one array.
class ReadingPrinter {
 public:
  ReadingPrinter(std::ostream& out, ReadingFormat format, bool severalPictures);
  void Print(const std::string& picture, const PictureReading& reading,
             const ReferenceLibrary& library);
  void Finish();  // closes the json array; the header or "[]" when nothing was printed

 private:
  std::ostream& out_;
  ReadingFormat format_;
  bool several_;
  int printed_ = 0;
};

}  // namespace morvik
