#include "gui/drawing.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStringList>
#include <algorithm>
#include <cmath>

#include "core/number_format.h"
#include "gui/caption_fit.h"

namespace morvik::gui {

namespace {

const QColor kBlackColour(0, 0, 0);
const QColor kGreyColour(0x80, 0x80, 0x80);

// Round(level x factor), ties to even, in extended precision.
int DotHalfSize(int level, long double factor) {
  return static_cast<int>(std::nearbyint(static_cast<long double>(level) * factor));
}

// A filled ellipse whose box runs from (x0, y0) to (x1, y1), right and bottom excluded.
void FillEllipse(QPainter& p, int x0, int y0, int x1, int y1, QColor outline, QColor fill) {
  if (x1 - x0 <= 1 || y1 - y0 <= 1) {
    p.fillRect(QRect(QPoint(x0, y0), QPoint(x1 - 1, y1 - 1)), outline);
    return;
  }
  p.setPen(outline);
  p.setBrush(fill);
  // Qt's outline covers the rectangle's right and bottom edge too: one pixel less each way.
  p.drawEllipse(QRect(x0, y0, x1 - x0 - 1, y1 - y0 - 1));
}

void DrawText(QPainter& p, int x, int y, const QString& text) {
  p.drawText(x, y + QFontMetrics(p.font()).ascent(), text);
}

bool InFixedDotBand(std::uint8_t level) {
  return LevelBounds[0] <= level && level < LevelBounds[1];
}

}  // namespace

QColor ToQColor(Colour colour) {
  return QColor(RedOf(colour), GreenOf(colour), BlueOf(colour));
}

QImage ToQImage(const Bitmap& bitmap) {
  QImage image(bitmap.Width(), bitmap.Height(), QImage::Format_RGB32);
  for (int y = 0; y < bitmap.Height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < bitmap.Width(); ++x) {
      const Colour c = bitmap.Pixel(x, y);
      line[x] = qRgb(RedOf(c), GreenOf(c), BlueOf(c));
    }
  }
  return image;
}

QFont WindowFont() {
  QFont font;
  font.setFamilies(
      {"MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans", "Arial", "DejaVu Sans"});
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(8);
  return font;
}

QFont CanvasFont() {
  QFont font = WindowFont();
  font.setStyleStrategy(QFont::NoAntialias);
  return font;
}

// --- Grid view ---

QPoint GridCellPos(int n) {
  if (n == kTestSlot) return kTestCellPos;
  return QPoint((n - 1) % kGridColumns * (kGridCellSide + kGridGapX) + kGridLeft,
                (n - 1) / kGridColumns * (kGridCellSide + kGridGapY) + kGridTop);
}

QRect GridCellRect(int n) {
  return QRect(GridCellPos(n), QSize(kGridCellSide, kGridCellSide));
}

int GridCellAt(QPoint point) {
  for (int n = 1; n <= kTestSlot; ++n)
    if (GridCellRect(n).contains(point)) return n;
  return 0;
}

void DrawCellFrame(QPainter& p, int x, int y, QColor colour) {
  const int side = kGridCellSide;
  p.fillRect(x, y, side, 1, colour);
  p.fillRect(x, y + side - 1, side, 1, colour);
  p.fillRect(x, y, 1, side, colour);
  p.fillRect(x + side - 1, y, 1, side, colour);
  for (int i = 1; i <= 15; ++i) {
    p.fillRect(x, y + 4 * i, side, 1, colour);
    p.fillRect(x + 4 * i, y, 1, side, colour);
  }
}

namespace {

// A marked cell's dot centred at (x, y): the fixed 3 x 3 dot in the band 5..10, otherwise a
// box of half size Level x factor (rounded half to even); unmarked cells draw nothing.
void DrawDot(QPainter& p, int x, int y, const TPatternCell& cell, long double factor,
             const QColor& outline) {
  if (cell.Mark == 0) return;
  const int d = InFixedDotBand(cell.Level) ? 1 : DotHalfSize(cell.Level, factor);
  FillEllipse(p, x - d, y - d, x + d + 1, y + d + 1, outline, kBlackColour);
}

}  // namespace

void DrawCellDot(QPainter& p, int cx, int cy, const TPatternCell& cell) {
  DrawDot(p, cx, cy, cell, 0.015L, kBlackColour);
}

void DrawPatternDots(QPainter& p, int x, int y, const TPattern& pattern) {
  for (int r = 1; r <= kGridSize; ++r)
    for (int c = 1; c <= kGridSize; ++c)
      DrawCellDot(p, x + 2 + 4 * (c - 1), y + 2 + 4 * (r - 1), pattern.At(r, c));
}

