// Runs every window test class in one program, off screen, in the Fusion
// style at device pixel ratio 1: input goes through real key and mouse
// events, and what shows is checked on the grabbed window. Arguments go to
// each class as to any Qt Test program.

#include <memory>
#include <vector>

#include <QApplication>
#include <QStyleFactory>
#include <QTest>

#include "tests/window/window_suites.h"

int main(int argc, char **argv) {
  QApplication app(argc, argv);
  app.setAttribute(Qt::AA_Use96Dpi, true);
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  QApplication::setCursorFlashTime(0);
  QApplication::setEffectEnabled(Qt::UI_AnimateCombo, false);

  std::vector<std::unique_ptr<QObject>> suites;
  suites.push_back(arrivals::test::makeLayoutTest());
  suites.push_back(arrivals::test::makeInputTest());
  suites.push_back(arrivals::test::makePaintingTest());
  suites.push_back(arrivals::test::makeRepaintTest());
  int failed = 0;
  for (const auto &suite : suites)
    failed += QTest::qExec(suite.get(), argc, argv) != 0 ? 1 : 0;
  return failed;
}
