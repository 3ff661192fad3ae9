#include "app/command_line.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

#include "script/script_text.h"

namespace arrivals {

namespace {

// Qt's own options, which QApplication takes out of the arguments. They are
// known here too, so that the command line is read before Qt starts and
// --help, --version and a bad option need no display.
constexpr const char *kQtValueOptions[] = {
    "platform",      "platformpluginpath",
    "platformtheme", "plugin",
    "qmljsdebugger", "qwindowgeometry",
    "qwindowicon",   "qwindowtitle",
    "session",       "display",
    "geometry",      "name",
    "title",         "style",
    "stylesheet"};
constexpr const char *kQtFlagOptions[] = {"reverse", "widgetcount", "nograb",
                                          "dograb", "sync"};

CommandLine failure(QString why) {
  CommandLine line;
  line.action = CommandLine::Action::Error;
  line.error = std::move(why);
  return line;
}

} // namespace

QString UsageText() {
  return QStringLiteral(
      "Usage: arrivals [--seed N] [--script FILE [--screenshot PNG]] "
      "[--record FILE] [Qt options]\n"
      "Packet arrival processes, shown as they happen.\n"
      "\n"
      "  --seed N          seed the generator with N (an unsigned 64-bit\n"
      "                    decimal) instead of the clock\n"
      "  --script FILE     play the form script FILE (- for standard input)\n"
      "                    before the window opens; dumps go to standard\n"
      "                    output\n"
      "  --screenshot PNG  with --script: save the window as PNG after the\n"
      "                    script and exit\n"
      "  --record FILE     write the session to FILE as a script that plays\n"
      "                    it back\n"
      "  -h, --help        show this help and exit\n"
      "  --version         show the version and exit\n"
      "\n"
      "Qt's own options, such as -platform offscreen or -style fusion, are\n"
      "accepted too.\n");
}

QString VersionText() {
  return QStringLiteral("arrivals " ARRIVALS_VERSION "\n");
}

CommandLine ParseCommandLine(const QStringList &arguments) {
  QCommandLineParser parser;
  // "-platform" is one option, as Qt reads it, not "-p -l -a ...".
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const QCommandLineOption help(
      QStringList{QStringLiteral("h"), QStringLiteral("help")});
  const QCommandLineOption version(QStringLiteral("version"));
  const QCommandLineOption seed(QStringLiteral("seed"), QString(),
                                QStringLiteral("N"));
  const QCommandLineOption script(QStringLiteral("script"), QString(),
                                  QStringLiteral("FILE"));
  const QCommandLineOption screenshot(QStringLiteral("screenshot"), QString(),
                                      QStringLiteral("PNG"));
  const QCommandLineOption record(QStringLiteral("record"), QString(),
                                  QStringLiteral("FILE"));
  parser.addOptions({help, version, seed, script, screenshot, record});
  for (const char *name : kQtValueOptions)
    parser.addOption(QCommandLineOption(QString::fromLatin1(name), QString(),
                                        QStringLiteral("value")));
  for (const char *name : kQtFlagOptions)
    parser.addOption(QCommandLineOption(QString::fromLatin1(name)));

  if (!parser.parse(arguments)) {
    // Name an unknown option as it was written, dashes and all.
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty())
      for (const QString &a : arguments.mid(1)) {
        QString name = a.section(QLatin1Char('='), 0, 0);
        while (name.startsWith(QLatin1Char('-')))
          name.remove(0, 1);
        if (name == unknown.constFirst())
          return failure(QStringLiteral("unknown option '%1'")
                             .arg(a.section(QLatin1Char('='), 0, 0)));
      }
    return failure(parser.errorText());
  }
  if (!parser.positionalArguments().isEmpty())
    return failure(QStringLiteral("unexpected argument '%1'")
                       .arg(parser.positionalArguments().constFirst()));

  CommandLine line;
  if (parser.isSet(help)) {
    line.action = CommandLine::Action::Help;
    return line;
  }
  if (parser.isSet(version)) {
    line.action = CommandLine::Action::Version;
    return line;
  }
  for (const auto *once : {&seed, &script, &screenshot, &record})
    if (parser.values(*once).size() > 1)
      return failure(QStringLiteral("--%1 given more than once")
                         .arg(once->names().constFirst()));
  if (parser.isSet(seed)) {
    const QString text = parser.value(seed);
    line.options.seed = ParseUnsigned(text.toStdString());
    if (!line.options.seed)
      return failure(
          QStringLiteral("--seed: '%1' is not an unsigned 64-bit decimal")
              .arg(text));
  }
  if (parser.isSet(script)) {
    if (parser.value(script).isEmpty())
      return failure(QStringLiteral("--script: empty file name"));
    line.options.script = parser.value(script);
  }
  if (parser.isSet(screenshot)) {
    if (!line.options.script)
      return failure(QStringLiteral("--screenshot needs --script"));
    if (parser.value(screenshot).isEmpty())
      return failure(QStringLiteral("--screenshot: empty file name"));
    line.options.screenshot = parser.value(screenshot);
  }
  if (parser.isSet(record)) {
    if (parser.value(record).isEmpty())
      return failure(QStringLiteral("--record: empty file name"));
    line.options.record = parser.value(record);
  }
  return line;
}

} // namespace arrivals
