// The window under Qt Test, off screen, in the Fusion style at device pixel
// ratio 1: input goes through real key and mouse events, and what shows is
// checked on the grabbed window.

#include <cmath>
#include <memory>

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <QMessageBox>
#include <QPaintEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyleFactory>
#include <QTest>
#include <QTimer>

#include "model/random_source.h"
#include "ui/form.h"
#include "ui/window/canvas.h"
#include "ui/window/fonts.h"
#include "ui/window/main_window.h"

using namespace arrivals;

namespace {

// No process in these tests draws more than a constant.
class ConstantDraws final : public RandomSource {
public:
  void Randomize() override {}
  double Draw() override { return 0.5; }
};

// Twips to whole pixels, 15 to a pixel.
int px(double twips) { return static_cast<int>(std::lround(twips / 15)); }

bool isRed(QRgb c) { return qRed(c) >= 200 && qGreen(c) < 80 && qBlue(c) < 80; }

int countPixels(const QImage &image, const QRect &area, QRgb wanted) {
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      n += (image.pixel(x, y) & 0xffffff) == (wanted & 0xffffff) ? 1 : 0;
  return n;
}

const QRgb kGreyPx = qRgb(224, 224, 224);
const QRgb kPurplePx = qRgb(128, 0, 128);
const QRgb kNavyPx = qRgb(0, 0, 128);
const QRgb kGreenPx = qRgb(0, 128, 0);

// The bar areas of the four graphs, from the axes up to their arrowheads.
const QRect kGraphOne(px(720), px(4400), px(3240 + 255) - px(720),
                      px(8220) - px(4400) - 2);
const QRect kInterArrival(px(5580), px(1800), px(10260 + 255) - px(5580),
                          px(4380) - px(1800) - 2);
const QRect kGraphTwo(px(4740), px(6000), px(7380 + 105) - px(4740),
                      px(8220) - px(6000) - 2);
const QRect kGraphThree(px(8520), px(6000), px(11160 + 105) - px(8520),
                        px(8220) - px(6000) - 2);

class PaintRecorder final : public QObject {
public:
  using QObject::QObject;
  QRegion painted;
  bool eventFilter(QObject *o, QEvent *e) override {
    if (e->type() == QEvent::Paint)
      painted += static_cast<QPaintEvent *>(e)->region();
    return QObject::eventFilter(o, e);
  }
};

} // namespace

class WindowTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase();
  void init();
  void cleanup();

  void layout_data();
  void layout();
  void focusAndTabOrder();
  void buttons_data();
  void buttons();
  void rateBoxTyping_data();
  void rateBoxTyping();
  void picks_data();
  void picks();
  void enterAndLeavingAreNoPick();
  void views_data();
  void views();
  void markerAtItsPosition();
  void barsOfKnownHeight();
  void flatGraphsAfterStart();
  void redProcessName();
  void tickRepaintsOnlyTheMarkers();
  void partialPaintsMatchAFullPaint();
  void messageBoxHoldsTheTick();
  void textFitsItsBox_data();
  void textFitsItsBox();
  void paintedControlsAreNamed_data();
  void paintedControlsAreNamed();

private:
  template <class T> T *widget(const char *name) const {
    auto *w = window_->findChild<T *>(QString::fromLatin1(name));
    if (w == nullptr)
      qFatal("no control %s", name);
    return w;
  }
  QComboBox *box(const char *name) const { return widget<QComboBox>(name); }
  QImage shot() const {
    return window_->grab().toImage().convertToFormat(QImage::Format_RGB32);
  }
  void tick(int n) {
    for (int i = 0; i < n; ++i)
      window_->timerTick();
  }
  // Picks an item as a person does with the arrow keys.
  void pickByKeys(const char *name, int index) {
    QComboBox *b = box(name);
    while (b->currentIndex() < index)
      QTest::keyClick(b, Qt::Key_Down);
    while (b->currentIndex() > index)
      QTest::keyClick(b, Qt::Key_Up);
  }
  void typeRate(const QString &text) {
    QLineEdit *edit = box("cmbData")->lineEdit();
    edit->selectAll();
    QTest::keyClicks(edit, text);
  }
  void showAndSettle() {
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    settle();
  }
  static void settle() {
    for (int i = 0; i < 3; ++i)
      QCoreApplication::processEvents();
  }

  ConstantDraws draws_;
  std::unique_ptr<MainForm> form_;
  std::unique_ptr<MainWindow> window_;
};

