// Pattern-set operations of the workspace: opening, loading, saving and "New/Empty", the
// file-name field and what each leaves in the bank, the names and the result display.
#include "form/workspace.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/set_files.h"
#include "test_util.h"

namespace morvik {
namespace {

using test::TempDir;

class Messages : public WorkspaceView {
 public:
  std::vector<std::string> shown;
  void Message(const std::string& text) override { shown.push_back(text); }
};

class SetOps : public testing::Test {
 protected:
  SetOps() : ws_(dir_.Path(), dir_.Path()) { ws_.SetView(&view_); }

  // A set "name" of `records` records in the home folder: pattern k is one cell of row k % 16 + 1.
  void WriteSet(const std::string& name, int records, bool withTest) {
    TPatternBank bank;
    for (int k = 1; k <= records; ++k) bank.Slot(k).At(k % 16 + 1, 1) = {1, 100};
    bank.TestPattern().At(1, 2) = {1, 50};
    ASSERT_TRUE(SaveReferenceFile(dir_.File(name + ".PCP"), bank));
    std::filesystem::resize_file(dir_.File(name + ".PCP"), records * PatternRecordSize);
    if (withTest) {
      ASSERT_TRUE(SaveTestFile(dir_.File(name + ".PCT"), bank));
    }
  }

  // Marks on every slot and a shown result, to see what each operation changes.
  void Scribble() {
    for (int k = 1; k <= kTestSlot; ++k) ws_.Bank.Slot(k).At(16, 16) = {1, 25};
    ws_.Bank.EditPattern().At(8, 8) = {1, 75};
    ws_.Display.ScoresShown = true;
    ws_.Display.FrameColour[3] = kRed;
    ws_.Display.ResultLabels[0] = "No.3: 1";
  }

  TempDir dir_;
  Workspace ws_;
  Messages view_;
};

TEST_F(SetOps, OpenWithoutTestFileKeepsTheTestPatternAndTheFieldShowsTheButtonsName) {
  WriteSet("digits", 12, false);
  Scribble();
  ws_.ButtonOpenClick(dir_.File("digits.PCP"));
  EXPECT_EQ(ws_.CurrentSetName, "digits");
  EXPECT_EQ(ws_.EditOpenFile(), "digits");
  EXPECT_EQ(ws_.Bank.Slot(12).At(13, 1).Level, 100);  // records 1..12 replaced
  EXPECT_EQ(ws_.Bank.Slot(12).At(16, 16).Level, 0);
  EXPECT_EQ(ws_.Bank.Slot(13).At(16, 16).Level, 25);  // slot 13 kept
  EXPECT_EQ(ws_.Bank.TestPattern().At(16, 16).Level, 25);
  EXPECT_EQ(ws_.Bank.Slot(12).RowCount, 2);  // counted after the load: a gap, then row 13
  EXPECT_FALSE(ws_.Display.ScoresShown);
  EXPECT_EQ(ws_.Display.FrameColour[3], kGrey);
  EXPECT_EQ(ws_.Display.ResultLabels[0], "");
  EXPECT_TRUE(view_.shown.empty());
}

TEST_F(SetOps, OpenPatternSetSetsTheFieldOnlyWhenBothFilesLoad) {
  WriteSet("half", 2, false);
  WriteSet("whole", 2, true);
  ws_.OpenPatternSet("half");
  EXPECT_EQ(ws_.CurrentSetName, "half");
  EXPECT_EQ(ws_.EditOpenFile(), "");
  ws_.OpenPatternSet("whole");
  EXPECT_EQ(ws_.EditOpenFile(), "whole");
  EXPECT_EQ(ws_.Bank.TestPattern().At(1, 2).Level, 50);
  ws_.OpenPatternSet("missing");
  EXPECT_EQ(ws_.CurrentSetName, "missing");
  EXPECT_EQ(ws_.EditOpenFile(), "whole");
}

TEST_F(SetOps, NewEmptiesTheBankAndScoresButKeepsNamesAndEditor) {
  WriteSet("digits", 3, true);
  ws_.ButtonOpenClick(dir_.File("digits"));  // no extension: the same base name
  Scribble();
  ws_.ButtonNewClick();
  EXPECT_EQ(ws_.CurrentSetName, "digits");
  EXPECT_EQ(ws_.EditOpenFile(), "digits");
  EXPECT_EQ(ws_.Bank.EditPattern().At(8, 8).Level, 75);
  for (int k = 1; k <= kTestSlot; ++k) {
    EXPECT_EQ(ws_.Bank.Slot(k).MaxLevel, 0) << k;
    EXPECT_EQ(ws_.Bank.Slot(k).RowCount, 16) << k;
  }
  EXPECT_EQ(ws_.Scores.ScoreTable[1].H, NoScore);
  EXPECT_FALSE(ws_.Display.ScoresShown);
  EXPECT_EQ(ws_.Display.FrameColour[3], kGrey);
  EXPECT_EQ(ws_.Display.ResultLabels[0], "");
}

TEST_F(SetOps, TypingTheNameOfAnExistingSetMakesItCurrent) {
  WriteSet("digits", 1, true);
  ws_.SetEditOpenFile("digi");
  EXPECT_EQ(ws_.CurrentSetName, "");
  ws_.SetEditOpenFile("digits");
  EXPECT_EQ(ws_.CurrentSetName, "digits");
}

TEST_F(SetOps, SaveRecountsAndReportsEachFailedFileButTriesBoth) {
  ws_.Bank.Slot(2).At(3, 4) = {1, 100};
  ws_.Bank.Slot(2).MaxLevel = 100;
  ws_.ButtonSaveClick(dir_.File("sets.PCP"));
  EXPECT_EQ(ws_.CurrentSetName, "sets");
  EXPECT_EQ(ws_.EditOpenFile(), "sets");
  EXPECT_TRUE(view_.shown.empty());
  TPatternBank back;
  ASSERT_TRUE(LoadReferenceFile(dir_.File("sets.PCP"), back));
  EXPECT_EQ(back.Slot(2).RowCount, 2);  // recounted before writing: row 3 after a gap
  EXPECT_EQ(back.Slot(1).RowCount, 16);

  std::filesystem::create_directory(dir_.File("bad.PCP"));
  std::filesystem::create_directory(dir_.File("bad.PCT"));
  ws_.SavePatternSet("bad");
  EXPECT_EQ(view_.shown,
            (std::vector<std::string>{"Error writing patterns", "Error writing test pic"}));
  EXPECT_EQ(ws_.CurrentSetName, "bad");
  EXPECT_EQ(ws_.Bank.Slot(2).At(3, 4).Level, 100);
}

}  // namespace
}  // namespace morvik
