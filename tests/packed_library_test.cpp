// Packed libraries: every set opens from the pack exactly as from its own files, and damaged
// packs are refused naming the pack.
#include "library/packed_library.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "core/set_files.h"
#include "error_of.h"
#include "library/set_char_map.h"
#include "reading/detail_shortlist.h"
#include "reading/stock_library.h"
#include "test_util.h"

namespace morvik {
namespace {

namespace fs = std::filesystem;
using test::ErrorOf;

void ExpectSamePattern(const TPattern& p, const TPattern& q, const std::string& what) {
  EXPECT_EQ(EncodeRecord(p), EncodeRecord(q)) << what;
  EXPECT_EQ(p.RowCount, q.RowCount) << what;
  EXPECT_EQ(p.ColCount, q.ColCount) << what;
}

void ExpectSameProfiles(const std::vector<TLineProfiles>& a, const std::vector<TLineProfiles>& b) {
  ASSERT_EQ(a.size(), b.size());
  for (std::size_t k = 0; k < a.size(); ++k) {
    EXPECT_EQ(a[k].Count, b[k].Count) << "profile " << k;
    for (std::size_t n = 0; n < a[k].Lines.size(); ++n) {
      const TLineProfile &l = a[k].Lines[n], &m = b[k].Lines[n];
      EXPECT_TRUE(l.Levels == m.Levels && l.Marks == m.Marks && l.Keys == m.Keys &&
                  l.MarkBits == m.MarkBits && l.Regular == m.Regular && l.Quick == m.Quick)
          << "profile " << k << " line " << n;
    }
  }
}

// What opening worked out besides the settled bank: the earlier passes and the profiles.
void ExpectSamePrepared(const PreparedReferences& a, const PreparedReferences& b) {
  EXPECT_EQ(a.Ready, b.Ready);
  ASSERT_EQ(a.Earlier.size(), b.Earlier.size());
  for (std::size_t n = 0; n < a.Earlier.size(); ++n)
    for (std::size_t k = 1; k < a.Earlier[n].size(); ++k)
      ExpectSamePattern(a.Earlier[n][k], b.Earlier[n][k],
                        "pass " + std::to_string(n) + " reference " + std::to_string(k));
  ExpectSameProfiles(a.Rows, b.Rows);
  ExpectSameProfiles(a.Columns, b.Columns);
}

// Every field a run reads from a set, compared whole.
void ExpectSameSet(const ReferenceSet& a, const ReferenceSet& b) {
  SCOPED_TRACE(a.Base);
  EXPECT_EQ(a.Base, b.Base);
  for (int k = 0; k <= kTestSlot; ++k)
    ExpectSamePattern(a.Bank.Slot(k), b.Bank.Slot(k), "slot " + std::to_string(k));
  EXPECT_EQ(a.Chars.CharMapLoaded, b.Chars.CharMapLoaded);
  EXPECT_EQ(a.Chars.CharMap, b.Chars.CharMap);
  EXPECT_TRUE(a.Settings == b.Settings);
  EXPECT_EQ(a.Detail.Loaded, b.Detail.Loaded);
  for (std::size_t k = 0; k <= kReferenceCount; ++k) {
    const CharacterDetail &d = a.Detail.Ref(k), &e = b.Detail.Ref(k);
    EXPECT_TRUE(d.Valid == e.Valid && d.InkWidth == e.InkWidth && d.InkHeight == e.InkHeight &&
                d.Height == e.Height && d.Grid == e.Grid && d.Sum == e.Sum &&
                d.InvNorm == e.InvNorm && d.LogAspect == e.LogAspect && d.LogHeight == e.LogHeight)
        << "detail of reference " << k;
  }
  ExpectSamePrepared(a.Prepared, b.Prepared);
}

// The bytes of a literal, zero bytes included.
template <std::size_t N>
std::string Raw(const char (&bytes)[N]) {
  return std::string(bytes, N - 1);
}

void ExpectSameLibrary(const ReferenceLibrary& a, const ReferenceLibrary& b) {
  ASSERT_EQ(a.Sets.size(), b.Sets.size());
  for (std::size_t k = 0; k < a.Sets.size(); ++k) ExpectSameSet(a.Sets[k], b.Sets[k]);
}

// Sets with every kind of file, and without the optional ones.
class Packed : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(dir.File("lib/more"));
    TPatternBank bank;
    bank.Slot(1).At(1, 1) = {1, 5};
    bank.Slot(1).MaxLevel = 5;
    bank.Slot(40).At(16, 16) = {1, 3};
    ASSERT_TRUE(SaveReferenceFile(dir.File("lib/full.PCP"), bank));
    test::WriteFile(dir.File("lib/full.charmap.txt"), "1\tA\r\n40\tz\r\n");
    test::WriteFile(dir.File("lib/full.set.ini"), "[ImageProcessing]\r\nAutoCrop=1\r\n");
    SetDetail detail;
    detail.Ref(1).Valid = true;
    detail.Ref(1).InkWidth = 7;
    detail.Ref(1).InkHeight = 9;
    detail.Ref(1).Grid[3] = 200;
    ReplacementGroup group;
    StageSetDetail(group, dir.File("lib/full"), detail);
    group.Commit();
    // A reference file of one record, with nothing beside it.
    test::WriteFile(dir.File("lib/more/short.PCP"), std::string(PatternRecordSize, '\1'));
    // A file longer than 40 records: a set reads the first 40.
    test::WriteFile(dir.File("lib/long.PCP"), std::string(PatternRecordSize * 41 + 3, '\1'));
  }
  test::TempDir dir;
  const std::vector<std::string> names{"full", "more/short", "long"};
};

