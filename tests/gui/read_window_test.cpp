// The reading window offscreen, opened from the main window: a picture read off the window's
// thread, a box clicked on the picture with its candidates and pattern (in the main window's
// editor too), a correction typed and taught, the next reading taking it, and undo.
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTextBlock>
#include <QtTest>

#include "form/picture_form.h"
#include "gui/picture_view.h"
#include "gui/read_window.h"
#include "harness.h"

using namespace morvik;
using namespace morvik::gui;
using morvik::gui::test::Harness;

namespace {

const std::string kNote = std::string(MORVIK_SOURCE_DIR) + "/examples/pictures/note.png";

bool Finished(ReadWindow& r) {
  QSignalSpy done(&r, &ReadWindow::ReadingFinished);
  return r.IsReading() ? done.wait(60000) : true;
}

QPoint Centre(const PictureForm& form, const PictureBox& b) {
  const std::array<double, 4> v = form.ViewBox(b);
  return QPointF(v[0] + v[2] / 2, v[1] + v[3] / 2).toPoint();
}

}  // namespace

class ReadWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void readSelectTeachUndo() {
    Harness h;
    MainWindow& main = h.Start();
    QTest::keyClick(&main, Qt::Key_R, Qt::ControlModifier);
    ReadWindow* r = main.OpenReader();
    r->show();
    QVERIFY(QTest::qWaitForWindowExposed(r));
    r->SetUserLibrary(h.File("mine"));  // ".sets" added
    QCOMPARE(QString::fromStdString(r->form().UserLibrary),
             QString::fromStdString(h.File("mine.sets")));
    r->OpenPicture(kNote);
    QVERIFY(r->IsReading());
    QVERIFY(Finished(*r));
    QVERIFY(h.errors.empty());
    auto* text = r->findChild<QPlainTextEdit*>("ReadText");
    QCOMPARE(text->toPlainText() + "\n", QString::fromStdString(r->form().Current()->Text));

    const PictureForm& form = r->form();
    const CharPlace place{0, 0};
    const PictureBox box = form.Char(place).Box;
    const std::string before = form.Char(place).Text;
    QTest::mouseClick(r->findChild<PictureView*>("PictureView"), Qt::LeftButton, {},
                      Centre(form, box));
    QCOMPARE(form.Selection().size(), std::size_t{1});
    auto* candidates = r->findChild<QTableWidget*>("ReadCandidates");
    QVERIFY(candidates->item(0, 0));
    QCOMPARE(candidates->item(0, 0)->text(),
             QString::fromStdString(form.Char(place).Candidates.at(0).Text));
    QVERIFY(h.ws->Bank.EditPattern().MaxLevel > 0);  // the main window's editor shows it

    const QString other = before == "k" ? "x" : "k";
    auto* correction = r->findChild<QLineEdit*>("ReadCorrection");
    QCOMPARE(correction->text(), QString::fromStdString(before));
    correction->setText(other);
    QTest::mouseClick(r->findChild<QPushButton*>("ReadTeach"), Qt::LeftButton);
    QVERIFY(Finished(*r));
    QVERIFY2(h.errors.empty(), h.errors.empty() ? "" : h.errors.front().c_str());
    QCOMPARE(QString::fromStdString(form.Char(form.Selection().at(0)).Text), other);
    QCOMPARE(text->toPlainText().at(0), other.at(0));

    QTest::mouseClick(r->findChild<QPushButton*>("ReadUndo"), Qt::LeftButton);
    QVERIFY(Finished(*r));
    QCOMPARE(QString::fromStdString(form.Char(form.Selection().at(0)).Text),
             QString::fromStdString(before));
    QVERIFY(!r->findChild<QPushButton*>("ReadUndo")->isEnabled());
  }

  // A click on a character of the text selects its box; zooming keeps the boxes on it.
  void textClickAndZoom() {
    Harness h;
    ReadWindow* r = h.Start().OpenReader();
    r->OpenPicture(kNote);
    QVERIFY(Finished(*r));
    auto* text = r->findChild<QPlainTextEdit*>("ReadText");
    const CharPlace place{1, 2};
    QTextCursor c(text->document()->findBlockByNumber(place.Line));
    c.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, r->form().TextColumn(place));
    text->setTextCursor(c);
    QCOMPARE(r->form().Selection().at(0), place);

    auto* view = r->findChild<PictureView*>("PictureView");
    view->ZoomBy(2.5);
    const CharPlace first{0, 0};
    QTest::mouseClick(view, Qt::LeftButton, {}, Centre(r->form(), r->form().Char(first).Box));
    QCOMPARE(r->form().Selection().at(0), first);
  }
  // A picture dropped on the main window opens in the reading window and is read.
  void dropOnTheMainWindow() {
    Harness h;
    MainWindow& main = h.Start();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(kNote))});
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
    static_cast<QObject&>(main).event(&drop);  // as the window system delivers it
    ReadWindow* r = main.OpenReader();
    QVERIFY(Finished(*r));
    QVERIFY(h.errors.empty());
    QVERIFY(r->form().Current().has_value());
    QCOMPARE(QString::fromStdString(r->form().PictureName()), QString::fromStdString(kNote));
  }
};

QTEST_MAIN(ReadWindowTest)
#include "read_window_test.moc"
