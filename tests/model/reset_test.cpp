// ResetSimulation: what it empties and what it must leave alone.

#include <random>

#include <gtest/gtest.h>

#include "fakes.h"

namespace arrivals {
namespace {

using testing::FakeWindow;
using testing::Rig;
using testing::RunFields;
using testing::ScriptedDraws;

// Every run variable set to something other than its empty value.
void Scribble(RunState &s) {
  s.elapsedMs = 123456;
  s.countdownMs = 900;
  s.stopped = true;
  s.packetCount = 4321;
  s.lastRate = 2.5;
  s.cantorPos = 77;
  s.countSecond = 3;
  s.count3s = 9;
  s.count10s = 31;
  for (std::size_t k = 0; k < 8; ++k)
    s.histSecond[k] = static_cast<Integer>(k + 1);
  for (std::size_t k = 0; k < 14; ++k)
    s.histGap[k] = static_cast<Integer>(k + 2);
  for (std::size_t k = 0; k < 23; ++k) {
    s.series3s[k] = static_cast<Integer>(k + 3);
    s.series10s[k] = static_cast<Integer>(k + 4);
    s.hist3s[k] = static_cast<Integer>(k + 5);
  }
  for (std::size_t k = 0; k < 22; ++k)
    s.hist10s[k] = static_cast<Integer>(k + 6);
  s.skipGraphOne = true;
  s.skipGraphTwo = true;
  s.skipGraphThree = true;
  s.secondCount = 1234;
}

TEST(reset, empties_the_run_and_keeps_countdown_flags_rate_and_seconds) {
  Rig<> rig;
  Scribble(rig.state);
  const auto table = rig.state.cantorGaps;
  for (auto &m : rig.window.markers) {
    m.visible = true;
    m.left = 8000;
  }
  rig.window.serviced = " 4321";

  RunState expected{};
  expected.countdownMs = 900;
  expected.stopped = true;
  expected.lastPacket = 50;
  expected.packetStep = 250;
  expected.lastRate = 2.5;
  expected.skipGraphOne = true;
  expected.skipGraphTwo = true;
  expected.skipGraphThree = true;
  expected.secondCount = 1234;

  rig.sim.ResetSimulation();
  EXPECT_EQ(RunFields(rig.state), RunFields(expected));
  EXPECT_EQ(rig.state.cantorGaps, table);
  EXPECT_EQ(rig.window.serviced, "0"); // no blank before it
  EXPECT_EQ(rig.window.VisibleCount(), 0);
  EXPECT_EQ(rig.window.markers[50].left, 8000); // hidden where it stood
  EXPECT_EQ(rig.window.redraws, 0);
  EXPECT_EQ(rig.random.taken, 0);
}

TEST(reset, before_the_marker_count_is_set_hides_only_marker_zero) {
  FakeWindow window;
  ScriptedDraws random;
  Simulation sim(window, random);
  for (auto &m : window.markers)
    m.visible = true;
  sim.ResetSimulation();
  EXPECT_FALSE(window.markers[0].visible);
  EXPECT_EQ(window.VisibleCount(), 50);
  EXPECT_EQ(window.serviced, "0");
}

TEST(reset, a_pending_countdown_delays_the_first_arrival_of_the_next_run) {
  struct Case {
    Long countdown;
    int firstLaunchTick;
  };
  // A countdown of c ms goes negative on tick c / 50 + 1 (whole-number
  // division); the launch comes on the tick after that.
  const Case cases[] = {{900, 20}, {949, 20}, {950, 21},
                        {0, 2},    {-1, 1},   {-400, 1}};
  for (const Case &c : cases) {
    Rig<> rig("Regular", "1");
    rig.state.countdownMs = c.countdown;
    rig.state.packetCount = 5;
    rig.sim.ResetSimulation();
    EXPECT_EQ(rig.state.countdownMs, c.countdown);
    EXPECT_EQ(rig.TicksToLaunch(100), c.firstLaunchTick) << c.countdown;
    EXPECT_EQ(rig.state.packetCount, 1);
  }
}

// Seconds of 8 or more packets and gaps of 3500 ms or more are common at
// high and low rates; neither may ever reach the spare last elements.
TEST(reset, spare_histogram_elements_stay_zero) {
  Rig<MersenneSource> rig("Poisson", "10");
  rig.random.Seed(1);
  int busySeconds = 0;
  for (int t = 0; t < 4000; ++t) {
    const Integer count = rig.state.countSecond;
    rig.sim.tmrMain_Timer();
    if (rig.state.elapsedMs % 1000 == 0 && count >= 8)
      ++busySeconds;
    ASSERT_EQ(rig.state.histSecond[8], 0);
  }
  rig.window.data = "0.3";
  for (int t = 0; t < 40000; ++t) {
    rig.sim.tmrMain_Timer();
    ASSERT_EQ(rig.state.histGap[14], 0);
    ASSERT_EQ(rig.state.histSecond[8], 0);
  }
  EXPECT_GT(busySeconds, 50);
  // About a third of the gaps at 0.3 per second are beyond the last bin.
  int binned = 0;
  for (Integer n : rig.state.histGap)
    binned += n;
  EXPECT_LT(binned + 100, rig.state.packetCount);
}

} // namespace
} // namespace arrivals