TEST_F(Packed, OpensEverySetAsItsOwnFilesDo) {
  SavePackedLibrary(dir.File("lib/all.pack"), names);
  std::vector<std::string> bases;
  for (const std::string& n : names) bases.push_back(dir.File("lib/" + n));
  ExpectSameLibrary(OpenPackedLibrary(dir.File("lib/all.pack")), OpenReferenceNames(bases));
  // Named among other sets, a pack adds its sets in its place.
  ExpectSameLibrary(OpenReferenceNames({dir.File("lib/more/short"), dir.File("lib/all.PACK")}),
                    OpenReferenceNames({dir.File("lib/more/short"), bases[0], bases[1], bases[2]}));
}

// A mapped pack's sets read their references in place and keep the mapping alive: a set
// outlives its library and the file. Sets parsed from bytes nobody keeps copy them.
TEST_F(Packed, MappedSetsReadThePackInPlaceAndKeepIt) {
  SavePackedLibrary(dir.File("lib/all.pack"), names);
  const std::string bytes = test::ReadFile(dir.File("lib/all.pack"));
  std::vector<std::string> bases;
  for (const std::string& n : names) bases.push_back(dir.File("lib/" + n));
  const ReferenceLibrary files = OpenReferenceNames(bases);
  ReferenceSet kept;
  {
    ReferenceLibrary mapped = OpenPackedLibrary(dir.File("lib/all.pack"));
    for (const ReferenceSet& set : mapped.Sets) {
      EXPECT_TRUE(set.Bank.Shares()) << set.Base;
      EXPECT_EQ(set.Detail.Shares(), set.Detail.Loaded) << set.Base;
      EXPECT_EQ(set.Detail.Grids() != nullptr, set.Detail.Loaded) << set.Base;
    }
    ASSERT_TRUE(mapped.Sets[0].Detail.Loaded);
    kept = std::move(mapped.Sets[0]);
  }
  fs::remove(dir.File("lib/all.pack"));
  ExpectSameSet(kept, files.Sets[0]);
  ReferenceLibrary parsed;
  {
    const std::string copy = bytes;
    parsed = ParsePackedLibrary(copy.data(), copy.size(), "all.pack", dir.File("lib"));
  }
  for (const ReferenceSet& set : parsed.Sets) {
    EXPECT_FALSE(set.Bank.Shares()) << set.Base;
    EXPECT_FALSE(set.Detail.Shares()) << set.Base;
    EXPECT_EQ(set.Detail.Grids(), nullptr) << set.Base;
  }
  ExpectSameLibrary(parsed, files);
}

TEST_F(Packed, DamagedOrMissingPacksAreRefusedNamingThePack) {
  SavePackedLibrary(dir.File("lib/all.pack"), names);
  const std::string good = test::ReadFile(dir.File("lib/all.pack"));
  const struct {
    std::string bytes, problem;
  } cases[] = {
      {good.substr(0, good.size() - 1), "cut short"},
      {good.substr(0, 20), "cut short"},
      {good + "x", "bytes after its last set"},
      {"", "cut short"},
      {"MVPACK\r\n\x05", "another version"},
      {Raw("MVPACK\r\n\x02\x01\x00"), "another version"},  // references not in place
      {Raw("MVPACK\r\n\x03\x01\x00"), "another version"},  // details not in place
      {"PK\x03\x04 not a pack at all", "not a packed library"},
      {Raw("MVPACK\r\n\x01\x00\x00"), "holds no set"},
      {Raw("MVPACK\r\n\x01\x01\x00\x01\x00x\x00\x00\x00\x00"), "no reference file"},
      {Raw("MVPACK\r\n\x01\x01\x00\x01\x00x\x07"), "bad part marker"},
  };
  for (const auto& c : cases) {
    test::WriteFile(dir.File("bad.pack"), c.bytes);
    const std::string message = ErrorOf([&] { OpenPackedLibrary(dir.File("bad.pack")); });
    EXPECT_EQ(message.rfind(dir.File("bad.pack") + ": ", 0), 0u) << message;
    EXPECT_NE(message.find(c.problem), std::string::npos) << c.problem << ": " << message;
  }
  EXPECT_NE(ErrorOf([&] { OpenPackedLibrary(dir.File("none.pack")); }).find("not found"),
            std::string::npos);
  fs::create_directory(dir.File("folder.pack"));
  EXPECT_NE(
      ErrorOf([&] { OpenPackedLibrary(dir.File("folder.pack")); }).find("is not a regular file"),
      std::string::npos);
  // A set without its reference file cannot be packed.
  EXPECT_NE(
      ErrorOf([&] { SavePackedLibrary(dir.File("lib/x.pack"), {"missing"}); }).find("missing.PCP"),
      std::string::npos);
}

