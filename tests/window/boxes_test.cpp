// The two boxes: typing, picks from the list, Enter and the focus leaving,
// the arrow keys and the mouse wheel.

#include <QAbstractItemView>
#include <QClipboard>
#include <QPushButton>
#include <QSpontaneKeyEvent>
#include <QTimer>
#include <QWheelEvent>

#include "tests/window/window_fixture.h"

using namespace arrivals;
using namespace arrivals::test;

namespace {

class BoxesTest : public QObject, private WindowFixture {
  Q_OBJECT

private slots:
  void init() { setUp(); }
  void cleanup() { tearDown(); }

  void rateBoxTyping_data();
  void rateBoxTyping();
  void picks_data();
  void picks();
  void enterAndLeavingAreNoPick();
  void arrowsStepOnFromTypedText_data();
  void arrowsStepOnFromTypedText();
  void wheelTurnsOnlyAFocusedBox_data();
  void wheelTurnsOnlyAFocusedBox();
};

void BoxesTest::rateBoxTyping_data() {
  QTest::addColumn<QStringList>("steps"); // a key each; ^V pastes the rest
  QTest::addColumn<QStringList>("shown"); // the box's text after each step
  QTest::addColumn<double>("rate");
  QTest::newRow("1 then 2")
      << QStringList{"1", "2"} << QStringList{"1", " 1"} << 1.0;
  QTest::newRow("12 pasted") << QStringList{"^V12"} << QStringList{" 2"} << 2.0;
  QTest::newRow("10 accepted")
      << QStringList{"1", "0"} << QStringList{"1", "10"} << 10.0;
  QTest::newRow("10.5 refused") << QStringList{"1", "0", ".", "5"}
                                << QStringList{"1", "10", "10.", " 10"} << 10.0;
  QTest::newRow("3.7 not in the list")
      << QStringList{"3", ".", "7"} << QStringList{"3", "3.", "3.7"} << 3.7;
  QTest::newRow("letters are rate 0")
      << QStringList{"x", "y"} << QStringList{"x", "xy"} << 0.0;
  QTest::newRow("cleared") << QStringList{"<BS>"} << QStringList{""} << 0.0;
  QTest::newRow("-1 refused")
      << QStringList{"^V-1"} << QStringList{" 2"} << 2.0;
}

void BoxesTest::rateBoxTyping() {
  QFETCH(QStringList, steps);
  QFETCH(QStringList, shown);
  QLineEdit *edit = box("cmbData")->lineEdit();
  QCOMPARE(edit->text(), QStringLiteral("2.0"));
  QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier); // select all
  for (qsizetype i = 0; i < steps.size(); ++i) {
    const QString &step = steps[i];
    if (step.startsWith(QStringLiteral("^V"))) {
      QGuiApplication::clipboard()->setText(step.mid(2));
      QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    } else if (step == QStringLiteral("<BS>")) {
      QTest::keyClick(edit, Qt::Key_Backspace);
    } else {
      QTest::keyClicks(edit, step);
    }
    QCOMPARE(edit->text(), shown[i]);
    QCOMPARE(QString::fromStdString(form_->controls().cmbData.text), shown[i]);
  }
  QTEST(form_->state().lastRate, "rate");
  QCOMPARE(box("cmbData")->count(), 9);
}

void BoxesTest::picks_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("how"); // keys or list
  QTest::addColumn<int>("index");
  QTest::addColumn<QString>("text");
  QTest::newRow("rate, arrow down") << "cmbData"
                                    << "keys" << 5 << "2.5";
  QTest::newRow("rate, arrow up") << "cmbData"
                                  << "keys" << 3 << "1.5";
  QTest::newRow("rate, from the list") << "cmbData"
                                       << "list" << 0 << "0.1";
  QTest::newRow("process, arrow down") << "cmbExperiment"
                                       << "keys" << 1 << "Regular";
  QTest::newRow("process, from the list") << "cmbExperiment"
                                          << "list" << 6 << "Cantor";
}

void BoxesTest::picks() {
  QFETCH(QString, name);
  QFETCH(QString, how);
  QFETCH(int, index);
  QFETCH(QString, text);
  QComboBox *b = box(name.toLatin1().constData());
  const bool process = name == QStringLiteral("cmbExperiment");

  // A run going, so that the process box's click handling shows.
  QTest::mouseClick(widget<QPushButton>("btnStart"), Qt::LeftButton);
  tick(60);
  QVERIFY(form_->state().packetCount > 0);

  if (how == QStringLiteral("keys")) {
    pickByKeys(name.toLatin1().constData(), index);
  } else {
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    b->showPopup();
    QAbstractItemView *list = b->view();
    QVERIFY(QTest::qWaitForWindowExposed(list->window()));
    const QRect item = list->visualRect(list->model()->index(index, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
  }
  QCOMPARE(b->lineEdit()->text(), text);
  const ComboBox &c =
      process ? form_->controls().cmbExperiment : form_->controls().cmbData;
  QCOMPARE(QString::fromStdString(c.text), text);
  if (process) // a new process empties the run but does not stop it
    QCOMPARE(form_->state().packetCount, 0);
  else
    QCOMPARE(form_->state().lastRate, text.toDouble());
  QVERIFY(window_->tmrMain()->isActive());
  QCOMPARE(b->count(), process ? 7 : 9);
}

// Enter, or the focus leaving a box, ends an edit; neither is a pick from
// the list, even where the text typed is an item.
void BoxesTest::enterAndLeavingAreNoPick() {
  window_->show();
  QVERIFY(QTest::qWaitForWindowActive(window_.get()));
  QTest::mouseClick(widget<QPushButton>("btnStart"), Qt::LeftButton);
  QLineEdit *edit = box("cmbExperiment")->lineEdit();
  const auto typeThenRun = [&](const QString &process) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, process); // each keystroke empties the run
    tick(60);
    QVERIFY(form_->state().packetCount > 0);
  };

  typeThenRun(QStringLiteral("Regular"));
  Long launched = form_->state().packetCount;
  QTest::keyClick(edit, Qt::Key_Return);
  QCOMPARE(form_->state().packetCount, launched);

  typeThenRun(QStringLiteral("Uniform"));
  launched = form_->state().packetCount;
  widget<QPushButton>("btnPause")->setFocus(); // the focus leaves the box
  settle();
  QCOMPARE(form_->state().packetCount, launched);
  QCOMPARE(edit->text(), QStringLiteral("Uniform"));
  QCOMPARE(box("cmbExperiment")->count(), 7);
}

