// The drawing routines of the grid view, the editor and the thumbnails, painting on any
// QPainter so that they can be checked on a QImage. Shapes are drawn without antialiasing:
// their sizes are given in whole pixels.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

#include "core/colour.h"
#include "core/pattern.h"
#include "core/pattern_bank.h"
#include "core/scoring.h"
#include "form/result_display.h"
#include "form/thumbnail_layout.h"
#include "image/bitmap.h"

class QPainter;

namespace morvik::gui {

QColor ToQColor(Colour colour);  // 0x00BBGGRR -> QColor
QImage ToQImage(const Bitmap& bitmap);

// The window's font: 8 points, the nearest sans-serif to "MS Sans Serif".
QFont WindowFont();
// The same font for the canvases, drawn without antialiasing like a bitmap font,
// so texts keep their exact colours.
QFont CanvasFont();

// --- Grid view ---
constexpr int kGridColumns = 8;
constexpr int kGridCellSide = 64;
constexpr int kGridGapX = 30;
constexpr int kGridGapY = 24;
constexpr int kGridLeft = 18;
constexpr int kGridTop = 15;
constexpr int kGridWidth = kGridColumns * (kGridCellSide + kGridGapX);  // 752
constexpr int kGridHeight =
    ((kReferenceCount - 1) / kGridColumns + 2) * (kGridCellSide + kGridGapY);  // 528
constexpr QPoint kTestCellPos{100, 455};

// Top-left corner of cell n: 1..40 the references, 41 the TestPattern.
QPoint GridCellPos(int n);
QRect GridCellRect(int n);  // the 64 x 64 hit rectangle
// The first cell (1..41) containing the point, or 0 in the gaps.
int GridCellAt(QPoint point);

// Frame and 4-pixel grid of a cell at (x, y), in the cell's frame colour.
void DrawCellFrame(QPainter& p, int x, int y, QColor colour);
// A cell's dot centred at (cx, cy): level 5..10 a fixed 3 x 3 dot, otherwise the box of
// half-size d = Level x 0.015 rounded half to even; nothing for an unmarked cell.
void DrawCellDot(QPainter& p, int cx, int cy, const TPatternCell& cell);
void DrawPatternDots(QPainter& p, int x, int y, const TPattern& pattern);
// Numbers, frames and dots of the 40 references and the test cell (framed red).
void PaintPatternGrid(QPainter& p, const TPatternBank& bank, const ResultDisplay& display,
                      QColor textColour);
// "H:0.857, V:0.9": both scores in the general format of 3 significant digits.
QString ScoreText(const TScoreEntry& entry);
// Pixels the score text under cell n (1..40) may take: up to kScoreTextAir before the next
// column's cell, and never past the drawing area.
constexpr int kScoreTextAir = 4;
int ScoreTextRoom(int n);
// The score text under every reference with both scores, fuchsia and underlined; a text
// wider than its room is drawn in a smaller font (see FittedFont).
void DrawScoreTexts(QPainter& p, const ScoreState& scores);

// --- Editor ---
// Black outline of the 112 x 112 box and the grey lines between the 7-pixel cells.
void DrawEditorGrid(QPainter& p);
// One cell's dot centred at (x, y): grey outline, black fill; level 5..10 a 3 x 3 dot,
// otherwise half-size Level x 0.03 rounded half to even (a marked 0 is one pixel).
void DrawEditorCell(QPainter& p, int x, int y, const TPatternCell& cell);
void DrawEditorCells(QPainter& p, const TPattern& pattern);

// --- Thumbnails ---
// The raster stretched into the layout's rectangle, the three labels, percentages and the
// margin.
void DrawThumbnail(QPainter& p, const ThumbnailLayout& layout, const Bitmap& raster);

}  // namespace morvik::gui
