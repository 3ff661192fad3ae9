// arrivals-script: runs the main form without a window, driven by a script
// on standard input, and prints its state as JSON lines on standard output.

#include <iostream>

#include "tools/script_runner.h"

int main() {
  std::ios::sync_with_stdio(false);
  return arrivals::RunScript(std::cin, std::cout, std::cerr);
}