// A pack in the form older builds wrote: each set's name and the bytes of its files.
std::string FilePack(const std::string& folder, const std::vector<std::string>& names) {
  std::string pack = Raw("MVPACK\r\n\x01") + static_cast<char>(names.size()) + '\0';
  for (const std::string& name : names) {
    pack += std::string{static_cast<char>(name.size()), '\0'} + name;
    for (const char* part : {".PCP", ".charmap.txt", ".set.ini", ".detail"}) {
      const std::string path = folder + "/" + name + part;
      pack += static_cast<char>(fs::exists(path) ? 1 : 0);
      if (!fs::exists(path)) continue;
      std::string bytes = test::ReadFile(path).substr(0, PatternRecordSize * kReferenceCount);
      for (int k = 0; k < 4; ++k) pack += static_cast<char>((bytes.size() >> (8 * k)) & 0xFF);
      pack += bytes;
    }
  }
  return pack;
}

TEST_F(Packed, OpensPacksOfTheEarlierFormAlike) {
  SavePackedLibrary(dir.File("lib/all.pack"), names);
  test::WriteFile(dir.File("lib/old.pack"), FilePack(dir.File("lib"), names));
  ExpectSameLibrary(OpenPackedLibrary(dir.File("lib/old.pack")),
                    OpenPackedLibrary(dir.File("lib/all.pack")));
}

// Every field of a prepared set is checked: a byte changed anywhere a count, a size or a
// value lies is refused as bad data naming the pack, before anything is read through it.
TEST_F(Packed, CorruptedPreparedSetsAreRefused) {
  SavePackedLibrary(dir.File("lib/all.pack"), {"full"});
  const std::string good = test::ReadFile(dir.File("lib/all.pack"));
  // Where the fields of the one set lie: header (with the layout record of a pattern's and a
  // detail's image), name, flags, settings, map, references (from the next multiple of 8),
  // count of earlier passes and their references (one: slot 40's largest level is stale),
  // the details of entries 0..40 (from the next multiple of 16), the grids of 1..40 once more.
  // Reference 1 has detail.
  const std::size_t pattern = sizeof(TPattern), cols = offsetof(TPattern, ColCount);
  const std::size_t rows = offsetof(TPattern, RowCount);
  const std::size_t layout = 11, name = layout + 24, flags = name + 2 + 4, settings = flags + 1;
  const std::size_t map = settings + 8, refs = (map + 41 + 7) / 8 * 8;
  const std::size_t earlier = refs + kReferenceCount * pattern;
  const std::size_t more = (earlier + 1 + 7) / 8 * 8;
  const std::size_t detail = (more + kReferenceCount * pattern + 15) / 16 * 16;
  const std::size_t one = detail + sizeof(CharacterDetail), two = one + sizeof(CharacterDetail);
  ASSERT_EQ(good[earlier], 1);
  const std::size_t grids = detail + (kReferenceCount + 1) * sizeof(CharacterDetail);
  ASSERT_EQ(good.size(), grids + kReferenceCount * kDetailSize * kDetailSize);
  ASSERT_EQ(good[one], 1);
  ASSERT_GT(detail, more + kReferenceCount * pattern);  // padding before the details
  const struct {
    std::size_t at;
    char value;
  } cases[] = {
      {9, '\x02'},             // more sets than it holds
      {name + 1, '\xFF'},      // a name longer than the pack
      {flags, '\x80'},         // an unknown part
      {settings, '\x02'},      // a colour neither white nor black
      {settings + 3, '\x65'},  // a threshold above 100 percent
      {settings + 6, '\x00'},  // an aspect ratio of 0
      {map + 1, '\n'},         // a line end for a character
      {refs, '\x02'},          // a mark neither 0 nor 1
      {refs + 1, '\x65'},      // a level above 100
      {refs + 512, '\x06'},    // a largest level its cells do not have
      {refs + cols, '\x03'},   // a column count its cells do not give
      {refs + rows, '\x11'},   // a row count its cells do not give
      {refs - 1, '\x01'},      // padding that is not zero
      {layout, '\x01'},        // patterns laid out otherwise
      {layout + 6, '\x03'},    // numbers of another byte order
      {earlier, '\x08'},       // more earlier passes than opening makes
      {earlier, '\x02'},       // earlier passes read from the detail
      {more, '\x02'},          // an earlier pass that is no pattern
      {layout + 10, '\x01'},   // details laid out otherwise
      {detail - 1, '\x01'},    // padding before the details
      {detail, '\x01'},        // entry 0 valid
      {one, '\x02'},           // a detail neither valid nor not
      {one + offsetof(CharacterDetail, InvNorm) + 9, '\x7F'},    // an InvNorm far above 1
      {one + offsetof(CharacterDetail, LogAspect) + 7, '\x00'},  // not a number (unnormal)
      {one + offsetof(CharacterDetail, Sum), '\x07'},            // a Sum not the grid's
      {one + offsetof(CharacterDetail, Grid) + 5, '\x01'},       // a grid not the Sum's
      {two + offsetof(CharacterDetail, Sum), '\x01'},            // an invalid detail's Sum
      {one + offsetof(CharacterDetail, InkWidth), '\x00'},       // a valid detail with no ink box
      {grids + 3, '\x07'},  // a grid read by the shortlist that is not the detail's
  };
  for (const auto& c : cases) {
    std::string bad = good;
    bad[c.at] = c.value;
    if (c.at == one + offsetof(CharacterDetail, InkWidth)) bad[c.at + 1] = '\0';  // width 0
    test::WriteFile(dir.File("bad.pack"), bad);
    const test::Caught e = test::CatchError([&] { OpenPackedLibrary(dir.File("bad.pack")); });
    EXPECT_TRUE(e.Thrown) << "byte " << c.at;
    EXPECT_EQ(e.Kind, ErrorKind::kBadData) << "byte " << c.at << ": " << e.Message;
    EXPECT_EQ(e.File, dir.File("bad.pack")) << "byte " << c.at;
  }
}

