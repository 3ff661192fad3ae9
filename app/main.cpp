// Arrivals: packet arrival processes, shown as they happen.

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QList>
#include <QSocketNotifier>

#include "model/random_source.h"
#include "ui/form.h"
#include "ui/window/main_window.h"

namespace {

constexpr const char *kNoDisplay =
    "arrivals: no display to open the window on (DISPLAY and WAYLAND_DISPLAY "
    "are unset or unreachable); run it on a desktop, or under a virtual X "
    "server: xvfb-run -a arrivals\n";

bool isSet(const char *variable) {
  const char *v = std::getenv(variable);
  return v != nullptr && *v != '\0';
}

// Whether the platform Qt is about to use has something to show on. Qt's own
// answer to a missing display is an abort with a page of text.
bool displayExpected(int argc, char **argv) {
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "-platform") == 0 ||
        std::strcmp(argv[i], "-display") == 0)
      return true; // Qt's own options decide
  const char *platform = std::getenv("QT_QPA_PLATFORM");
  const bool x11 = isSet("DISPLAY");
  const bool wayland = isSet("WAYLAND_DISPLAY");
  if (platform == nullptr || *platform == '\0')
    return x11 || wayland;
  if (std::strncmp(platform, "xcb", 3) == 0)
    return x11;
  if (std::strncmp(platform, "wayland", 7) == 0)
    return wayland || x11; // "wayland;xcb" falls back to X
  return true; // offscreen, vnc, eglfs, ...: no display variable needed
}

// While the application starts, Qt's messages are held back: if the
// platform cannot start (a display that does not answer), one clear line
// replaces Qt's abort; otherwise they are passed on.
QtMessageHandler g_previous = nullptr;
QList<std::pair<QtMsgType, QString>> g_held;

void holdStartupMessage(QtMsgType type, const QMessageLogContext &,
                        const QString &message) {
  if (type == QtFatalMsg) {
    std::fputs(kNoDisplay, stderr);
    std::_Exit(1);
  }
  g_held.append({type, message});
}

void releaseStartupMessages() {
  qInstallMessageHandler(g_previous);
  for (const auto &[type, message] : g_held)
    qt_message_output(type, QMessageLogContext(), message);
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
  if (!displayExpected(argc, argv)) {
    std::fputs(kNoDisplay, stderr);
    return 1;
  }

  g_previous = qInstallMessageHandler(holdStartupMessage);
  QApplication app(argc, argv);
  releaseStartupMessages();
  quitOnSignals(app);
  QApplication::setApplicationName(QStringLiteral("arrivals"));
  QGuiApplication::setDesktopFileName(QStringLiteral(ARRIVALS_APP_ID));

  arrivals::MersenneSource random;
  arrivals::MainForm form(random);
  arrivals::MainWindow window(form); // runs Form_Load
  window.show();
  return QApplication::exec();
}