void PaintPatternGrid(QPainter& p, const TPatternBank& bank, const ResultDisplay& display,
                      QColor textColour) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setFont(CanvasFont());
  p.setBackgroundMode(Qt::TransparentMode);
  for (int n = 1; n <= kReferenceCount; ++n) {
    const QPoint at = GridCellPos(n);
    p.setPen(textColour);
    DrawText(p, at.x() - 18, at.y() + 10, QString::number(n) + ".");
    DrawCellFrame(p, at.x(), at.y(), ToQColor(display.FrameColour[static_cast<std::size_t>(n)]));
    DrawPatternDots(p, at.x(), at.y(), bank.Slot(n));
  }
  const QPoint test = GridCellPos(kTestSlot);
  DrawCellFrame(p, test.x(), test.y(), ToQColor(RankColours[0]));
  DrawPatternDots(p, test.x(), test.y(), bank.TestPattern());
  p.restore();
}

int ScoreTextRoom(int n) {
  const int x = GridCellPos(n).x();
  const int nextColumn = x + kGridCellSide + kGridGapX - kScoreTextAir;
  return std::min(nextColumn, kGridWidth) - x;
}

QString ScoreText(const TScoreEntry& entry) {
  return QString::fromStdString("H:" + FormatScore(entry.H) + ", V:" + FormatScore(entry.V));
}

void DrawScoreTexts(QPainter& p, const ScoreState& scores) {
  p.save();
  QFont font = CanvasFont();
  font.setUnderline(true);
  p.setFont(font);
  p.setPen(ToQColor(kFuchsia));
  p.setBackgroundMode(Qt::TransparentMode);
  for (int n = 1; n <= kReferenceCount; ++n) {
    const TScoreEntry& e = scores.ScoreTable[static_cast<std::size_t>(n)];
    if (e.H == NoScore || e.V == NoScore) continue;
    const QPoint at = GridCellPos(n);
    const QString text = ScoreText(e);
    p.setFont(FittedFont(font, text, ScoreTextRoom(n)));
    DrawText(p, at.x(), at.y() + kGridCellSide + 2, text);
  }
  p.restore();
}

// --- Editor ---

void DrawEditorGrid(QPainter& p) {
  const int size = kGridSize * 7;
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);
  p.fillRect(0, 0, size, 1, kBlackColour);
  p.fillRect(0, size - 1, size, 1, kBlackColour);
  p.fillRect(0, 0, 1, size, kBlackColour);
  p.fillRect(size - 1, 0, 1, size, kBlackColour);
  for (int i = 1; i <= 15; ++i) p.fillRect(0, 7 * i, size, 1, kGreyColour);
  for (int i = 1; i <= 15; ++i) p.fillRect(7 * i, 0, 1, size, kGreyColour);
  p.restore();
}

void DrawEditorCell(QPainter& p, int x, int y, const TPatternCell& cell) {
  DrawDot(p, x, y, cell, 0.03L, kGreyColour);
}

void DrawEditorCells(QPainter& p, const TPattern& pattern) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);
  for (int r = 1; r <= kGridSize; ++r)
    for (int c = 1; c <= kGridSize; ++c)
      DrawEditorCell(p, 7 * (c - 1) + 4, 7 * (r - 1) + 4, pattern.At(r, c));
  p.restore();
}

// --- Thumbnails ---

namespace {

void DrawThumbnailText(QPainter& p, const ThumbnailText& t) {
  QFont font = CanvasFont();
  font.setBold(t.Bold);
  font.setUnderline(t.Underline);
  p.setFont(font);
  p.setPen(ToQColor(t.TextColour));
  p.setBackgroundMode(t.Opaque ? Qt::OpaqueMode : Qt::TransparentMode);
  p.setBackground(Qt::white);
  const QString text = QString::fromLatin1(t.Text.data(), static_cast<int>(t.Text.size()));
  const int x = t.RightAligned ? t.X - QFontMetrics(font).horizontalAdvance(text) : t.X;
  DrawText(p, x, t.Y, text);
}

}  // namespace

void DrawThumbnail(QPainter& p, const ThumbnailLayout& layout, const Bitmap& raster) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);
  const int w = layout.Right - layout.Left, h = layout.Bottom - layout.Top;
  if (w > 0 && h > 0 && !raster.Empty()) {
    Bitmap stretched(w, h);
    StretchDraw(raster, stretched, w, h);
    p.drawImage(layout.Left, layout.Top, ToQImage(stretched));
  }
  for (const ThumbnailText& t : layout.Labels) DrawThumbnailText(p, t);
  for (const ThumbnailText& t : layout.Percentages) DrawThumbnailText(p, t);
  DrawThumbnailText(p, layout.Margin);
  p.restore();
}

}  // namespace morvik::gui
