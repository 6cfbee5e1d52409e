// Packed libraries: every set opens from the pack exactly as from its own files, and damaged
// packs are refused naming the pack.
#include "library/packed_library.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/set_files.h"
#include "error_of.h"
#include "library/set_char_map.h"
#include "reading/stock_library.h"
#include "test_util.h"

namespace morvik {
namespace {

namespace fs = std::filesystem;
using test::ErrorOf;

// Every field a run reads from a set, compared whole.
void ExpectSameSet(const ReferenceSet& a, const ReferenceSet& b) {
  SCOPED_TRACE(a.Base);
  EXPECT_EQ(a.Base, b.Base);
  for (int k = 0; k <= kTestSlot; ++k) {
    const TPattern &p = a.Bank.Slot(k), &q = b.Bank.Slot(k);
    EXPECT_EQ(EncodeRecord(p), EncodeRecord(q)) << "slot " << k;
    EXPECT_EQ(p.RowCount, q.RowCount) << "slot " << k;
    EXPECT_EQ(p.ColCount, q.ColCount) << "slot " << k;
  }
  EXPECT_EQ(a.Chars.CharMapLoaded, b.Chars.CharMapLoaded);
  EXPECT_EQ(a.Chars.CharMap, b.Chars.CharMap);
  EXPECT_TRUE(a.Settings == b.Settings);
  EXPECT_EQ(a.Detail.Loaded, b.Detail.Loaded);
  for (std::size_t k = 0; k < a.Detail.Refs.size(); ++k) {
    const CharacterDetail &d = a.Detail.Refs[k], &e = b.Detail.Refs[k];
    EXPECT_TRUE(d.Valid == e.Valid && d.InkWidth == e.InkWidth && d.InkHeight == e.InkHeight &&
                d.Grid == e.Grid && d.Sum == e.Sum && d.InvNorm == e.InvNorm &&
                d.LogAspect == e.LogAspect)
        << "detail of reference " << k;
  }
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
    detail.Refs[1].Valid = true;
    detail.Refs[1].InkWidth = 7;
    detail.Refs[1].InkHeight = 9;
    detail.Refs[1].Grid[3] = 200;
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
      {"MVPACK\r\n\x02", "another version"},
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

}  // namespace
}  // namespace morvik
