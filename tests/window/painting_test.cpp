// What shows: markers, bars, the red process name, checked on the grabbed
// window at points the layout fixes.

#include <QAccessible>
#include <QPainter>
#include <QPushButton>

#include "tests/window/window_fixture.h"
#include "window/canvas.h"
#include "window/fonts.h"
#include "window/logo.h"
#include "window/pixels.h"

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
  void counterAboveTheMarkers();
  void linesUnderLabels_data();
  void linesUnderLabels();
  void dataBorderSides_data();
  void dataBorderSides();
  void buttonFaces_data();
  void buttonFaces();
  void trackAndLogo();
  void zoomedWidths();
  void captionAlignment_data();
  void captionAlignment();
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
    // The axis lies over the bar's bottom row.
    QVERIFY2(image.pixel(x, px(b.baseline)) == kBlackPx, b.what);
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

// Markers cross the counter's box on their way; its digits stay on top, and
// the markers still cover the box around them.
void PaintingTest::counterAboveTheMarkers() {
  pickByKeys("cmbExperiment", 1); // Regular
  QTest::mouseClick(widget<QPushButton>("btnStart"), Qt::LeftButton);
  const Label &counter = form_->controls().lblServiced;
  const QRect box = toPixels(counter.box);
  int hidden = 0; // digit pixels under a marker's fill
  for (int i = 0; i < 60 && hidden < 10; ++i) {
    tick(1);
    // The digits alone, drawn as the canvas draws them.
    const QString text = QString::fromStdString(counter.caption);
    QImage digits(box.size(), QImage::Format_RGB32);
    digits.fill(kGreyPx);
    QPainter p(&digits);
    p.setFont(fittedFont(toQFont(counter.font), text, box.width()));
    p.setPen(Qt::black);
    p.drawText(digits.rect(), Qt::AlignTop | Qt::AlignLeft | Qt::TextSingleLine,
               text);
    p.end();
    QRegion fill; // inside the markers' outlines
    for (const Shape &s : form_->controls().sPacket)
      if (s.visible)
        fill += toPixels(s.box).adjusted(4, 4, -4, -4);
    if (!fill.intersects(box))
      continue;
    const QImage image = shot();
    hidden = 0;
    int redAround = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
      for (int x = box.left(); x <= box.right(); ++x) {
        if (!fill.contains(QPoint(x, y)))
          continue;
        const QRgb digit = digits.pixel(x - box.left(), y - box.top());
        if ((digit & 0xffffff) == (kBlackPx & 0xffffff)) {
          ++hidden;
          QCOMPARE(image.pixel(x, y), kBlackPx);
        } else if ((digit & 0xffffff) == (kGreyPx & 0xffffff)) {
          redAround += isRed(image.pixel(x, y)) ? 1 : 0;
        }
      }
    QVERIFY(redAround > 0);
  }
  QVERIFY(hidden >= 10);
}

// Transparent labels leave the lines under them in view.
void PaintingTest::linesUnderLabels_data() {
  QTest::addColumn<QPoint>("at");
  QTest::addColumn<QRect>("label"); // the box the point lies in
  const QRect tick0(px(660), px(8220), px(375), px(375));
  const QRect title1(px(4260), px(5700), px(3615), px(495));
  QTest::newRow("graph one's baseline under lblGraph(0)")
      << QPoint(56, 549) << tick0;
  QTest::newRow("graph two's arrowhead under lblGraphTitle(1)")
      << QPoint(296, 388) << title1;
  QTest::newRow("graph two's axis under lblGraphTitle(1)")
      << QPoint(300, 400) << title1;
}

void PaintingTest::linesUnderLabels() {
  QFETCH(QPoint, at);
  QFETCH(QRect, label);
  QVERIFY(label.contains(at));
  QCOMPARE(shot().pixel(at), kBlackPx);
}

// Each side of shpDataBorder: grey, three pixels of outline, grey, going
// inwards from the pixel just outside its box.
void PaintingTest::dataBorderSides_data() {
  QTest::addColumn<QPoint>("outside");
  QTest::addColumn<QPoint>("inwards");
  const QRect border(24, 8, 233, 161);
  QTest::newRow("left") << QPoint(border.left() - 1, 90) << QPoint(1, 0);
  QTest::newRow("right") << QPoint(border.right() + 1, 90) << QPoint(-1, 0);
  QTest::newRow("top") << QPoint(200, border.top() - 1) << QPoint(0, 1);
  QTest::newRow("bottom") << QPoint(200, border.bottom() + 1) << QPoint(0, -1);
}

void PaintingTest::dataBorderSides() {
  QFETCH(QPoint, outside);
  QFETCH(QPoint, inwards);
  const QImage image = shot();
  const QRgb ink = toColor(form_->controls().shpDataBorder.outlineColor).rgb();
  const QRgb expected[] = {kGreyPx, ink, ink, ink, kGreyPx};
  for (int i = 0; i < 5; ++i)
    QCOMPARE(image.pixel(outside + i * inwards), expected[i]);
}

// Buttons have a flat face in the window grey; the focus and a press still
// show.
void PaintingTest::buttonFaces_data() {
  QTest::addColumn<QString>("state");
  QTest::addColumn<bool>("greyFace");
  QTest::addColumn<bool>("ringed"); // an outline other than at rest
  QTest::newRow("at rest") << "rest" << true << false;
  QTest::newRow("focused by the keyboard") << "focused" << true << true;
  QTest::newRow("pressed") << "pressed" << false << false;
}

