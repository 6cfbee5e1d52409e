#include "reading/learn_picture.h"

#include "core/error.h"
#include "core/pattern_bank.h"
#include "fonts/char_list.h"
#include "reading/character_recognition.h"
#include "segment/cut.h"

namespace morvik {

SetSettings LearningSettings(const SetSettings& overrides) {
  SetSettings s = MergeSettings(CharacterDefaults(), overrides);
  s.Black = false;  // cuts are always bright on black
  return s;
}

namespace {

// The characters named, one byte each as the set's map holds them (Latin-1 above 127).
std::string NamedChars(const std::string& chars) {
  std::string list;
  for (char c : chars)
    if (c != ' ') list += c;
  std::string named;
  for (const char32_t c : ParseCharList(list)) {
    if (c > 0xFF) throw Error("the characters to learn must be single-byte (Latin-1) characters");
    named += static_cast<char>(c);
  }
  return named;
}

}  // namespace

LearnedSet LearnFromPicture(const Bitmap& picture, const std::string& chars,
                            const LearnOptions& options, const std::string& name) {
  const GreyImage grey = ToGreyImage(picture);
  const Segmentation cut = CutPicture(grey, options.Cut);
  std::vector<CharBox> boxes;
  for (const TextLine& line : cut.Lines)
    for (const CharBox& box : line.Chars)
      if (!box.Empty) boxes.push_back(box);
  const std::string named = NamedChars(chars);
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
    set.Bank.TestPattern() =
        CharacterPattern(RecognitionCut(grey, boxes[k], cut.DarkOnLight), e.Image, what);
    CopyPattern(set.Bank.TestPattern(), set.Bank.Slot(n));
    set.Chars.CharMap[static_cast<std::size_t>(n)] = named[k];
  }
  set.Count = static_cast<int>(boxes.size());
  return set;
}

}  // namespace morvik
