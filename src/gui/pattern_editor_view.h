// PaintBoxEdit: the EditPattern at 7 pixels a cell. Presses step a cell up or down; moves
// with Ctrl, Shift, both, or a held button (when enabled) paint cells.
#pragma once

#include <QWidget>

#include "form/workspace.h"

namespace morvik::gui {

// The shift state of a mouse event in the bits of the editor's rules (Shift 1, Alt 2,
// Ctrl 4, left 8, right 16, middle 32).
unsigned ShiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons);

class PatternEditorView : public QWidget {
  Q_OBJECT

 public:
  explicit PatternEditorView(Workspace& ws, QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  Workspace& ws_;
};

}  // namespace morvik::gui
