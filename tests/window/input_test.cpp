// What the keyboard and the mouse do: focus, the buttons, the two boxes, the
// view buttons, and the message that holds the tick.

#include <array>
#include <iterator>

#include <QAbstractItemView>
#include <QClipboard>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpontaneKeyEvent>
#include <QTimer>
#include <QWheelEvent>

#include "tests/window/window_fixture.h"
#include "tests/window/window_suites.h"

using namespace arrivals;
using namespace arrivals::test;

namespace {

class InputTest : public QObject, private WindowFixture {
  Q_OBJECT

private slots:
  void init() { setUp(); }
  void cleanup() { tearDown(); }

  void focusAndTabOrder();
  void buttons_data();
  void buttons();
  void rateBoxTyping_data();
  void rateBoxTyping();
  void picks_data();
  void picks();
  void enterAndLeavingAreNoPick();
  void arrowsStepOnFromTypedText_data();
  void arrowsStepOnFromTypedText();
  void wheelTurnsOnlyAFocusedBox_data();
  void wheelTurnsOnlyAFocusedBox();
  void views_data();
  void views();
  void viewArrowKeys_data();
  void viewArrowKeys();
  void messageBoxHoldsTheTick();
};

// --- Focus ------------------------------------------------------------------

void InputTest::focusAndTabOrder() {
  window_->show();
  QVERIFY(QTest::qWaitForWindowActive(window_.get()));
  const auto focused = [] {
    QWidget *f = QApplication::focusWidget();
    if (f != nullptr && qobject_cast<QLineEdit *>(f) != nullptr)
      f = f->parentWidget(); // the edit field of a box
    return f != nullptr ? f->objectName() : QString();
  };
  QCOMPARE(focused(), QStringLiteral("cmbData"));
  // Tab visits the selected one of the two view buttons.
  QStringList order = {"btnPause", "cmbExperiment", "btnStart", "optGraphs(0)",
                       "cmbData"};
  for (const QString &next : order) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(focused(), next);
  }
  widget<QRadioButton>("optGraphs(1)")->click();
  order[3] = QStringLiteral("optGraphs(1)");
  widget<QComboBox>("cmbData")->setFocus();
  for (const QString &next : order) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(focused(), next);
  }
}

// --- Buttons --------------------------------------------------------------

void InputTest::buttons_data() {
  QTest::addColumn<QString>(
      "presses"); // S/P click, s/p Space, E Enter on Start
  QTest::addColumn<QString>("start");
  QTest::addColumn<QString>("pause");
  QTest::addColumn<bool>("ticking");
  QTest::newRow("idle") << ""
                        << "Start"
                        << "Pause" << false;
  QTest::newRow("running") << "S"
                           << "Stop"
                           << "Pause" << true;
  QTest::newRow("paused") << "SP"
                          << "Stop"
                          << "Cont" << false;
  QTest::newRow("continued") << "SPP"
                             << "Stop"
                             << "Pause" << true;
  QTest::newRow("stopped") << "SS"
                           << "Start"
                           << "Pause" << false;
  QTest::newRow("stopped while paused") << "SPS"
                                        << "Start"
                                        << "Pause" << false;
  QTest::newRow("idle, paused") << "P"
                                << "Start"
                                << "Cont" << false;
  QTest::newRow("idle, ticking") << "PP"
                                 << "Start"
                                 << "Pause" << true;
  QTest::newRow("start from idle ticking") << "PPS"
                                           << "Stop"
                                           << "Pause" << true;
  QTest::newRow("Space on both") << "sp"
                                 << "Stop"
                                 << "Cont" << false;
  QTest::newRow("Enter on Start") << "E"
                                  << "Stop"
                                  << "Pause" << true;
}

void InputTest::buttons() {
  QFETCH(QString, presses);
  auto *start = widget<QPushButton>("btnStart");
  auto *pause = widget<QPushButton>("btnPause");
  for (const QChar c : presses) {
    switch (c.toLatin1()) {
    case 'S':
      QTest::mouseClick(start, Qt::LeftButton);
      break;
    case 'P':
      QTest::mouseClick(pause, Qt::LeftButton);
      break;
    case 's':
      QTest::keyClick(start, Qt::Key_Space);
      break;
    case 'p':
      QTest::keyClick(pause, Qt::Key_Space);
      break;
    case 'E':
      QTest::keyClick(start, Qt::Key_Return);
      break;
    }
  }
  QTEST(start->text(), "start");
  QTEST(pause->text(), "pause");
  QTEST(window_->tmrMain()->isActive(), "ticking");
  if (window_->tmrMain()->isActive()) {
    QCOMPARE(window_->tmrMain()->interval(), 50);
    QCOMPARE(window_->tmrMain()->timerType(), Qt::PreciseTimer);
  }
}

// --- The boxes --------------------------------------------------------------