void WindowTest::initTestCase() {
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  QApplication::setCursorFlashTime(0);
  QApplication::setEffectEnabled(Qt::UI_AnimateCombo, false);
}

void WindowTest::init() {
  form_ = std::make_unique<MainForm>(draws_);
  window_ = std::make_unique<MainWindow>(*form_);
  QCOMPARE(window_->devicePixelRatioF(), 1.0);
}

void WindowTest::cleanup() {
  window_.reset();
  form_.reset();
}

// --- Layout, focus
// ------------------------------------------------------------

void WindowTest::layout_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QRect>("pixels");
  // Left, Top, Width, Height in twips, 15 to a pixel.
  QTest::newRow("cmbExperiment") << "cmbExperiment" << QRect(32, 16, 217, 37);
  QTest::newRow("btnStart") << "btnStart" << QRect(40, 64, 89, 41);
  QTest::newRow("btnPause") << "btnPause" << QRect(144, 64, 89, 41);
  QTest::newRow("cmbData") << "cmbData" << QRect(88, 120, 89, 37);
  QTest::newRow("optGraphs(0)") << "optGraphs(0)" << QRect(40, 176, 105, 25);
  QTest::newRow("optGraphs(1)") << "optGraphs(1)" << QRect(148, 176, 105, 25);
  QTest::newRow("canvas") << "canvas" << QRect(0, 0, 844, 645);
}

void WindowTest::layout() {
  QFETCH(QString, name);
  QFETCH(QRect, pixels);
  auto *w = window_->findChild<QWidget *>(name);
  QVERIFY(w != nullptr);
  QCOMPARE(w->geometry(), pixels);
  QCOMPARE(w->accessibleName(), name);
  // Not resizable: the layout does not follow the window's size.
  QCOMPARE(window_->minimumSize(), QSize(844, 645));
  QCOMPARE(window_->maximumSize(), QSize(844, 645));
  QCOMPARE(window_->windowTitle(), QStringLiteral("Arrivals"));
}

