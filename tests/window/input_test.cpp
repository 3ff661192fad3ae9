// What the keyboard and the mouse do: focus, the buttons, the view buttons,
// and the message that holds the tick.

#include <array>
#include <iterator>

#include <QAccessible>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "tests/window/window_fixture.h"
#include "window/canvas.h"

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
  void views_data();
  void views();
  void viewArrowKeys_data();
  void viewArrowKeys();
  void messageBoxHoldsTheTick();
  void zoomKeys_data();
  void zoomKeys();
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
  // A person hears what the button says.
  const auto heard = [](QWidget *w) {
    return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
  };
  QTEST(heard(start), "start");
  QTEST(heard(pause), "pause");
  QTEST(window_->tmrMain()->isActive(), "ticking");
  if (window_->tmrMain()->isActive()) {
    QCOMPARE(window_->tmrMain()->interval(), 50);
    QCOMPARE(window_->tmrMain()->timerType(), Qt::PreciseTimer);
  }
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
  testing::FormProbe::State(*form_).packetStep = 0;
  pickByKeys("cmbExperiment", 1);
  typeRate(QStringLiteral("10"));
  QTest::mouseClick(widget<QPushButton>("btnStart"), Qt::LeftButton);

  QString text, title;
  Long elapsedAtOpen = -1, elapsedAfterTicks = -2;
  bool timerOn = false;
  QTimer watch;
  connect(&watch, &QTimer::timeout, this, [&] {
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    if (box == nullptr)
      return;
    watch.stop();
    text = box->text();
    title = box->windowTitle();
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
  QCOMPARE(title, QStringLiteral("Arrivals"));
  QCOMPARE(elapsedAfterTicks, elapsedAtOpen);
  QVERIFY(timerOn);
  // The tick went on after OK: marker 0 went back to the source for the
  // 51st packet.
  QCOMPARE(form_->state().packetCount, 51);
  QCOMPARE(form_->controls().lblServiced.caption, std::string(" 51"));
}

// --- Zoom -------------------------------------------------------------------

// Ctrl++ and Ctrl+- step by a quarter within 0.5 and 4, Ctrl+0 goes back to
// 1; the window, the canvas and the widgets follow, and the focus stays.
void InputTest::zoomKeys_data() {
  QTest::addColumn<double>("from");
  QTest::addColumn<QString>("keys"); // + - 0 =, one Ctrl+key each
  QTest::addColumn<double>("zoom");
  QTest::newRow("up a step") << 1.0 << "+" << 1.25;
  QTest::newRow("= is + unshifted") << 1.0 << "=" << 1.25;
  QTest::newRow("down two steps") << 1.0 << "--" << 0.5;
  QTest::newRow("not below 0.5") << 0.75 << "---" << 0.5;
  QTest::newRow("not above 4") << 3.5 << "+++" << 4.0;
  QTest::newRow("between steps, up") << 1.1 << "+" << 1.25;
  QTest::newRow("between steps, down") << 1.1 << "-" << 1.0;
  QTest::newRow("back to 1") << 2.75 << "0" << 1.0;
}

void InputTest::zoomKeys() {
  QFETCH(double, from);
  QFETCH(QString, keys);
  QFETCH(double, zoom);
  window_->setZoom(from);
  showAndActivate();
  for (const QChar key : keys)
    QTest::keyClick(QApplication::focusWidget(), key.toLatin1(),
                    Qt::ControlModifier);
  QCOMPARE(window_->zoom(), zoom);
  const QSize size(px(kClientWidth * zoom), px(kClientHeight * zoom));
  QCOMPARE(window_->size(), size);
  QCOMPARE(window_->canvas()->size(), size);
  const QRect start = widget<QPushButton>("btnStart")->geometry();
  QCOMPARE(start.topLeft(), QPoint(px(600 * zoom), px(960 * zoom)));
  QCOMPARE(widget<QPushButton>("btnStart")->font().pixelSize(),
           qRound(24 * zoom));
  QVERIFY(box("cmbData")->isAncestorOf(QApplication::focusWidget()) ||
          QApplication::focusWidget() == box("cmbData"));
}

} // namespace

ARRIVALS_WINDOW_TEST_MAIN(InputTest)

#include "input_test.moc"
