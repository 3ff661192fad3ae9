#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace arrivals {

// What the command line of arrivals-script asks for.
struct ScriptCommandLine {
  enum class Action { Run, Help, Version, Fail };
  Action action = Action::Run;
  std::optional<std::string> packets; // --packets FILE
  std::optional<std::string> seconds; // --seconds FILE
  std::string error; // with Fail: one line saying what is wrong
};

// Reads the arguments (without the program name) in order: --help and
// --version end the reading; the first argument that is wrong makes it
// Fail. An option's value is the next argument or follows "=" in the same
// one; an option given twice is refused, as `arrivals` refuses it.
ScriptCommandLine ParseScriptCommandLine(const std::vector<std::string> &args);

// The usage text, ending in a newline.
std::string_view ScriptUsage();
// "arrivals-script VERSION".
std::string ScriptVersion();

// The whole tool: reads the command line, opens the trace files (a file
// that cannot be opened, or that is the same file as another output or the
// script, fails with status 2 before any line runs and leaves every file as
// it was), plays the script read from descriptor `in` with the dumps on
// `out` and the messages on `err`, and makes sure every trace row reached
// its file. Returns the exit status, or kScriptStopped when a stop signal
// came (the caller then dies of it: DieOfStopSignal).
int RunScriptTool(const std::vector<std::string> &args, int in, int out,
                  int err);

} // namespace arrivals