void InputTest::rateBoxTyping_data() {
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

void InputTest::rateBoxTyping() {
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

void InputTest::picks_data() {
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

void InputTest::picks() {
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
void InputTest::enterAndLeavingAreNoPick() {
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
void InputTest::arrowsStepOnFromTypedText_data() {
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

void InputTest::arrowsStepOnFromTypedText() {
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
void InputTest::wheelTurnsOnlyAFocusedBox_data() {
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

void InputTest::wheelTurnsOnlyAFocusedBox() {
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

// --- The view buttons -----------------------------------------------------

void InputTest::views_data() {
  QTest::addColumn<QString>("presses"); // 0/1 click a button
  QTest::addColumn<QPoint>("at");       // where in the button's box
  QTest::addColumn<int>("view");
  QTest::addColumn<QString>("title");
  const QPoint circle(6, 12);
  QTest::newRow("as loaded") << "" << circle << 0 << "Quelva per 3 s";
  QTest::newRow("histogram") << "1" << circle << 1 << "Packets per 3 s";
  QTest::newRow("and back") << "10" << circle << 0 << "Quelva per 3 s";
  QTest::newRow("selected again") << "11" << circle << 1 << "Packets per 3 s";
  // The whole 105 x 25 box answers, not only the circle and the caption.
  QTest::newRow("beyond the caption")
      << "1" << QPoint(100, 12) << 1 << "Packets per 3 s";
  QTest::newRow("top left corner")
      << "1" << QPoint(0, 0) << 1 << "Packets per 3 s";
  QTest::newRow("bottom right corner")
      << "1" << QPoint(104, 24) << 1 << "Packets per 3 s";
  QTest::newRow("and back, beyond the caption")
      << "10" << QPoint(100, 12) << 0 << "Quelva per 3 s";
}

void InputTest::views() {
  QFETCH(QString, presses);
  QFETCH(int, view);
  std::array<QRadioButton *, 2> opt = {widget<QRadioButton>("optGraphs(0)"),
                                       widget<QRadioButton>("optGraphs(1)")};
  QFETCH(QPoint, at);
  for (const QChar c : presses) {
    QRadioButton *b = opt[c == QLatin1Char('1') ? 1 : 0];
    QTest::mouseClick(b, Qt::LeftButton, {}, at);
  }
  for (std::size_t i = 0; i < 2; ++i) {
    const bool selected = static_cast<int>(i) == view;
    QCOMPARE(opt[i]->isChecked(), selected);
    QCOMPARE(form_->controls().optGraphs[i].value, selected);
  }
  QTEST(QString::fromStdString(form_->controls().lblGraphTitle[1].caption),
        "title");
}

// Every arrow key moves the choice to the other view button, round from
// either end, and the focus goes with it.
void InputTest::viewArrowKeys_data() {
  QTest::addColumn<int>("from");
  QTest::addColumn<int>("key");
  QTest::addColumn<int>("to");
  const int keys[] = {Qt::Key_Right, Qt::Key_Down, Qt::Key_Left, Qt::Key_Up};
  const char *names[] = {"Right", "Down", "Left", "Up"};
  for (int from = 0; from < 2; ++from)
    for (std::size_t k = 0; k < std::size(keys); ++k)
      QTest::addRow("%s from %d", names[k], from)
          << from << keys[k] << 1 - from;
}

void InputTest::viewArrowKeys() {
  QFETCH(int, from);
  QFETCH(int, key);
  QFETCH(int, to);
  showAndActivate();
  std::array<QRadioButton *, 2> opt = {widget<QRadioButton>("optGraphs(0)"),
                                       widget<QRadioButton>("optGraphs(1)")};
  opt[static_cast<std::size_t>(from)]->click();
  opt[static_cast<std::size_t>(from)]->setFocus(Qt::TabFocusReason);
  QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key));
  for (std::size_t i = 0; i < 2; ++i) {
    const bool selected = static_cast<int>(i) == to;
    QCOMPARE(opt[i]->isChecked(), selected);
    QCOMPARE(form_->controls().optGraphs[i].value, selected);
  }
  QCOMPARE(QApplication::focusWidget(), opt[static_cast<std::size_t>(to)]);
}

void InputTest::messageBoxHoldsTheTick() {
  // Markers that never move are never given back, so they run out.
  form_->simulation().state.packetStep = 0;
  pickByKeys("cmbExperiment", 1);
  typeRate(QStringLiteral("10"));
  QTest::mouseClick(widget<QPushButton>("btnStart"), Qt::LeftButton);

  QString text;
  Long elapsedAtOpen = -1, elapsedAfterTicks = -2;
  bool timerOn = false;
  QTimer watch;
  connect(&watch, &QTimer::timeout, this, [&] {
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    if (box == nullptr)
      return;
    watch.stop();
    text = box->text();
    elapsedAtOpen = form_->state().elapsedMs;
    tick(3); // dropped while the box is open
    timerOn = window_->tmrMain()->isActive();
    elapsedAfterTicks = form_->state().elapsedMs;
    box->button(QMessageBox::Ok)->click();
  });
  watch.start(5);
  for (int i = 0; i < 200 && text.isEmpty(); ++i)
    tick(1);

  QCOMPARE(text, QStringLiteral("Silly Error: Ran Out of Data Packets"));
  QCOMPARE(elapsedAfterTicks, elapsedAtOpen);
  QVERIFY(timerOn);
  // The tick went on after OK: marker 0 went back to the source for the
  // 51st packet.
  QCOMPARE(form_->state().packetCount, 51);
  QCOMPARE(form_->controls().lblServiced.caption, std::string(" 51"));
}

} // namespace

std::unique_ptr<QObject> arrivals::test::makeInputTest() {
  return std::make_unique<InputTest>();
}

#include "input_test.moc"
