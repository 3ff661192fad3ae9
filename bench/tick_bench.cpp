// The steady-state tick at 4 packets per second with markers in flight,
// through the headless main form as the window drives it; and ten simulated
// hours in one go. The form is the only window port
// in this program, as in the real one, so that the optimiser sees what the
// window port calls reach.

#include <benchmark/benchmark.h>

#include "model/random_source.h"
#include "ui/form.h"

namespace arrivals::bench {
namespace {

constexpr int kWarmUpTicks = 400; // 20 s: markers in flight, windows rolling

int InFlight(const MainForm &form) {
  int n = 0;
  for (const Shape &m : form.controls().sPacket)
    n += m.visible ? 1 : 0;
  return n;
}

void FormTick(benchmark::State &state) {
  MersenneSource random;
  MainForm form(random);
  form.Form_Load();
  random.Seed(1); // the load seeded from the clock; make runs repeatable
  form.UserEditsData("4");
  form.btnStart_Click();
  for (int i = 0; i < kWarmUpTicks; ++i)
    form.TimerEvent();
  for (auto _ : state) {
    form.TimerEvent();
    benchmark::DoNotOptimize(form.state().countdownMs);
  }
  state.counters["in_flight"] = InFlight(form);
  state.counters["packets"] = form.state().packetCount;
}
BENCHMARK(FormTick);

// Start-up, the last item of the rate list (4.0 per second), Start and
// 720000 ticks: ten simulated hours, the run that arrivals-script is timed
// on ("seed 1 / load / pick rate 8 / click start / tick 720000 / dump")
// without the script's parsing and dump.
void FormTenHours(benchmark::State &state) {
  for (auto _ : state) {
    MersenneSource random;
    MainForm form(random);
    form.Form_Load();
    random.Seed(1);
    if (!form.UserPicksData(8))
      state.SkipWithError("the rate list has no item 8");
    form.btnStart_Click();
    for (int i = 0; i < 720000; ++i)
      form.TimerEvent();
    benchmark::DoNotOptimize(form.state().packetCount);
  }
}
BENCHMARK(FormTenHours)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace arrivals::bench

BENCHMARK_MAIN();
