// The steady-state tick at 4 packets per second with markers in flight, on
// the model alone with a plain-data window: the cost of the model's own
// work, apart from the form's.

#include <benchmark/benchmark.h>

#include "model/random_source.h"
#include "model/simulation.h"
#include "tests/support/fake_window.h"

namespace arrivals::bench {
namespace {

constexpr int kWarmUpTicks = 400; // 20 s: markers in flight, windows rolling

void ModelTick(benchmark::State &state) {
  testing::FakeWindow window;
  MersenneSource random(1);
  Simulation sim(window, random);
  sim.BuildCantorTable();
  sim.state.lastPacket = 50;
  sim.state.packetStep = 250;
  sim.ResetSimulation();
  sim.state.stopped = false;
  window.data = "4";
  for (int i = 0; i < kWarmUpTicks; ++i)
    sim.tmrMain_Timer();
  for (auto _ : state) {
    sim.tmrMain_Timer();
    benchmark::DoNotOptimize(sim.state.countdownMs);
  }
  state.counters["in_flight"] = window.VisibleCount();
  state.counters["packets"] = sim.state.packetCount;
}
BENCHMARK(ModelTick);

} // namespace
} // namespace arrivals::bench

BENCHMARK_MAIN();
