// The detail file of a set and the detail of a cut: the file round trip and the files refused,
// the grid's exact area weights, and what the likeness makes of shapes and proportions.
#include "library/set_detail.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <random>
#include <string>

#include "error_of.h"
#include "reading/character_detail.h"
#include "segment/cut.h"
#include "test_util.h"

namespace morvik {
namespace {

using test::ErrorOf;

SetDetail Sample() {
  SetDetail d;
  d.Loaded = true;
  for (int n : {1, 7, 40}) {
    CharacterDetail& c = d.Ref(static_cast<std::size_t>(n));
    c.Valid = true;
    c.InkWidth = static_cast<std::uint16_t>(300 * n);
    c.InkHeight = 2;
    for (std::size_t i = 0; i < c.Grid.size(); ++i) c.Grid[i] = static_cast<std::uint8_t>(i * n);
    CompleteDetail(c);
  }
  return d;
}

// The file written as a learned set writes it: one step of a group.
void Save(const std::string& base, const SetDetail& detail) {
  ReplacementGroup group;
  StageSetDetail(group, base, detail);
  group.Commit();
}

TEST(SetDetailFile, RoundTrip) {
  test::TempDir dir;
  const SetDetail d = Sample();
  Save(dir.File("s"), d);
  const SetDetail back = LoadSetDetail(dir.File("s"));
  EXPECT_TRUE(back.Loaded);
  for (int n = 1; n <= kReferenceCount; ++n) {
    const CharacterDetail &a = d.Ref(static_cast<std::size_t>(n)),
                          &b = back.Ref(static_cast<std::size_t>(n));
    EXPECT_EQ(a.Valid, b.Valid);
    EXPECT_EQ(a.InkWidth, b.InkWidth);
    EXPECT_EQ(a.InkHeight, b.InkHeight);
    EXPECT_EQ(a.Grid, b.Grid);
    EXPECT_EQ(a.Sum, b.Sum);
    EXPECT_EQ(a.InvNorm, b.InvNorm);
  }
  // No valid reference: the set carries no detail, and an old file goes.
  Save(dir.File("s"), SetDetail{});
  EXPECT_FALSE(std::filesystem::exists(dir.File("s.detail")));
  EXPECT_FALSE(LoadSetDetail(dir.File("s")).Loaded);
}

// Heights are kept in version 2; a set without any is written as version 1, which reads back
// with heights unknown.
TEST(SetDetailFile, HeightsNeedTheSecondVersion) {
  SetDetail d = Sample();
  EXPECT_EQ(FormatSetDetail(d)[8], 1);
  d.Ref(7).Height = 730;
  CompleteDetail(d.Ref(7));
  const std::string bytes = FormatSetDetail(d);
  EXPECT_EQ(bytes[8], 2);
  EXPECT_EQ(bytes.size(), FormatSetDetail(Sample()).size() + 2 * kReferenceCount);
  const SetDetail back = ParseSetDetail(bytes, "x.detail");
  for (int n = 1; n <= kReferenceCount; ++n) {
    const CharacterDetail &a = d.Ref(static_cast<std::size_t>(n)),
                          &b = back.Ref(static_cast<std::size_t>(n));
    EXPECT_EQ(a.Height, b.Height) << n;
    EXPECT_EQ(a.Grid, b.Grid) << n;
    EXPECT_EQ(a.LogHeight, b.LogHeight) << n;
  }
  EXPECT_EQ(ParseSetDetail(FormatSetDetail(Sample()), "x.detail").Ref(7).Height, 0);
}

TEST(SetDetailFile, RefusesBadFiles) {
  const std::string good = FormatSetDetail(Sample());
  const std::size_t record = 1 + 2 + 2 + kDetailSize * kDetailSize;
  auto with = [&](std::size_t at, char v) {
    std::string s = good;
    s[at] = v;
    return s;
  };
  const struct {
    std::string Bytes, Says;
  } cases[] = {
      {good.substr(0, good.size() - 1), "not a detail file"},
      {good + "x", "not a detail file"},
      {with(0, 'X'), "not a detail file"},
      {with(8, 3), "another version"},
      {with(8, 2), "not a detail file"},  // a version 2 file holds two bytes more per reference
      {with(9, 16), "another version"},
      {with(11, 2), "reference 1: bad valid byte"},
      {with(11 + record, 1), "reference 2: empty ink box"},
  };
  for (const auto& c : cases) {
    const std::string message = ErrorOf([&] { ParseSetDetail(c.Bytes, "x.detail"); });
    EXPECT_NE(message.find("x.detail"), std::string::npos) << message;
    EXPECT_NE(message.find(c.Says), std::string::npos) << message;
  }
  test::TempDir dir;
  std::filesystem::create_directory(dir.File("d.detail"));
  EXPECT_NE(ErrorOf([&] { LoadSetDetail(dir.File("d")); }).find("d.detail"), std::string::npos);
}

// A cut of w x h pixels inside CutCharacter's margins, from f(x, y).
template <typename F>
Bitmap Cut(int w, int h, F f) {
  Bitmap b(w + 2 * kCutMargin, h + 2 * kCutMargin);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int g = f(x, y);
      b.SetPixel(x + kCutMargin, y + kCutMargin, MakeColour(g, g, g));
    }
  return b;
}

TEST(CharacterDetail, GridTakesExactAreaMeans) {
  // Three columns of 0, 90, 180 stretched over the grid: each takes a third of the cells,
  // and the smoothing leaves the middle of each third as it is.
  const CharacterDetail d = DetailOf(Cut(3, 5, [](int x, int) { return 90 * x; }));
  ASSERT_TRUE(d.Valid);
  EXPECT_EQ(d.InkWidth, 3);
  EXPECT_EQ(d.InkHeight, 5);
  for (int y = 0; y < kDetailSize; ++y) {
    EXPECT_EQ(d.Grid[y * kDetailSize + kDetailSize / 6], 0);
    EXPECT_EQ(d.Grid[y * kDetailSize + kDetailSize / 2], 90);
    EXPECT_EQ(d.Grid[y * kDetailSize + 5 * kDetailSize / 6], 180);
  }
  // Columns of 0 and 255 in turn, two to a cell: every cell their mean, rounded down.
  const CharacterDetail fine =
      DetailOf(Cut(2 * kDetailSize, 9, [](int x, int) { return x % 2 ? 255 : 0; }));
  for (std::uint8_t g : fine.Grid) EXPECT_EQ(g, 127);
  EXPECT_FALSE(DetailOf(Bitmap(2 * kCutMargin, 9)).Valid);
}

// The grid by its definition: each cell the floor of the area-weighted mean of the pixels it
// covers, then smoothed by 1 2 1 across and down (edges repeated), rounded half up.
std::array<std::uint8_t, kDetailSize * kDetailSize> GridByDefinition(const GreyImage& g) {
  constexpr int n = kDetailSize;
  auto overlap = [](std::int64_t s, std::int64_t c, std::int64_t len) {
    return std::max<std::int64_t>(0,
                                  std::min((s + 1) * n, (c + 1) * len) - std::max(s * n, c * len));
  };
  std::array<int, n * n> mean{}, across{};
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < n; ++i) {
      std::int64_t sum = 0;
      for (int y = 0; y < g.Height; ++y)
        for (int x = 0; x < g.Width; ++x)
          sum += overlap(y, j, g.Height) * overlap(x, i, g.Width) * g.At(x, y);
      mean[j * n + i] = static_cast<int>(sum / (std::int64_t{g.Width} * g.Height));
    }
  auto at = [&](const std::array<int, n * n>& a, int x, int y) {
    return a[std::clamp(y, 0, n - 1) * n + std::clamp(x, 0, n - 1)];
  };
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x)
      across[y * n + x] = at(mean, x - 1, y) + 2 * at(mean, x, y) + at(mean, x + 1, y);
  std::array<std::uint8_t, n * n> grid{};
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x)
      grid[y * n + x] = static_cast<std::uint8_t>(
          (at(across, x, y - 1) + 2 * at(across, x, y) + at(across, x, y + 1) + 8) / 16);
  return grid;
}

