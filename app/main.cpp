// Arrivals: packet arrival processes, shown as they happen.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <QApplication>
#include <QList>
#include <QSocketNotifier>

#include "app/command_line.h"
#include "app/launch.h"
#include "app/qt_options.h"
#include "app/startup.h"
#include "arrivals_version.h"
#include "script/stop_signal.h"

namespace {

// While the application starts, Qt's messages are held back: if the
// platform cannot start, one clear message replaces Qt's abort; otherwise
// they are passed on.
struct HeldMessage {
  QtMsgType type;
  const char *category; // Qt's categories are static strings
  QString text;
};
QtMessageHandler g_previous = nullptr;
QList<HeldMessage> g_held;

void HoldStartupMessage(QtMsgType type, const QMessageLogContext &context,
                        const QString &message) {
  if (type == QtFatalMsg) {
    std::vector<std::string> earlier;
    for (const HeldMessage &held : g_held) {
      const QMessageLogContext heldContext(nullptr, 0, nullptr, held.category);
      earlier.push_back(
          qFormatLogMessage(held.type, heldContext, held.text).toStdString());
    }
    const std::string text = arrivals::FatalStartupMessage(
        earlier, qFormatLogMessage(type, context, message).toStdString());
    std::fputs(text.c_str(), stderr);
    std::_Exit(1);
  }
  g_held.append({type, context.category, message});
}

void ReleaseStartupMessages() {
  qInstallMessageHandler(g_previous);
  for (const HeldMessage &held : g_held)
    qt_message_output(held.type,
                      QMessageLogContext(nullptr, 0, nullptr, held.category),
                      held.text);
  g_held.clear();
}

// SIGTERM and SIGINT (a log-out, a Ctrl+C in the terminal) end the event
// loop like closing the window does; main() then dies of the signal. While
// a script plays, they stop it (see stop_signal.h).
void QuitOnSignals(QApplication &app) {
  const int wake = arrivals::StopWakeDescriptor();
  if (wake < 0)
    return;
  auto *notifier = new QSocketNotifier(wake, QSocketNotifier::Read, &app);
  QObject::connect(notifier, &QSocketNotifier::activated, &app,
                   [] { QCoreApplication::quit(); });
}

} // namespace

int main(int argc, char **argv) {
  // The command line is read before Qt starts, so that --help, --version and
  // a mistake need no display.
  const std::vector<std::string> arguments(argv, argv + argc);
  const arrivals::CommandLine line = arrivals::ParseCommandLine(arguments);
  switch (line.action) {
  case arrivals::CommandLine::Action::Help:
    std::fputs(qUtf8Printable(arrivals::UsageText()), stdout);
    return 0;
  case arrivals::CommandLine::Action::Version:
    std::fputs(qUtf8Printable(arrivals::VersionText()), stdout);
    return 0;
  case arrivals::CommandLine::Action::Error:
    std::fprintf(stderr, "arrivals: %s\n", qUtf8Printable(line.error));
    std::fputs(qUtf8Printable(arrivals::UsageText()), stderr);
    return arrivals::kBadCommandLine;
  case arrivals::CommandLine::Action::Run:
    break;
  }

  // A recording that cannot be written is said before anything starts.
  if (const std::string problem = arrivals::RecordFileProblem(line.options);
      !problem.empty()) {
    std::fprintf(stderr, "arrivals: %s\n", problem.c_str());
    return arrivals::kBadCommandLine;
  }

  // A picture needs no screen: without a platform chosen, it is made off
  // screen, the same on every machine.
  const bool platformGiven =
      std::any_of(arguments.begin(), arguments.end(), [](const auto &a) {
        return arrivals::IsQtOption(a, "platform");
      });
  if (line.options.screenshot &&
      qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !platformGiven)
    qputenv("QT_QPA_PLATFORM", "offscreen");

  const std::string noDisplay = arrivals::MissingDisplayMessage(
      arrivals::CurrentStartupEnvironment(argc, argv));
  if (!noDisplay.empty()) {
    std::fputs(noDisplay.c_str(), stderr);
    return 1;
  }

  arrivals::CatchStopSignals();
  g_previous = qInstallMessageHandler(HoldStartupMessage);
  QApplication app(argc, argv);
  ReleaseStartupMessages();
  QuitOnSignals(app);
  QApplication::setApplicationName(QStringLiteral("arrivals"));
  QGuiApplication::setDesktopFileName(QStringLiteral(ARRIVALS_APP_ID));

  const int status = arrivals::RunWindow(line.options);
  arrivals::DieOfStopSignal(); // every output flushed
  return status;
}
