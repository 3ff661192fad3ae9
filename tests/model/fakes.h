#pragma once

// A simulation on the plain-data window and scripted draws of
// tests/support, so that the model can be driven and observed without the
// form.

#include <string>
#include <tuple>
#include <type_traits>
#include <utility>

#include <gtest/gtest.h>

#include "model/run_state.h"
#include "model/simulation.h"
#include "model/types.h"
#include "tests/support/fake_window.h"
#include "tests/support/scripted_draws.h"

namespace arrivals::testing {

// A simulation after the program's start-up steps that concern the model:
// the Cantor table built, the run reset, 50 markers of 250-twip steps, and
// the run going (not stopped). Scripted draws must all be scripted: running
// dry fails the test, since the model took a draw that the test did not
// expect.
template <class Random = ScriptedDraws> struct Rig {
  FakeWindow window;
  Random random;
  Simulation sim{window, random};
  RunState &state = sim.state;

  explicit Rig(std::string process = "Poisson", std::string rate = " 2") {
    window.experiment = std::move(process);
    window.data = std::move(rate);
    if constexpr (std::is_same_v<Random, ScriptedDraws>)
      random.onRunDry = [](int draw) {
        ADD_FAILURE() << "the model took draw " << draw
                      << " but no more were scripted";
      };
    sim.BuildCantorTable();
    state.lastPacket = 50;
    state.packetStep = 250;
    sim.ResetSimulation();
    state.stopped = false;
  }
  Rig(const Rig &) = delete;
  Rig &operator=(const Rig &) = delete;

  void Ticks(int n) {
    for (int i = 0; i < n; ++i)
      sim.tmrMain_Timer();
  }
  // Runs ticks until a packet is launched; returns how many it took, or -1
  // if none came within `limit` ticks.
  int TicksToLaunch(int limit) {
    const Long before = state.packetCount;
    for (int i = 1; i <= limit; ++i) {
      sim.tmrMain_Timer();
      if (state.packetCount != before)
        return i;
    }
    return -1;
  }
};

// Every run variable but the Cantor table, for whole-state comparisons.
inline auto RunFields(const RunState &s) {
  return std::tie(s.elapsedMs, s.countdownMs, s.stopped, s.packetCount,
                  s.lastPacket, s.packetStep, s.lastRate, s.cantorPos,
                  s.countSecond, s.count3s, s.count10s, s.histSecond, s.histGap,
                  s.series3s, s.series10s, s.hist3s, s.hist10s, s.skipGraphOne,
                  s.skipGraphTwo, s.skipGraphThree, s.secondCount);
}

} // namespace arrivals::testing