TEST(CharacterDetail, GridOfGreyCutsIsItsDefinitionAtEverySumWidth) {
  // Heights on both sides of 257, the most whose sums of a column (255 per row) fit 16 bits;
  // rows all different, and in runs of equal rows as an enlarged cut has them (up to the
  // whole picture).
  std::mt19937 random(14);
  for (const int h : {1, 7, 64, 257, 258, 300})
    for (const int w : {1, 3, 12, 13, 40, 64})
      for (const unsigned repeat : {0u, 2u, 9u}) {
        GreyImage g{w, h, std::vector<std::uint8_t>(static_cast<std::size_t>(w) * h)};
        for (std::uint8_t& p : g.Pixels)
          p = random() % 3 ? 255 : static_cast<std::uint8_t>(random());
        for (int y = 1; y < h; ++y)
          if (random() % 10 < repeat)
            std::copy_n(&g.Pixels[static_cast<std::size_t>(y - 1) * w], w,
                        &g.Pixels[static_cast<std::size_t>(y) * w]);
        EXPECT_EQ(DetailOf(g).Grid, GridByDefinition(g)) << w << " x " << h << " " << repeat;
      }
}

TEST(CharacterDetail, LikenessOfShapesAndProportions) {
  const auto bar = [](int x, int) { return x < 4 ? 255 : 0; };
  const auto ring = [](int x, int y) { return (x < 2 || x > 9 || y < 2 || y > 9) ? 255 : 0; };
  const CharacterDetail a = DetailOf(Cut(12, 12, bar)), b = DetailOf(Cut(12, 12, ring));
  EXPECT_DOUBLE_EQ(DetailSimilarity(a, a), 1.0);
  EXPECT_LT(DetailSimilarity(a, b), 0.5);
  EXPECT_DOUBLE_EQ(DetailSimilarity(a, b), DetailSimilarity(b, a));
  // The same ring twice as wide: the grid is the same, the proportions cost.
  const CharacterDetail wide = DetailOf(Cut(24, 12, [&](int x, int y) { return ring(x / 2, y); }));
  EXPECT_EQ(wide.Grid, b.Grid);
  EXPECT_LT(DetailSimilarity(wide, b), 1.0);
  EXPECT_GT(DetailSimilarity(wide, b), DetailSimilarity(a, b));
  // Solid boxes (flat grids, or nearly: a faint shade at an edge) are alike in everything but
  // their proportions, and like no shape at all.
  const CharacterDetail flat = DetailOf(Cut(12, 12, [](int, int) { return 200; }));
  const CharacterDetail shaded = DetailOf(Cut(12, 12, [](int x, int) { return x ? 255 : 230; }));
  EXPECT_EQ(flat.InvNorm, 0);
  EXPECT_EQ(shaded.InvNorm, 0);
  EXPECT_DOUBLE_EQ(DetailSimilarity(flat, flat), 1.0);
  EXPECT_DOUBLE_EQ(DetailSimilarity(flat, shaded), 1.0);
  EXPECT_DOUBLE_EQ(DetailSimilarity(flat, b), 0.0);
  EXPECT_DOUBLE_EQ(DetailSimilarity(b, flat), 0.0);
  const CharacterDetail flatWide = DetailOf(Cut(24, 12, [](int, int) { return 200; }));
  EXPECT_LT(DetailSimilarity(flat, flatWide), 1.0);
  EXPECT_LE(DetailSimilarity(flat, flatWide), DetailSimilarityBound(flat, flatWide));
}

