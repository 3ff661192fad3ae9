// What shows: markers, bars, the red process name, checked on the grabbed
// window at points the layout fixes.

#include <QAccessible>
#include <QPushButton>

#include "tests/window/window_fixture.h"
#include "tests/window/window_suites.h"
#include "ui/window/canvas.h"

using namespace arrivals;
using namespace arrivals::test;

namespace {

class PaintingTest : public QObject, private WindowFixture {
  Q_OBJECT

private slots:
  void init() { setUp(); }
  void cleanup() { tearDown(); }

  void markerAtItsPosition();
  void barsOfKnownHeight();
  void flatGraphsAfterStart();
  void redProcessName();
};

void PaintingTest::markerAtItsPosition() {
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
void PaintingTest::barsOfKnownHeight() {
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

void PaintingTest::flatGraphsAfterStart() {
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

void PaintingTest::redProcessName() {
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

} // namespace

std::unique_ptr<QObject> arrivals::test::makePaintingTest() {
  return std::make_unique<PaintingTest>();
}

#include "painting_test.moc"
