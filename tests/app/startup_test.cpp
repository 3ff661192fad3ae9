#include "app/startup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace arrivals {
namespace {

const std::string kNoDisplayStart = "arrivals: no display to open the window";
const std::string kCannotStart = "arrivals: the window could not start";

bool startsWith(const std::string &text, const std::string &prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

TEST(startup, a_platform_without_its_display_stops_before_qt) {
  struct Case {
    const char *platform, *display, *wayland;
    bool qtOptions, stops;
  };
  const Case cases[] = {
      {"", "", "", false, true},
      {"", ":0", "", false, false},
      {"", "", "wayland-0", false, false},
      {"xcb", "", "wayland-0", false, true},
      {"xcb", ":1", "", false, false},
      {"wayland", "", "", false, true},
      {"wayland;xcb", ":0", "", false, false}, // falls back to X
      {"offscreen", "", "", false, false},
      {"", "", "", true, false}, // -platform or -display: Qt decides
  };
  for (const Case &c : cases) {
    const std::string message =
        MissingDisplayMessage({c.platform, c.display, c.wayland, c.qtOptions});
    EXPECT_EQ(c.stops, startsWith(message, kNoDisplayStart))
        << "QT_QPA_PLATFORM='" << c.platform << "' DISPLAY='" << c.display
        << "' WAYLAND_DISPLAY='" << c.wayland << "': " << message;
    EXPECT_TRUE(c.stops || message.empty()) << message;
  }
}

TEST(startup, only_an_unreachable_display_hides_what_qt_said) {
  const std::string fatal =
      "This application failed to start because no Qt platform plugin could "
      "be initialized. Reinstalling the application may fix this problem.";
  struct Case {
    std::vector<std::string> earlier;
    std::string start; // empty: the hint, then Qt's own words
  };
  const Case cases[] = {
      {{"qt.qpa.xcb: could not connect to display :99"},
       "arrivals: cannot open the display :99 ("},
      {{"Failed to create wl_display (No such file or directory)",
        "qt.qpa.plugin: Could not load the Qt platform plugin \"wayland\""},
       kNoDisplayStart},
      {{"qt.qpa.plugin: Could not find the Qt platform plugin \"vnx\" in \"\""},
       ""},
      {{}, ""},
  };
  for (const Case &c : cases) {
    const std::string message = FatalStartupMessage(c.earlier, fatal);
    if (!c.start.empty()) {
      EXPECT_TRUE(startsWith(message, c.start)) << message;
      EXPECT_EQ(message.find('\n'), message.size() - 1) << "one line";
    } else {
      // The hint first, then every word of Qt's, in order, on lines of its own.
      EXPECT_TRUE(startsWith(message, kCannotStart)) << message;
      std::string expected;
      for (const std::string &line : c.earlier)
        expected += line + "\n";
      expected += fatal + "\n";
      EXPECT_EQ(message.substr(message.find('\n') + 1), expected);
    }
  }
}

} // namespace
} // namespace arrivals
