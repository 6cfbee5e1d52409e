// The drawing routines on a QImage: dot sizes of the grid and the editor, frames, hit tests,
// score texts, and where a thumbnail and its texts land.
#include <QImage>
#include <QPainter>
#include <QtTest>

#include "gui/drawing.h"

using namespace morvik;
using namespace morvik::gui;

namespace {

QImage WhiteImage(int w, int h) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(Qt::white);
  return image;
}

// Bounding box of the pixels of `colour` (or of every non-white pixel) inside `area`.
QRect BoxOf(const QImage& image, QRect area = {}, QColor colour = {}) {
  if (area.isNull()) area = image.rect();
  QRect box;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) {
      const QRgb px = image.pixel(x, y);
      const bool hit = colour.isValid() ? px == colour.rgb() : px != qRgb(255, 255, 255);
      if (hit) box |= QRect(x, y, 1, 1);
    }
  return box;
}

}  // namespace

class DrawingTest : public QObject {
  Q_OBJECT

 private slots:
  void dotSizes_data() {
    QTest::addColumn<int>("mark");
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("gridSide");
    QTest::addColumn<int>("editorSide");
    QTest::newRow("marked 0") << 1 << 0 << 1 << 1;
    QTest::newRow("10: fixed dot") << 1 << 10 << 3 << 3;
    QTest::newRow("25") << 1 << 25 << 1 << 3;
    QTest::newRow("50: 1.5 ties to 2 in the editor") << 1 << 50 << 3 << 5;
    QTest::newRow("75") << 1 << 75 << 3 << 5;
    QTest::newRow("100: 1.5 ties to 2 in the grid") << 1 << 100 << 5 << 7;
    QTest::newRow("unmarked 100") << 0 << 100 << 0 << 0;
  }
  void dotSizes() {
    QFETCH(int, mark);
    QFETCH(int, level);
    QFETCH(int, gridSide);
    QFETCH(int, editorSide);
    const TPatternCell cell{static_cast<std::uint8_t>(mark), static_cast<std::uint8_t>(level)};
    QImage grid = WhiteImage(20, 20), editor = WhiteImage(20, 20);
    {
      QPainter p(&grid);
      DrawCellDot(p, 10, 10, cell);
      QPainter q(&editor);
      DrawEditorCell(q, 10, 10, cell);
    }
    const QRect g = BoxOf(grid), e = BoxOf(editor);
    QCOMPARE(g.width(), gridSide);
    QCOMPARE(g.height(), gridSide);
    QCOMPARE(e.width(), editorSide);
    QCOMPARE(e.height(), editorSide);
    if (gridSide > 0) QCOMPARE(g.center(), QPoint(10, 10));
    if (editorSide > 0) QCOMPARE(e.center(), QPoint(10, 10));
    if (gridSide > 0) QCOMPARE(grid.pixel(10, 10), qRgb(0, 0, 0));
  }

  void gridGeometry() {
    QCOMPARE(kGridWidth, 752);
    QCOMPARE(kGridHeight, 528);
    const int xs[8] = {18, 112, 206, 300, 394, 488, 582, 676};
    const int ys[5] = {15, 103, 191, 279, 367};
    for (int n = 1; n <= 40; ++n)
      QCOMPARE(GridCellPos(n), QPoint(xs[(n - 1) % 8], ys[(n - 1) / 8]));
    QCOMPARE(GridCellPos(41), QPoint(100, 455));
  }

  void gridHitTests_data() {
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<int>("cell");
    QTest::newRow("corner of 1") << QPoint(18, 15) << 1;
    QTest::newRow("last pixel of 1") << QPoint(81, 78) << 1;
    QTest::newRow("gap right of 1") << QPoint(82, 15) << 0;
    QTest::newRow("gap below 1") << QPoint(18, 79) << 0;
    QTest::newRow("left of 1") << QPoint(17, 15) << 0;
    QTest::newRow("cell 2") << QPoint(112, 15) << 2;
    QTest::newRow("cell 40") << QPoint(739, 430) << 40;
    QTest::newRow("test cell") << QPoint(100, 455) << 41;
    QTest::newRow("test cell end") << QPoint(163, 518) << 41;
    QTest::newRow("beside test cell") << QPoint(164, 455) << 0;
  }
  void gridHitTests() {
    QFETCH(QPoint, point);
    QFETCH(int, cell);
    QCOMPARE(GridCellAt(point), cell);
  }

