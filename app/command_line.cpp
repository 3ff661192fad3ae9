#include "app/command_line.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

#include "app/qt_options.h"
#include "arrivals_version.h"
#include "script/script_text.h"
#include "ui/zoom.h"

namespace arrivals {

namespace {

// The parser reads each argument as Latin-1, one character per byte, so
// that a file name comes back out byte for byte, whatever the locale.
QString Latin1(std::string_view bytes) {
  return QString::fromLatin1(bytes.data(),
                             static_cast<qsizetype>(bytes.size()));
}
std::string Bytes(const QString &latin1) {
  return latin1.toLatin1().toStdString();
}
// An argument quoted in a message, escaped as script words are.
QString Quoted(const QString &latin1) {
  return QString::fromStdString(QuotedExcerpt(Bytes(latin1)));
}

CommandLine Failure(QString why) {
  CommandLine line;
  line.action = CommandLine::Action::Error;
  line.error = std::move(why);
  return line;
}

} // namespace

QString UsageText() {
  return QStringLiteral(
      "Usage: arrivals [--seed N] [--script FILE [--screenshot PNG]] "
      "[--zoom F]\n"
      "                [--record FILE] [Qt options]\n"
      "Packet arrival processes, shown as they happen.\n"
      "\n"
      "  --seed N          seed the generator with N (an unsigned 64-bit\n"
      "                    decimal) instead of the clock\n"
      "  --script FILE     play the form script FILE (- for standard input)\n"
      "                    before the window opens; dumps go to standard\n"
      "                    output\n"
      "  --screenshot PNG  with --script: save the window as PNG after the\n"
      "                    script and exit\n"
      "  --zoom F          draw the form at F times its size (a decimal from\n"
      "                    0.5 to 4); Ctrl++, Ctrl+- and Ctrl+0 change it\n"
      "                    while the window is open\n"
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

CommandLine ParseCommandLine(const std::vector<std::string> &arguments) {
  QStringList latin1;
  for (const std::string &argument : arguments)
    latin1 << Latin1(argument);
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
  const QCommandLineOption zoom(QStringLiteral("zoom"), QString(),
                                QStringLiteral("F"));
  const QCommandLineOption record(QStringLiteral("record"), QString(),
                                  QStringLiteral("FILE"));
  parser.addOptions({help, version, seed, script, screenshot, zoom, record});
  for (const std::string_view name : kQtValueOptions)
    parser.addOption(
        QCommandLineOption(Latin1(name), QString(), QStringLiteral("value")));
  for (const std::string_view name : kQtFlagOptions)
    parser.addOption(QCommandLineOption(Latin1(name)));

  if (!parser.parse(latin1)) {
    // Name an unknown option as it was written, dashes and all.
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty())
      for (const QString &a : latin1.mid(1)) {
        QString name = a.section(QLatin1Char('='), 0, 0);
        while (name.startsWith(QLatin1Char('-')))
          name.remove(0, 1);
        if (name == unknown.constFirst())
          return Failure(QStringLiteral("unknown option %1")
                             .arg(Quoted(a.section(QLatin1Char('='), 0, 0))));
      }
    return Failure(parser.errorText());
  }
  if (!parser.positionalArguments().isEmpty())
    return Failure(QStringLiteral("unexpected argument %1")
                       .arg(Quoted(parser.positionalArguments().constFirst())));

  CommandLine line;
  if (parser.isSet(help)) {
    line.action = CommandLine::Action::Help;
    return line;
  }
  if (parser.isSet(version)) {
    line.action = CommandLine::Action::Version;
    return line;
  }
  for (const auto *once : {&seed, &script, &screenshot, &zoom, &record})
    if (parser.values(*once).size() > 1)
      return Failure(QStringLiteral("--%1 given more than once")
                         .arg(once->names().constFirst()));
  if (parser.isSet(seed)) {
    const QString text = parser.value(seed);
    line.options.seed = ParseUnsigned(Bytes(text));
    if (!line.options.seed)
      return Failure(
          QStringLiteral("--seed: %1 is not an unsigned 64-bit decimal")
              .arg(Quoted(text)));
  }
  if (parser.isSet(script)) {
    if (parser.value(script).isEmpty())
      return Failure(QStringLiteral("--script: empty file name"));
    line.options.script = Bytes(parser.value(script));
  }
  if (parser.isSet(screenshot)) {
    if (!line.options.script)
      return Failure(QStringLiteral("--screenshot needs --script"));
    if (parser.value(screenshot).isEmpty())
      return Failure(QStringLiteral("--screenshot: empty file name"));
    line.options.screenshot = Bytes(parser.value(screenshot));
  }
  if (parser.isSet(zoom)) {
    const QString text = parser.value(zoom);
    const std::optional<double> f = ParseZoom(Bytes(text));
    if (!f)
      return Failure(QStringLiteral("--zoom: %1 is not a decimal from 0.5 to 4")
                         .arg(Quoted(text)));
    line.options.zoom = *f;
  }
  if (parser.isSet(record)) {
    if (parser.value(record).isEmpty())
      return Failure(QStringLiteral("--record: empty file name"));
    line.options.record = Bytes(parser.value(record));
  }
  return line;
}

} // namespace arrivals
