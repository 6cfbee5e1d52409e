// The pattern editor and the grid view inside the window: presses and move gestures on the
// EditPattern, the slot buttons with their range check, and presses on the grid.
#include <QMouseEvent>
#include <QtTest>

#include "harness.h"

using namespace morvik;
using namespace morvik::gui;
using morvik::gui::test::Harness;

namespace {

QPoint CellCentre(int r, int c) {
  return QPoint(7 * (c - 1) + 4, 7 * (r - 1) + 4);
}

void Move(QWidget* w, QPoint at, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
  QMouseEvent event(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, buttons, modifiers);
  QCoreApplication::sendEvent(w, &event);
}

}  // namespace

class EditorTest : public QObject {
  Q_OBJECT

 private slots:
  void clicksStepTheLevel() {
    Harness h;
    h.Start().show();
    QWidget* editor = h.Find<QWidget>("PaintBoxEdit");
    const TPatternCell& cell = h.ws->Bank.EditPattern().At(2, 1);
    for (int level : {10, 25, 50}) {
      QTest::mouseClick(editor, Qt::LeftButton, Qt::ControlModifier, QPoint(6, 7));
      QCOMPARE(int(cell.Level), level);
      QCOMPARE(int(cell.Mark), 1);
    }
    QTest::mouseClick(editor, Qt::RightButton, {}, QPoint(6, 7));
    QCOMPARE(int(cell.Level), 25);
    QTest::mouseClick(editor, Qt::LeftButton, {}, QPoint(111, 111));
    QCOMPARE(int(h.ws->Bank.EditPattern().At(16, 16).Level), 10);
  }

  void moves_data() {
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<bool>("holdButtons");
    QTest::addColumn<QString>("fill");
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("after");
    const int ctrl = Qt::ControlModifier, shift = Qt::ShiftModifier, alt = Qt::AltModifier;
    const int left = Qt::LeftButton, right = Qt::RightButton;
    QTest::newRow("Ctrl sets 100") << ctrl << 0 << false << "3" << 0 << 100;
    QTest::newRow("Ctrl with left does nothing") << ctrl << left << true << "3" << 0 << 0;
    QTest::newRow("Alt+Ctrl does nothing") << (ctrl | alt) << 0 << false << "3" << 0 << 0;
    QTest::newRow("Shift clears") << shift << 0 << false << "3" << 75 << 0;
    QTest::newRow("Shift+Ctrl fills") << (shift | ctrl) << 0 << false << "2" << 0 << 25;
    QTest::newRow("Shift+Ctrl fill 0 clears") << (shift | ctrl) << 0 << false << "0" << 50 << 0;
    QTest::newRow("fill index 7 skipped") << (shift | ctrl) << 0 << false << "7" << 50 << 50;
    QTest::newRow("held left paints 100") << 0 << left << true << "3" << 10 << 100;
    QTest::newRow("held left, box unticked") << 0 << left << false << "3" << 10 << 10;
    QTest::newRow("held right clears") << 0 << right << true << "3" << 50 << 0;
    QTest::newRow("nothing held") << 0 << 0 << true << "3" << 50 << 50;
  }
  void moves() {
    QFETCH(int, modifiers);
    QFETCH(int, buttons);
    QFETCH(bool, holdButtons);
    QFETCH(QString, fill);
    QFETCH(int, before);
    QFETCH(int, after);
    Harness h;
    h.Start().show();
    if (holdButtons) h.Click("CheckBoxButtons");
    QCOMPARE(h.ws->CheckBoxButtons, holdButtons);
    h.Type("SpinEditFill", fill);
    QCOMPARE(h.ws->SpinEditFill, fill.toInt());
    TPatternCell& cell = h.ws->Bank.EditPattern().At(5, 9);
    cell = {static_cast<std::uint8_t>(before != 0), static_cast<std::uint8_t>(before)};
    Move(h.Find<QWidget>("PaintBoxEdit"), CellCentre(5, 9), Qt::MouseButtons(buttons),
         Qt::KeyboardModifiers(modifiers));
    QCOMPARE(int(cell.Level), after);
    QCOMPARE(int(cell.Mark), after != 0 ? 1 : 0);
  }

