// Arrivals: packet arrival processes, shown as they happen.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QList>
#include <QSocketNotifier>

#include "app/command_line.h"
#include "app/launch.h"
#include "app/startup.h"

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

void holdStartupMessage(QtMsgType type, const QMessageLogContext &context,
                        const QString &message) {
  if (type == QtFatalMsg) {
    std::vector<std::string> earlier;
    for (const HeldMessage &held : g_held) {
      const QMessageLogContext heldContext(nullptr, 0, nullptr, held.category);
      earlier.push_back(
          qFormatLogMessage(held.type, heldContext, held.text).toStdString());
    }
    const std::string text = arrivals::fatalStartupMessage(
        earlier, qFormatLogMessage(type, context, message).toStdString());
    std::fputs(text.c_str(), stderr);
    std::_Exit(1);
  }
  g_held.append({type, context.category, message});
}

void releaseStartupMessages() {
  qInstallMessageHandler(g_previous);
  for (const HeldMessage &held : g_held)
    qt_message_output(held.type,
                      QMessageLogContext(nullptr, 0, nullptr, held.category),
                      held.text);
  g_held.clear();
}

// SIGTERM and SIGINT (a log-out, a Ctrl+C in the terminal) end the event
// loop like closing the window does. The handler only writes a byte; the
// event loop reads it and quits.
int g_signalPipe[2] = {-1, -1};

void onQuitSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const auto n = ::write(g_signalPipe[0], &byte, 1);
}

void quitOnSignals(QApplication &app) {
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0)
    return;
  auto *notifier =
      new QSocketNotifier(g_signalPipe[1], QSocketNotifier::Read, &app);
  QObject::connect(notifier, &QSocketNotifier::activated, &app,
                   [] { QCoreApplication::quit(); });
  struct sigaction action = {};
  action.sa_handler = onQuitSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGTERM, &action, nullptr);
  ::sigaction(SIGINT, &action, nullptr);
}

} // namespace

int main(int argc, char **argv) {
  // The command line is read before Qt starts, so that --help, --version and
  // a mistake need no display.
  QStringList arguments;
  for (int i = 0; i < argc; ++i)
    arguments << QString::fromLocal8Bit(argv[i]);
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
  if (const QString problem = arrivals::RecordFileProblem(line.options);
      !problem.isEmpty()) {
    std::fprintf(stderr, "arrivals: %s\n", qUtf8Printable(problem));
    return arrivals::kBadCommandLine;
  }

  // A picture needs no screen: without a platform chosen, it is made off
  // screen, the same on every machine.
  if (line.options.screenshot &&
      qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
      !arguments.contains(QStringLiteral("-platform")))
    qputenv("QT_QPA_PLATFORM", "offscreen");

  const std::string noDisplay = arrivals::missingDisplayMessage(
      arrivals::currentStartupEnvironment(argc, argv));
  if (!noDisplay.empty()) {
    std::fputs(noDisplay.c_str(), stderr);
    return 1;
  }

  g_previous = qInstallMessageHandler(holdStartupMessage);
  QApplication app(argc, argv);
  releaseStartupMessages();
  quitOnSignals(app);
  QApplication::setApplicationName(QStringLiteral("arrivals"));
  QGuiApplication::setDesktopFileName(QStringLiteral(ARRIVALS_APP_ID));

  return arrivals::RunWindow(line.options);
}
