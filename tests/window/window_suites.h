#pragma once

#include <memory>

#include <QObject>

// The window test classes, one per file, all run by window_main.cpp.
namespace arrivals::test {

std::unique_ptr<QObject> makeLayoutTest();
std::unique_ptr<QObject> makeInputTest();
std::unique_ptr<QObject> makeBoxesTest();
std::unique_ptr<QObject> makePaintingTest();
std::unique_ptr<QObject> makeRepaintTest();

} // namespace arrivals::test