// The same ring as a capital and as a small letter: the heights against the line tell them
// apart, the more the further apart; an unknown height on either side costs nothing. The
// bound holds in every case.
TEST(CharacterDetail, HeightsAgainstTheLine) {
  const auto ring = [](int x, int y) { return (x < 2 || x > 9 || y < 2 || y > 9) ? 255 : 0; };
  const Bitmap cut = Cut(12, 12, ring);
  const struct {
    std::uint16_t A, B;
    bool Costs;
  } cases[] = {{1000, 1000, false}, {0, 700, false},   {700, 0, false},
               {1000, 700, true},   {700, 1000, true}, {1000, 500, true}};
  for (const auto& c : cases) {
    const CharacterDetail a = DetailOf(cut, c.A), b = DetailOf(cut, c.B);
    const double likeness = DetailSimilarity(a, b);
    EXPECT_LE(likeness, DetailSimilarityBound(a, b)) << c.A << " " << c.B;
    if (!c.Costs) {
      EXPECT_DOUBLE_EQ(likeness, 1.0) << c.A << " " << c.B;
      continue;
    }
    EXPECT_LT(likeness, 0.9) << c.A << " " << c.B;
  }
  EXPECT_LT(DetailSimilarity(DetailOf(cut, 1000), DetailOf(cut, 500)),
            DetailSimilarity(DetailOf(cut, 1000), DetailOf(cut, 700)));
}

}  // namespace
}  // namespace morvik