void PaintingTest::buttonFaces() {
  QFETCH(QString, state);
  showAndActivate();
  auto *start = widget<QPushButton>("btnStart");
  const QPoint edge(0, start->height() / 2);
  const QRgb restOutline = start->grab().toImage().pixel(edge);
  if (state == QStringLiteral("focused")) {
    box("cmbExperiment")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), start);
  } else if (state == QStringLiteral("pressed")) {
    QTest::mousePress(start, Qt::LeftButton);
  }
  const QImage image = start->grab().toImage();
  // Left of the caption, from just below the outline to just above it.
  const QRgb face = image.pixel(4, 3);
  for (int y = 3; y <= start->height() - 4; ++y)
    QCOMPARE(image.pixel(4, y), face);
  QFETCH(bool, greyFace);
  if (greyFace)
    QCOMPARE(face, kGreyPx);
  else
    QVERIFY(qGray(face) < qGray(kGreyPx));
  QTEST(image.pixel(edge) != restOutline, "ringed");
  if (state == QStringLiteral("pressed"))
    QTest::mouseRelease(start, Qt::LeftButton);
}

// Line1 is one pixel wide at y = 480 twips; Image1's picture stands at its
// Left and Top, the window grey showing through.
void PaintingTest::trackAndLogo() {
  const QImage image = shot();
  for (const int x : {px(3840) + 3, 500, px(11040) - 1}) {
    QCOMPARE(image.pixel(x, px(480)), kBlackPx);
    QCOMPARE(image.pixel(x, px(480) - 1), kGreyPx);
    QCOMPARE(image.pixel(x, px(480) + 1), kGreyPx);
  }
  const QImage logo(QStringLiteral(":/arrivals/logo.png"));
  QImage expected(logo.size(), QImage::Format_RGB32);
  expected.fill(kGreyPx);
  QPainter(&expected).drawImage(0, 0, logo);
  QCOMPARE(image.copy(QRect(QPoint(px(8040), px(8880)), logo.size())),
           expected);
  // The pictures compiled in are the logo painted from its table
  // (scripts/make-logo.sh makes them again when the table changes).
  for (const int ratio : {1, 2}) {
    const QImage file(ratio == 1 ? QStringLiteral(":/arrivals/logo.png")
                                 : QStringLiteral(":/arrivals/logo@2x.png"));
    QCOMPARE(file.convertToFormat(QImage::Format_ARGB32),
             logoPicture(QSize(300, 48), ratio)
                 .toImage()
                 .convertToFormat(QImage::Format_ARGB32));
  }

  // Zoomed, the logo is drawn at the size of the zoom it is shown at, the
  // same whichever zoom came before.
  const auto logoAt = [](MainWindow &w, double zoom) {
    w.setZoom(zoom);
    const QRect box = toPixels(CreateControls().Image1.box, zoom);
    return w.grab().toImage().convertToFormat(QImage::Format_RGB32).copy(box);
  };
  logoAt(*window_, 1.5);
  MainForm fresh(draws_);
  MainWindow direct(fresh);
  QCOMPARE(logoAt(*window_, 2), logoAt(direct, 2));
  // Below scale 1 too: the logo painted to its box, not the picture.
  const QImage small = logoAt(*window_, 0.75);
  QImage painted(small.size(), QImage::Format_RGB32);
  painted.fill(kGreyPx);
  QPainter(&painted).drawPixmap(0, 0, logoPicture(small.size(), 1));
  QCOMPARE(small, painted);
}

// A line's or an outline's width at a zoom: rounded, never below a pixel;
// and a font's size in pixels, rounded likewise.
void PaintingTest::zoomedWidths() {
  QCOMPARE(toQFont(Font{16.5F, false}, 1.25).pixelSize(), 28); // 27.5
  QCOMPARE(toQFont(Font{13.5F, false}, 1.1).pixelSize(), 20);  // 19.8
  struct Row {
    int pixels;
    double zoom;
    int width;
  };
  for (const Row &r : {Row{0, 2, 0}, Row{1, 0.5, 1}, Row{2, 1.25, 3},
                       Row{3, 1.5, 5}, Row{3, 0.5, 2}, Row{2, 4, 8}})
    QCOMPARE(zoomedWidth(r.pixels, r.zoom), r.width);
}

// A caption stands at the left of its box, or in its middle.
void PaintingTest::captionAlignment_data() {
  QTest::addColumn<QRect>("box");
  QTest::addColumn<bool>("centred");
  const auto twips = [](int left, int top, int width, int height) {
    return QRect(px(left), px(top), px(left + width) - px(left),
                 px(top + height) - px(top));
  };
  QTest::newRow("lblGraphTitle(0)") << twips(360, 3780, 3615, 495) << true;
  QTest::newRow("lblMeanWaitingTime") << twips(6540, 1680, 2895, 375) << true;
  QTest::newRow("lblDataRate") << twips(2760, 1875, 975, 375) << false;
  QTest::newRow("lblServiced") << twips(3960, 600, 1095, 375) << false;
}

void PaintingTest::captionAlignment() {
  QFETCH(QRect, box);
  QFETCH(bool, centred);
  const QImage image = shot();
  // The ink of the caption's upper half, clear of the lines below some.
  int left = box.right() + 1, right = box.left() - 1;
  for (int y = box.top(); y <= box.center().y(); ++y)
    for (int x = box.left(); x <= box.right(); ++x)
      if (qGray(image.pixel(x, y)) < 128) {
        left = std::min(left, x);
        right = std::max(right, x);
      }
  QVERIFY(left <= right);
  const int before = left - box.left(), after = box.right() - right;
  if (centred)
    QVERIFY2(std::abs(before - after) <= 2,
             qPrintable(QStringLiteral("%1 | %2").arg(before).arg(after)));
  else
    QVERIFY2(before <= 3, qPrintable(QString::number(before)));
}

} // namespace

ARRIVALS_WINDOW_TEST_MAIN(PaintingTest)

#include "painting_test.moc"
