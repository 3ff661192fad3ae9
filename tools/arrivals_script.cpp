// arrivals-script: runs the main form without a window, driven by a script
// on standard input, and prints its state as JSON lines on standard output.

#include <iostream>
#include <string>
#include <vector>

#include "tools/script_tool.h"

int main(int argc, char **argv) {
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  return arrivals::RunScriptTool(args, std::cin, std::cout, std::cerr);
}
