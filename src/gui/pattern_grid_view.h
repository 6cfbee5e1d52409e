// PaintBoxPatterns: the 40 references and the TestPattern with their numbers, frames, dots
// and, after "Compute", their scores. A press on a cell puts that pattern into the editor.
#pragma once

#include <QWidget>

#include "form/workspace.h"

namespace morvik::gui {

class PatternGridView : public QWidget {
  Q_OBJECT

 public:
  explicit PatternGridView(Workspace& ws, QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  Workspace& ws_;
};

}  // namespace morvik::gui