  void cellFrame() {
    QImage image = WhiteImage(100, 100);
    {
      QPainter p(&image);
      DrawCellFrame(p, 10, 10, Qt::red);
    }
    QCOMPARE(BoxOf(image), QRect(10, 10, 64, 64));
    const QRgb red = QColor(Qt::red).rgb();
    QCOMPARE(image.pixel(10 + 5, 10 + 4), red);   // horizontal line 1
    QCOMPARE(image.pixel(10 + 60, 10 + 7), red);  // vertical line 15
    QCOMPARE(image.pixel(10 + 2, 10 + 2), qRgb(255, 255, 255));
    QCOMPARE(image.pixel(10 + 63, 10 + 63), red);
  }

  void editorGrid() {
    QImage image = WhiteImage(120, 120);
    {
      QPainter p(&image);
      DrawEditorGrid(p);
    }
    QCOMPARE(BoxOf(image), QRect(0, 0, 112, 112));
    QCOMPARE(image.pixel(0, 0), qRgb(0, 0, 0));
    QCOMPARE(image.pixel(111, 50), qRgb(0, 0, 0));
    QCOMPARE(image.pixel(50, 7), qRgb(0x80, 0x80, 0x80));
    QCOMPARE(image.pixel(105, 30), qRgb(0x80, 0x80, 0x80));
    QCOMPARE(image.pixel(3, 3), qRgb(255, 255, 255));
  }

  void scoreTexts() {
    QCOMPARE(ScoreText({0.8571, 0.9, 0}), QString("H:0.857, V:0.9"));
    QCOMPARE(ScoreText({1.0, 0.0, 0}), QString("H:1, V:0"));
    ScoreState scores;
    for (TScoreEntry& e : scores.ScoreTable) e = {NoScore, NoScore, 0};
    scores.ScoreTable[1] = {0.8571, 0.9, 0};
    scores.ScoreTable[2] = {0.5, NoScore, 0};
    QImage image = WhiteImage(kGridWidth, kGridHeight);
    {
      QPainter p(&image);
      DrawScoreTexts(p, scores);
    }
    const QColor fuchsia(255, 0, 255);
    const QRect one = BoxOf(image, QRect(18, 79, 94, 24), fuchsia);
    QVERIFY(!one.isNull());
    QVERIFY(one.top() >= 81);
    QCOMPARE(one.left(), 18);  // the underline starts where the text does
    QVERIFY(BoxOf(image, QRect(112, 79, 94, 24)).isNull());
    QCOMPARE(BoxOf(image, QRect(0, 0, kGridWidth, kGridHeight), fuchsia), one);
  }

  // Wide score texts keep out of the next column's cell and inside the drawing area.
  void scoreTextsStayInTheirColumn() {
    ScoreState scores;
    for (TScoreEntry& e : scores.ScoreTable) e = {NoScore, NoScore, 0};
    // Every other column of the first row, and the last column of the second.
    for (int n : {1, 3, 5, 7, 16}) scores.ScoreTable[n] = {0.0625, 0.0123, 0};
    QImage image = WhiteImage(kGridWidth, kGridHeight);
    {
      QPainter p(&image);
      DrawScoreTexts(p, scores);
    }
    const QColor fuchsia(255, 0, 255);
    for (int n : {1, 3, 5, 7, 16}) {
      const QPoint at = GridCellPos(n);
      const QRect band(0, at.y() + kGridCellSide, kGridWidth, kGridGapY);
      const QRect next(at.x() + kGridCellSide + kGridGapX, band.y(), kGridCellSide, band.height());
      const QRect text =
          BoxOf(image, QRect(at.x(), band.y(), ScoreTextRoom(n), band.height()), fuchsia);
      QVERIFY(!text.isNull());
      QVERIFY(text.right() < at.x() + ScoreTextRoom(n) - 1);  // ends inside its room
      if (next.right() < kGridWidth) QVERIFY(BoxOf(image, next, fuchsia).isNull());
    }
    QCOMPARE(ScoreTextRoom(1), kGridCellSide + kGridGapX - kScoreTextAir);
    QCOMPARE(ScoreTextRoom(8), kGridWidth - GridCellPos(8).x());
  }

