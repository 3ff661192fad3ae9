#pragma once

// What the window tests share: a window on a form with constant draws, and
// helpers that drive it through real key and mouse events and read back what
// shows. Each test class is a program of its own (ARRIVALS_WINDOW_TEST_MAIN)
// and runs off screen, in the Fusion style at device pixel ratio 1.

#include <cmath>
#include <memory>

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPaintEvent>
#include <QRegion>
#include <QStyleFactory>
#include <QTest>

#include "tests/support/form_probe.h"
#include "tests/support/scripted_draws.h"
#include "ui/form.h"
#include "window/main_window.h"

namespace arrivals::test {

// Twips to whole pixels, 15 to a pixel.
inline int px(double twips) {
  return static_cast<int>(std::lround(twips / 15));
}

inline bool isRed(QRgb c) {
  return qRed(c) >= 200 && qGreen(c) < 80 && qBlue(c) < 80;
}

inline int countPixels(const QImage &image, const QRect &area, QRgb wanted) {
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      n += (image.pixel(x, y) & 0xffffff) == (wanted & 0xffffff) ? 1 : 0;
  return n;
}

inline const QRgb kGreyPx = qRgb(224, 224, 224);
inline const QRgb kBlackPx = qRgb(0, 0, 0);
inline const QRgb kPurplePx = qRgb(128, 0, 128);
inline const QRgb kNavyPx = qRgb(0, 0, 128);
inline const QRgb kGreenPx = qRgb(0, 128, 0);

// The bar areas of the four graphs, from the axes up to their arrowheads.
inline const QRect kGraphOne(px(720), px(4400), px(3240 + 255) - px(720),
                             px(8220) - px(4400) - 2);
inline const QRect kInterArrival(px(5580), px(1800), px(10260 + 255) - px(5580),
                                 px(4380) - px(1800) - 2);
inline const QRect kGraphTwo(px(4740), px(6000), px(7380 + 105) - px(4740),
                             px(8220) - px(6000) - 2);
inline const QRect kGraphThree(px(8520), px(6000), px(11160 + 105) - px(8520),
                               px(8220) - px(6000) - 2);

// Collects the region of every paint event of the object it watches.
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

// A fresh form and window for each test function: call setUp from init()
// and tearDown from cleanup().
class WindowFixture {
protected:
  void setUp() {
    form_ = std::make_unique<MainForm>(draws_);
    window_ = std::make_unique<MainWindow>(*form_);
    QCOMPARE(window_->devicePixelRatioF(), 1.0);
  }
  void tearDown() {
    window_.reset();
    form_.reset();
  }

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
  void showAndActivate() {
    window_->show();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
  }
  static void settle() {
    for (int i = 0; i < 3; ++i)
      QCoreApplication::processEvents();
  }

  // No process in these tests needs more than the same draw each time.
  testing::ScriptedDraws draws_;
  std::unique_ptr<MainForm> form_;
  std::unique_ptr<MainWindow> window_;
};

// The main of a window test program: the application as every window test
// wants it, then the test class run with the arguments of any Qt Test
// program.
template <class Test> int runWindowTest(int argc, char **argv) {
  QApplication app(argc, argv);
  app.setAttribute(Qt::AA_Use96Dpi, true);
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  QApplication::setCursorFlashTime(0);
  QApplication::setEffectEnabled(Qt::UI_AnimateCombo, false);
  Test test;
  return QTest::qExec(&test, argc, argv);
}

} // namespace arrivals::test

#define ARRIVALS_WINDOW_TEST_MAIN(Test)                                        \
  int main(int argc, char **argv) {                                            \
    return arrivals::test::runWindowTest<Test>(argc, argv);                    \
  }
