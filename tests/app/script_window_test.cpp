// The window playing scripts: the same packets as the script tool for the
// same seed, and a picture that shows the bars where the form puts them.

#include <fstream>
#include <sstream>
#include <string>

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include "app/launch.h"
#include "script/output_files.h"
#include "script/script_player.h"
#include "script/script_random.h"
#include "script/script_session.h"
#include "script/session_recorder.h"
#include "ui/form.h"
#include "window/canvas.h"
#include "window/main_window.h"
#include "window/pixels.h"

namespace arrivals {
namespace {

// The form after `script`, played headless as the script tool plays it.
void play(MainForm &form, ScriptRandom &random, const std::string &script) {
  StringSink out, err;
  ScriptSession session(form, random, out);
  StringSource in(script);
  ASSERT_EQ(PlayScript(in, session, err, "arrivals", "standard input"),
            kScriptOk)
      << err.str();
}

TEST(script_window, seeded_window_draws_what_the_script_tool_draws) {
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

TEST(script_window, picture_shows_the_bars_of_the_played_form) {
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

// --screenshot with --zoom F, through the program's own launch: a picture of
// 844 F x 645 F pixels (halves up) with every bar at F times its place.
TEST(script_window, zoomed_picture_has_the_bars_at_zoom_times_their_place) {
  const std::string script =
      "seed 1\nload\npick rate 4\nclick start\ntick 2400\n";
  ScriptRandom random;
  MainForm form(random);
  play(form, random, script);
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QFile file(dir.filePath(QStringLiteral("bars.script")));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(script.c_str());
  file.close();

  struct Row {
    double zoom;
    QSize size;
  };
  for (const Row &row : {Row{1, {844, 645}}, Row{2, {1688, 1290}},
                         Row{1.25, {1055, 806}}, Row{0.5, {422, 323}}}) {
    LaunchOptions options;
    options.script = file.fileName().toStdString();
    options.screenshot = dir.filePath(QStringLiteral("bars.png")).toStdString();
    options.zoom = row.zoom;
    ASSERT_EQ(RunWindow(options), 0);
    const QImage image(QString::fromStdString(*options.screenshot));
    ASSERT_EQ(image.size(), row.size) << row.zoom;
    if (row.zoom < 1)
      continue; // bars a pixel or two wide
    int checked = 0;
    for (const auto *bars :
         {&form.controls().shpOneBar[0], &form.controls().shpTwoBar[0],
          &form.controls().shpThreeBar[0]}) {
      for (int i = 0; i < 8; ++i) {
        const Shape &bar = bars[i];
        if (bar.box.height < 4 * 15)
          continue;
        // Twips at the zoom, in pixels, without the window's own rounding.
        const auto at = [&](double twips) {
          return static_cast<int>(twips * row.zoom / 15);
        };
        const int x = at(bar.box.left + bar.box.width / 2);
        const int top = at(bar.box.top);
        EXPECT_EQ(image.pixelColor(x, top + 2), toColor(bar.fillColor))
            << "zoom " << row.zoom << ", bar at " << bar.box.left;
        EXPECT_NE(image.pixelColor(x, top - 2), toColor(bar.fillColor))
            << "zoom " << row.zoom << ", above bar at " << bar.box.left;
        ++checked;
      }
    }
    EXPECT_GE(checked, 6) << row.zoom;
  }
}

std::string slurp(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void spit(const std::string &path, const std::string &text) {
  std::ofstream(path, std::ios::binary) << text;
}

// --record: a file that cannot be written is said before anything runs; one
// that can is written only once the script has played, so a failing script
// leaves it whole; the script itself or the picture is never the recording.
TEST(script_window, records_a_played_script_and_keeps_files_on_failure) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const std::string folder = dir.path().toStdString();
  const std::string path = folder + "/session.script";
  struct Row {
    std::string record;
    const char *problem; // part of the message, or empty
  } const kRows[] = {
      {folder, "Is a directory"},
      {folder + "/no/such.script", "No such file or directory"},
      {"", "No such file or directory"},
      {path, ""},
  };
  for (const Row &r : kRows) {
    LaunchOptions options;
    options.record = r.record;
    const std::string problem = RecordFileProblem(options);
    if (*r.problem)
      EXPECT_EQ(problem,
                "cannot write " + MessageName(r.record) + ": " + r.problem);
    else
      EXPECT_EQ(problem, "");
  }

  const std::string script = folder + "/played.script";
  const std::string shot = folder + "/shot.png";
  // Longer than the recording: what it held must not outlive it.
  const std::string kept = "# kept\n" + std::string(200, '#') + "\n";
  spit(path, kept);
  LaunchOptions options;
  options.record = path;
  options.script = script;
  options.screenshot = shot;
  options.seed = 5;
  // A failing script leaves the recording's file whole.
  spit(script, "draws 0.5\nload\nclick start\ntick 99\n");
  EXPECT_EQ(RunWindow(options), kScriptOutOfDraws);
  spit(script, "draws 0.5 0.5\ndump\nclick\n");
  EXPECT_EQ(RunWindow(options), kScriptMalformed);
  EXPECT_EQ(slurp(path), kept);

  // The script or the picture as the recording: refused before any line.
  spit(script, "draws 0.5 0.5\r\ndump\n");
  for (const std::string &same : {script, shot}) {
    LaunchOptions clash = options;
    clash.record = same;
    EXPECT_EQ(RunWindow(clash), kBadCommandLine) << same;
  }
  EXPECT_EQ(slurp(script), "draws 0.5 0.5\r\ndump\n");

  EXPECT_EQ(RunWindow(options), 0);
  const std::string recorded = slurp(path);
  EXPECT_EQ(recorded.rfind("seed 5\ndraws 0.5 0.5\nclock ", 0), 0u) << recorded;
  EXPECT_EQ(recorded.substr(recorded.size() - 6), "\nload\n");
}

// The live window's recording goes to its file as it is made: the timer
// events before an action and those at the end (the window closed) as
// `tick N`, and the whole file rewritten, not added to, when a typed text
// makes the recording inexact.
TEST(script_window, records_the_live_window_to_its_file) {
  QTemporaryDir dir;
  const std::string path =
      dir.filePath(QStringLiteral("live.script")).toStdString();
  LaunchOptions options;
  options.seed = 5;
  options.record = path;
  // The user's part, once the window is up: the window's own timer stopped,
  // its events given one by one.
  QTimer::singleShot(0, [] {
    MainWindow *window = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
      if (auto *m = dynamic_cast<MainWindow *>(w))
        window = m;
    if (window == nullptr) {
      ADD_FAILURE() << "no window";
      QApplication::quit();
      return;
    }
    window->tmrMain()->stop();
    window->recorder().ClickStart();
    for (int i = 0; i < 3; ++i)
      window->timerTick();
    window->recorder().Type(ComboId::Data, "3\r");
    for (int i = 0; i < 2; ++i)
      window->timerTick();
    QApplication::quit();
  });
  EXPECT_EQ(RunWindow(options), 0);
  EXPECT_EQ(slurp(path), std::string(kInexactComment) +
                             "\nseed 5\nload\nclick start\ntick 3\n"
                             "type rate 3\ntick 2\n");
}

// After its script the window shows the state the script left (a script
// without `load` gets it at its end), and the program's picture is the
// picture of that window.
TEST(script_window, opens_on_the_state_the_script_left) {
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
    // Assistive technology finds every painted control in the canvas, then
    // the seven parts said in words.
    QAccessibleInterface *canvas =
        QAccessible::queryAccessibleInterface(window.canvas());
    EXPECT_EQ(canvas->role(), QAccessible::Pane);
    EXPECT_EQ(canvas->childCount(), 187 + 7);
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
