#pragma once

#include <iosfwd>
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
// one; a later --packets or --seconds replaces an earlier one.
ScriptCommandLine ParseScriptCommandLine(const std::vector<std::string> &args);

// The usage text, ending in a newline.
std::string_view ScriptUsage();
// "arrivals-script VERSION".
std::string ScriptVersion();

// The whole tool: reads the command line, opens the trace files (a file
// that cannot be opened fails with status 2 before any line runs), plays
// the script from `in` and makes sure every trace row reached its file.
// Returns the exit status.
int RunScriptTool(const std::vector<std::string> &args, std::istream &in,
                  std::ostream &out, std::ostream &err);

} // namespace arrivals
