#include "form/pattern_editing.h"

namespace morvik {

namespace {

void SetLevelIndex(TPattern& pattern, int r, int c, int index) {
  TPatternCell& cell = pattern.At(r, c);
  cell.Level = LevelValues[static_cast<std::size_t>(index)];
  cell.Mark = cell.Level != 0 ? 1 : 0;
}

void StepCell(TPattern& pattern, int r, int c, int delta) {
  int index = QuantizeLevel(pattern.At(r, c).Level);
  AddClamped(index, delta, 0, 5);
  SetLevelIndex(pattern, r, c, index);
}

}  // namespace

void RaiseCell(TPattern& pattern, int r, int c) {
  StepCell(pattern, r, c, +1);
}

void LowerCell(TPattern& pattern, int r, int c) {
  StepCell(pattern, r, c, -1);
}

bool FillCell(TPattern& pattern, int r, int c, int index) {
  if (index < 0 || index > 5) return false;
  SetLevelIndex(pattern, r, c, index);
  return true;
}

void SetCellMax(TPattern& pattern, int r, int c) {
  pattern.At(r, c) = TPatternCell{1, 100};
}

void SetCellMin(TPattern& pattern, int r, int c) {
  pattern.At(r, c) = TPatternCell{0, 0};
}

bool EditorCellAt(int x, int y, EditorCell& cell) {
  if (x < 0 || y < 0 || x >= kEditorSize || y >= kEditorSize) return false;
  cell.Row = y / kEditorCellSize + 1;
  cell.Column = x / kEditorCellSize + 1;
  return true;
}

void EditorMouseDown(TPattern& pattern, MouseButton button, int x, int y) {
  EditorCell cell;
  if (!EditorCellAt(x, y, cell)) return;
  if (button == MouseButton::Left) RaiseCell(pattern, cell.Row, cell.Column);
  if (button == MouseButton::Right) LowerCell(pattern, cell.Row, cell.Column);
}

MoveAction EditorMoveAction(unsigned shift, bool holdButtons) {
  if (shift == kCtrlKey) return MoveAction::SetMax;
  if (shift == kLeftButton && holdButtons) return MoveAction::SetMax;
  if (shift == kShiftKey) return MoveAction::SetMin;
  if (shift == kRightButton && holdButtons) return MoveAction::SetMin;
  if (shift == (kShiftKey | kCtrlKey)) return MoveAction::Fill;
  return MoveAction::None;
}

bool EditorMouseMove(TPattern& pattern, unsigned shift, int x, int y, bool holdButtons,
                     int fillIndex) {
  const MoveAction action = EditorMoveAction(shift, holdButtons);
  EditorCell cell;
  if (action == MoveAction::None || !EditorCellAt(x, y, cell)) return false;
  switch (action) {
    case MoveAction::SetMax:
      SetCellMax(pattern, cell.Row, cell.Column);
      return true;
    case MoveAction::SetMin:
      SetCellMin(pattern, cell.Row, cell.Column);
      return true;
    case MoveAction::Fill:
      return FillCell(pattern, cell.Row, cell.Column, fillIndex);
    case MoveAction::None:
      break;
  }
  return false;
}

}  // namespace morvik
