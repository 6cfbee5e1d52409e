// ImageRecognize: the canvas the runs draw their thumbnails on, 1000 x 10000 pixels, inside
// ScrollBox2. The widget takes the size of the box's scroll range, which follows the
// thumbnail just drawn, so the box scrolls over exactly that range.
#pragma once

#include <QImage>
#include <QWidget>

#include "form/thumbnail_layout.h"
#include "form/workspace.h"

namespace morvik::gui {

class ThumbnailView : public QWidget {
  Q_OBJECT

 public:
  explicit ThumbnailView(QWidget* parent = nullptr);

  // A run starts: the picture is emptied; the scroll range stays.
  void Clear();
  // Draws the thumbnail of the image just recognised and repaints at once. Throws Error
  // for a raster without pixels.
  void Draw(const RecognizedImage& image, const CharMapState& chars);

  const QImage& Canvas() const { return canvas_; }  // null while empty
  const ThumbnailScrollRange& ScrollRange() const { return range_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage canvas_;
  ThumbnailScrollRange range_;
};

}  // namespace morvik::gui
