// The reading path's sampling straight from the grey cut against the one-bitmap route it
// replaces there (the cut with margins in three channels through LoadPicture, the detail from
// its green channel): the same pattern bit for bit, and the same refusals, for real character
// boxes and random greys under every kind of image options.
#include "reading/character_sampling.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "core/error.h"
#include "font_files.h"
#include "fonts/font_face.h"
#include "fonts/render.h"
#include "image/picture_loading.h"
#include "reading/character_detail.h"
#include "reading/character_recognition.h"
#include "reading/read_picture.h"
#include "segment/cut.h"
#include "segment/text_segmenter.h"

namespace morvik {
namespace {

ImageOptions Options(bool crop, bool automatic, int threshold, bool fixedRatio, int ratio,
                     bool black = false) {
  ImageOptions o;
  o.Crop = crop;
  o.AutoThreshold = automatic;
  o.Threshold = threshold;
  o.Increment = 100 - threshold;
  o.FixedRatio = fixedRatio;
  o.Ratio = ratio;
  o.BlackCharacters = black;
  return o;
}

// What reading uses by default, and settings a set or the command line may give.
const std::vector<ImageOptions> kOptions = {
    ResolveSettings(CharacterDefaults(), {}).Image,
    Options(false, true, 45, false, 100),
    Options(true, false, 45, false, 100),
    Options(true, false, 0, true, 100),
    Options(true, false, 100, false, 100),
    Options(false, false, 70, true, 50),
    Options(true, true, 45, true, 1),
    Options(true, true, 45, false, 100, true),
    Options(false, false, 30, true, 100, true),
};

// The pattern, or the kind of error that refused the cut.
struct Outcome {
  std::optional<TPattern> Pattern;
  ErrorKind Kind = ErrorKind::kFailed;
};

template <typename F>
Outcome OutcomeOf(F sample) {
  Outcome o;
  try {
    o.Pattern = sample();
  } catch (const Error& e) {
    o.Kind = e.Kind();
  }
  return o;
}

void ExpectSame(const Outcome& a, const Outcome& b, const std::string& what) {
  ASSERT_EQ(a.Pattern.has_value(), b.Pattern.has_value()) << what;
  if (!a.Pattern) {
    EXPECT_EQ(a.Kind, b.Kind) << what;
    return;
  }
  const TPattern &p = *a.Pattern, &q = *b.Pattern;
  EXPECT_EQ(std::memcmp(p.Cells.data(), q.Cells.data(), sizeof p.Cells), 0) << what;
  EXPECT_EQ(p.MaxLevel, q.MaxLevel) << what;
  EXPECT_EQ(p.RowCount, q.RowCount) << what;
  EXPECT_EQ(p.ColCount, q.ColCount) << what;
}

void ExpectSameDetail(const CharacterDetail& a, const CharacterDetail& b, const std::string& what) {
  ASSERT_EQ(a.Valid, b.Valid) << what;
  EXPECT_EQ(a.Grid, b.Grid) << what;
  EXPECT_EQ(a.InkWidth, b.InkWidth) << what;
  EXPECT_EQ(a.InkHeight, b.InkHeight) << what;
  EXPECT_EQ(a.Sum, b.Sum) << what;
}

// Both routes on one box of a grey picture under every set of options.
void CompareBox(const GreyImage& grey, const CharBox& box, bool darkOnLight,
                const std::string& what) {
  const GreyImage cut = ScaleCharacter(grey, box, darkOnLight, CellHeight);
  const Bitmap bitmap = CutCharacterScaled(grey, box, darkOnLight, CellHeight);
  ExpectSameDetail(DetailOf(cut, 700), DetailOf(bitmap, 700), what);
  for (std::size_t k = 0; k < kOptions.size(); ++k) {
    const std::string where = what + " options " + std::to_string(k);
    ExpectSame(OutcomeOf([&] { return SampleCharacter(cut, kOptions[k]); }),
               OutcomeOf([&] { return CharacterPattern(bitmap, kOptions[k]); }), where);
  }
}

TEST(CharacterSampling, RealCharactersSampleAsThroughTheBitmapRoute) {
  if (!test::FontInstalled(test::kDejaVuSerif)) GTEST_SKIP() << "fonts-dejavu-core not installed";
  const FontFace face(test::kDejaVuSerif);
  for (const int cap : {9, 23, 70})
    for (const bool light : {false, true}) {
      RenderOptions o;
      o.LightOnDark = light;
      o.Margin = cap / 2 + 4;
      const GreyImage grey = ReadingGrey(RenderText(face, {"Ag7 |-.,", "Wim%"}, cap, o));
      const Segmentation cut = SegmentText(grey);
      ASSERT_FALSE(cut.Lines.empty());
      for (const TextLine& line : cut.Lines)
        for (const CharBox& b : line.Chars) {
          const std::string what = std::to_string(cap) + (light ? " light " : " dark ") +
                                   std::to_string(b.Left) + "," + std::to_string(b.Top);
          CompareBox(grey, b, cut.DarkOnLight, what);
          // A box cut too wide or too tall, and a thin sliver of it (a rule).
          CompareBox(grey, CharBox{b.Left - 3, b.Top - 5, b.Width + 6, b.Height + 10},
                     cut.DarkOnLight, what + " grown");
          CompareBox(grey, CharBox{b.Left, b.Top + b.Height / 2, b.Width, 1}, cut.DarkOnLight,
                     what + " sliver");
        }
    }
}

TEST(CharacterSampling, RandomGreysAndEmptyCutsSampleAsThroughTheBitmapRoute) {
  std::mt19937 rng(20261208);
  std::uniform_int_distribution<int> side(1, 90), grey(0, 255), kind(0, 3);
  for (int n = 0; n < 300; ++n) {
    GreyImage picture{side(rng), side(rng), {}};
    // Noise, flat grey, black, or a bright block on black.
    const int k = kind(rng);
    const int flat = grey(rng);
    for (int i = 0; i < picture.Width * picture.Height; ++i)
      picture.Pixels.push_back(static_cast<std::uint8_t>(k == 0 ? grey(rng) : k == 1 ? flat : 0));
    if (k == 3) picture.Pixels[picture.Pixels.size() / 2] = 255;
    const CharBox box{0, 0, picture.Width, picture.Height};
    CompareBox(picture, box, n % 2 == 0, "picture " + std::to_string(n));
  }
  CompareBox(GreyImage{}, CharBox{}, true, "empty box");
}

}  // namespace
}  // namespace morvik
