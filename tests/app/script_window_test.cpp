// The window playing scripts: the same packets as the script tool for the
// same seed, and a picture that shows the bars where the form puts them.

#include <sstream>
#include <string>

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include "app/launch.h"
#include "script/script_random.h"
#include "script/script_session.h"
#include "ui/form.h"
#include "ui/window/canvas.h"
#include "ui/window/main_window.h"
#include "ui/window/pixels.h"

namespace arrivals {
namespace {

// The form after `script`, played headless as the script tool plays it.
void play(MainForm &form, ScriptRandom &random, const std::string &script) {
  std::ostringstream out, err;
  ScriptSession session(form, random, out);
  std::istringstream in(script);
  ASSERT_EQ(PlayScript(in, session, err), kScriptOk) << err.str();
}

TEST(ScriptWindow, seeded_window_draws_what_the_script_tool_draws) {
  for (const std::uint64_t seed : {0ull, 7ull, 18446744073709551615ull}) {
    ScriptRandom scripted;
    MainForm headless(scripted);
    play(headless, scripted,
         "seed " + std::to_string(seed) + "\nload\nclick start\ntick 200\n");

    const auto random = MakeRandomSource(seed);
    MainForm form(*random);
    MainWindow window(form);
    window.findChild<QPushButton *>(QStringLiteral("btnStart"))->click();
    for (int i = 0; i < 200; ++i)
      window.timerTick();

    EXPECT_EQ(form.state().packetCount, headless.state().packetCount);
    EXPECT_EQ(form.state().countdownMs, headless.state().countdownMs);
    EXPECT_EQ(form.state().histGap, headless.state().histGap);
    for (std::size_t i = 0; i < form.controls().sPacket.size(); ++i) {
      const Shape &a = form.controls().sPacket[i];
      const Shape &b = headless.controls().sPacket[i];
      EXPECT_EQ(a.visible, b.visible) << "marker " << i;
      if (a.visible) {
        EXPECT_EQ(a.box.left, b.box.left) << "marker " << i;
      }
    }
  }
}

TEST(ScriptWindow, picture_shows_the_bars_of_the_played_form) {
  ScriptRandom random;
  MainForm form(random);
  play(form, random, "seed 1\nload\npick rate 4\nclick start\ntick 2400\n");
  MainWindow window(form, MainWindow::Start::Loaded);
  const QImage image = RenderWindow(window);
  ASSERT_EQ(image.size(), QSize(844, 645));

  const Controls &c = form.controls();
  int checked = 0;
  const auto probe = [&](const Shape &bar) {
    const QRect r = toPixels(bar.box);
    if (r.height() < 4)
      return;
    const QPoint inside(r.center().x(), r.top() + 1);
    const QPoint above(r.center().x(), r.top() - 2);
    EXPECT_EQ(image.pixelColor(inside), toColor(bar.fillColor))
        << "inside bar at " << r.x() << "," << r.y();
    EXPECT_NE(image.pixelColor(above), toColor(bar.fillColor))
        << "above bar at " << r.x() << "," << r.y();
    ++checked;
  };
  for (const Shape &bar : c.shpOneBar)
    probe(bar);
  for (const Shape &bar : c.shpTwoBar)
    probe(bar);
  for (const Shape &bar : c.shpThreeBar)
    probe(bar);
  EXPECT_GE(checked, 10);
}

// After its script the window shows the state the script left (a script
// without `load` gets it at its end), and the program's picture is the
// picture of that window.
TEST(ScriptWindow, opens_on_the_state_the_script_left) {
  struct Case {
    const char *given;  // to the program
    const char *played; // the same with its `load`
    const char *start, *pause, *rate, *process;
    bool ticking;
    int view;
  } const kCases[] = {
      {"seed 1\n", "seed 1\nload\n", "Start", "Pause", "2.0", "Poisson", false,
       0},
      {"seed 1\nload\nclick start\ntick 45\n", nullptr, "Stop", "Pause", "2.0",
       "Poisson", true, 0},
      {"seed 1\nload\npick process 5\nclick start\ntick 45\nclick pause\n"
       "click view 1\ntype rate 0.5\n",
       nullptr, "Stop", "Cont", "0.5", "Pareto 0.5", false, 1},
  };
  QTemporaryDir dir;
  for (const Case &c : kCases) {
    SCOPED_TRACE(c.given);
    ScriptRandom random;
    MainForm form(random);
    play(form, random, c.played != nullptr ? c.played : c.given);
    MainWindow window(form, MainWindow::Start::Loaded);
    // Assistive technology finds every painted control in the canvas.
    QAccessibleInterface *canvas =
        QAccessible::queryAccessibleInterface(window.canvas());
    EXPECT_EQ(canvas->role(), QAccessible::Pane);
    EXPECT_EQ(canvas->childCount(), 187);
    const auto w = [&](const char *name) {
      return window.findChild<QWidget *>(QString::fromLatin1(name));
    };
    EXPECT_EQ(static_cast<QPushButton *>(w("btnStart"))->text(), c.start);
    EXPECT_EQ(static_cast<QPushButton *>(w("btnPause"))->text(), c.pause);
    EXPECT_EQ(static_cast<QComboBox *>(w("cmbData"))->lineEdit()->text(),
              c.rate);
    EXPECT_EQ(static_cast<QComboBox *>(w("cmbExperiment"))->currentText(),
              c.process);
    EXPECT_EQ(window.tmrMain()->isActive(), c.ticking);
    EXPECT_TRUE(static_cast<QRadioButton *>(
                    w(c.view == 0 ? "optGraphs(0)" : "optGraphs(1)"))
                    ->isChecked());
    // Tab comes to the view buttons at the selected one.
    EXPECT_EQ(w(c.view == 0 ? "optGraphs(1)" : "optGraphs(0)")->focusPolicy(),
              Qt::ClickFocus);
    EXPECT_FALSE(static_cast<QRadioButton *>(
                     w(c.view == 0 ? "optGraphs(1)" : "optGraphs(0)"))
                     ->isChecked());

    const QString png = dir.filePath(QStringLiteral("played.png"));
    QProcess program;
    program.start(QStringLiteral(ARRIVALS_PROGRAM),
                  {QStringLiteral("--script"), QStringLiteral("-"),
                   QStringLiteral("--screenshot"), png});
    program.write(c.given);
    program.closeWriteChannel();
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().data();
    EXPECT_TRUE(QImage(png).convertToFormat(QImage::Format_RGB32) ==
                RenderWindow(window).convertToFormat(QImage::Format_RGB32));
  }
}

} // namespace
} // namespace arrivals

int main(int argc, char **argv) {
  // Off screen also when the build lists the tests.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
