#pragma once

#include <cstdint>
#include <optional>

#include <QString>
#include <QStringList>

namespace arrivals {

// What the command line of `arrivals` asks for.
struct LaunchOptions {
  // Seeds the generator with this instead of the clock.
  std::optional<std::uint64_t> seed;
  // A form script to play before the window opens; "-" is standard input.
  std::optional<QString> script;
  // With a script: save the window as this PNG after it and exit.
  std::optional<QString> screenshot;
  // Record the session as a script in this file.
  std::optional<QString> record;
};

struct CommandLine {
  enum class Action { Run, Help, Version, Error };
  Action action = Action::Run;
  LaunchOptions options;
  QString error; // one line, for Action::Error
};

// Reads the arguments (the program's name first). Qt's own options
// (-platform, -style, -display, ...) are accepted and left to Qt.
CommandLine ParseCommandLine(const QStringList &arguments);

// The usage text, as --help prints it.
QString UsageText();

// "arrivals VERSION"
QString VersionText();

// Exit status of a command line that cannot be run.
inline constexpr int kBadCommandLine = 2;

} // namespace arrivals
