// Runs every window test class in one program, off screen, in the Fusion
// style at device pixel ratio 1: input goes through real key and mouse
// events, and what shows is checked on the grabbed window. Arguments are
// those of any Qt Test program; a test function named on the command line
// runs in the class that has it, and the other classes are left out.

#include <memory>
#include <vector>

#include <QApplication>
#include <QByteArray>
#include <QMetaMethod>
#include <QStyleFactory>
#include <QTest>

#include "tests/window/window_suites.h"

namespace {

bool hasTestFunction(const QObject &suite, const char *arg) {
  QByteArray name(arg);
  const qsizetype tag = name.indexOf(':'); // "function:data tag"
  if (tag >= 0)
    name.truncate(tag);
  const QMetaObject *meta = suite.metaObject();
  for (int i = meta->methodOffset(); i < meta->methodCount(); ++i)
    if (meta->method(i).name() == name)
      return true;
  return false;
}

} // namespace

int main(int argc, char **argv) {
  QApplication app(argc, argv);
  app.setAttribute(Qt::AA_Use96Dpi, true);
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  QApplication::setCursorFlashTime(0);
  QApplication::setEffectEnabled(Qt::UI_AnimateCombo, false);

  std::vector<std::unique_ptr<QObject>> suites;
  suites.push_back(arrivals::test::makeLayoutTest());
  suites.push_back(arrivals::test::makeInputTest());
  suites.push_back(arrivals::test::makeBoxesTest());
  suites.push_back(arrivals::test::makePaintingTest());
  suites.push_back(arrivals::test::makeRepaintTest());

  // Test functions named on the command line, by the class that has them.
  const auto named = [&](const QObject &suite) {
    for (int i = 1; i < argc; ++i)
      if (hasTestFunction(suite, argv[i]))
        return true;
    return false;
  };
  bool anyNamed = false;
  for (const auto &suite : suites)
    anyNamed = anyNamed || named(*suite);

  int failed = 0;
  for (const auto &suite : suites) {
    if (anyNamed && !named(*suite))
      continue;
    // Leave out the functions of the other classes.
    std::vector<char *> args;
    for (int i = 0; i < argc; ++i)
      if (i == 0 || !anyNamed || argv[i][0] == '-' ||
          hasTestFunction(*suite, argv[i]))
        args.push_back(argv[i]);
    failed += QTest::qExec(suite.get(), static_cast<int>(args.size()),
                           args.data()) != 0
                  ? 1
                  : 0;
  }
  return failed;
}