TEST(PackedStock, FoundBesideTheLibraryFileOnly) {
  test::TempDir dir;
  const std::string bin = dir.File("bin");
  fs::create_directories(bin + "/stock");
  test::WriteFile(bin + "/stock/stock.pack", "");
  EXPECT_EQ(FindStockLibrary(bin), "");  // a pack alone is no stock library
  test::WriteFile(bin + "/stock/stock.sets", "stock-1\r\n");
  EXPECT_EQ(FindStockLibrary(bin), bin + "/stock/stock.pack");
  fs::remove(bin + "/stock/stock.pack");
  fs::create_directory(bin + "/stock/stock.pack");
  EXPECT_EQ(FindStockLibrary(bin), bin + "/stock/stock.sets");
}

// The stock library the build made: its pack, which runs open when no set is named, holds
// the sets its library file lists, exactly.
TEST(PackedStock, HoldsTheListedSets) {
  const std::string found = FindStockLibrary(fs::path(MORVIK_BINARY).parent_path().string());
  ASSERT_TRUE(IsPackedLibraryName(found)) << found;
  const std::string sets = fs::path(found).replace_extension(".sets").string();
  ExpectSameLibrary(OpenPackedLibrary(found), LoadReferenceLibrary(sets));
}

// The detail shortlist of the mapped stock pack reads the grids stored once more one after
// another: its places and likenesses are those of each reference's own detail, compared alone.
TEST(PackedStock, ShortlistReadsTheGridsOfTheDetailsItShortlists) {
  const std::string found = FindStockLibrary(fs::path(MORVIK_BINARY).parent_path().string());
  ASSERT_TRUE(IsPackedLibraryName(found)) << found;
  const ReferenceLibrary library = OpenPackedLibrary(found);
  const DetailShortlist shortlist(library, CharFilter{});
  for (std::size_t s = 0; s < library.Sets.size(); s += 5)
    for (int k = 1; k <= kReferenceCount; k += 13) {
      ASSERT_NE(library.Sets[s].Detail.Grids(), nullptr);
      const CharacterDetail& cut = library.Sets[s].Detail.Ref(static_cast<std::size_t>(k));
      if (!cut.Valid) continue;
      for (const DetailCandidate& c : shortlist.Best(cut, 4)) {
        const ReferenceSet& set = library.Sets[static_cast<std::size_t>(c.Set)];
        EXPECT_EQ(c.Likeness, DetailSimilarity(cut, set.Detail.Ref(static_cast<std::size_t>(c.No))))
            << "set " << s << " reference " << k << ": candidate " << c.Set << "/" << c.No;
      }
    }
}

}  // namespace
}  // namespace morvik
