#pragma once

// Qt's own command-line options, which QApplication takes out of the
// arguments, known in this one place: the program reads its command line
// before Qt starts (so that --help, --version and a mistake need no
// display), and must let these pass. Qt reads each with one dash or two.

#include <string_view>

namespace arrivals {

// Options that take the next argument as their value.
inline constexpr std::string_view kQtValueOptions[] = {
    "platform",      "platformpluginpath",
    "platformtheme", "plugin",
    "qmljsdebugger", "qwindowgeometry",
    "qwindowicon",   "qwindowtitle",
    "session",       "display",
    "geometry",      "name",
    "title",         "style",
    "stylesheet"};

// Options that stand alone.
inline constexpr std::string_view kQtFlagOptions[] = {
    "reverse", "widgetcount", "nograb", "dograb", "sync"};

// Whether `argument` is Qt's option `name`, written "-name" or "--name".
constexpr bool IsQtOption(std::string_view argument, std::string_view name) {
  if (argument.starts_with("--"))
    argument.remove_prefix(2);
  else if (argument.starts_with("-"))
    argument.remove_prefix(1);
  else
    return false;
  return argument == name;
}

} // namespace arrivals
