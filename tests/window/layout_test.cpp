// Where the controls stand, what they are called, and how text fits its box.

#include <QAccessible>
#include <QComboBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include "tests/window/window_fixture.h"
#include "ui/description.h"
#include "window/canvas.h"
#include "window/fonts.h"

using namespace arrivals;
using namespace arrivals::test;

namespace {

class LayoutTest : public QObject, private WindowFixture {
  Q_OBJECT

private slots:
  void init() { setUp(); }
  void cleanup() { tearDown(); }

  void layout_data();
  void layout();
  void textFitsItsBox_data();
  void textFitsItsBox();
  void paintedControlsAreNamed_data();
  void paintedControlsAreNamed();
  void graphsAreDescribed();
  void fitsASmallScreenBeforeShown();
};

void LayoutTest::layout_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QRect>("pixels");
  QTest::addColumn<int>("fontPixels"); // regular weight; 0: no text
  QTest::addColumn<QString>("heard");  // the accessible name a person hears
  // Left, Top, Width, Height in twips, 15 to a pixel; 16.5 pt is 22 pixels.
  QTest::newRow("cmbExperiment")
      << "cmbExperiment" << QRect(32, 16, 217, 37) << 22 << "Arrival process";
  QTest::newRow("btnStart")
      << "btnStart" << QRect(40, 64, 89, 41) << 24 << "Start";
  QTest::newRow("btnPause")
      << "btnPause" << QRect(144, 64, 89, 41) << 24 << "Pause";
  QTest::newRow("cmbData") << "cmbData" << QRect(88, 120, 89, 37) << 22
                           << "Packets per second";
  QTest::newRow("optGraphs(0)")
      << "optGraphs(0)" << QRect(40, 176, 105, 25) << 18 << "Quelva";
  QTest::newRow("optGraphs(1)")
      << "optGraphs(1)" << QRect(148, 176, 105, 25) << 18 << "Pkts/Sec";
  QTest::newRow("canvas") << "canvas" << QRect(0, 0, 844, 645) << 0 << "canvas";
}

void LayoutTest::layout() {
  QFETCH(QString, name);
  QFETCH(QRect, pixels);
  auto *w = window_->findChild<QWidget *>(name);
  QVERIFY(w != nullptr);
  QCOMPARE(w->geometry(), pixels);
  // A box is named by its value on Linux; the name is its text box's,
  // which has the focus and takes the typing.
  QFETCH(QString, heard);
  auto *box = qobject_cast<QComboBox *>(w);
  QWidget *named = box != nullptr ? box->lineEdit() : w;
  QCOMPARE(
      QAccessible::queryAccessibleInterface(named)->text(QAccessible::Name),
      heard);
  QFETCH(int, fontPixels);
  if (fontPixels > 0) {
    QCOMPARE(w->font().pixelSize(), fontPixels);
    QCOMPARE(w->font().bold(), false);
  }
  QCOMPARE(window_->accessibleName(), QStringLiteral("Arrivals"));
  QVERIFY(!window_->windowIcon().pixmap(32).isNull());
  // Not resizable: the layout does not follow the window's size.
  QCOMPARE(window_->minimumSize(), QSize(844, 645));
  QCOMPARE(window_->maximumSize(), QSize(844, 645));
  QCOMPARE(window_->windowTitle(), QStringLiteral("Arrivals"));
}

// Asked for zoom 2 on a 1366 x 768 screen (window.fit_small_screen runs this
// on one) before it is shown, the window leaves room for a frame it does not
// have yet: 16 x 48 pixels, so 1350 x 720 for the form, 720 / 645 of its
// size.
void LayoutTest::fitsASmallScreenBeforeShown() {
  if (window_->screen()->availableGeometry().size() != QSize(1366, 768))
    QSKIP("needs the 1366 x 768 screen of window.fit_small_screen");
  MainForm form(draws_);
  MainWindow window(form);
  window.setFitToScreen(true);
  window.setZoom(2);
  QCOMPARE(window.zoom(), 720.0 / 645);
  window.setZoom(1);
  QCOMPARE(window.zoom(), 1.0); // the fit never shrinks below scale 1
}

// --- Fonts ------------------------------------------------------------------

