// Pattern set files: the 517-byte record byte for byte, short and odd-length files, files that
// cannot be read or written, and names matched without regard to case.
#include "core/set_files.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/normalize.h"
#include "test_util.h"

namespace morvik {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

constexpr std::size_t kRecord = PatternRecordSize;

// Every cell of slot k set to level 100 + k (no record below uses such bytes), counts 5/6
// both in force and in stored form.
void Scribble(TPatternBank& bank) {
  for (int k = 1; k <= kTestSlot; ++k) {
    TPattern& p = bank.Slot(k);
    for (TPatternCell& c : p.Cells) c = {1, static_cast<std::uint8_t>(100 + k)};
    p.MaxLevel = static_cast<std::uint8_t>(100 + k);
    p.ColCount = 5;
    p.RowCount = 6;
    p.StoredCounts = {5, 0, 6, 0};
  }
}

// n records whose every byte is the record's number k (so both counts read 257 * k).
std::string NumberedRecords(int n) {
  std::string s;
  for (int k = 1; k <= n; ++k) s += std::string(kRecord, static_cast<char>(k));
  return s;
}

TEST(SetFiles, SavedSetWithOnlyPatternThreeDrawnHasTheRecordLayout) {
  TempDir dir;
  TPatternBank bank;
  Scribble(bank);
  ResetBank(bank);
  TPattern& p = bank.Slot(3);
  for (int r = 1; r <= 5; ++r) p.At(r, 1) = {1, 100};
  p.At(5, 2) = {1, 75};
  p.At(5, 3) = {1, 10};
  ComputeBankSpans(bank);
  ASSERT_TRUE(SaveReferenceFile(dir.File("set.PCP"), bank));
  ASSERT_TRUE(SaveTestFile(dir.File("set.PCT"), bank));

  const std::string pcp = ReadFile(dir.File("set.PCP"));
  ASSERT_EQ(pcp.size(), 20680u);
  std::string expected3(kRecord, '\0');
  for (int r = 1; r <= 5; ++r) expected3[(r - 1) * 32] = 1, expected3[(r - 1) * 32 + 1] = 100;
  expected3[4 * 32 + 2] = 1, expected3[4 * 32 + 3] = 75;
  expected3[4 * 32 + 4] = 1, expected3[4 * 32 + 5] = 10;
  expected3[512] = 100;  // MaxLevel
  expected3[513] = 3;    // ColCount, low byte first
  expected3[515] = 5;    // RowCount
  for (int k = 1; k <= 40; ++k)
    EXPECT_EQ(pcp.substr((k - 1) * kRecord, kRecord),
              k == 3 ? expected3 : std::string(kRecord, '\0'))
        << "record " << k;
  EXPECT_EQ(ReadFile(dir.File("set.PCT")), std::string(kRecord, '\0'));
  EXPECT_FALSE(std::filesystem::exists(dir.File("set.PCP.tmp")));

  TPatternBank back;
  Scribble(back);
  ASSERT_TRUE(LoadReferenceFile(dir.File("set.PCP"), back));
  ASSERT_TRUE(LoadTestFile(dir.File("set.PCT"), back));
  for (int k : {1, 2, 4, 40, kTestSlot}) {
    EXPECT_EQ(back.Slot(k).MaxLevel, 0) << k;
    EXPECT_EQ(back.Slot(k).ColCount, 16) << k;
    EXPECT_EQ(back.Slot(k).RowCount, 16) << k;
  }
  EXPECT_EQ(back.Slot(3).Cells, p.Cells);
  EXPECT_EQ(back.Slot(3).ColCount, 3);
  EXPECT_EQ(back.Slot(3).RowCount, 5);
}

TEST(SetFiles, RecordCountsAreLittleEndian) {
  TPattern p;
  p.ColCount = 0x0102;
  p.RowCount = 0x0A0B;
  PackCounts(p);
  const PatternRecord r = EncodeRecord(p);
  EXPECT_EQ(r[513], 0x02);
  EXPECT_EQ(r[514], 0x01);
  EXPECT_EQ(r[515], 0x0B);
  EXPECT_EQ(r[516], 0x0A);
}

struct LengthCase {
  std::size_t bytes;
  int slotsReplaced;  // slots 1..n hold the file's records
};

class ReferenceLengthTest : public testing::TestWithParam<LengthCase> {};

TEST_P(ReferenceLengthTest, ReadsWholeRecordsOnlyAndNeverPastSlotForty) {
  TempDir dir;
  TPatternBank bank;
  Scribble(bank);
  WriteFile(dir.File("r.PCP"), NumberedRecords(45).substr(0, GetParam().bytes));
  ASSERT_TRUE(LoadReferenceFile(dir.File("r.PCP"), bank));
  for (int k = 1; k <= kTestSlot; ++k) {
    const TPattern& p = bank.Slot(k);
    const bool replaced = k <= GetParam().slotsReplaced;
    ASSERT_EQ(p.At(16, 16).Level, replaced ? k : 100 + k) << k;
    EXPECT_EQ(p.MaxLevel, replaced ? k : 100 + k) << k;
    if (replaced) {
      EXPECT_EQ(p.ColCount, 257 * k) << k;
      EXPECT_EQ(p.RowCount, 257 * k) << k;
    } else {
      EXPECT_EQ(p.ColCount, 5) << k;
      EXPECT_EQ(p.RowCount, 6) << k;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Lengths, ReferenceLengthTest,
                         testing::Values(LengthCase{0, 0}, LengthCase{kRecord, 1},
                                         LengthCase{12 * kRecord, 12},
                                         LengthCase{12 * kRecord + 100, 12},
                                         LengthCase{40 * kRecord, 40}, LengthCase{45 * kRecord, 40},
                                         LengthCase{45 * kRecord - 3, 40}));

TEST(SetFiles, ReferenceFileShorterThanOneRecordFillsTheStartOfSlotOne) {
  TempDir dir;
  TPatternBank bank;
  Scribble(bank);
  WriteFile(dir.File("short.PCP"), std::string(101, '\x07'));
  ASSERT_TRUE(LoadReferenceFile(dir.File("short.PCP"), bank));
  const TPattern& p = bank.Slot(1);
  EXPECT_EQ(p.Cells[49].Mark, 7);
  EXPECT_EQ(p.Cells[49].Level, 7);
  EXPECT_EQ(p.Cells[50].Mark, 7);  // byte 100 is the Mark of cell 50
  EXPECT_EQ(p.Cells[50].Level, 101);
  EXPECT_EQ(p.Cells[255].Level, 101);
  EXPECT_EQ(p.MaxLevel, 101);
  EXPECT_EQ(p.ColCount, 5);  // the stored counts the slot held, unpacked
  EXPECT_EQ(p.RowCount, 6);
  EXPECT_EQ(bank.Slot(2).At(1, 1).Level, 102);
}

TEST(SetFiles, EmptyFileChangesNoCellButUnpacksTheStoredCounts) {
  TempDir dir;
  TPatternBank bank;
  Scribble(bank);
  bank.Slot(1).StoredCounts = {0, 0, 3, 0};
  WriteFile(dir.File("empty.PCP"), "");
  ASSERT_TRUE(LoadReferenceFile(dir.File("empty.PCP"), bank));
  EXPECT_EQ(bank.Slot(1).At(1, 1).Level, 101);
  EXPECT_EQ(bank.Slot(1).ColCount, 16);
  EXPECT_EQ(bank.Slot(1).RowCount, 3);
  EXPECT_EQ(bank.Slot(2).ColCount, 5);
}

TEST(SetFiles, TestFileReadsOnlyItsFirstRecordOrTheStartOfIt) {
  TempDir dir;
  TPatternBank bank;
  Scribble(bank);
  WriteFile(dir.File("t.PCT"), NumberedRecords(3));
  ASSERT_TRUE(LoadTestFile(dir.File("t.PCT"), bank));
  EXPECT_EQ(bank.TestPattern().At(16, 16).Level, 1);
  EXPECT_EQ(bank.TestPattern().RowCount, 257);
  EXPECT_EQ(bank.Slot(1).At(1, 1).Level, 101);
  EXPECT_EQ(bank.Slot(2).At(1, 1).Level, 102);

  WriteFile(dir.File("s.PCT"), std::string(4, '\x09'));
  ASSERT_TRUE(LoadTestFile(dir.File("s.PCT"), bank));
  EXPECT_EQ(bank.TestPattern().Cells[1].Level, 9);
  EXPECT_EQ(bank.TestPattern().Cells[2].Level, 1);  // from the first load
  EXPECT_EQ(bank.TestPattern().RowCount, 257);
}

TEST(SetFiles, UnreadablePathsFailAndChangeNothing) {
  TempDir dir;
  std::filesystem::create_directory(dir.File("folder.PCP"));
  for (const std::string& path : {dir.File("missing.PCP"), dir.File("folder.PCP")}) {
    TPatternBank bank;
    Scribble(bank);
    const TPatternBank before = bank;
    EXPECT_FALSE(LoadReferenceFile(path, bank)) << path;
    EXPECT_FALSE(LoadTestFile(path, bank)) << path;
    for (int k = 1; k <= kTestSlot; ++k) {
      EXPECT_EQ(bank.Slot(k).Cells, before.Slot(k).Cells);
      EXPECT_EQ(bank.Slot(k).ColCount, 5);
    }
  }
}

TEST(SetFiles, UnwritablePathsFailAndKeepThePatterns) {
  TempDir dir;
  std::filesystem::create_directory(dir.File("folder.PCP"));
  TPatternBank bank;
  Scribble(bank);
  for (const std::string& path : {dir.File("no/such/set.PCP"), dir.File("folder.PCP")}) {
    EXPECT_FALSE(SaveReferenceFile(path, bank)) << path;
    EXPECT_FALSE(SaveTestFile(path, bank)) << path;
  }
  EXPECT_EQ(bank.Slot(7).At(2, 2).Level, 107);
  EXPECT_EQ(bank.TestPattern().MaxLevel, 100 + kTestSlot);
  EXPECT_FALSE(std::filesystem::exists(dir.File("no")));
}

TEST(SetFiles, ReadOnlySetIsNotReplacedAndLinksAreWrittenThrough) {
  TempDir dir;
  TPatternBank bank;
  Scribble(bank);
  std::filesystem::create_directory(dir.File("real"));
  WriteFile(dir.File("real/a.PCT"), "old");
  std::filesystem::create_symlink(dir.File("real/a.PCT"), dir.File("a.PCT"));
  ASSERT_TRUE(SaveTestFile(dir.File("a.PCT"), bank));
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("a.PCT")));
  EXPECT_EQ(ReadFile(dir.File("real/a.PCT")).size(), kRecord);

  // Read-only by its mode bits, which root too honours.
  WriteFile(dir.File("b.PCP"), "old");
  std::filesystem::permissions(dir.File("b.PCP"), std::filesystem::perms::owner_read);
  EXPECT_FALSE(SaveReferenceFile(dir.File("b.PCP"), bank));
  EXPECT_EQ(ReadFile(dir.File("b.PCP")), "old");
}

TEST(SetFiles, NamesMatchWithoutRegardToCase) {
  TempDir dir;
  TPatternBank bank;
  Scribble(bank);
  WriteFile(dir.File("digits.pcp"), NumberedRecords(2));
  ASSERT_TRUE(LoadReferenceFile(dir.File("digits.PCP"), bank));
  EXPECT_EQ(bank.Slot(1).ColCount, 257);

  // Saving under the upper-case name replaces the existing lower-case file.
  ComputeBankSpans(bank);
  ASSERT_TRUE(SaveReferenceFile(dir.File("digits.PCP"), bank));
  EXPECT_EQ(ReadFile(dir.File("digits.pcp")).size(), 40 * kRecord);
  int entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.Path())) ++entries;
  EXPECT_EQ(entries, 1);
}

