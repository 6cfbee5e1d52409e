// The detail shortlist against the plainest reading of its contract: every admitted
// reference compared with the cut alone (DetailSimilarity), sorted by likeness, then set and
// number. Random grids, repeated grids across sets (exact ties), invalid references, sets
// without detail, filters and counts beyond the library.
#include "reading/detail_shortlist.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace morvik {
namespace {

CharacterDetail RandomDetail(std::mt19937& rng, std::uint16_t height) {
  std::uniform_int_distribution<int> byte(0, 255), side(1, 60);
  CharacterDetail d;
  d.Valid = true;
  for (auto& v : d.Grid) v = static_cast<std::uint8_t>(byte(rng) < 128 ? 0 : byte(rng));
  d.InkWidth = static_cast<std::uint16_t>(side(rng));
  d.InkHeight = static_cast<std::uint16_t>(side(rng));
  d.Height = height;
  CompleteDetail(d);
  return d;
}

// Four sets: the second repeats the first's references (ties), the third has no detail, the
// fourth mixes invalid references and a flat grid among random ones. Maps cycle "0".."9".
ReferenceLibrary Library(std::mt19937& rng, std::uint16_t height) {
  ReferenceLibrary library;
  library.Sets.resize(4);
  for (std::size_t s = 0; s < library.Sets.size(); ++s) {
    ReferenceSet& set = library.Sets[s];
    set.Chars.CharMapLoaded = true;
    for (int k = 1; k <= kReferenceCount; ++k)
      set.Chars.CharMap[static_cast<std::size_t>(k)] = static_cast<char>('0' + k % 10);
    set.Detail.Loaded = s != 2;
    for (int k = 1; k <= kReferenceCount && s != 2; ++k) {
      CharacterDetail& d = set.Detail.Ref(static_cast<std::size_t>(k));
      d = s == 1 ? library.Sets[0].Detail.Ref(static_cast<std::size_t>(k))
                 : RandomDetail(rng, height);
      if (s == 3 && k % 7 == 0) d.Valid = false;
      if (s == 3 && k == 5) d.Grid.fill(90), CompleteDetail(d);
    }
  }
  return library;
}

std::vector<DetailCandidate> EveryReference(const ReferenceLibrary& library,
                                            const CharFilter& filter, const CharacterDetail& cut,
                                            int count) {
  std::vector<DetailCandidate> all;
  for (std::size_t s = 0; s < library.Sets.size(); ++s) {
    const ReferenceSet& set = library.Sets[s];
    for (int k = 1; k <= kReferenceCount && set.Detail.Loaded; ++k) {
      const CharacterDetail& ref = set.Detail.Ref(static_cast<std::size_t>(k));
      if (ref.Valid && IsCandidate(filter, set.Chars, k))
        all.push_back({static_cast<int>(s), k, DetailSimilarity(cut, ref)});
    }
  }
  std::stable_sort(all.begin(), all.end(), [](const DetailCandidate& a, const DetailCandidate& b) {
    return a.Likeness > b.Likeness;
  });
  all.resize(std::min(all.size(), static_cast<std::size_t>(std::max(count, 0))));
  return all;
}

TEST(DetailShortlistTest, AgreesWithComparingEveryReference) {
  std::mt19937 rng(14);
  CharFilter odd;
  odd.Active = true;
  for (const char c : {'1', '3', '5', '7', '9'}) odd.Chars.set(static_cast<unsigned char>(c));
  for (const std::uint16_t height : {0, 800}) {
    const ReferenceLibrary library = Library(rng, height);
    for (const CharFilter& filter : {CharFilter{}, odd}) {
      const DetailShortlist shortlist(library, filter);
      for (int trial = 0; trial < 20; ++trial) {
        // Some cuts are references themselves, which ties them with their copy.
        const CharacterDetail cut =
            trial % 4 == 0 ? library.Sets[0].Detail.Ref(static_cast<std::size_t>(1 + trial))
                           : RandomDetail(rng, trial % 2 ? 700 : 0);
        for (const int count : {0, 1, 6, 500}) {
          const std::vector<DetailCandidate> got = shortlist.Best(cut, count),
                                             want = EveryReference(library, filter, cut, count);
          ASSERT_EQ(got.size(), want.size()) << "count " << count << " trial " << trial;
          for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].Set, want[i].Set) << "place " << i << " trial " << trial;
            EXPECT_EQ(got[i].No, want[i].No) << "place " << i << " trial " << trial;
            EXPECT_EQ(got[i].Likeness, want[i].Likeness) << "place " << i << " trial " << trial;
          }
        }
      }
    }
  }
}

TEST(DetailShortlistTest, EmptyWithoutDetail) {
  ReferenceLibrary library;
  library.Sets.resize(2);
  std::mt19937 rng(3);
  EXPECT_TRUE(DetailShortlist(library, {}).Best(RandomDetail(rng, 0), 6).empty());
  EXPECT_TRUE(DetailShortlist().Best(RandomDetail(rng, 0), 6).empty());
}

}  // namespace
}  // namespace morvik
