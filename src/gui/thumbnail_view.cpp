#include "gui/thumbnail_view.h"

#include <QPaintEvent>
#include <QPainter>

#include "gui/drawing.h"

namespace morvik::gui {

ThumbnailView::ThumbnailView(QWidget* parent) : QWidget(parent) {
  setObjectName("ImageRecognize");
  setFixedSize(range_.Horizontal, range_.Vertical);
}

void ThumbnailView::Clear() {
  canvas_ = QImage();
  update();
}

void ThumbnailView::Draw(const RecognizedImage& image, const CharMapState& chars) {
  const Bitmap empty;
  const Bitmap& raster = image.Scaled ? *image.Scaled : empty;
  const ThumbnailLayout layout = LayoutThumbnail(raster.Width(), raster.Height(), image.Row,
                                                 image.Column, image.TopThree, chars);
  // Created blank with the first thumbnail after the picture was emptied.
  if (canvas_.isNull()) {
    canvas_ = QImage(kThumbnailCanvasWidth, kThumbnailCanvasHeight, QImage::Format_RGB32);
    canvas_.fill(Qt::white);
  }
  {
    QPainter p(&canvas_);
    DrawThumbnail(p, layout, raster);
  }
  UpdateScrollRange(range_, layout);
  setFixedSize(range_.Horizontal, range_.Vertical);
  repaint();
}

void ThumbnailView::paintEvent(QPaintEvent* event) {
  if (canvas_.isNull()) return;
  QPainter p(this);
  p.drawImage(event->rect(), canvas_, event->rect());
}

}  // namespace morvik::gui
