#include "app/startup.h"

#include "app/qt_options.h"

#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace arrivals {
namespace {

constexpr std::string_view kNoDisplay =
    "arrivals: no display to open the window on (DISPLAY and WAYLAND_DISPLAY "
    "are unset or unreachable); run it on a desktop, or under a virtual X "
    "server: xvfb-run -a arrivals\n";

constexpr std::string_view kCannotStart =
    "arrivals: the window could not start; Qt said:\n";

// What Qt 6 says (before its fatal message) when the display named by
// DISPLAY or WAYLAND_DISPLAY cannot be opened: nothing answers there, or the
// server refuses this program. Qt's words do not tell the two apart.
constexpr std::string_view kXcbUnreachable = "could not connect to display ";
constexpr std::string_view kWaylandUnreachable = "Failed to create wl_display";

std::string UnreachableDisplay(std::string_view display) {
  return "arrivals: cannot open the display " + std::string(display) +
         " (nothing answers there, or it refuses the connection); run it on "
         "a desktop, or under a virtual X server: xvfb-run -a arrivals\n";
}

std::string variable(const char *name) {
  const char *value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

bool HasDisplay(const StartupEnvironment &e) {
  const std::string_view platform = e.platform;
  const bool x11 = !e.display.empty();
  const bool wayland = !e.waylandDisplay.empty();
  if (platform.empty())
    return x11 || wayland;
  if (platform.starts_with("xcb"))
    return x11;
  if (platform.starts_with("wayland"))
    return wayland || x11; // "wayland;xcb" falls back to X
  return true; // offscreen, vnc, eglfs, ...: no display variable needed
}

} // namespace

StartupEnvironment CurrentStartupEnvironment(int argc, char **argv) {
  StartupEnvironment e{variable("QT_QPA_PLATFORM"), variable("DISPLAY"),
                       variable("WAYLAND_DISPLAY"), false};
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (IsQtOption(argument, "platform") || IsQtOption(argument, "display"))
      e.qtOptions = true;
  }
  return e;
}

std::string MissingDisplayMessage(const StartupEnvironment &environment) {
  if (environment.qtOptions || HasDisplay(environment))
    return {};
  return std::string(kNoDisplay);
}

std::string FatalStartupMessage(const std::vector<std::string> &earlier,
                                std::string_view fatal) {
  for (const std::string_view message : earlier) {
    if (const auto at = message.find(kXcbUnreachable);
        at != std::string_view::npos)
      return UnreachableDisplay(message.substr(at + kXcbUnreachable.size()));
    if (message.find(kWaylandUnreachable) != std::string_view::npos)
      return std::string(kNoDisplay);
  }

  std::string text(kCannotStart);
  for (const std::string &message : earlier)
    text.append(message).append("\n");
  text.append(fatal);
  if (!text.ends_with('\n'))
    text.append("\n");
  return text;
}

} // namespace arrivals
