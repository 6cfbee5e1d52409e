#include "gui/pattern_grid_view.h"

#include <QMouseEvent>
#include <QPainter>

#include "gui/drawing.h"

namespace morvik::gui {

PatternGridView::PatternGridView(Workspace& ws, QWidget* parent) : QWidget(parent), ws_(ws) {
  setObjectName("PaintBoxPatterns");
  setFixedSize(kGridWidth, kGridHeight);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::white);
  setPalette(pal);
}

void PatternGridView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  PaintPatternGrid(p, ws_.Bank, ws_.Display, palette().color(QPalette::WindowText));
  if (ws_.Display.ScoresShown) DrawScoreTexts(p, ws_.Scores);
}

// Any button; the grid itself is not repainted, the editor is (through the workspace).
void PatternGridView::mousePressEvent(QMouseEvent* event) {
  const int n = GridCellAt(event->position().toPoint());
  if (n != 0) ws_.SelectGridPattern(n);
}

}  // namespace morvik::gui
