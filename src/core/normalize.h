// Normalisation (content to the top-left corner, levels stretched to 100) and the span
// counts that tell the matcher how many rows and columns of a pattern take part.
#pragma once

#include <array>

#include "core/pattern.h"
#include "core/pattern_bank.h"

namespace morvik {

enum TLineKind { lkRow = 1, lkColumn = 2 };

using TPatternLine = std::array<TPatternCell, kGridSize>;  // positions 1..16 at 0..15

// Row i (left to right) or column i (top to bottom) of the pattern. A line number outside
// 1..16 (the matcher can ask for line 17) gives a line of 16 unmarked cells.
void ExtractLine(TLineKind kind, const TPattern& pattern, int i, TPatternLine& line);
bool LineHasMark(const TPatternLine& line);

// Recomputes MaxLevel, RowCount and ColCount from the cells. A marked line counts 1, and
// 1 more when the line before it was unmarked (line 0 counts as marked).
void ComputeSpans(TPattern& pattern);

// Moves the content to row 1 and column 1 and stretches the levels so the strongest is 100,
// then recounts. Returns whether anything moved or was stretched. An empty pattern
// (MaxLevel 0) is left as it is, counts included; so is the shift of a pattern with levels
// but no mark (possible only in a foreign file).
bool NormalizePattern(TPattern& pattern);

// Snaps every non-zero Level onto LevelValues (levels above 100 become 100).
void RequantizeLevels(TPattern& pattern);

// Slots 1..40, then the TestPattern: normalise, and re-quantise what changed.
void NormalizeBank(TPatternBank& bank);

// ComputeSpans for slots 1..40, then the TestPattern.
void ComputeBankSpans(TPatternBank& bank);

}  // namespace morvik