void LayoutTest::textFitsItsBox_data() {
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

void LayoutTest::textFitsItsBox() {
  QFETCH(QString, text);
  QFETCH(double, points);
  QFETCH(bool, bold);
  QFETCH(int, width);
  const QFont natural = toQFont(Font{static_cast<float>(points), bold});
  QCOMPARE(natural.bold(), bold);
  // The face the layout was made for, or the one standing in for it.
  QVERIFY2(QStringList({"MS Sans Serif", "Liberation Sans"})
               .contains(QFontInfo(natural).family()),
           qPrintable(QFontInfo(natural).family()));
  const QFont fitted = fittedFont(natural, text, width);
  QVERIFY(QFontMetrics(fitted).horizontalAdvance(text) <= width);
  QCOMPARE(fitted.pixelSize(), natural.pixelSize());
  if (QFontMetrics(natural).horizontalAdvance(text) <= width)
    QCOMPARE(fitted, natural); // narrowed only when it must be
}

// --- Accessibility --------------------------------------------------------

void LayoutTest::paintedControlsAreNamed_data() {
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
  QTest::newRow("shpThreeBar(22)")
      << "shpThreeBar(22)" << QRect(744, 548, 7, 0) << graphic << true << "";
  QTest::newRow("lblYAxis(1)")
      << "lblYAxis(1)" << QRect(316, 204, 35, 25) << text << true << "p(x)";
  QTest::newRow("Image1") << "Image1" << QRect(536, 592, 300, 48) << graphic
                          << true << "";
  QTest::newRow("sPacket(50)")
      << "sPacket(50)" << QRect(0, 0, 25, 57) << graphic << false << "";
  // After them, the parts said in words.
  QTest::newRow("Packet counter") << "Packet counter" << QRect(264, 40, 73, 25)
                                  << text << true << "0 packets";
  QTest::newRow("Packets in flight")
      << "Packets in flight" << QRect(248, 4, 592, 57) << text << true
      << "0 packets in flight";
  QTest::newRow("Run state")
      << "Run state" << QRect(24, 8, 233, 161) << int(QAccessible::StatusBar)
      << true
      << "Poisson, 2 packets a second, stopped: 0 packets in 0 seconds.";
}

void LayoutTest::paintedControlsAreNamed() {
  QFETCH(QString, name);
  QFETCH(QRect, pixels);
  QAccessibleInterface *canvas =
      QAccessible::queryAccessibleInterface(window_->canvas());
  QVERIFY(canvas != nullptr);
  QCOMPARE(canvas->text(QAccessible::Name), QStringLiteral("canvas"));
  QCOMPARE(canvas->role(), QAccessible::Pane);
  // The border, 68 bars, 25 lines, 41 labels, the logo and 51 markers;
  // the counter, four graphs, the packets in flight and the run's state in
  // words.
  QCOMPARE(canvas->childCount(), 1 + 68 + 25 + 41 + 1 + 51 + 7);
  // Only hidden markers lie at the top left corner: nothing is found there.
  const QPoint corner = window_->canvas()->mapToGlobal(QPoint(5, 5));
  QCOMPARE(canvas->childAt(corner.x(), corner.y()), nullptr);
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
  if (caption != QStringLiteral("*")) {
    QCOMPARE(found->text(QAccessible::Description), caption);
    QCOMPARE(found->text(QAccessible::Value), caption);
  }
}

// The graphs in words are the form's description, as last drawn, under
// their titles.
void LayoutTest::graphsAreDescribed() {
  pickByKeys("cmbExperiment", 1);
  QTest::mouseClick(widget<QPushButton>("btnStart"), Qt::LeftButton);
  tick(8 * 20);
  QAccessibleInterface *canvas =
      QAccessible::queryAccessibleInterface(window_->canvas());
  const auto graphs = DescribeGraphs(*form_);
  const int first = canvas->childCount() - 6; // after the counter
  for (int g = 0; g < 4; ++g) {
    QAccessibleInterface *item = canvas->child(first + g);
    const auto &d = graphs[static_cast<std::size_t>(g)];
    QCOMPARE(item->role(), QAccessible::Chart);
    QCOMPARE(item->text(QAccessible::Name), QString::fromStdString(d.title));
    QCOMPARE(item->text(QAccessible::Description),
             QString::fromStdString(GraphText(d)));
  }
  QVERIFY(
      canvas->child(first)
          ->text(QAccessible::Description)
          .contains(QStringLiteral("2: 7;"))); // seven seconds of two packets
}

} // namespace

ARRIVALS_WINDOW_TEST_MAIN(LayoutTest)

#include "layout_test.moc"
