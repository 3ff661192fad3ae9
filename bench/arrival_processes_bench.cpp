// The cost of one gap from each arrival process.

#include <string>

#include <benchmark/benchmark.h>

#include "model/arrival_processes.h"
#include "model/random_source.h"
#include "model/simulation.h"
#include "tests/support/fake_window.h"

namespace arrivals::bench {
namespace {

void NextInterArrival(benchmark::State &state, std::string_view name,
                      double rate) {
  testing::FakeWindow window;
  MersenneSource random(1);
  Simulation sim(window, random);
  sim.BuildCantorTable();
  const std::string process(name);
  for (auto _ : state) {
    benchmark::DoNotOptimize(sim.NextInterArrival(process, rate));
    // Keep the Cantor process inside its filled table.
    if (sim.state.cantorPos >= 16383)
      sim.state.cantorPos = 0;
  }
}

} // namespace
} // namespace arrivals::bench

// Every process at 4 packets a second, and each Pareto process at its scale,
// where it takes the red-mark road.
int main(int argc, char **argv) {
  using arrivals::bench::NextInterArrival;
  for (const arrivals::ArrivalProcess &p : arrivals::kArrivalProcesses) {
    const std::string name = "NextInterArrival/" + std::string(p.name);
    benchmark::RegisterBenchmark(name.c_str(), NextInterArrival, p.name, 4.0);
    if (p.rule == arrivals::GapRule::Pareto)
      benchmark::RegisterBenchmark((name + "/at_scale").c_str(),
                                   NextInterArrival, p.name, 1000 / p.scale);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