// Typing an item of the list makes it the list's current item, so that the
// arrow keys step on from what the box shows.
void BoxesTest::arrowsStepOnFromTypedText_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("typed");
  QTest::addColumn<int>("key");
  QTest::addColumn<QString>("text");
  QTest::newRow("rate 0.1, down") << "cmbData"
                                  << "0.1" << int(Qt::Key_Down) << "0.5";
  QTest::newRow("rate 4.0, up") << "cmbData"
                                << "4.0" << int(Qt::Key_Up) << "3.5";
  QTest::newRow("process Cantor, up")
      << "cmbExperiment"
      << "Cantor" << int(Qt::Key_Up) << "Pareto 0.5";
}

void BoxesTest::arrowsStepOnFromTypedText() {
  QFETCH(QString, name);
  QFETCH(QString, typed);
  QFETCH(int, key);
  QComboBox *b = box(name.toLatin1().constData());
  QLineEdit *edit = b->lineEdit();
  // From start-up on, the current item is the one the box shows.
  QCOMPARE(b->itemText(b->currentIndex()), edit->text());
  QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier); // select all
  QTest::keyClicks(edit, typed);
  QCOMPARE(edit->text(), typed);
  QTest::keyClick(edit, static_cast<Qt::Key>(key));
  QTEST(edit->text(), "text");
}

// A wheel turned over a box without the keyboard focus leaves the box as it
// is and goes on to the window; a box with the focus steps through its list.
void BoxesTest::wheelTurnsOnlyAFocusedBox_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<bool>("overText"); // over the text field, or the arrow
  QTest::addColumn<bool>("focused");
  QTest::addColumn<QString>("text");
  QTest::newRow("process box, over the text")
      << "cmbExperiment" << true << false << "Poisson";
  QTest::newRow("process box, over the arrow")
      << "cmbExperiment" << false << false << "Poisson";
  QTest::newRow("rate box, over the text")
      << "cmbData" << true << false << "2.0";
  QTest::newRow("focused rate box") << "cmbData" << true << true << "2.5";
  QTest::newRow("focused process box, over the arrow")
      << "cmbExperiment" << false << true << "Regular";
}

void BoxesTest::wheelTurnsOnlyAFocusedBox() {
  QFETCH(QString, name);
  QFETCH(bool, overText);
  QFETCH(bool, focused);
  showAndActivate();
  QTest::mouseClick(widget<QPushButton>("btnStart"), Qt::LeftButton);
  tick(60);
  const Long launched = form_->state().packetCount;
  QVERIFY(launched > 0);

  QComboBox *b = box(name.toLatin1().constData());
  if (focused)
    b->setFocus();
  else
    widget<QPushButton>("btnPause")->setFocus();
  int reachedWindow = 0;
  struct WheelCounter final : QObject {
    int &n;
    explicit WheelCounter(int &count) : n(count) {}
    bool eventFilter(QObject *o, QEvent *e) override {
      n += e->type() == QEvent::Wheel ? 1 : 0;
      return QObject::eventFilter(o, e);
    }
  } counter(reachedWindow);
  window_->installEventFilter(&counter);

  // One notch down, delivered as the platform delivers it, so that a box
  // that takes the focus on the wheel would take it here too.
  QWidget *under = overText ? static_cast<QWidget *>(b->lineEdit()) : b;
  const QPoint at =
      overText ? under->rect().center() : QPoint(b->width() - 8, 18);
  QWheelEvent wheel(at, under->mapToGlobal(at), QPoint(), QPoint(0, -120),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QSpontaneKeyEvent::setSpontaneous(&wheel);
  QApplication::instance()->notify(under, &wheel);

  QTEST(b->lineEdit()->text(), "text");
  const ComboBox &c = name == QStringLiteral("cmbData")
                          ? form_->controls().cmbData
                          : form_->controls().cmbExperiment;
  QTEST(QString::fromStdString(c.text), "text");
  QCOMPARE(b->hasFocus(), focused);
  QCOMPARE(reachedWindow, focused ? 0 : 1);
  if (!focused) // the run goes on as it was
    QCOMPARE(form_->state().packetCount, launched);
}

} // namespace

ARRIVALS_WINDOW_TEST_MAIN(BoxesTest)

#include "boxes_test.moc"
