#include "reading/read_picture.h"

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

namespace {

ReadCharacter ReadOne(const GreyImage& grey, bool darkOnLight, const CharBox& box,
                      ReferenceLibrary& library, const ReadOptions& options) {
  ReadCharacter c;
  c.Box = box;
  c.Blank = box.Empty;
  if (c.Blank) return c;
  c.Best = RecognizeCharacter(library, CutCharacter(grey, box, darkOnLight), options.Character);
  c.Rejected = c.Best[0].No == 0 || c.Best[0].Score < options.Reject;
  return c;
}

}  // namespace

PictureReading ReadPicture(const Bitmap& picture, ReferenceLibrary& library,
                           const ReadOptions& options) {
  const GreyImage grey = ToGreyImage(picture);
  PictureReading reading;
  reading.Cut = CutPicture(grey, options.Cut);
  int line = 0;
  for (const TextLine& l : reading.Cut.Lines) {
    ++line;
    int column = 0;
    for (std::size_t i = 0; i < l.Chars.size(); ++i) {
      const CharBox& box = l.Chars[i];
      if (i > 0 && box.SpaceBefore) ++column;
      ReadCharacter c = ReadOne(grey, reading.Cut.DarkOnLight, box, library, options);
      c.Line = line;
      c.Column = column++;
      reading.Chars.push_back(c);
    }
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
