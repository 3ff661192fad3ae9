// The cost of one gap from each arrival process.

#include <benchmark/benchmark.h>

#include "model/random_source.h"
#include "model/simulation.h"
#include "plain_window.h"

namespace arrivals::bench {
namespace {

void NextInterArrival(benchmark::State &state, const char *name, double rate) {
  PlainWindow window;
  MersenneSource random(1);
  Simulation sim(window, random);
  sim.BuildCantorTable();
  const std::string process = name;
  for (auto _ : state) {
    benchmark::DoNotOptimize(sim.NextInterArrival(process, rate));
    // Keep the Cantor process inside its filled table.
    if (sim.state.cantorPos >= 16383)
      sim.state.cantorPos = 0;
  }
}

BENCHMARK_CAPTURE(NextInterArrival, Poisson, "Poisson", 4.0);
BENCHMARK_CAPTURE(NextInterArrival, Regular, "Regular", 4.0);
BENCHMARK_CAPTURE(NextInterArrival, Uniform, "Uniform", 4.0);
BENCHMARK_CAPTURE(NextInterArrival, Pareto_0_1, "Pareto 0.1", 4.0);
BENCHMARK_CAPTURE(NextInterArrival, Pareto_0_2, "Pareto 0.2", 4.0);
BENCHMARK_CAPTURE(NextInterArrival, Pareto_0_5, "Pareto 0.5", 4.0);
BENCHMARK_CAPTURE(NextInterArrival, Cantor, "Cantor", 4.0);
// A Pareto process at its scale takes the red-mark road.
BENCHMARK_CAPTURE(NextInterArrival, Pareto_0_5_at_scale, "Pareto 0.5", 2.0);

} // namespace
} // namespace arrivals::bench

BENCHMARK_MAIN();