// Only regular files are read: a FIFO or a folder named like a set is refused at once.
TEST(SetFiles, LoadRefusesWhatIsNotARegularFile) {
  TempDir dir;
  WriteFile(dir.File("default.pcp"), NumberedRecords(1));
  ASSERT_EQ(mkfifo(dir.File("default.PCP").c_str(), 0666), 0);
  ASSERT_EQ(mkfifo(dir.File("default.PCT").c_str(), 0666), 0);
  std::filesystem::create_directory(dir.File("folder.PCP"));
  TPatternBank bank;
  Scribble(bank);
  EXPECT_FALSE(LoadReferenceFile(dir.File("default.PCP"), bank));
  EXPECT_FALSE(LoadTestFile(dir.File("default.PCT"), bank));
  EXPECT_FALSE(LoadReferenceFile(dir.File("folder.PCP"), bank));
  EXPECT_EQ(bank.Slot(1).MaxLevel, 101);  // nothing read
  EXPECT_TRUE(LoadReferenceFile(dir.File("default.pcp"), bank));
}

// The save goes through a temporary of its own: a file or link planted under the name an
// older version used ("<name>.tmp") is neither written nor followed, and nothing is left over.
TEST(SetFiles, SaveUsesNoPredictableTemporary) {
  TempDir dir;
  WriteFile(dir.File("precious"), "keep");
  std::filesystem::create_symlink(dir.File("precious"), dir.File("a.PCP.tmp"));
  TPatternBank bank;
  Scribble(bank);
  ASSERT_TRUE(SaveReferenceFile(dir.File("a.PCP"), bank));
  EXPECT_EQ(ReadFile(dir.File("precious")), "keep");
  EXPECT_EQ(ReadFile(dir.File("a.PCP")).size(), 40 * kRecord);
  EXPECT_EQ(test::FolderEntries(dir.Path()),
            (std::vector<std::string>{"a.PCP", "a.PCP.tmp", "precious"}));
}

// A link to a set is written through (it stays a link), but a link that names no file is
// refused rather than followed to create a file wherever it points.
TEST(SetFiles, SaveRefusesALinkToNothing) {
  TempDir dir;
  std::filesystem::create_symlink(dir.File("elsewhere/a.PCP"), dir.File("a.PCP"));
  std::filesystem::create_symlink(dir.File("b.PCP"), dir.File("loose.PCP"));
  TPatternBank bank;
  EXPECT_FALSE(SaveReferenceFile(dir.File("a.PCP"), bank));
  EXPECT_FALSE(SaveReferenceFile(dir.File("loose.PCP"), bank));
  EXPECT_FALSE(std::filesystem::exists(dir.File("b.PCP")));
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("a.PCP")));
}

TEST(SetFiles, SaveKeepsPermissions) {
  TempDir dir;
  WriteFile(dir.File("a.PCT"), "old");
  std::filesystem::permissions(dir.File("a.PCT"), std::filesystem::perms(0640));
  TPatternBank bank;
  ASSERT_TRUE(SaveTestFile(dir.File("a.PCT"), bank));
  EXPECT_EQ(std::filesystem::status(dir.File("a.PCT")).permissions(), std::filesystem::perms(0640));
}

}  // namespace
}  // namespace morvik