void WindowTest::focusAndTabOrder() {
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

void WindowTest::buttons_data() {
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

void WindowTest::buttons() {
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

void WindowTest::rateBoxTyping_data() {
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

void WindowTest::rateBoxTyping() {
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

void WindowTest::picks_data() {
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

void WindowTest::picks() {
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
void WindowTest::enterAndLeavingAreNoPick() {
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

// --- The view buttons -----------------------------------------------------

void WindowTest::views_data() {
  QTest::addColumn<QString>("presses"); // 0/1 click a button, > arrow right
  QTest::addColumn<int>("view");
  QTest::addColumn<QString>("title");
  QTest::newRow("as loaded") << "" << 0 << "Quelva per 3 s";
  QTest::newRow("histogram") << "1" << 1 << "Packets per 3 s";
  QTest::newRow("and back") << "10" << 0 << "Quelva per 3 s";
  QTest::newRow("selected again") << "11" << 1 << "Packets per 3 s";
  QTest::newRow("arrow key") << ">" << 1 << "Packets per 3 s";
}

void WindowTest::views() {
  QFETCH(QString, presses);
  QFETCH(int, view);
  std::array<QRadioButton *, 2> opt = {widget<QRadioButton>("optGraphs(0)"),
                                       widget<QRadioButton>("optGraphs(1)")};
  for (const QChar c : presses) {
    if (c == QLatin1Char('>')) { // the arrow key moves focus and choice
      window_->show();
      QVERIFY(QTest::qWaitForWindowActive(window_.get()));
      opt[0]->setFocus();
      QTest::keyClick(opt[0], Qt::Key_Right);
      continue;
    }
    QRadioButton *b = opt[c == QLatin1Char('1') ? 1 : 0];
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
  }
  for (std::size_t i = 0; i < 2; ++i) {
    const bool selected = static_cast<int>(i) == view;
    QCOMPARE(opt[i]->isChecked(), selected);
    QCOMPARE(form_->controls().optGraphs[i].value, selected);
  }
  QTEST(QString::fromStdString(form_->controls().lblGraphTitle[1].caption),
        "title");
}

// --- What shows -------------------------------------------------------------

void WindowTest::markerAtItsPosition() {
  pickByKeys("cmbExperiment", 1); // Regular: no draws
  QTest::mouseClick(widget<QPushButton>("btnStart"), Qt::LeftButton);
  const Shape *marker = nullptr;
  for (int i = 0; i < 40 && marker == nullptr; ++i) {
    tick(1);
    for (const Shape &s : form_->controls().sPacket)
      if (s.visible && s.box.left > 4000)
        marker = &s;
  }
  QVERIFY(marker != nullptr);
  const QImage image = shot();
  const int left = px(marker->box.left);
  const int top = px(marker->box.top);
  const int right = px(marker->box.left + marker->box.width) - 1;
  const int bottom = px(marker->box.top + marker->box.height) - 1;
  const int midX = (left + right) / 2, midY = (top + bottom) / 2;
  QCOMPARE(image.pixel(midX, midY), qRgb(255, 0, 0));
  QCOMPARE(image.pixel(midX, bottom - 1), qRgb(0, 0, 0)); // the outline
  QCOMPARE(image.pixel(left + 1, midY), qRgb(0, 0, 0));
  // Nothing outside the box (below the track, which crosses it mid-height).
  QCOMPARE(image.pixel(left - 1, midY + 5), kGreyPx);
  QCOMPARE(image.pixel(right + 1, midY + 5), kGreyPx);
  QCOMPARE(image.pixel(midX, bottom + 1), kGreyPx);

  // The same marker is what assistive technology finds there.
  const QPoint onScreen = window_->canvas()->mapToGlobal(QPoint(midX, midY));
  QAccessibleInterface *at =
      QAccessible::queryAccessibleInterface(window_->canvas())
          ->childAt(onScreen.x(), onScreen.y());
  QVERIFY(at != nullptr);
  QCOMPARE(at->text(QAccessible::Name),
           QStringLiteral("sPacket(%1)")
               .arg(marker - form_->controls().sPacket.data()));
}

// Regular at 2.0: every second holds two arrivals and every gap is half a
// second, so after 30 s the tallest bars are known.
void WindowTest::barsOfKnownHeight() {
  pickByKeys("cmbExperiment", 1);
  QTest::mouseClick(widget<QPushButton>("btnStart"), Qt::LeftButton);
  tick(30 * 20);
  const QImage image = shot();
  struct Bar {
    const char *what;
    Single left, width, baseline, fullHeight;
    QRgb colour;
  };
  const Bar bars[] = {
      {"two packets a second", 720 + 360 * 2, 255, 8220, 2400, kPurplePx},
      {"gaps of 0.5 to 0.75 s", 5580 + 360 * 2, 255, 4380, 1920, kNavyPx},
      {"newest 3 s window", 4740 + 120 * 22, 105, 8220, 1800, kGreenPx},
      {"newest 10 s window", 8520 + 120 * 22, 105, 8220, 1800, kGreenPx},
  };
  for (const Bar &b : bars) {
    const int x = px(b.left + b.width / 2);
    const int top = px(b.baseline - b.fullHeight);
    QVERIFY2(image.pixel(x, top) == b.colour, b.what);
    QVERIFY2(image.pixel(x, px(b.baseline) - 3) == b.colour, b.what);
    QVERIFY2(image.pixel(x, top - 1) == kGreyPx, b.what);
    // Bars stand side by side with grey between them.
    QVERIFY2(image.pixel(px(b.left) - 1, top + 5) == kGreyPx, b.what);
  }
  // One packet per second never happened: that bar is flat.
  QCOMPARE(image.pixel(px(720 + 360 * 1 + 127), px(8220) - 5), kGreyPx);
}

void WindowTest::flatGraphsAfterStart() {
  pickByKeys("cmbExperiment", 1);
  auto *start = widget<QPushButton>("btnStart");
  QTest::mouseClick(start, Qt::LeftButton);
  tick(10 * 20);
  QImage image = shot();
  QVERIFY(countPixels(image, kGraphOne, kPurplePx) > 0);
  QVERIFY(countPixels(image, kInterArrival, kNavyPx) > 0);

  QTest::mouseClick(start, Qt::LeftButton); // Stop
  QTest::mouseClick(start, Qt::LeftButton); // Start
  // The first redraw after a start leaves every graph flat as well.
  for (int seconds = 0; seconds <= 3; seconds += 3) {
    tick(seconds * 20);
    image = shot();
    QCOMPARE(countPixels(image, kGraphOne, kPurplePx), 0);
    QCOMPARE(countPixels(image, kInterArrival, kNavyPx), 0);
    QCOMPARE(countPixels(image, kGraphTwo, kGreenPx), 0);
    QCOMPARE(countPixels(image, kGraphThree, kGreenPx), 0);
  }
}

void WindowTest::redProcessName() {
  QComboBox *process = box("cmbExperiment");
  const auto redPixels = [&] {
    const QImage image = shot();
    const QRect text = process->lineEdit()->geometry().translated(
        process->geometry().topLeft());
    int n = 0;
    for (int y = text.top(); y <= text.bottom(); ++y)
      for (int x = text.left(); x <= text.right(); ++x)
        n += isRed(image.pixel(x, y)) ? 1 : 0;
    return n;
  };
  QCOMPARE(redPixels(), 0);
  pickByKeys("cmbExperiment", 5); // Pareto 0.5 at the start-up 2.0
  QTest::mouseClick(widget<QPushButton>("btnStart"), Qt::LeftButton);
  tick(3);
  QCOMPARE(form_->controls().cmbExperiment.foreColor, kRed);
  QVERIFY(redPixels() > 20);
  pickByKeys("cmbData", 2); // 1.0 lets packets flow again
  tick(40);
  QCOMPARE(redPixels(), 0);
}

// --- Repainting -------------------------------------------------------------

void WindowTest::tickRepaintsOnlyTheMarkers() {
  showAndSettle();
  pickByKeys("cmbExperiment", 1);
  QTest::mouseClick(widget<QPushButton>("btnStart"), Qt::LeftButton);
  settle();
  // A marker is launched one pixel into the process box's column; the box
  // hides that pixel and is not repainted for it.
  PaintRecorder besideTheBox;
  box("cmbExperiment")->installEventFilter(&besideTheBox);
  for (int i = 0; i < 5; ++i) {
    tick(1); // one marker in flight; no second, launch or redraw is due next
    settle();
  }
  QCOMPARE(besideTheBox.painted, QRegion());
  const auto markers = [this] {
    QRegion r;
    for (const Shape &s : form_->controls().sPacket)
      if (s.visible)
        r += QRect(px(s.box.left), px(s.box.top), px(s.box.width),
                   px(s.box.height));
    return r;
  };
  const QRegion before = markers();
  QVERIFY(!before.isEmpty());
  PaintRecorder recorder;
  window_->canvas()->installEventFilter(&recorder);
  tick(1);
  settle();
  const QRegion after = markers();
  QVERIFY(after != before);
  QCOMPARE(recorder.painted - (before + after), QRegion());
  QCOMPARE(after - recorder.painted, QRegion());
}

// Painting only what changed must leave on screen what a paint of the whole
// window shows.
void WindowTest::partialPaintsMatchAFullPaint() {
  showAndSettle();
  const QImage first =
      window_->screen()->grabWindow(window_->winId()).toImage();
  if (first.isNull())
    QSKIP("this platform cannot read back the window");
  pickByKeys("cmbExperiment", 1);
  typeRate(QStringLiteral("4"));
  auto *start = widget<QPushButton>("btnStart");
  start->click();
  const auto compare = [this](const char *when) {
    settle();
    const QImage onScreen = window_->screen()
                                ->grabWindow(window_->winId())
                                .toImage()
                                .convertToFormat(QImage::Format_RGB32);
    QVERIFY2(onScreen == shot(), when);
  };
  for (int i = 0; i < 20 * 13; ++i) {
    tick(1);
    settle();
  }
  compare("running");
  widget<QRadioButton>("optGraphs(1)")->click();
  compare("histogram view");
  start->click();
  start->click();
  tick(25);
  compare("restarted");
}

void WindowTest::messageBoxHoldsTheTick() {
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

// --- Fonts ------------------------------------------------------------------

void WindowTest::textFitsItsBox_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<double>("points");
  QTest::addColumn<bool>("bold");
  QTest::addColumn<int>("width");
  QTest::newRow("lblMeanWaitingTime")
      << "Interarrival Times" << 16.5 << false << 193;
  QTest::newRow("lblGraphTitle(2)")
      << "Packets per 10 s" << 16.5 << false << 241;
  QTest::newRow("lblDataRate") << "pkts/s" << 16.5 << false << 65;
  QTest::newRow("lblYAxis(0)") << "p(x)" << 13.5 << false << 35;
  QTest::newRow("lblArrivalGraph(8)") << "3.5" << 13.5 << false << 41;
  QTest::newRow("lblGraphThree(7)") << " 44" << 12.0 << false << 25;
  QTest::newRow("lblGraph(6)") << " 6" << 16.5 << false << 25;
  QTest::newRow("lblServiced, a long run") << " 123456" << 13.5 << true << 73;
  QTest::newRow("lblServiced, the largest count")
      << " 2147483647" << 13.5 << true << 73;
}

void WindowTest::textFitsItsBox() {
  QFETCH(QString, text);
  QFETCH(double, points);
  QFETCH(bool, bold);
  QFETCH(int, width);
  const QFont natural = toQFont(Font{static_cast<float>(points), bold});
  const QFont fitted = fittedFont(natural, text, width);
  QVERIFY(QFontMetrics(fitted).horizontalAdvance(text) <= width);
  QCOMPARE(fitted.pixelSize(), natural.pixelSize());
  if (QFontMetrics(natural).horizontalAdvance(text) <= width)
    QCOMPARE(fitted, natural); // narrowed only when it must be
}

// --- Accessibility --------------------------------------------------------

void WindowTest::paintedControlsAreNamed_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QRect>("pixels");
  QTest::addColumn<int>("role");
  QTest::addColumn<bool>("visible");
  QTest::addColumn<QString>("caption");
  const int graphic = QAccessible::Graphic, text = QAccessible::StaticText;
  QTest::newRow("shpDataBorder")
      << "shpDataBorder" << QRect(24, 8, 233, 161) << graphic << true << "";
  QTest::newRow("lblServiced")
      << "lblServiced" << QRect(264, 40, 73, 25) << text << true << "0";
  QTest::newRow("lblArrivalGraph(8)")
      << "lblArrivalGraph(8)" << QRect(684, 296, 41, 25) << text << true
      << "3.5";
  QTest::newRow("lblGraphTwo(0), time series")
      << "lblGraphTwo(0)" << QRect(316, 548, 25, 25) << text << false << "*";
  QTest::newRow("lblGraphTitle(1)")
      << "lblGraphTitle(1)" << QRect(284, 380, 241, 33) << text << true
      << "Quelva per 3 s";
  QTest::newRow("lneGraph(3)")
      << "lneGraph(3)" << QRect(31, 547, 227, 3) << graphic << true << "";
  QTest::newRow("Image1") << "Image1" << QRect(536, 592, 300, 48) << graphic
                          << true << "";
  QTest::newRow("sPacket(50)")
      << "sPacket(50)" << QRect(0, 0, 25, 57) << graphic << false << "";
}

void WindowTest::paintedControlsAreNamed() {
  QFETCH(QString, name);
  QFETCH(QRect, pixels);
  QAccessibleInterface *canvas =
      QAccessible::queryAccessibleInterface(window_->canvas());
  QVERIFY(canvas != nullptr);
  QCOMPARE(canvas->text(QAccessible::Name), QStringLiteral("canvas"));
  // The border, 68 bars, 25 lines, 41 labels, the logo and 51 markers.
  QCOMPARE(canvas->childCount(), 1 + 68 + 25 + 41 + 1 + 51);
  QAccessibleInterface *found = nullptr;
  for (int i = 0; i < canvas->childCount() && found == nullptr; ++i)
    if (canvas->child(i)->text(QAccessible::Name) == name)
      found = canvas->child(i);
  QVERIFY(found != nullptr);
  QCOMPARE(found->parent(), canvas);
  QCOMPARE(canvas->indexOfChild(found) >= 0, true);
  QCOMPARE(found->rect(),
           pixels.translated(window_->canvas()->mapToGlobal(QPoint(0, 0))));
  QTEST(static_cast<int>(found->role()), "role");
  QTEST(!found->state().invisible, "visible");
  QFETCH(QString, caption); // "*": whatever it was left with
  if (caption != QStringLiteral("*"))
    QCOMPARE(found->text(QAccessible::Description), caption);
}

QTEST_MAIN(WindowTest)
#include "window_test.moc"
