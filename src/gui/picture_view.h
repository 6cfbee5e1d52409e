// The read picture with the boxes of its cut: zoomed with the wheel (or the View menu) about
// the pointer, panned by dragging with the right or middle button, a box selected by a click
// (Shift extends the selection along the line). The form holds the zoom, the pan and the
// selection; this view only paints them and passes the mouse on.
#pragma once

#include <QImage>
#include <QWidget>

#include "form/picture_form.h"

namespace morvik::gui {

class PictureView : public QWidget {
  Q_OBJECT

 public:
  PictureView(PictureForm& form, QWidget* parent = nullptr);

  // The picture as decoded by Qt, shown under the boxes; a null image shows none.
  void SetPicture(const QImage& picture);
  const QImage& Picture() const { return picture_; }
  void ZoomBy(double factor);  // about the view's centre
  void FitPicture();

 signals:
  void CharClicked(int line, int index, bool extend);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  PictureForm& form_;
  QImage picture_;
  bool panning_ = false;
  QPointF last_;
};

}  // namespace morvik::gui
