#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include <QImage>

#include "app/command_line.h"
#include "model/random_source.h"

namespace arrivals {

// The window's generator when no script drives it: seeded with `seed` by
// Form_Load (given, or chosen from the clock), so that the same seed and
// the same actions at the same ticks give the same packets.
std::unique_ptr<RandomSource> MakeRandomSource(std::uint64_t seed);

class MainWindow;

// The window's client area as a picture at a device pixel ratio of 1,
// whatever the screen's: 844 x 645 pixels at zoom 1, 844 F x 645 F at
// zoom F (rounded to whole pixels, halves up).
QImage RenderWindow(MainWindow &window);

// Why the file of --record could not be written ("cannot write FILE:
// REASON"), or empty when it could; the file is not touched. main() asks
// before Qt starts, so that the answer needs no display; RunWindow does not
// ask again.
std::string RecordFileProblem(const LaunchOptions &options);

// Runs the window as `options` ask, inside a QApplication that exists:
// plays the script first, if any, then shows the window (and runs the event
// loop) or saves its picture. Returns the exit status.
int RunWindow(const LaunchOptions &options);

} // namespace arrivals
