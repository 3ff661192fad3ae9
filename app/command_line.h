#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <QString>
#include <QStringList>

namespace arrivals {

// What the command line of `arrivals` asks for.
struct LaunchOptions {
  // Seeds the generator with this instead of the clock.
  std::optional<std::uint64_t> seed;
  // A form script to play before the window opens; "-" is standard input.
  // File names are the argument's bytes, whatever the locale.
  std::optional<std::string> script;
  // With a script: save the window as this PNG after it and exit.
  std::optional<std::string> screenshot;
  // The form drawn at this many times its size (0.5 to 4).
  double zoom = 1;
  // Record the session as a script in this file.
  std::optional<std::string> record;
};

struct CommandLine {
  enum class Action { Run, Help, Version, Error };
  Action action = Action::Run;
  LaunchOptions options;
  QString error; // one line, for Action::Error
};

// Reads the arguments (the program's name first) as the bytes main() gets.
// Qt's own options (-platform, -style, -display, ..., with one dash or two)
// are accepted and left to Qt. A message quotes an argument escaped, as
// messages quote script words.
CommandLine ParseCommandLine(const std::vector<std::string> &arguments);

// The usage text, as --help prints it.
QString UsageText();

// "arrivals VERSION"
QString VersionText();

// Exit status of a command line that cannot be run.
inline constexpr int kBadCommandLine = 2;

} // namespace arrivals
