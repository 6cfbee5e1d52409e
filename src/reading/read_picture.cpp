#include "reading/read_picture.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string>

#include "core/error.h"
#include "core/ordered_jobs.h"
#include "image/picture_loading.h"  // CellHeight
#include "reading/character_height.h"
#include "reading/lexicon.h"
#include "reading/ligatures.h"
#include "reading/line_marks.h"
#include "reading/recognition_memo.h"
#include "reading/running_text.h"
#include "reading/sharpen.h"
#include "reading/stroke_letters.h"
#include "reading/upscale.h"
#include "reading/word_context.h"
#include "reading/word_segmentation.h"
#include "reading/word_spaces.h"
#include "segment/bars.h"
#include "segment/binarise.h"
#include "segment/blocks.h"
#include "segment/characters.h"
#include "segment/cut.h"
#include "segment/deskew.h"
#include "segment/isolated_pixels.h"
#include "segment/noise.h"
#include "segment/table.h"
#include "segment/text_segmenter.h"

namespace morvik {

Segmentation CutPicture(const GreyImage& grey, const CutOptions& options) {
  switch (options.Mode) {
    case Layout::Grid:
      return SegmentGrid(grey, options.Grid, options.Ink, options.MaxCharacters);
    case Layout::Table:
      return SegmentTable(grey, options.Ink, options.MaxCharacters);
    case Layout::Text:
      break;
  }
  return SegmentText(grey, options.Ink, options.MaxCharacters);
}

GreyImage ReadingGrey(const Bitmap& picture) {
  return ReadingGrey(ToGreyImage(picture));
}

GreyImage ReadingGrey(const GreyImage& picture) {
  return RemoveIsolatedPixels(picture);
}

GreyImage ReadingGrey(GreyImage&& picture) {
  RemoveIsolatedPixelsInPlace(picture);
  return std::move(picture);
}

Bitmap RecognitionCut(const GreyImage& grey, const CharBox& box, bool darkOnLight) {
  return CutCharacterScaled(grey, box, darkOnLight, CellHeight);
}

namespace {

ReadCharacter Character(const RecognizedBox& r, const ReadOptions& options) {
  ReadCharacter c;
  c.Box = r.Box;
  c.Blank = r.Box.Empty;
  c.Best = r.Best;
  c.Rejected = !c.Blank && (c.Best[0].No == 0 || c.Best[0].Score < options.Reject);
  return c;
}

// The characters of one line: blank cells as they are, the others recognised, with touching
// words that read poorly segmented again by recognition (never in a grid, whose cells hold
// one each).
std::vector<RecognizedBox> ReadLine(const GreyImage& grey, const Binarised& ink,
                                    const TextLine& line, const LibraryReader& reader,
                                    const ReadOptions& options, const Lexicon* words,
                                    bool proseLexicon, RecognitionMemo& memo) {
  const int capHeight = LineCapHeight(line.Chars);
  // The greys RecognitionCut would write, without its margins: sampled as they are.
  const BoxRecognizer recognize = [&](const CharBox& b) {
    const std::uint16_t height = RelativeHeight(b.Height, capHeight);
    return memo.Recall(grey, b, height, [&] {
      return RecognizeCharacter(reader, ScaleCharacter(grey, b, ink.DarkOnLight, CellHeight),
                                height);
    });
  };
  const bool grid = options.Cut.Mode == Layout::Grid;
  std::vector<Rect> rects;
  for (const CharBox& b : line.Chars) rects.push_back(Rect{b.Left, b.Top, b.Width, b.Height});
  const int typicalWidth = MedianCharWidth(rects, line.Box.Height);
  std::vector<RecognizedBox> found;
  for (const CharBox& box : line.Chars)
    found.push_back({box, box.Empty ? std::array<LibraryMatch, 3>{} : recognize(box)});
  // Spaces first, from the segmenter's boxes: pieces the search cuts out of a box (or joins)
  // would break the even pitch of monospaced lines and read as word breaks.
  if (options.Cut.Mode == Layout::Text) {
    const LineGrid grid = CutGridSpans(ink.Image, found, recognize);
    SetWordSpaces(found, grid);
  }
  // Smaller pictures (screenshots) are left out of the lexicon as a whole (a line of codes or
  // file names would be bent into words); their lines of prose still use it.
  const bool smallPicture = words == nullptr;
  if (words == nullptr && proseLexicon && RunningText(found)) words = &Lexicon::Installed();
  if (!grid)
    SegmentWords(ink.Image, found, typicalWidth, recognize, words,
                 smallPicture ? kScreenReach : SearchReach{});
  if (options.Cut.Mode == Layout::Text) {
    JoinQuoteTicks(found, recognize);
    JoinStrayDots(found, recognize);
    JoinStackedDots(found, recognize);
    JoinShortOnes(found, recognize);
  }
  return found;
}

template <typename Box>
void MoveBack(Box& b, long double skew, const GreyImage& grey) {
  long double x = b.Left + b.Width / 2.0L, y = b.Top + b.Height / 2.0L;
  Unrotate(skew, grey.Width, grey.Height, x, y);
  // Kept inside the picture: a box at its edge may move past it by a pixel.
  b.Left = std::clamp(static_cast<int>(std::lround(x - b.Width / 2.0L)), 0,
                      std::max(0, grey.Width - b.Width));
  b.Top = std::clamp(static_cast<int>(std::lround(y - b.Height / 2.0L)), 0,
                     std::max(0, grey.Height - b.Height));
}

// The boxes of a reading of the turned picture moved to where their centres lie in the
// picture as given, so that boxes and --cut refer to the caller's picture.
void MoveBoxesBack(PictureReading& reading, long double skew, const GreyImage& grey) {
  for (TextLine& l : reading.Cut.Lines) {
    MoveBack(l.Box, skew, grey);
    for (CharBox& b : l.Chars) MoveBack(b, skew, grey);
  }
  for (ReadCharacter& c : reading.Chars) MoveBack(c.Box, skew, grey);
}

// A box of the picture resampled `scale` times larger as the box of the picture given: the
// pixels it covers, kept inside the picture.
template <typename Box>
void ScaleBack(Box& b, int scale, const GreyImage& given) {
  const int left = std::min(b.Left / scale, std::max(0, given.Width - 1));
  const int top = std::min(b.Top / scale, std::max(0, given.Height - 1));
  const int right = std::min((b.Left + b.Width + scale - 1) / scale, given.Width);
  const int bottom = std::min((b.Top + b.Height + scale - 1) / scale, given.Height);
  b.Left = left;
  b.Top = top;
  b.Width = std::max(right - left, b.Width > 0 ? 1 : 0);
  b.Height = std::max(bottom - top, b.Height > 0 ? 1 : 0);
}

void ScaleBoxesBack(PictureReading& reading, int scale, const GreyImage& given) {
  for (TextLine& l : reading.Cut.Lines) {
    ScaleBack(l.Box, scale, given);
    for (CharBox& b : l.Chars) ScaleBack(b, scale, given);
  }
  for (ReadCharacter& c : reading.Chars) ScaleBack(c.Box, scale, given);
}

// Running text as it is read: bars of the other polarity turned round and blocks whose text
// lies past their grey made ground, then the picture turned so that its lines run along the
// rows. Work stays empty where neither was needed.
struct TextPage {
  GreyImage Work;
  Binarised Ink;
  std::vector<Component> Components;  // of Ink.Image: bars, blocks and lines all need them
  long double Skew = 0;
};

// histogram: the GreyHistogram of given where the caller has it, else null.
TextPage PrepareText(const GreyImage& given, Polarity polarity,
                     const std::array<long long, 256>* histogram = nullptr) {
  TextPage page;
  page.Ink = histogram ? Binarise(given, polarity, *histogram) : Binarise(given, polarity);
  const Polarity found = page.Ink.DarkOnLight ? Polarity::DarkOnLight : Polarity::LightOnDark;
  page.Components = FindComponents(page.Ink.Image);
  std::vector<Bar> bars = FindBars(page.Ink.Image, page.Components);
  const TextBlocks blocks = FindTextBlocks(given, page.Ink, bars, page.Components);
  bool changed = false;
  if (!bars.empty() || !blocks.Bars.empty()) {
    page.Work = given;
    FlipBars(page.Work, page.Ink, bars);
    if (!blocks.Bars.empty()) FlipBars(page.Work, blocks.Ink, blocks.Bars);
    page.Ink = Binarise(page.Work, found);
    changed = true;
  }
  page.Skew = EstimateSkew(page.Ink.Image);
  if (page.Skew != 0) {
    const GreyImage& from = page.Work.Pixels.empty() ? given : page.Work;
    page.Work = Rotate(from, page.Skew, GroundGrey(from, page.Ink.Image));
    page.Ink = Binarise(page.Work, found);
    changed = true;
  }
  if (changed) page.Components = FindComponents(page.Ink.Image);
  return page;
}

}  // namespace

GreyImage ReadFromGrey(const GreyImage& given, const PictureReading& reading) {
  if (reading.ReadBoxes.empty()) return given;
  GreyImage restored = reading.ReadSharpened ? Sharpen(given) : given;
  if (reading.ReadScale > 1) restored = Upscale(restored, reading.ReadScale);
  TextPage page = PrepareText(restored, reading.ReadInk);
  return page.Work.Pixels.empty() ? restored : page.Work;
}

PictureReading ReadPicture(const Bitmap& picture, const ReferenceLibrary& library,
                           const ReadOptions& options) {
  return ReadPicture(ReadingGrey(picture), library, options);
}

PictureReading ReadPicture(const GreyImage& given, const ReferenceLibrary& library,
                           const ReadOptions& options) {
  const LibraryReader reader = MakeLibraryReader(library, options.Character);
  PictureReading reading;
  // Running text is cut from the binarisation the split of touching characters uses too,
  // of the picture as PrepareText changes it.
  Binarised ink;
  GreyImage restored;  // soft print sharpened, small print resampled, when either is
  GreyImage work;      // the picture as changed, when it is
  long double skew = 0;
  if (options.Cut.Mode == Layout::Text) {
    const std::array<long long, 256> histogram = GreyHistogram(given);  // counted once for both
    reading.ReadSharpened = LooksBlurred(given, histogram);
    if (reading.ReadSharpened) restored = Sharpen(given);
    const GreyImage& first = reading.ReadSharpened ? restored : given;
    TextPage page =
        PrepareText(first, options.Cut.Ink, reading.ReadSharpened ? nullptr : &histogram);
    reading.Cut.Lines =
        SegmentLines(page.Ink.Image, std::move(page.Components), 0, options.Cut.MaxCharacters);
    reading.ReadScale = UpscaleFactor(reading.Cut.Lines, first.Width, first.Height);
    if (reading.ReadScale > 1) {
      restored = Upscale(first, reading.ReadScale);
      page = PrepareText(restored, options.Cut.Ink);
      reading.Cut.Lines =
          SegmentLines(page.Ink.Image, std::move(page.Components), 0, options.Cut.MaxCharacters);
    }
    ink = std::move(page.Ink);
    work = std::move(page.Work);
    skew = page.Skew;
    reading.Cut.DarkOnLight = ink.DarkOnLight;
  } else {
    reading.Cut = CutPicture(given, options.Cut);
    ink = Binarise(given, reading.Cut.DarkOnLight ? Polarity::DarkOnLight : Polarity::LightOnDark);
  }
  const GreyImage& source = restored.Pixels.empty() ? given : restored;
  const GreyImage& grey = work.Pixels.empty() ? source : work;
  if (CharacterCount(reading.Cut) > options.Cut.MaxCharacters)
    throw Error("the picture holds more than " + std::to_string(options.Cut.MaxCharacters) +
                    " characters, the most read from one picture",
                ErrorKind::kTooLarge);
  RemoveNoise(reading.Cut, ink.Image, options.Cut.Mode == Layout::Grid);
  // Pages only, as for ApplyLexicon below: the lexicon also chooses how words are cut.
  const Lexicon* words =
      options.Cut.Mode == Layout::Text && CharacterCount(reading.Cut) >= kLexiconCharacters
          ? &Lexicon::Installed()
          : nullptr;
  const bool proseLexicon = options.Cut.Mode == Layout::Text;
  // Lines are read apart from each other, so several threads may read them (the library and
  // the pictures only looked at); they are taken in their order, as one thread reads them.
  // Left to us (0), a small picture is read on the calling thread: starting one would cost more.
  constexpr std::size_t kCharactersForThreads = 200;
  const unsigned threads = options.Threads != 0                                  ? options.Threads
                           : CharacterCount(reading.Cut) < kCharactersForThreads ? 1
                                                                                 : DefaultJobs();
  RecognitionMemo memo;  // one reader, one polarity: the same greys read the same
  OrderedJobs<std::vector<RecognizedBox>> lines(
      reading.Cut.Lines.size(), threads, [&](std::size_t k) {
        return ReadLine(grey, ink, reading.Cut.Lines[k], reader, options, words, proseLexicon,
                        memo);
      });
  int line = 0;
  for (TextLine& l : reading.Cut.Lines) {
    ++line;
    int column = 0;
    const std::vector<RecognizedBox> found = lines.Next();
    l.Chars.clear();  // as read: words segmented again where they read poorly
    for (std::size_t i = 0; i < found.size(); ++i) {
      if (i > 0 && found[i].Box.SpaceBefore) ++column;
      ReadCharacter c = Character(found[i], options);
      c.Line = line;
      c.Column = column++;
      l.Chars.push_back(c.Box);
      reading.Chars.push_back(c);
    }
    if (options.Progress && !options.Progress(line, static_cast<int>(reading.Cut.Lines.size())))
      throw Error("the reading was cancelled", ErrorKind::kFailed);
  }
  ApplyLineMarks(reading);
  ApplyWordContext(reading);
  if (options.Cut.Mode == Layout::Text)
    ApplyStrokeLetters(reading, grey, reading.Cut.DarkOnLight, library, options.Character.Filter,
                       options.Reject);
  // Pages only: on a line or a screenshot it changed little. (Hashing the word list cost
  // about 20 ms a process; a prepared table, word_table.h, is mapped in well under one.)
  if (options.Cut.Mode == Layout::Text && reading.Chars.size() >= kLexiconCharacters)
    ApplyLexicon(reading, Lexicon::Installed);
  if (!work.Pixels.empty() || !restored.Pixels.empty()) {
    reading.ReadInk = options.Cut.Ink;
    for (const ReadCharacter& c : reading.Chars) reading.ReadBoxes.push_back(c.Box);
  }
  if (skew != 0) MoveBoxesBack(reading, skew, source);
  if (reading.ReadScale > 1) ScaleBoxesBack(reading, reading.ReadScale, given);
  return reading;
}

char ShownChar(const ReadCharacter& c) {
  if (c.Blank) return ' ';
  if (c.Rejected || c.Best[0].Char == 0) return '?';
  return c.Best[0].Char;
}

std::vector<std::string> ReadingText(const PictureReading& reading) {
  std::vector<std::string> lines(reading.Cut.Lines.size());
  // Letters a ligature added beyond its one position, per line: later columns move on.
  std::vector<std::size_t> extra(lines.size(), 0);
  for (const ReadCharacter& c : reading.Chars) {
    const auto k = static_cast<std::size_t>(c.Line - 1);
    lines[k].resize(static_cast<std::size_t>(c.Column) + extra[k], ' ');
    const std::string letters = LettersOf(ShownChar(c));
    lines[k] += letters;
    extra[k] += letters.size() - 1;
  }
  return lines;
}

}  // namespace morvik
