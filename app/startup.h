#pragma once

// What the program says when its window cannot start. Qt's own answer to a
// missing display is an abort with a page of text, and its answer to a
// missing platform plugin looks much the same; these functions tell the
// cases apart from the environment and from what Qt said, without Qt.

#include <string>
#include <string_view>
#include <vector>

namespace arrivals {

// What the program starts in: the variables that choose the platform and the
// display, and whether the command line leaves that to Qt.
struct StartupEnvironment {
  std::string platform;       // QT_QPA_PLATFORM
  std::string display;        // DISPLAY
  std::string waylandDisplay; // WAYLAND_DISPLAY
  bool qtOptions = false;     // -platform or -display (or --) among them
};

// Reads the environment and the arguments of main().
StartupEnvironment CurrentStartupEnvironment(int argc, char **argv);

// Before Qt starts: the line to print, exiting with a non-zero status, when
// the platform Qt is about to use has no display to show the window on;
// empty when it has one, or when Qt's own options decide.
std::string MissingDisplayMessage(const StartupEnvironment &environment);

// A fatal Qt message while the application starts: what to print before
// exiting with a non-zero status. `earlier` holds what Qt said before it
// during the start-up (formatted as Qt prints it), `fatal` the fatal text.
std::string FatalStartupMessage(const std::vector<std::string> &earlier,
                                std::string_view fatal);

} // namespace arrivals
