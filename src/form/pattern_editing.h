// The editor's operations on a pattern: stepping a cell through the six levels, painting it
// to the highest or lowest level or a chosen one, and the mouse rules that pick between them.
// The window only maps its events onto these and repaints.
#pragma once

#include "core/pattern.h"

namespace morvik {

constexpr int kEditorCellSize = 7;                        // pixels per cell
constexpr int kEditorSize = kGridSize * kEditorCellSize;  // 112: the whole editing box

// Cell operations on (r, c), both 1..16. Each sets Mark from the new Level (1 when it is not
// 0) and leaves MaxLevel alone: it is recomputed when the pattern is cleared or copied out.
void RaiseCell(TPattern& pattern, int r, int c);  // one level up, at most 100
void LowerCell(TPattern& pattern, int r, int c);  // one level down, at least 0
// Level := LevelValues[index]. An index outside 0..5 (a fill field still being typed in)
// changes nothing and returns false.
bool FillCell(TPattern& pattern, int r, int c, int index);
void SetCellMax(TPattern& pattern, int r, int c);  // Mark 1, Level 100
void SetCellMin(TPattern& pattern, int r, int c);  // Mark 0, Level 0

// The cell under a mouse position of the editing box: row Y div 7 + 1, column X div 7 + 1.
// False outside the 112 x 112 box, where a held button keeps reporting moves.
struct EditorCell {
  int Row = 0;
  int Column = 0;
};
bool EditorCellAt(int x, int y, EditorCell& cell);

// Shift state of a mouse event: the keys and buttons held, as a set of these bits.
enum ShiftBits : unsigned {
  kShiftKey = 1,
  kAltKey = 2,
  kCtrlKey = 4,
  kLeftButton = 8,
  kRightButton = 16,
  kMiddleButton = 32,
};

enum class MouseButton { Left, Right, Middle };

// A press: the left button raises the cell, the right one lowers it, others do nothing; the
// keys held do not matter. The editor is repainted after every press.
void EditorMouseDown(TPattern& pattern, MouseButton button, int x, int y);

// What a move with this shift state does, the whole state compared for equality so that any
// further key or button makes a rule fail.
enum class MoveAction { None, SetMax, SetMin, Fill };
MoveAction EditorMoveAction(unsigned shift, bool holdButtons);

// A move: applies the action to the cell under the pointer. Returns true when the pattern
// changed and the editor is to be repainted; false for no rule, a position outside the box
// or a fill index outside 0..5.
bool EditorMouseMove(TPattern& pattern, unsigned shift, int x, int y, bool holdButtons,
                     int fillIndex);

}  // namespace morvik
