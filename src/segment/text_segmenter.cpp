#include "segment/text_segmenter.h"

#include <algorithm>

#include "segment/characters.h"
#include "segment/columns.h"
#include "segment/components.h"
#include "segment/frames.h"
#include "segment/lines.h"
#include "segment/marks.h"
#include "segment/spaces.h"
#include "segment/split.h"

namespace morvik {

namespace {

// The median character height: a lowercase line's ascenders and descenders together make its
// box far higher than its letters, and the spaces scale with the letters.
int MedianHeight(const std::vector<Rect>& chars) {
  std::vector<int> h;
  for (const Rect& r : chars) h.push_back(r.Height);
  if (h.empty()) return 0;
  std::nth_element(h.begin(), h.begin() + h.size() / 2, h.end());
  return h[h.size() / 2];
}

TextLine BuildLine(const BinaryImage& image, const LineParts& parts) {
  const int height = parts.Box.Height;
  const std::vector<Rect> chars =
      SplitTouching(image, MergeIntoCharacters(parts.Parts, height), height);
  const std::vector<bool> spaces = FindSpaces(chars, MedianHeight(chars));
  TextLine line;
  for (std::size_t i = 0; i < chars.size(); ++i) {
    const Rect& r = chars[i];
    line.Chars.push_back({r.Left, r.Top, r.Width, r.Height, spaces[i], false});
    line.Box = Union(line.Box, r);
  }
  return line;
}

}  // namespace

std::vector<TextLine> SegmentLines(const BinaryImage& image, int typicalHeight,
                                   std::size_t maxChars) {
  return SegmentLines(image, FindComponents(image), typicalHeight, maxChars);
}

std::vector<TextLine> SegmentLines(const BinaryImage& image, std::vector<Component> components,
                                   int typicalHeight, std::size_t maxChars) {
  // A frame would pass for the typical character and enclose a line of everything.
  std::vector<Rect> sides;
  RemoveFrames(components, &sides);
  RemoveFrameCorners(components, sides);
  if (typicalHeight <= 0) typicalHeight = TypicalHeight(components);
  // Dust is set aside: the dots of i and full stops at screen sizes are as small.
  const auto dust =
      std::stable_partition(components.begin(), components.end(),
                            [&](const Component& c) { return !IsDust(c, typicalHeight); });
  std::vector<Component> marks(dust, components.end());
  components.erase(dust, components.end());
  RemoveRules(components, typicalHeight);
  std::vector<TextLine> lines;
  std::size_t count = 0;
  std::vector<LineParts> found = LinesInReadingOrder(components, image.Height, typicalHeight);
  PutBackMarks(found, std::move(marks), typicalHeight);
  for (const LineParts& parts : found) {
    if (count > maxChars) break;
    TextLine line = BuildLine(image, parts);
    count += line.Chars.size();
    if (!line.Chars.empty()) lines.push_back(std::move(line));
  }
  return lines;
}

Segmentation SegmentText(const GreyImage& grey, Polarity polarity, std::size_t maxChars) {
  const Binarised b = Binarise(grey, polarity);
  Segmentation s;
  s.DarkOnLight = b.DarkOnLight;
  s.Lines = SegmentLines(b.Image, 0, maxChars);
  return s;
}

}  // namespace morvik
