// The form's menu: each command writes what it says, through the file
// dialog's answer, and a save that fails or is cancelled leaves an old file
// whole.

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "script/byte_io.h"
#include "script/last_run.h"
#include "script/script_random.h"
#include "script/script_runner.h"
#include "script/session_recorder.h"
#include "window/main_window.h"
#include "window/variance_dialog.h"

namespace arrivals::test {

namespace {

QByteArray slurp(const QString &path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(none)");
}

// What the script tool writes for `script`: its packets and seconds traces.
std::pair<QByteArray, QByteArray> toolTraces(const std::string &script) {
  StringSource in(script);
  StringSink out, err, packets, seconds;
  ScriptOptions options;
  options.packets = &packets;
  options.seconds = &seconds;
  RunScript(in, out, err, options);
  return {QByteArray::fromStdString(packets.str()),
          QByteArray::fromStdString(seconds.str())};
}

} // namespace

class MenuTest : public QObject {
  Q_OBJECT

  ScriptRandom random;
  MainForm form{random};
  SessionRecorder recorder{form};
  std::unique_ptr<MainWindow> window;
  QTemporaryDir dir;
  QString answer;        // the file dialog's answer
  QStringList errors;    // the error boxes' texts
  bool keepGoing = true; // the progress dialog's answer

  QMenu *menu() const { return window->findChild<QMenu *>("formMenu"); }

  void pick(const QString &command) {
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(600, 400),
                            window->mapToGlobal(QPoint(600, 400)));
    QApplication::sendEvent(window.get(), &event);
    QVERIFY(menu() != nullptr && menu()->isVisible());
    for (QAction *a : menu()->actions())
      if (a->text() == command) {
        menu()->hide(); // as a click on a command does, before it runs
        a->trigger();
        return;
      }
    QFAIL(qPrintable("no command " + command));
  }

private slots:
  void initTestCase() {
    random.Seed(3);
    recorder.Seed(3);
    window = std::make_unique<MainWindow>(form);
    recorder.Loaded();
    window->setRecorder(recorder);
    MainWindow::Dialogs d;
    d.saveFileName = [this](QWidget *, const QString &, const QString &,
                            const QString &) { return answer; };
    d.error = [this](QWidget *, const QString &text) { errors << text; };
    d.progress = [this](std::uint64_t, std::uint64_t) { return keepGoing; };
    window->setDialogs(d);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    // A run through the widgets: a typed rate, Start, 400 ticks.
    auto *rate = window->findChild<QComboBox *>("cmbData")->lineEdit();
    rate->selectAll();
    QTest::keyClicks(rate, "3.5");
    QTest::mouseClick(window->findChild<QPushButton *>("btnStart"),
                      Qt::LeftButton);
    for (int i = 0; i < 400; ++i)
      window->timerTick();
    window->tmrMain()->stop(); // no tick of the real timer meanwhile
  }

  void offers_the_commands() {
    pick("Copy picture");
    QStringList texts;
    for (QAction *a : menu()->actions())
      if (!a->isSeparator())
        texts << a->text();
    QCOMPARE(
        texts,
        (QStringList{"Save picture...", "Save packets...", "Save seconds...",
                     "Save this run as a script...",
                     "Variance-time of this run...", "Copy picture", "Help"}));
    QCOMPARE(QApplication::clipboard()->image().size(), QSize(844, 645));
  }

  void help_opens_from_f1_and_from_the_menu() {
    for (bool key : {true, false}) {
      if (auto *open = window->findChild<QWidget *>("help"))
        open->hide();
      if (key)
        QTest::keyClick(window->findChild<QComboBox *>("cmbData"), Qt::Key_F1);
      else
        pick("Help");
      auto *help = window->findChild<QWidget *>("help");
      QVERIFY(help != nullptr && help->isVisible());
      const QString text =
          help->findChild<QPlainTextEdit *>("helpText")->toPlainText();
      QVERIFY(text.startsWith(QStringLiteral("Arrivals ")));
      QVERIFY(text.contains(QStringLiteral("F2 reads the state")));
      help->hide();
    }
  }

  void opens_from_the_keyboard_but_not_inside_a_box() {
    auto *start = window->findChild<QPushButton *>("btnStart");
    auto *rate = window->findChild<QComboBox *>("cmbData")->lineEdit();
    enum Opens { None, Form, Box };
    const struct {
      QWidget *focus;
      QKeySequence key;
      Opens opens;
    } rows[] = {
        {start, QKeySequence(Qt::Key_Menu), Form},
        {start, QKeySequence(Qt::SHIFT | Qt::Key_F10), Form},
        {start, QKeySequence(Qt::Key_F10), None},
        {start, QKeySequence(Qt::CTRL | Qt::Key_F10), None},
        {rate, QKeySequence(Qt::SHIFT | Qt::Key_F10), Box},
        {rate, QKeySequence(Qt::Key_Menu), Box},
    };
    for (const auto &r : rows) {
      if (menu() != nullptr)
        menu()->hide();
      r.focus->setFocus();
      QTest::keySequence(r.focus, r.key);
      QCOMPARE(menu() != nullptr && menu()->isVisible(), r.opens == Form);
      const auto menus = r.focus->findChildren<QMenu *>();
      if (r.opens == Box) // the box's own edit menu instead
        QVERIFY(!menus.isEmpty() && menus.constLast()->isVisible());
      for (QMenu *m : menus)
        m->close();
    }
  }

