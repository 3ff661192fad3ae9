// Plays a recording from standard input as the program's "Variance-time of
// this run..." does and prints the points as "Save points..." writes them,
// for comparison with docs/variance_time.py.

#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>

#include "script/last_run.h"

int main() {
  std::string script(std::istreambuf_iterator<char>(std::cin), {});
  arrivals::LastRunReplay replay(std::move(script));
  while (replay.Step()) {
  }
  if (replay.status() != 0) {
    std::fprintf(stderr, "%s\n", replay.message().c_str());
    return replay.status();
  }
  const std::string csv = arrivals::VarianceTimeCsv(
      arrivals::ComputeVarianceTime(replay.seconds()));
  std::fwrite(csv.data(), 1, csv.size(), stdout);
  return 0;
}