  void gridFramesAndNumbers() {
    TPatternBank bank;
    ResultDisplay scores;
    scores.FrameColour[1] = kRed;
    scores.FrameColour[3] = kLime;
    bank.Slot(2).At(1, 1) = {1, 100};
    QImage image = WhiteImage(kGridWidth, kGridHeight);
    {
      QPainter p(&image);
      PaintPatternGrid(p, bank, scores, Qt::black);
    }
    QCOMPARE(image.pixel(18, 15), qRgb(255, 0, 0));
    QCOMPARE(image.pixel(206, 15), qRgb(0, 255, 0));
    QCOMPARE(image.pixel(300, 15), qRgb(0x80, 0x80, 0x80));
    QCOMPARE(image.pixel(100, 455), qRgb(255, 0, 0));  // the test cell is always red
    // Number "1." in the gap left of cell 1, from (0, 25).
    const QRect number = BoxOf(image, QRect(0, 15, 18, 40), Qt::black);
    QVERIFY(!number.isNull());
    QVERIFY(number.top() >= 25);
    // Pattern 2's top-left dot: a 5 x 5 dot centred at (112 + 2, 15 + 2), clipped by nothing.
    QCOMPARE(image.pixel(114, 17), qRgb(0, 0, 0));
    QCOMPARE(image.pixel(116, 17), qRgb(0, 0, 0));
  }

  void thumbnail_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QRect>("rect");
    QTest::newRow("row 1 column 0") << 1 << 0 << QRect(QPoint(16, 0), QPoint(53, 18));
    QTest::newRow("row 2 column 3") << 2 << 3 << QRect(QPoint(175, 106), QPoint(212, 124));
  }
  void thumbnail() {
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QRect, rect);
    Bitmap raster(64, 32);
    raster.Fill(MakeColour(0, 0, 255));
    const std::array<TRankEntry, 3> ranks = {TRankEntry{7, 0.9}, TRankEntry{2, 0.8},
                                             TRankEntry{3, 0.5}};
    const ThumbnailLayout layout = LayoutThumbnail(64, 32, row, column, ranks, {});
    QImage image = WhiteImage(400, 400);
    {
      QPainter p(&image);
      DrawThumbnail(p, layout, raster);
    }
    QCOMPARE(BoxOf(image, {}, QColor(0, 0, 255)), rect);

    const int left = rect.left(), top = rect.top(), bottom = rect.bottom() + 1;
    const QColor ranks3[3] = {QColor(255, 0, 0), QColor(0, 255, 0), QColor(0, 255, 255)};
    for (int k = 0; k < 2; ++k) {  // rank 3's label lies partly under the margin
      const QRect label = BoxOf(image, QRect(0, top, left, 60), ranks3[k]);
      QVERIFY2(!label.isNull(), "label drawn");
      QVERIFY(label.right() <= left - 3);  // ends at Left - 2, exclusive
      QVERIFY(label.right() >= left - 5);
      QVERIFY(label.top() >= top + 14 * k);
      QVERIFY(label.bottom() < top + 14 * (k + 1));
    }
    for (int k = 0; k < 3; ++k) {
      const QRect percent = BoxOf(image, QRect(left, bottom, 100, 60), ranks3[k]);
      QVERIFY2(!percent.isNull(), "percentage drawn");
      QCOMPARE(percent.left(), left);  // underlined from its left edge
      QVERIFY(percent.top() >= bottom + 14 * k);
      QVERIFY(percent.bottom() < bottom + 14 * (k + 1));
    }
    const QRect margin = BoxOf(image, QRect(0, top, left, 80), QColor(255, 0, 255));
    QVERIFY2(!margin.isNull(), "margin drawn");
    QVERIFY(margin.right() < left);
    QVERIFY(margin.top() >= bottom + 7);
    QVERIFY(margin.bottom() < bottom + 7 + 14);
  }
};

QTEST_MAIN(DrawingTest)
#include "drawing_test.moc"
