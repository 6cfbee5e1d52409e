#include "gui/picture_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <cmath>

namespace morvik::gui {

namespace {

const QColor kBoxColour(0, 120, 215);
const QColor kRejectedColour(220, 0, 0);
const QColor kSelectedFill(255, 200, 0, 110);

QRectF ViewRect(const PictureForm& form, const PictureBox& box) {
  const std::array<double, 4> r = form.ViewBox(box);
  return QRectF(r[0], r[1], r[2], r[3]);
}

}  // namespace

PictureView::PictureView(PictureForm& form, QWidget* parent) : QWidget(parent), form_(form) {
  setObjectName("PictureView");
  setMinimumSize(200, 120);
  setMouseTracking(false);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(96, 96, 96));
  setPalette(pal);
}

void PictureView::SetPicture(const QImage& picture) {
  picture_ = picture;
  FitPicture();
}

void PictureView::FitPicture() {
  if (!picture_.isNull()) form_.Fit(width(), height(), picture_.width(), picture_.height());
  update();
}

void PictureView::ZoomBy(double factor) {
  form_.ZoomAt(factor, width() / 2.0, height() / 2.0);
  update();
}

void PictureView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (picture_.isNull()) return;
  const ViewTransform& v = form_.View;
  p.setRenderHint(QPainter::SmoothPixmapTransform, v.Zoom < 1);
  p.drawImage(QRectF(-v.PanX, -v.PanY, picture_.width() * v.Zoom, picture_.height() * v.Zoom),
              picture_);
  const std::optional<Reading>& reading = form_.Current();
  if (!reading) return;
  for (const ReadLine& line : reading->Lines)
    for (const ReadChar& c : line.Chars) {
      if (c.Blank) continue;
      p.setPen(QPen(c.Rejected ? kRejectedColour : kBoxColour, c.Rejected ? 2 : 1));
      p.setBrush(Qt::NoBrush);
      p.drawRect(ViewRect(form_, c.Box).adjusted(-0.5, -0.5, 0.5, 0.5));
    }
  for (const CharPlace& place : form_.Selection()) {
    const QRectF r = ViewRect(form_, form_.Char(place).Box).adjusted(-1.5, -1.5, 1.5, 1.5);
    p.fillRect(r, kSelectedFill);
    p.setPen(QPen(QColor(230, 120, 0), 2));
    p.drawRect(r);
  }
}

void PictureView::wheelEvent(QWheelEvent* event) {
  const double steps = event->angleDelta().y() / 120.0;
  form_.ZoomAt(std::pow(1.25, steps), event->position().x(), event->position().y());
  update();
}

void PictureView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton || event->button() == Qt::MiddleButton) {
    panning_ = true;
    last_ = event->position();
    setCursor(Qt::ClosedHandCursor);
    return;
  }
  if (event->button() != Qt::LeftButton) return;
  const auto [x, y] = form_.PicturePoint(event->position().x(), event->position().y());
  if (const std::optional<CharPlace> place = form_.CharAt(x, y))
    emit CharClicked(place->Line, place->Index, event->modifiers() & Qt::ShiftModifier);
}

void PictureView::mouseMoveEvent(QMouseEvent* event) {
  if (!panning_) return;
  const QPointF d = event->position() - last_;
  last_ = event->position();
  form_.PanBy(d.x(), d.y());
  update();
}

void PictureView::mouseReleaseEvent(QMouseEvent*) {
  if (!panning_) return;
  panning_ = false;
  unsetCursor();
}

}  // namespace morvik::gui
