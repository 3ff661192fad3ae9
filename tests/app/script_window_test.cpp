// The window playing scripts: the same packets as the script tool for the
// same seed, and a picture that shows the bars where the form puts them.

#include <fstream>
#include <sstream>
#include <string>

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "app/launch.h"
#include "script/script_random.h"
#include "script/script_session.h"
#include "ui/form.h"
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

std::string slurp(const QString &path) {
  std::ifstream in(path.toStdString(), std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void spit(const QString &path, const std::string &text) {
  std::ofstream(path.toStdString(), std::ios::binary) << text;
}

// --record: a file that cannot be written is said before anything runs; one
// that can is written only once the script has played, so a failing script
// (or a script read from the same file) leaves it whole.
TEST(ScriptWindow, records_a_played_script_and_keeps_files_on_failure) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath(QStringLiteral("session.script"));
  struct Row {
    QString record;
    const char *problem; // part of the message, or empty
  } const kRows[] = {
      {dir.path(), "Is a directory"},
      {dir.filePath(QStringLiteral("no/such.script")),
       "No such file or directory"},
      {path, ""},
  };
  for (const Row &r : kRows) {
    LaunchOptions options;
    options.record = r.record;
    const QString problem = RecordFileProblem(options);
    if (*r.problem)
      EXPECT_EQ(problem, QStringLiteral("cannot write %1: %2")
                             .arg(r.record, QString::fromUtf8(r.problem)));
    else
      EXPECT_TRUE(problem.isEmpty()) << qPrintable(problem);
  }

  LaunchOptions options;
  options.record = path;
  options.script = path;
  options.screenshot = dir.filePath(QStringLiteral("shot.png"));
  options.seed = 5;
  spit(path, "draws 0.5\nload\nclick start\ntick 99\n");
  EXPECT_EQ(RunWindow(options), kScriptOutOfDraws);
  EXPECT_EQ(slurp(path), "draws 0.5\nload\nclick start\ntick 99\n");

  // The same file as script and recording: read first, then written.
  spit(path, "draws 0.5 0.5\ndump\nclick\n");
  EXPECT_EQ(RunWindow(options), kScriptMalformed);
  spit(path, "draws 0.5 0.5\r\ndump\n");
  EXPECT_EQ(RunWindow(options), 0);
  const std::string recorded = slurp(path);
  EXPECT_EQ(recorded.rfind("seed 5\ndraws 0.5 0.5\nclock ", 0), 0u) << recorded;
  EXPECT_EQ(recorded.substr(recorded.size() - 6), "\nload\n");
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
