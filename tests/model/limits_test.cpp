// Each counter driven to its limit and past it: simulated time, the second
// counter, the tallies and histograms, the packet total, the gap bin, gaps
// too long for a Long and the end of the Cantor table. State is set near a
// limit directly so that a test takes no time.

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "fakes.h"
#include "model/numbers.h"

namespace arrivals {
namespace {

using testing::Rig;

TEST(limits, elapsed_time_steps_back_a_whole_number_of_seconds) {
  struct Case {
    Long before;
    Long after;
  };
  const Case cases[] = {
      {2147483597, 2147483647}, // reaches the limit: kept
      {2147483598, 648},        // would pass it: 2147483000 less
      {2147483600, 650},        {2147483647, 697}, {2147482950, 2147483000},
  };
  for (const Case &c : cases) {
    for (bool stopped : {false, true}) {
      Rig<> rig("Regular", "1");
      rig.state.stopped = stopped;
      rig.state.elapsedMs = c.before;
      rig.sim.tmrMain_Timer();
      EXPECT_EQ(rig.state.elapsedMs, c.after) << c.before;
    }
  }
}

TEST(limits, seconds_keep_their_cadence_across_the_time_limit) {
  Rig<> rig("Regular", "0");
  rig.state.elapsedMs = 2147482950;
  std::vector<int> rolledAt;
  for (int t = 1; t <= 100; ++t) {
    const Integer before = rig.state.secondCount;
    rig.sim.tmrMain_Timer();
    ASSERT_GE(rig.state.elapsedMs, 0);
    if (rig.state.secondCount != before)
      rolledAt.push_back(t);
  }
  EXPECT_EQ(rolledAt, (std::vector<int>{1, 21, 41, 61, 81}));
  EXPECT_EQ(rig.state.elapsedMs, 4950); // 2147482950 + 5000 - 2147483000
}

TEST(limits, the_second_counter_goes_on_at_eight_after_32767) {
  Rig<> rig;
  rig.state.secondCount = 32766;
  rig.sim.RollSecond();
  EXPECT_EQ(rig.state.secondCount, 32767);
  rig.sim.RollSecond();
  EXPECT_EQ(rig.state.secondCount, 8);
  rig.sim.RollSecond();
  EXPECT_EQ(rig.state.secondCount, 9);

  rig.state.stopped = true; // stopped calls count seconds too
  rig.state.secondCount = 32767;
  rig.sim.RollSecond();
  EXPECT_EQ(rig.state.secondCount, 8);
}

// Windows close and redraws come every 3rd and 10th call straight through
// the limit, as if the counter had gone on.
TEST(limits, windows_keep_their_cadence_across_the_second_limit) {
  Rig<> rig;
  const int start = 32700;
  rig.state.secondCount = static_cast<Integer>(start);
  for (int call = 1; call <= 300; ++call) {
    const int unbounded = start + call;
    rig.state.count3s = 1;
    rig.state.count10s = 1;
    const int hist3 = rig.state.hist3s[1];
    const int hist10 = rig.state.hist10s[0];
    const int redraws = rig.window.redraws;
    rig.sim.RollSecond();
    ASSERT_GT(rig.state.secondCount, 0);
    ASSERT_EQ(rig.state.hist3s[1] - hist3, unbounded % 3 == 0 ? 1 : 0)
        << "call " << call;
    ASSERT_EQ(rig.state.hist10s[0] - hist10, unbounded % 10 == 0 ? 1 : 0)
        << "call " << call;
    ASSERT_EQ(rig.window.redraws - redraws, unbounded % 3 == 1 ? 1 : 0)
        << "call " << call;
  }
}

TEST(limits, the_second_counter_wraps_in_a_real_run_of_ticks) {
  Rig<> rig("Regular", "0");
  rig.state.secondCount = 32760;
  rig.Ticks(20 * 20); // 20 seconds
  EXPECT_EQ(rig.state.secondCount, 8 + 12);
  EXPECT_EQ(rig.window.redraws, 7); // at 32761, 32764, 32767, 10, 13, 16, 19
}

TEST(limits, tallies_stop_at_32767) {
  const Integer starts[] = {32766, 32767};
  for (Integer start : starts) {
    Rig<> rig("Regular", "1");
    rig.state.countSecond = start;
    rig.state.count3s = start;
    rig.state.count10s = start;
    rig.state.countdownMs = -1;
    rig.sim.tmrMain_Timer();
    EXPECT_EQ(rig.state.packetCount, 1);
    EXPECT_EQ(rig.state.countSecond, 32767);
    EXPECT_EQ(rig.state.count3s, 32767);
    EXPECT_EQ(rig.state.count10s, 32767);
  }
}

TEST(limits, packet_count_stops_at_the_long_limit) {
  const Long starts[] = {2147483646, 2147483647};
  for (Long start : starts) {
    Rig<> rig("Regular", "1");
    rig.state.packetCount = start;
    rig.state.countdownMs = -1;
    rig.sim.tmrMain_Timer();
    EXPECT_EQ(rig.state.packetCount, 2147483647);
    EXPECT_EQ(rig.window.serviced, " 2147483647");
    EXPECT_EQ(rig.window.VisibleCount(), 1);
  }
}

TEST(limits, gap_bins_stop_at_32767) {
  struct Case {
    double draw; // Uniform at 0.1 per second: 20000 ms times the draw
    std::size_t bin;
  };
  const Case cases[] = {{0.0, 0}, {0.001, 0}, {0.0125, 1}, {0.17, 13}};
  for (const Case &c : cases) {
    for (Integer start : {Integer{32766}, Integer{32767}}) {
      Rig<> rig("Uniform", "0.1");
      rig.random.Push({c.draw});
      rig.state.histGap[c.bin] = start;
      rig.state.countdownMs = -1;
      rig.sim.tmrMain_Timer();
      EXPECT_EQ(rig.state.histGap[c.bin], 32767) << c.bin;
    }
  }
}

// With a process that never sends, the first bin fills on every tick; a
// run long enough to pass its limit.
TEST(limits, the_zero_gap_bin_fills_up_and_stays_full) {
  Rig<> rig("Pareto 0.5", "2");
  rig.random.queue.assign(33000, 0.5);
  rig.state.countdownMs = -1;
  rig.Ticks(33000);
  EXPECT_EQ(rig.state.histGap[0], 32767);
  EXPECT_EQ(rig.state.packetCount, 0);
  EXPECT_EQ(rig.window.experimentColor, kRed);
}

TEST(limits, histograms_of_windows_stop_at_32767) {
  struct Case {
    Integer secondCount; // before the call
    Integer count;
  };
  // Closes the second only; the 3-second window; the 10-second window.
  const Case cases[] = {{0, 5}, {2, 5}, {9, 5}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.secondCount);
    Rig<> rig;
    rig.state.secondCount = c.secondCount;
    rig.state.countSecond = c.count;
    rig.state.count3s = c.count;
    rig.state.count10s = c.count;
    rig.state.histSecond[5] = 32767;
    rig.state.hist3s[5] = 32767;
    rig.state.hist10s[2] = 32767;
    rig.sim.RollSecond();
    EXPECT_EQ(rig.state.histSecond[5], 32767);
    EXPECT_EQ(rig.state.hist3s[5], 32767);
    EXPECT_EQ(rig.state.hist10s[2], 32767);
    EXPECT_EQ(rig.state.countSecond, 0);
  }
}

// Gaps whose quarter-second bin does not fit 16 bits, or whose product
// with 4 does not fit 32 bits, must not wrap into a counted bin.
TEST(limits, long_gaps_are_launched_but_never_binned) {
  const Long gaps[] = {
      8192000,    // bin 32768
      16384000,   // bin 65536, 0 in 16 bits
      16385250,   // bin 65541, 5 in 16 bits
      536870912,  // 4 times it is 2^31
      1073741924, // 4 times it is 2^32 + 400
      1073745224, // 4 times it is 2^32 + 13600
      2147483000, 2147483647,
  };
  const double m = 1000 / LeadingNumber("1e-7");
  for (Long gap : gaps) {
    SCOPED_TRACE(gap);
    Rig<> rig("Uniform", "1e-7");
    rig.random.Push({gap / (m * 2)});
    rig.state.countdownMs = -1;
    rig.sim.tmrMain_Timer();
    ASSERT_EQ(rig.state.countdownMs, gap - 1 - 50);
    EXPECT_EQ(rig.state.packetCount, 1);
    for (Integer n : rig.state.histGap)
      EXPECT_EQ(n, 0);
  }
}

struct CapCase {
  const char *name;
  double rate;
  std::vector<double> draws;
  Long gap;
};

TEST(limits, gaps_that_do_not_fit_are_the_longest_long) {
  const double tiny = 1e-320; // its mean gap is infinite
  const CapCase cases[] = {
      // A draw of 0 with a positive exponent: an infinite gap.
      {"Pareto 0.1", 1, {0.0}, kLongMax},
      {"Pareto 0.2", 2, {0.0}, kLongMax},
      {"Pareto 0.5", 0.5, {0.0}, kLongMax},
      {"Pareto 0.5", 1, {4.9e-324}, kLongMax},
      {"Pareto 0.2", 0.01, {1e-300}, kLongMax},
      // Below the scale the exponent is negative: a draw of 0 gives 0.
      {"Pareto 0.5", 4, {0.0}, 0},
      {"Pareto 0.2", 8, {0.0}, 0},
      // An infinite mean gap, and the not-a-number it makes with 0.
      {"Regular", tiny, {}, kLongMax},
      {"Poisson", tiny, {0.5}, kLongMax},
      {"Poisson", tiny, {0.0}, kLongMax},
      {"Uniform", tiny, {0.5}, kLongMax},
      {"Uniform", tiny, {0.0}, kLongMax},
      {"Pareto 0.1", tiny, {0.5}, kLongMax},
      {"Pareto 0.5", tiny, {0.0}, kLongMax},
      {"Cantor", tiny, {}, kLongMax},
      // Finite but too long.
      {"Regular", 1e-7, {}, kLongMax},
      {"Regular", 4.6e-7, {}, kLongMax},
      {"Uniform", 1e-7, {0.5}, kLongMax},
      {"Poisson", 1e-6, {0.9}, kLongMax},
      // Long enough, and still fitting.
      {"Regular", 1e-6, {}, 1000000000},
      {"Regular", 4.7e-7, {}, 2127659574},
  };
  for (const CapCase &c : cases) {
    Rig<> rig;
    rig.random.queue.assign(c.draws.begin(), c.draws.end());
    EXPECT_EQ(rig.sim.NextInterArrival(c.name, c.rate), c.gap)
        << c.name << " at " << c.rate;
  }
}

TEST(limits, the_largest_cantor_gap_at_a_low_rate_is_the_longest_long) {
  Rig<> rig;
  rig.state.cantorPos = 8191; // the next entry is 3^13 + 1
  EXPECT_EQ(rig.sim.NextInterArrival("Cantor", 0.07), kLongMax);
  EXPECT_EQ(rig.sim.NextInterArrival("Cantor", 0.07), 2857); // entry 2
}

TEST(limits, an_endless_gap_is_launched_and_counted_down) {
  Rig<> rig("Regular", "1e-320");
  rig.state.countdownMs = -1;
  rig.sim.tmrMain_Timer();
  EXPECT_EQ(rig.state.packetCount, 1);
  EXPECT_EQ(rig.state.countdownMs, kLongMax - 1 - 50);
  rig.Ticks(100);
  EXPECT_EQ(rig.state.countdownMs, kLongMax - 1 - 50 * 101);
  EXPECT_EQ(rig.state.packetCount, 1);
}

TEST(limits, the_cantor_position_stops_at_20000) {
  Rig<> rig;
  rig.state.cantorPos = 19999;
  for (int call = 0; call < 5; ++call) {
    EXPECT_EQ(rig.sim.NextInterArrival("Cantor", 10), 0);
    EXPECT_EQ(rig.state.cantorPos, 20000);
  }
  rig.sim.ResetSimulation();
  EXPECT_EQ(rig.sim.NextInterArrival("Cantor", 10), 20);
}

TEST(limits, a_cantor_run_past_its_table_asks_every_tick_up_to_the_end) {
  Rig<> rig("Cantor", "10");
  rig.state.cantorPos = 19990;
  rig.state.countdownMs = -1;
  rig.Ticks(30);
  EXPECT_EQ(rig.state.cantorPos, 20000);
  EXPECT_EQ(rig.state.histGap[0], 30);
  EXPECT_EQ(rig.state.packetCount, 0);
}

TEST(limits, a_whole_cantor_run_walks_the_table_and_stops) {
  Rig<> rig;
  for (int call = 1; call <= 20100; ++call) {
    const Long gap = rig.sim.NextInterArrival("Cantor", 10);
    ASSERT_EQ(gap == 0, call >= 16384) << "call " << call;
    ASSERT_EQ(rig.state.cantorPos, std::min(call, 20000));
  }
}

} // namespace
} // namespace arrivals
