// The window as a whole: its layout, start-up with and without "morvik.ini", closing with the
// settings written (or kept open when they cannot be), "Compute" with the result labels and
// frame colours, pictures, pattern sets and a recognition run with its thumbnails.
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QtTest>
#include <filesystem>

#include "core/error.h"
#include "core/set_files.h"
#include "gui/caption_fit.h"
#include "gui/thumbnail_view.h"
#include "harness.h"
#include "png_util.h"

using namespace morvik;
using namespace morvik::gui;
using morvik::gui::test::Harness;
using morvik::test::ReadFile;
using morvik::test::WriteFile;

namespace {

// A white square of `side` pixels on black: the image path marks bright pixels.
Bitmap Square(int width, int height, int side) {
  Bitmap b(width, height);
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) b.SetPixel(x, y, kWhite);
  return b;
}

void Column(TPattern& p, int rows) {
  for (int r = 1; r <= rows; ++r) p.At(r, 1) = {1, 100};
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void layout() {
    Harness h;
    MainWindow& w = h.Start();
    w.show();
    QCOMPARE(w.windowTitle(), QString("Morvik Win32 version 4.0"));
    QCOMPARE(w.frameGeometry().size(), QSize(1186, 767));  // the outer size, frame included
    QCOMPARE(h.Find<QWidget>("Panel1")->geometry(), QRect(0, w.height() - 92, w.width(), 92));
    QCOMPARE(h.Find<QWidget>("PanelControls")->width(), 401);
    QCOMPARE(h.Find<QWidget>("PanelControls")->x(), w.width() - 401);
    QCOMPARE(h.Find<QWidget>("PaintBoxPatterns")->size(), QSize(752, 528));
    QCOMPARE(h.Find<QWidget>("PaintBoxEdit")->size(), QSize(112, 112));
    QCOMPARE(h.Find<QWidget>("PanelEdit")->size(), QSize(122, 122));
    QCOMPARE(h.Find<QWidget>("ButtonProcess")->geometry(), QRect(720, 13, 75, 25));
    QCOMPARE(h.Find<QWidget>("ScrollBox2")->geometry(), QRect(8, 288, 385, 353));
    QCOMPARE(h.Find<QWidget>("ImageRecognize")->size(), QSize(1000, 10000));
    QCOMPARE(w.font().pointSize(), 8);
    QVERIFY(h.Find<QPushButton>("ButtonOpen")->font().bold());
    QCOMPARE(h.Find<QPushButton>("ButtonProcess")->palette().color(QPalette::ButtonText),
             QColor(255, 0, 0));
    QCOMPARE(h.Find<QLabel>("LabelRes2")->palette().color(QPalette::Window), QColor(0, 255, 0));
    QCOMPARE(h.Find<QLabel>("LabelRes3")->font().pixelSize(), 16);
  }

  // Every caption of a button, check box or radio button is whole at the window's font:
  // within the room the control's style leaves it, at the control's own size.
  void captionsFit() {
    Harness h;
    h.Start().show();
    int buttons = 0;
    for (const QAbstractButton* b : h.window->findChildren<QAbstractButton*>()) {
      if (b->text().isEmpty()) continue;
      const int advance = QFontMetrics(b->font()).horizontalAdvance(b->text());
      QVERIFY2(advance <= CaptionRoom(*b), qPrintable(b->objectName()));
      QVERIFY2(advance <= b->width(), qPrintable(b->objectName()));
      QVERIFY2(QFontInfo(b->font()).pixelSize() >= kSmallestFontPixels,
               qPrintable(b->objectName()));
      ++buttons;
    }
    QCOMPARE(buttons, 21);  // 14 buttons, 5 check boxes, 2 radio buttons
    // The layout's positions and sizes stay.
    QCOMPARE(h.Find<QWidget>("ButtonLoadP")->geometry(), QRect(200, 8, 73, 25));
    QCOMPARE(h.Find<QWidget>("CheckBoxButtons")->geometry(), QRect(200, 72, 137, 17));
    QCOMPARE(h.Find<QWidget>("ButtonRecBatch")->geometry(), QRect(1048, 24, 89, 25));
  }

  // A font wider than the layout was made for: the caption gets a smaller font, not a wider
  // control; a caption that fits keeps its font.
  void wideFontIsFitted() {
    QWidget parent;
    QFont wide("DejaVu Sans");
    wide.setPixelSize(13);
    wide.setBold(true);
    parent.setFont(wide);
    QPushButton button("Store Pattern#", &parent);
    button.setGeometry(200, 40, 73, 25);
    QCheckBox box("Hold button to fill/erase", &parent);
    box.setGeometry(200, 72, 137, 17);
    QPushButton small("Erase", &parent);
    small.setGeometry(152, 8, 41, 25);
    for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{&button, &box, &small}) {
      const bool fitted = QFontMetrics(b->font()).horizontalAdvance(b->text()) <= CaptionRoom(*b);
      FitCaption(*b);
      QVERIFY(QFontMetrics(b->font()).horizontalAdvance(b->text()) <= CaptionRoom(*b));
      QCOMPARE(b->font() == wide, fitted);
      QVERIFY(b->font().bold());
    }
    QVERIFY(button.font().pixelSize() < 13);
    QCOMPARE(button.geometry(), QRect(200, 40, 73, 25));
  }

  void startWithoutSettings() {
    Harness h;
    h.Start();
    QVERIFY(h.errors.empty());
    QCOMPARE(h.Text("EditPatternsBatch"), QString("patterns"));
    QCOMPARE(h.Text("EditAutoPat"), QString("learn"));
    QCOMPARE(h.Text("EditTally"), QString("75"));
    QCOMPARE(h.ws->Tally(), 0.75);
    QCOMPARE(h.Text("EditOpenFile"), QString());
    QVERIFY(h.Find<QCheckBox>("CheckBoxRatio")->isChecked());
    QVERIFY(!h.Find<QCheckBox>("CheckBoxDynamic")->isChecked());
    QVERIFY(h.Find<QCheckBox>("CheckBoxAuto")->isChecked());
    QVERIFY(!h.Find<QCheckBox>("CheckBoxCrop")->isChecked());
    QVERIFY(h.Find<QAbstractButton>("RadioColWhite")->isChecked());
    QCOMPARE(h.Text("SpinEditRatio"), QString("100"));
    QCOMPARE(h.Text("SpinEditTresh"), QString("45"));
    QCOMPARE(h.Text("SpinEditInc"), QString("50"));
    QCOMPARE(h.Text("SpinEditFill"), QString("3"));
    QCOMPARE(h.Text("EditNoPat"), QString("1"));
  }

  void startWithSettings_data() {
    QTest::addColumn<QString>("tally");
    QTest::addColumn<double>("fraction");
    QTest::newRow("60") << "60" << 0.6;
    QTest::newRow("abc is kept and reads as 0") << "abc" << 0.0;
  }
  void startWithSettings() {
    QFETCH(QString, tally);
    QFETCH(double, fraction);
    Harness h;
    WriteFile(h.File("morvik.ini"),
              "[Files]\r\nLastFileName=digits\r\nLastRecognizeName=scans\r\n"
              "DynamicFileNameSearch=1\r\n[Algorithm]\r\nTally=" +
                  tally.toStdString() +
                  "\r\n[ImageProcessing]\r\nAspectRatioEnable=0\r\nAspectRatio=250\r\n");
    TPatternBank bank;
    Column(bank.Slot(1), 3);
    Column(bank.TestPattern(), 2);
    QVERIFY(SaveReferenceFile(h.File("digits.PCP"), bank));
    QVERIFY(SaveTestFile(h.File("digits.PCT"), bank));
    WriteFile(h.File("charmap.txt"), "1\tA\r\nx\tB\r\n");
    h.Start();
    QCOMPARE(h.Text("EditOpenFile"), QString("digits"));
    QCOMPARE(h.ws->CurrentSetName, std::string("digits"));
    QCOMPARE(int(h.ws->Bank.Slot(1).At(3, 1).Level), 100);
    QCOMPARE(int(h.ws->Bank.TestPattern().At(2, 1).Level), 100);
    QCOMPARE(h.Text("EditPatternsBatch"), QString("scans"));
    QCOMPARE(h.Text("EditTally"), tally);
    QCOMPARE(h.ws->Tally(), fraction);
    QVERIFY(!h.Find<QCheckBox>("CheckBoxRatio")->isChecked());
    QVERIFY(h.Find<QCheckBox>("CheckBoxDynamic")->isChecked());
    QCOMPARE(h.Text("SpinEditRatio"), QString("100"));
    // The map's bad line is shown, and the start goes on.
    QCOMPARE(h.errors.size(), std::size_t(1));
    QVERIFY(QString::fromStdString(h.errors[0]).contains("Invalid numeric input"));
    QCOMPARE(h.ws->Chars.CharMap[1], 'A');
  }

  void closeWritesTheSettings() {
    Harness h;
    MainWindow& w = h.Start();
    w.show();
    h.Type("EditPatternsBatch", "mine");
    h.Type("EditTally", "abc");
    h.Type("SpinEditRatio", "50");
    QCOMPARE(h.ws->Tally(), 0.0);
    QVERIFY(w.close());
    QVERIFY(h.errors.empty());
    const std::string ini = ReadFile(h.File("morvik.ini"));
    QVERIFY(ini.find("LastRecognizeName=mine") != std::string::npos);
    QVERIFY(ini.find("Tally=abc") != std::string::npos);
    QVERIFY(ini.find("AspectRatio=50") != std::string::npos);
    QVERIFY(ini.find("AspectRatioEnable=1") != std::string::npos);
    QVERIFY(ini.find("LastFileName") == std::string::npos);
  }

  void closeThatCannotWriteKeepsTheWindowOpen() {
    Harness h;
    std::filesystem::create_directory(h.File("morvik.ini"));
    MainWindow& w = h.Start();
    w.show();
    QVERIFY(!w.close());
    QVERIFY(w.isVisible());
    QCOMPARE(h.errors.size(), std::size_t(1));
    QVERIFY(QString::fromStdString(h.errors[0]).startsWith("Unable to write to "));
    QVERIFY(QString::fromStdString(h.errors[0]).contains("morvik.ini"));
    std::filesystem::remove(h.File("morvik.ini"));
    QVERIFY(w.close());  // and it still works afterwards
  }

  void computeFillsLabelsAndFrames() {
    Harness h;
    MainWindow& w = h.Start();
    w.show();
    Column(h.ws->Bank.Slot(1), 3);
    Column(h.ws->Bank.Slot(3), 4);
    Column(h.ws->Bank.TestPattern(), 3);
    h.Click("ButtonProcess");
    QCOMPARE(h.Find<QLabel>("LabelRes1")->text(), QString("No.1: 1"));
    QCOMPARE(h.Find<QLabel>("LabelRes2")->text(), QString("No.3: 0.9375"));
    QCOMPARE(h.Find<QLabel>("LabelRes3")->text(), QString());
    const QImage grid = h.Find<QWidget>("PaintBoxPatterns")->grab().toImage();
    QCOMPARE(grid.pixel(18, 15), qRgb(255, 0, 0));
    QCOMPARE(grid.pixel(206, 15), qRgb(0, 255, 0));
    QCOMPARE(grid.pixel(112, 15), qRgb(0x80, 0x80, 0x80));
    auto fuchsiaUnder = [&grid](int x, int y) {
      for (int yy = y + 66; yy < y + 66 + 14; ++yy)
        for (int xx = x; xx < x + 90; ++xx)
          if (grid.pixel(xx, yy) == qRgb(255, 0, 255)) return true;
      return false;
    };
    QVERIFY(fuchsiaUnder(18, 15));    // "H:1, V:1"
    QVERIFY(!fuchsiaUnder(112, 15));  // pattern 2 is empty: no score
    h.Click("ButtonNew");
    QCOMPARE(h.Find<QLabel>("LabelRes1")->text(), QString());
    const QImage after = h.Find<QWidget>("PaintBoxPatterns")->grab().toImage();
    QCOMPARE(after.pixel(18, 15), qRgb(0x80, 0x80, 0x80));
  }

  void patternSetsThroughTheDialogs() {
    Harness h;
    h.Start().show();
    Column(h.ws->Bank.Slot(2), 5);
    h.saveSet = h.File("sets.PCP");
    std::filesystem::create_directory(h.File("sets"));
    h.saveSet = h.File("sets/digits.PCP");
    h.Click("ButtonSave");
    QCOMPARE(h.Text("EditOpenFile"), QString("sets/digits"));
    QVERIFY(std::filesystem::file_size(h.File("sets/digits.PCP")) == 40 * 517);
    h.Click("ButtonNew");
    QCOMPARE(int(h.ws->Bank.Slot(2).MaxLevel), 0);
    h.openSet = h.File("sets/digits.PCP");
    h.Click("ButtonOpen");
    QCOMPARE(int(h.ws->Bank.Slot(2).At(5, 1).Level), 100);
    h.openSet.clear();  // a cancelled dialog does nothing
    h.Click("ButtonOpen");
    QVERIFY(h.errors.empty());
  }

  void loadBmpShowsThePictureAndItsPattern() {
    Harness h;
    h.Start().show();
    morvik::test::WriteBmp24(h.File("a.bmp"), Square(32, 32, 16));
    h.picture = h.File("a.bmp");
    h.Click("ButtonBMP");
    QVERIFY(h.errors.empty());
    QCOMPARE(h.Find<QLabel>("ImageBMP")->size(), QSize(64, 64));
    const TPattern& edit = h.ws->Bank.EditPattern();
    QCOMPARE(int(edit.At(1, 1).Mark), 1);
    QCOMPARE(int(edit.At(16, 16).Mark), 0);
    // The automatic threshold reached the controls.
    QCOMPARE(h.Text("SpinEditTresh").toInt(), h.ws->Image.Settings.SpinEditTresh());
    QCOMPARE(h.Text("SpinEditInc").toInt(), 100 - h.ws->Image.Settings.SpinEditTresh());
    // A threshold above every grey empties the editor.
    h.Click("CheckBoxAuto");
    h.Type("SpinEditTresh", "100");
    h.Type("SpinEditInc", "0");
    QCOMPARE(h.ws->Image.Settings.SpinEditTresh(), 100);
    QCOMPARE(int(edit.At(1, 1).Mark), 1);  // 255 is not below 255
    h.Type("SpinEditTresh", "150");        // typed: counts as 100 until the field is left
    QCOMPARE(h.Text("SpinEditTresh"), QString("150"));
    QCOMPARE(h.ws->Image.Settings.SpinEditTresh(), 100);
    // "Color": the name appears in the memo.
    h.Click("RadioColBlack");
    QCOMPARE(h.ws->Image.Settings.RadioGroupCol, 1);
    QCOMPARE(h.Find<QLineEdit>("LabelImageName")->text(),
             QString::fromStdString("Image: " + h.File("a.bmp")));
  }

  // "Load BMP" reads PNG and PNM pictures like bitmaps: the same picture gives the same
  // pattern in every format.
  void loadBmpReadsPngAndPnm() {
    Harness h;
    h.Start().show();
    const Bitmap square = Square(32, 24, 12);
    morvik::test::WriteBmp24(h.File("a.bmp"), square);
    morvik::test::PngLayout png;
    png.width = square.Width();
    png.height = square.Height();
    std::string pgm = "P5 32 24 255\n";
    for (int y = 0; y < square.Height(); ++y)
      for (int x = 0; x < square.Width(); ++x) {
        png.samples.push_back(static_cast<std::uint16_t>(RedOf(square.Pixel(x, y))));
        pgm += static_cast<char>(RedOf(square.Pixel(x, y)));
      }
    WriteFile(h.File("a.png"), morvik::test::EncodeTestPng(png));
    WriteFile(h.File("a.pgm"), pgm);
    h.picture = h.File("a.bmp");
    h.Click("ButtonBMP");
    const TPattern fromBmp = h.ws->Bank.EditPattern();
    QCOMPARE(int(fromBmp.At(1, 1).Mark), 1);
    for (const char* name : {"a.png", "a.pgm"}) {
      h.ws->ButtonEraseClick();
      h.picture = h.File(name);
      h.Click("ButtonBMP");
      QVERIFY(h.errors.empty());
      const TPattern& edit = h.ws->Bank.EditPattern();
      for (int r = 1; r <= kGridSize; ++r)
        for (int c = 1; c <= kGridSize; ++c) {
          QCOMPARE(int(edit.At(r, c).Mark), int(fromBmp.At(r, c).Mark));
          QCOMPARE(int(edit.At(r, c).Level), int(fromBmp.At(r, c).Level));
        }
    }
  }

  void loadErrorsAreShownAndTheWindowGoesOn() {
    Harness h;
    h.Start().show();
    h.Click("RadioColBlack");  // no picture chosen yet
    QCOMPARE(h.errors.size(), std::size_t(1));
    WriteFile(h.File("bad.bmp"), "not a bitmap");
    h.picture = h.File("bad.bmp");
    h.Click("ButtonBMP");
    QCOMPARE(h.errors.size(), std::size_t(2));
    QVERIFY(QString::fromStdString(h.errors[1]).contains(QString::fromStdString(h.picture)));
    morvik::test::WriteBmp24(h.File("a.bmp"), Square(32, 32, 16));
    h.picture = h.File("a.bmp");
    h.Click("ButtonBMP");
    QCOMPARE(h.errors.size(), std::size_t(2));
  }

  void runsDrawThumbnailsAsTheyGo() {
    Harness h;
    h.Start().show();
    std::filesystem::create_directory(h.File("learn"));
    std::filesystem::create_directory(h.File("patterns"));
    morvik::test::WriteBmp24(h.File("learn/1.bmp"), Square(32, 32, 16));
    morvik::test::WriteBmp24(h.File("learn/2.bmp"), Square(32, 32, 32));
    morvik::test::WriteBmp24(h.File("patterns/1_0.bmp"), Square(32, 32, 16));
    morvik::test::WriteBmp24(h.File("patterns/2_1.bmp"), Square(64, 32, 30));
    std::filesystem::create_directory(h.File("patterns/2_0.bmp"));  // fixed naming: skip row 2
    h.Click("ButtonAutoPat");
    QCOMPARE(int(h.ws->Bank.Slot(1).At(1, 1).Mark), 1);
    h.Click("CheckBoxDynamic");
    h.Click("ButtonRecognize");
    QVERIFY(h.errors.empty());
    ThumbnailView* view = h.window->thumbnails();
    QVERIFY(!view->Canvas().isNull());
    // The last image at row 2 column 1, a 32 x 32 raster (aspect ratio 100 %) drawn 38 x 38:
    // left 69, top 106, bottom 144; its square, 15 x 30 of the raster, on the left.
    QCOMPARE(view->ScrollRange().Vertical, 144 + 60);
    QCOMPARE(view->size(), QSize(1000, 204));
    QCOMPARE(view->Canvas().pixel(69, 106), qRgb(255, 255, 255));
    QCOMPARE(view->Canvas().pixel(69 + 30, 106 + 5), qRgb(0, 0, 0));
    QCOMPARE(ReadFile(h.File("patterns/result.txt")).substr(0, 4), std::string(" \r\n1"));
    // A bitmap that cannot be read counts as blank; the run goes on to its end, then one
    // message names it.
    WriteFile(h.File("patterns/3_0.bmp"), "broken");
    morvik::test::WriteBmp24(h.File("patterns/3_1.bmp"), Square(32, 32, 16));
    h.Click("ButtonRecognize");
    QVERIFY(h.errors.empty());
    QCOMPARE(h.infos.size(), std::size_t(1));
    QVERIFY(QString::fromStdString(h.infos[0])
                .contains(QString::fromStdString(h.File("patterns/3_0.bmp"))));
    const std::string txt = ReadFile(h.File("patterns/result.txt"));
    QVERIFY(txt.find("\r\n0 0 1 1  \r\n") != std::string::npos);
    h.Click("ButtonProcess");  // and the window goes on
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
