// The editor's cell operations and mouse rules: level steps with their clamps, the mapping of
// positions to cells, and the move gestures compared on the whole shift state.
#include "form/pattern_editing.h"

#include <gtest/gtest.h>

namespace morvik {
namespace {

TEST(PatternEditing, RaiseStepsThroughTheLevelsAndStopsAt100) {
  TPattern p;
  const int expected[] = {10, 25, 50, 75, 100, 100, 100};
  for (int level : expected) {
    RaiseCell(p, 3, 4);
    EXPECT_EQ(p.At(3, 4).Level, level);
    EXPECT_EQ(p.At(3, 4).Mark, 1);
  }
  EXPECT_EQ(p.MaxLevel, 0);  // recomputed only when cleared or copied out
}

TEST(PatternEditing, LowerStepsDownAndUnmarksAtZero) {
  TPattern p;
  p.At(1, 1) = {1, 10};
  LowerCell(p, 1, 1);
  EXPECT_EQ(p.At(1, 1).Level, 0);
  EXPECT_EQ(p.At(1, 1).Mark, 0);
  LowerCell(p, 1, 1);
  EXPECT_EQ(p.At(1, 1).Level, 0);
  p.At(2, 2) = {1, 60};  // off-scale level: its band (50) is the step's origin
  LowerCell(p, 2, 2);
  EXPECT_EQ(p.At(2, 2).Level, 50);
}

TEST(PatternEditing, FillSetsTheLevelOfTheIndexOrSkips) {
  TPattern p;
  EXPECT_TRUE(FillCell(p, 16, 16, 3));
  EXPECT_EQ(p.At(16, 16).Level, 50);
  EXPECT_EQ(p.At(16, 16).Mark, 1);
  EXPECT_TRUE(FillCell(p, 16, 16, 0));
  EXPECT_EQ(p.At(16, 16).Mark, 0);
  p.At(5, 5) = {1, 75};
  EXPECT_FALSE(FillCell(p, 5, 5, 6));
  EXPECT_FALSE(FillCell(p, 5, 5, -1));
  EXPECT_EQ(p.At(5, 5).Level, 75);
}

TEST(PatternEditing, PositionsMapToCellsInsideTheBoxOnly) {
  struct Case {
    int x, y;
    bool inside;
    int row, column;
  };
  const Case cases[] = {{0, 0, true, 1, 1},       {6, 7, true, 2, 1},    {7, 6, true, 1, 2},
                        {111, 111, true, 16, 16}, {112, 5, false, 0, 0}, {5, 112, false, 0, 0},
                        {-1, 5, false, 0, 0}};
  for (const Case& c : cases) {
    EditorCell cell;
    EXPECT_EQ(EditorCellAt(c.x, c.y, cell), c.inside) << c.x << "," << c.y;
    if (c.inside) {
      EXPECT_EQ(cell.Row, c.row);
      EXPECT_EQ(cell.Column, c.column);
    }
  }
}

TEST(PatternEditing, PressRaisesWithLeftLowersWithRight) {
  TPattern p;
  EditorMouseDown(p, MouseButton::Left, 6, 7);
  EXPECT_EQ(p.At(2, 1).Level, 10);
  EditorMouseDown(p, MouseButton::Middle, 6, 7);
  EXPECT_EQ(p.At(2, 1).Level, 10);
  EditorMouseDown(p, MouseButton::Right, 6, 7);
  EXPECT_EQ(p.At(2, 1).Level, 0);
}

struct MoveCase {
  unsigned shift;
  bool holdButtons;
  MoveAction action;
};

class MoveRules : public ::testing::TestWithParam<MoveCase> {};

TEST_P(MoveRules, CompareTheWholeShiftState) {
  EXPECT_EQ(EditorMoveAction(GetParam().shift, GetParam().holdButtons), GetParam().action);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MoveRules,
    ::testing::Values(MoveCase{4, false, MoveAction::SetMax}, MoveCase{8, true, MoveAction::SetMax},
                      MoveCase{8, false, MoveAction::None}, MoveCase{1, false, MoveAction::SetMin},
                      MoveCase{16, true, MoveAction::SetMin}, MoveCase{16, false, MoveAction::None},
                      MoveCase{5, false, MoveAction::Fill}, MoveCase{4 | 8, true, MoveAction::None},
                      MoveCase{4 | 8, false, MoveAction::None},
                      MoveCase{4 | 2, false, MoveAction::None},
                      MoveCase{1 | 16, true, MoveAction::None},
                      MoveCase{32, true, MoveAction::None}, MoveCase{0, true, MoveAction::None},
                      MoveCase{5 | 8, true, MoveAction::None}));

TEST(PatternEditing, MovesPaintTheCellUnderThePointer) {
  TPattern p;
  EXPECT_TRUE(EditorMouseMove(p, kCtrlKey, 10, 20, false, 3));
  EXPECT_EQ(p.At(3, 2).Level, 100);
  EXPECT_TRUE(EditorMouseMove(p, kShiftKey | kCtrlKey, 10, 20, false, 2));
  EXPECT_EQ(p.At(3, 2).Level, 25);
  EXPECT_TRUE(EditorMouseMove(p, kShiftKey, 10, 20, false, 2));
  EXPECT_EQ(p.At(3, 2).Mark, 0);
  EXPECT_FALSE(EditorMouseMove(p, kCtrlKey | kLeftButton, 10, 20, true, 3));
  EXPECT_EQ(p.At(3, 2).Level, 0);
}

TEST(PatternEditing, MovesOutsideTheBoxAndBadFillIndexesChangeNothing) {
  TPattern p;
  EXPECT_FALSE(EditorMouseMove(p, kLeftButton, 112, 50, true, 3));
  EXPECT_FALSE(EditorMouseMove(p, kLeftButton, 50, -3, true, 3));
  EXPECT_FALSE(EditorMouseMove(p, kShiftKey | kCtrlKey, 50, 50, false, 9));
  for (const TPatternCell& cell : p.Cells) EXPECT_EQ(cell.Mark, 0);
}

}  // namespace
}  // namespace morvik