  void movesOutsideTheBoxAreIgnored() {
    Harness h;
    h.Start().show();
    h.Click("CheckBoxButtons");
    Move(h.Find<QWidget>("PaintBoxEdit"), QPoint(112, 40), Qt::LeftButton, {});
    Move(h.Find<QWidget>("PaintBoxEdit"), QPoint(-1, 40), Qt::LeftButton, {});
    for (const TPatternCell& c : h.ws->Bank.EditPattern().Cells) QCOMPARE(int(c.Mark), 0);
  }

  void storeAndLoadPatternNumbers_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("slot");  // 0: out of range
    QTest::newRow("41") << "41" << 0;
    QTest::newRow("0") << "0" << 0;
    QTest::newRow("40") << "40" << 40;
    QTest::newRow("not a number stores into 1") << "x7" << 1;
  }
  void storeAndLoadPatternNumbers() {
    QFETCH(QString, text);
    QFETCH(int, slot);
    Harness h;
    h.Start().show();
    h.ws->Bank.EditPattern().At(1, 1) = {1, 100};
    h.Type("EditNoPat", text);
    h.Click("ButtonStoreP");
    for (int n = 1; n <= 41; ++n)
      QCOMPARE(int(h.ws->Bank.Slot(n).At(1, 1).Level), n == slot ? 100 : 0);
    if (slot == 0) {
      QCOMPARE(h.infos, std::vector<std::string>{"Out of Pattern range!"});
      h.Click("ButtonLoadP");
      QCOMPARE(h.infos.size(), std::size_t(2));
      QCOMPARE(int(h.ws->Bank.EditPattern().At(1, 1).Level), 100);
    } else {
      QVERIFY(h.infos.empty());
      h.Click("ButtonErase");
      QCOMPARE(int(h.ws->Bank.EditPattern().At(1, 1).Level), 0);
      h.Click("ButtonLoadP");
      QCOMPARE(int(h.ws->Bank.EditPattern().At(1, 1).Level), 100);
    }
  }

  void testPicButtons() {
    Harness h;
    h.Start().show();
    h.ws->Bank.EditPattern().At(3, 3) = {1, 50};
    h.Click("ButtonTestPicStore");
    QCOMPARE(int(h.ws->Bank.TestPattern().At(3, 3).Level), 50);
    h.Click("ButtonErase");
    h.Click("ButtonTestPicLoad");
    QCOMPARE(int(h.ws->Bank.EditPattern().At(3, 3).Level), 50);
  }

  void gridPressesLoadTheEditor_data() {
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<int>("level");      // level of the editor's cell (1, 1) afterwards
    QTest::addColumn<QString>("noPat");  // EditNoPat afterwards
    QTest::newRow("(18, 15): pattern 1") << QPoint(18, 15) << 10 << "1";
    QTest::newRow("(81, 78): pattern 1") << QPoint(81, 78) << 10 << "1";
    QTest::newRow("(82, 15): the gap") << QPoint(82, 15) << 100 << "7";
    QTest::newRow("pattern 9") << QPoint(20, 110) << 25 << "9";
    QTest::newRow("(100, 455): the test cell") << QPoint(100, 455) << 50 << "7";
  }
  void gridPressesLoadTheEditor() {
    QFETCH(QPoint, point);
    QFETCH(int, level);
    QFETCH(QString, noPat);
    Harness h;
    h.Start().show();
    h.ws->Bank.Slot(1).At(1, 1) = {1, 10};
    h.ws->Bank.Slot(9).At(1, 1) = {1, 25};
    h.ws->Bank.TestPattern().At(1, 1) = {1, 50};
    h.ws->Bank.EditPattern().At(1, 1) = {1, 100};
    h.Type("EditNoPat", "7");
    QTest::mouseClick(h.Find<QWidget>("PaintBoxPatterns"), Qt::RightButton, {}, point);
    QCOMPARE(int(h.ws->Bank.EditPattern().At(1, 1).Level), level);
    QCOMPARE(h.Text("EditNoPat"), noPat);
    QCOMPARE(h.ws->EditNoPat, noPat.toInt());
  }
};

QTEST_MAIN(EditorTest)
#include "editor_test.moc"
