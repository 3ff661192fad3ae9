// Only what changed is repainted, and painting only that leaves on screen
// what a paint of the whole window shows.

#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include "tests/window/window_fixture.h"
#include "window/canvas.h"

using namespace arrivals;
using namespace arrivals::test;

namespace {

class RepaintTest : public QObject, private WindowFixture {
  Q_OBJECT

private slots:
  void init() { setUp(); }
  void cleanup() { tearDown(); }

  void tickRepaintsOnlyTheMarkers_data();
  void tickRepaintsOnlyTheMarkers();
  void partialPaintsMatchAFullPaint();
};

// Regular at 2.0: a launch every 10 ticks, a second every 20, a redraw of
// the graphs at seconds 1, 4, 7, ... The tick measured is the sixth after a
// launch: markers move, and nothing else is due.
void RepaintTest::tickRepaintsOnlyTheMarkers_data() {
  QTest::addColumn<int>("seconds"); // run before the ticks watched
  QTest::addColumn<bool>("bars");   // whether the graphs have bars by then
  QTest::newRow("first ticks, flat graphs") << 0 << false;
  QTest::newRow("after a redraw with bars") << 4 << true;
}

void RepaintTest::tickRepaintsOnlyTheMarkers() {
  QFETCH(int, seconds);
  showAndSettle();
  pickByKeys("cmbExperiment", 1);
  QTest::mouseClick(widget<QPushButton>("btnStart"), Qt::LeftButton);
  tick(seconds * 20);
  settle();
  bool bars = false;
  for (const Shape &s : form_->controls().shpOneBar)
    bars = bars || s.box.height > 0;
  QTEST(bars, "bars");
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
void RepaintTest::partialPaintsMatchAFullPaint() {
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

} // namespace

ARRIVALS_WINDOW_TEST_MAIN(RepaintTest)

#include "repaint_test.moc"
