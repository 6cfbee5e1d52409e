#include "learning/learn_picture.h"

#include <algorithm>

#include "core/error.h"
#include "core/pattern_bank.h"
#include "fonts/char_list.h"
#include "fonts/utf8.h"
#include "reading/character_detail.h"
#include "reading/character_height.h"
#include "reading/character_recognition.h"
#include "segment/cut.h"

namespace morvik {

SetSettings LearningSettings(const SetSettings& overrides) {
  SetSettings s = MergeSettings(CharacterDefaults(), overrides);
  s.Black = false;  // cuts are always bright on black
  return s;
}

std::string LearnableChars(const std::string& chars) {
  std::string named;
  for (const char32_t c : ParseCharList(chars)) {
    if (c == U' ') continue;  // blanks only separate
    if (c > 0xFF)
      throw Error("the characters to learn must be single-byte (Latin-1) characters, not " +
                      CodePointName(c),
                  ErrorKind::kUsage);
    named += static_cast<char>(c);
  }
  return named;
}

namespace {

// The boxes of the cut in reading order. When there are more than `wanted`, characters the
// segmenter cut in two (the halves of a wide serif M touch: no gap between them) are joined
// again, the closest pairs first, as long as the joined box is at most 1.5 times as wide as
// high. Each box comes with its height against its line's capitals, as reading measures it.
struct LearningBox {
  CharBox Box;
  std::uint16_t Height = 0;
};

std::vector<LearningBox> LearningBoxes(const Segmentation& cut, std::size_t wanted) {
  std::vector<std::vector<CharBox>> lines;
  std::size_t count = 0;
  for (const TextLine& line : cut.Lines) {
    lines.emplace_back();
    for (const CharBox& box : line.Chars)
      if (!box.Empty) lines.back().push_back(box);
    count += lines.back().size();
  }
  while (count > wanted) {
    std::vector<CharBox>* bestLine = nullptr;
    std::size_t best = 0;
    int bestGap = 2;  // touching or one pixel apart
    for (std::vector<CharBox>& line : lines)
      for (std::size_t i = 0; i + 1 < line.size(); ++i) {
        const CharBox &a = line[i], &b = line[i + 1];
        const int gap = b.Left - (a.Left + a.Width);
        const int top = std::min(a.Top, b.Top);
        const int height = std::max(a.Top + a.Height, b.Top + b.Height) - top;
        if (gap < bestGap && 2 * (b.Left + b.Width - a.Left) <= 3 * height)
          bestLine = &line, best = i, bestGap = gap;
      }
    if (!bestLine) break;
    CharBox& a = (*bestLine)[best];
    const CharBox& b = (*bestLine)[best + 1];
    const Rect joined =
        Union(Rect{a.Left, a.Top, a.Width, a.Height}, Rect{b.Left, b.Top, b.Width, b.Height});
    a = CharBox{joined.Left, joined.Top, joined.Width, joined.Height, a.SpaceBefore, false};
    bestLine->erase(bestLine->begin() + static_cast<std::ptrdiff_t>(best) + 1);
    --count;
  }
  std::vector<LearningBox> boxes;
  for (const std::vector<CharBox>& line : lines) {
    const int capHeight = LineCapHeight(line);
    for (const CharBox& box : line) boxes.push_back({box, RelativeHeight(box.Height, capHeight)});
  }
  return boxes;
}

// Pieces a cut may hold per character named: learning joins the pieces of a character the
// segmenter cut apart (two or three of them) to meet the count, never more than this.
constexpr std::size_t kPiecesPerName = 4;

// The most pieces a cut for `named` names may hold (a set's 40 at most, and one more, so the
// count that is one too many is still told exactly).
std::size_t MostPieces(const CutOptions& options, std::size_t named) {
  const auto names = std::clamp<std::size_t>(named, 1, kReferenceCount + 1);
  return std::min(options.MaxCharacters, kPiecesPerName * names);
}

}  // namespace

LearnedSet LearnFromPicture(const Bitmap& picture, const std::string& chars,
                            const LearnOptions& options, const std::string& name) {
  const GreyImage grey = ReadingGrey(picture);
  const std::string named = LearnableChars(chars);
  // The cut stops as soon as it holds more pieces than the names could take: a picture of
  // thousands of marks is refused without being cut whole.
  CutOptions cutOptions = options.Cut;
  cutOptions.MaxCharacters = MostPieces(options.Cut, named.size());
  const Segmentation cut = CutPicture(grey, cutOptions);
  if (CharacterCount(cut) > cutOptions.MaxCharacters)
    throw FileError(name, "the picture holds more than " +
                              std::to_string(cutOptions.MaxCharacters) + " characters, but " +
                              std::to_string(named.size()) + " are named");
  const std::vector<LearningBox> boxes = LearningBoxes(cut, named.size());
  if (boxes.empty()) throw FileError(name, "no characters found to learn from");
  if (boxes.size() != named.size())
    throw FileError(name, "the picture holds " + std::to_string(boxes.size()) +
                              " characters, but " + std::to_string(named.size()) + " are named");
  if (boxes.size() > static_cast<std::size_t>(kReferenceCount))
    throw FileError(name, "the picture holds " + std::to_string(boxes.size()) +
                              " characters; a set holds at most " +
                              std::to_string(kReferenceCount));

  LearnedSet set;
  set.Settings = LearningSettings(options.Overrides);
  const EffectiveSettings e = ResolveSettings(set.Settings, {});
  set.Chars.CharMapLoaded = true;
  set.Chars.CharMap[0] = ' ';  // a run reads "no pattern" (an all-black blank cut) as a blank
  for (std::size_t k = 0; k < boxes.size(); ++k) {
    const int n = static_cast<int>(k) + 1;
    const std::string what = name + " character " + std::to_string(n);
    const Bitmap character = RecognitionCut(grey, boxes[k].Box, cut.DarkOnLight);
    set.Bank.TestPattern() = CharacterPattern(character, e.Image, what);
    CopyPattern(set.Bank.TestPattern(), set.Bank.Slot(n));
    set.Chars.CharMap[static_cast<std::size_t>(n)] = named[k];
    set.Detail.Ref(static_cast<std::size_t>(n)) = DetailOf(character, boxes[k].Height);
    set.Detail.Loaded = true;
  }
  set.Count = static_cast<int>(boxes.size());
  return set;
}

}  // namespace morvik
