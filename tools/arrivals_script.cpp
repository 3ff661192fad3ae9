// arrivals-script: runs the main form without a window, driven by a script
// on standard input, and prints its state as JSON lines on standard output.

#include <string>
#include <vector>

#include "script/stop_signal.h"
#include "tools/script_tool.h"

int main(int argc, char **argv) {
  arrivals::CatchStopSignals();
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  const int status = arrivals::RunScriptTool(args, 0, 1, 2);
  arrivals::DieOfStopSignal(); // with the outputs flushed
  return status;
}
