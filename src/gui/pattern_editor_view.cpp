#include "gui/pattern_editor_view.h"

#include <QMouseEvent>
#include <QPainter>

#include "form/pattern_editing.h"
#include "gui/drawing.h"

namespace morvik::gui {

unsigned ShiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
  unsigned shift = 0;
  if (modifiers & Qt::ShiftModifier) shift |= kShiftKey;
  if (modifiers & Qt::AltModifier) shift |= kAltKey;
  if (modifiers & Qt::ControlModifier) shift |= kCtrlKey;
  if (buttons & Qt::LeftButton) shift |= kLeftButton;
  if (buttons & Qt::RightButton) shift |= kRightButton;
  if (buttons & Qt::MiddleButton) shift |= kMiddleButton;
  return shift;
}

PatternEditorView::PatternEditorView(Workspace& ws, QWidget* parent) : QWidget(parent), ws_(ws) {
  setObjectName("PaintBoxEdit");
  setFixedSize(kEditorSize, kEditorSize);
  setMouseTracking(true);  // moves with a key held and no button paint too
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::white);
  setPalette(pal);
}

void PatternEditorView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  DrawEditorGrid(p);
  DrawEditorCells(p, ws_.Bank.EditPattern());
}

void PatternEditorView::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  const MouseButton button = event->button() == Qt::LeftButton    ? MouseButton::Left
                             : event->button() == Qt::RightButton ? MouseButton::Right
                                                                  : MouseButton::Middle;
  EditorMouseDown(ws_.Bank.EditPattern(), button, at.x(), at.y());
  repaint();
}

void PatternEditorView::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (EditorMouseMove(ws_.Bank.EditPattern(), ShiftStateOf(event->modifiers(), event->buttons()),
                      at.x(), at.y(), ws_.CheckBoxButtons, ws_.SpinEditFill))
    repaint();
}

}  // namespace morvik::gui
