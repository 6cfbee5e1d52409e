#include "reading/read_picture.h"

#include "image/image_state.h"
#include "reading/touching_split.h"
#include "segment/cut.h"
#include "segment/table.h"
#include "segment/text_segmenter.h"

namespace morvik {

Segmentation CutPicture(const GreyImage& grey, const CutOptions& options) {
  switch (options.Mode) {
    case Layout::Grid:
      return SegmentGrid(grey, options.Grid, options.Ink);
    case Layout::Table:
      return SegmentTable(grey, options.Ink);
    case Layout::Text:
      break;
  }
  return SegmentText(grey, options.Ink);
}

Bitmap RecognitionCut(const GreyImage& grey, const CharBox& box, bool darkOnLight) {
  return CutCharacterScaled(grey, box, darkOnLight, CellHeight);
}

namespace {

// The characters of one box: a blank cell, or what recognition finds, split where the box
// holds touching characters (never in a grid, whose cells hold one each).
std::vector<ReadCharacter> ReadBox(const GreyImage& grey, const Binarised& ink, const CharBox& box,
                                   ReferenceLibrary& library, const ReadOptions& options) {
  ReadCharacter c;
  c.Box = box;
  c.Blank = box.Empty;
  if (c.Blank) return {c};
  const BoxRecognizer recognize = [&](const CharBox& b) {
    return RecognizeCharacter(library, RecognitionCut(grey, b, ink.DarkOnLight), options.Character);
  };
  std::vector<RecognizedBox> found;
  if (options.Cut.Mode == Layout::Grid)
    found.push_back({box, recognize(box)});
  else
    found = RecognizeSplitting(ink.Image, box, recognize);
  std::vector<ReadCharacter> out;
  for (const RecognizedBox& r : found) {
    c.Box = r.Box;
    c.Best = r.Best;
    c.Rejected = c.Best[0].No == 0 || c.Best[0].Score < options.Reject;
    out.push_back(c);
  }
  return out;
}

}  // namespace

PictureReading ReadPicture(const Bitmap& picture, ReferenceLibrary& library,
                           const ReadOptions& options) {
  const GreyImage grey = ToGreyImage(picture);
  PictureReading reading;
  reading.Cut = CutPicture(grey, options.Cut);
  const Binarised ink =
      Binarise(grey, reading.Cut.DarkOnLight ? Polarity::DarkOnLight : Polarity::LightOnDark);
  int line = 0;
  for (TextLine& l : reading.Cut.Lines) {
    ++line;
    int column = 0;
    std::vector<CharBox> boxes;
    for (std::size_t i = 0; i < l.Chars.size(); ++i) {
      if (i > 0 && l.Chars[i].SpaceBefore) ++column;
      for (ReadCharacter& c : ReadBox(grey, ink, l.Chars[i], library, options)) {
        c.Line = line;
        c.Column = column++;
        boxes.push_back(c.Box);
        reading.Chars.push_back(c);
      }
    }
    l.Chars = boxes;  // as read, touching characters split
  }
  return reading;
}

char ShownChar(const ReadCharacter& c) {
  if (c.Blank) return ' ';
  if (c.Rejected || c.Best[0].Char == 0) return '?';
  return c.Best[0].Char;
}

std::vector<std::string> ReadingText(const PictureReading& reading) {
  std::vector<std::string> lines(reading.Cut.Lines.size());
  for (const ReadCharacter& c : reading.Chars) {
    std::string& l = lines[static_cast<std::size_t>(c.Line - 1)];
    l.resize(static_cast<std::size_t>(c.Column), ' ');
    l += ShownChar(c);
  }
  return lines;
}

}  // namespace morvik