  void saves_what_the_window_shows() {
    const std::string script = recorder.Script();
    QVERIFY(script.find("type rate 3.5\nclick start\n") != std::string::npos);
    QVERIFY(script.size() > 12 &&
            script.substr(script.size() - 9) == "tick 400\n");
    const auto [packets, seconds] = toolTraces(script);
    QVERIFY(packets.count('\n') > 50);
    QVERIFY(seconds.count('\n') > 10);
    const struct {
      const char *command;
      const char *file;
      QByteArray expected;
    } rows[] = {
        {"Save packets...", "p.csv", packets},
        {"Save seconds...", "s.csv", seconds},
        {"Save this run as a script...", "run.script",
         QByteArray::fromStdString(script)},
    };
    for (const auto &r : rows) {
      answer = dir.filePath(r.file);
      pick(r.command);
      const QByteArray written = slurp(answer);
      QVERIFY2(written == r.expected,
               qPrintable(r.command + QString(": ") + written.left(300) +
                          " / " + r.expected.left(300)));
    }
    answer = dir.filePath("shot.png");
    pick("Save picture...");
    const QImage saved(answer);
    QCOMPARE(saved.size(), QSize(844, 645));
    QCOMPARE(saved.convertToFormat(QImage::Format_RGB32),
             window->grab().toImage().convertToFormat(QImage::Format_RGB32));
    QVERIFY(errors.isEmpty());
  }

  void keeps_an_old_file_whole() {
    const QString old = dir.filePath("old.csv");
    QFile f(old);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("precious\n");
    f.close();

    // Cancelled in the progress dialog: nothing written, nothing said.
    answer = old;
    keepGoing = false;
    pick("Save packets...");
    keepGoing = true;
    QCOMPARE(slurp(old), QByteArray("precious\n"));
    QVERIFY(errors.isEmpty());

    // A folder that cannot be written to: said, naming the file.
    answer = old + "/x.csv";
    pick("Save this run as a script...");
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors[0].startsWith("Cannot save " + answer + ": "),
             qPrintable(errors[0]));
    QCOMPARE(slurp(old), QByteArray("precious\n"));

    // A session that does not play back (a fault of the program): said,
    // and the old file kept.
    SessionRecorder broken{form};
    broken.ScriptLine("bogus");
    window->setRecorder(broken);
    answer = old;
    pick("Save packets...");
    window->setRecorder(recorder);
    QCOMPARE(errors.size(), 2);
    QCOMPARE(errors[1],
             "Cannot save " + old + ": line 1: unknown command 'bogus'");
    QCOMPARE(slurp(old), QByteArray("precious\n"));

    // The dialog cancelled: nothing at all.
    answer.clear();
    pick("Save picture...");
    QCOMPARE(errors.size(), 2);
  }

  // Over a live run: too short at first, then, the timer gone on, the
  // points of every second since Start, as the script tool's trace gives
  // them; Cancel shows nothing.
  void plots_the_variance_time_of_this_run() {
    const auto shown = [this] {
      return window->findChild<VarianceDialog *>("varianceTime");
    };
    const auto summary = [&] {
      return shown()->findChild<QLabel *>("summary")->text();
    };
    const auto errorsBefore = errors.size();
    pick("Variance-time of this run...");
    QVERIFY(shown() != nullptr && shown()->isVisible());
    QVERIFY2(summary().contains("too short: 20 seconds, at least 30 needed"),
             qPrintable(summary()));

    for (int i = 0; i < 1200; ++i)
      window->timerTick();
    RunSeconds run;
    for (const QByteArray &row :
         toolTraces(recorder.Script()).second.split('\n'))
      if (!row.isEmpty())
        QVERIFY(AddSecondsRow(row.toStdString(), run));
    QCOMPARE(run.counts.size(), std::size_t{80});
    pick("Variance-time of this run...");
    QVERIFY2(summary().contains("H is "), qPrintable(summary()));
    QCOMPARE(window->findChildren<VarianceDialog *>().size(), 1);
    answer = dir.filePath("points.csv");
    shown()->findChild<QPushButton *>("savePoints")->click();
    QCOMPARE(slurp(answer), QByteArray::fromStdString(
                                VarianceTimeCsv(ComputeVarianceTime(run))));

    delete shown();
    keepGoing = false;
    pick("Variance-time of this run...");
    keepGoing = true;
    QVERIFY(shown() == nullptr);
    QCOMPARE(errors.size(), errorsBefore);
  }

  void cleanupTestCase() { window.reset(); }
};

} // namespace arrivals::test

int main(int argc, char **argv) {
  QApplication app(argc, argv);
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  QApplication::setCursorFlashTime(0);
  arrivals::test::MenuTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "menu_test.moc"
