// One timer event: simulated time, the arrival clock, the gap histogram,
// launching markers and moving them.

#include <numeric>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fakes.h"

namespace arrivals {
namespace {

using testing::FakeMarker;
using testing::Rig;
using testing::RunFields;

constexpr const char *kOutOfMarkers = "Silly Error: Ran Out of Data Packets";

int HistGapTotal(const RunState &s) {
  return std::accumulate(s.histGap.begin(), s.histGap.end(), 0);
}

TEST(tick, rolls_a_second_whenever_elapsed_time_reaches_a_whole_second) {
  struct Case {
    Long interval;
    int ticksPerSecond;
  };
  const Case cases[] = {{50, 20}, {100, 10}, {250, 4}, {40, 25}, {1000, 1}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.interval);
    Rig<> rig("Regular", "0");
    rig.window.interval = c.interval;
    std::vector<int> rolledAt;
    for (int t = 1; t <= 3 * c.ticksPerSecond; ++t) {
      const Integer before = rig.state.secondCount;
      rig.sim.tmrMain_Timer();
      EXPECT_EQ(rig.state.elapsedMs, t * c.interval);
      if (rig.state.secondCount != before)
        rolledAt.push_back(t);
    }
    const std::vector<int> expected = {c.ticksPerSecond, 2 * c.ticksPerSecond,
                                       3 * c.ticksPerSecond};
    EXPECT_EQ(rolledAt, expected);
  }
}

TEST(tick, first_tick_after_creation_launches_nothing) {
  Rig<> rig("Regular", " 2");
  rig.sim.tmrMain_Timer();
  EXPECT_EQ(rig.state.packetCount, 0);
  EXPECT_EQ(rig.state.countdownMs, -50);
  EXPECT_EQ(rig.window.VisibleCount(), 0);
  EXPECT_EQ(rig.window.serviced, "0");
  rig.sim.tmrMain_Timer();
  EXPECT_EQ(rig.state.packetCount, 1);
  EXPECT_EQ(rig.state.countdownMs, 500 - 50 - 50);
  EXPECT_EQ(rig.window.serviced, " 1");
}

TEST(tick, launch_times_follow_the_sum_of_the_gaps) {
  // Regular at 4 per second: a 250 ms gap is five ticks, so once the first
  // packet is out every fifth tick launches one.
  Rig<> rig("Regular", "4");
  std::vector<int> launchedAt;
  for (int t = 1; t <= 40; ++t) {
    const Long before = rig.state.packetCount;
    rig.sim.tmrMain_Timer();
    if (rig.state.packetCount != before)
      launchedAt.push_back(t);
    ASSERT_GE(rig.state.countdownMs, -50);
  }
  const std::vector<int> expected = {2, 7, 12, 17, 22, 27, 32, 37};
  EXPECT_EQ(launchedAt, expected);
}

TEST(tick, a_gap_of_zero_is_binned_and_changes_nothing_else) {
  Rig<> rig("Uniform", " 2");
  rig.random.Push({0.0, 0.0, 0.5});
  rig.sim.tmrMain_Timer(); // the countdown goes negative
  ASSERT_EQ(rig.state.countdownMs, -50);

  for (int repeat = 1; repeat <= 2; ++repeat) {
    RunState expected = rig.state;
    const auto markers = rig.window.markers;
    rig.sim.tmrMain_Timer();
    expected.elapsedMs += 50;
    ++expected.histGap[0];
    EXPECT_EQ(RunFields(rig.state), RunFields(expected));
    EXPECT_EQ(rig.window.serviced, "0");
    EXPECT_TRUE(rig.window.markers == markers);
    EXPECT_EQ(rig.random.taken, repeat); // asked again each tick
  }
  rig.sim.tmrMain_Timer(); // 0.5 gives 500 ms
  EXPECT_EQ(rig.state.packetCount, 1);
  EXPECT_EQ(rig.state.histGap[2], 1);
  EXPECT_EQ(rig.state.countdownMs, 500 - 50 - 50);
}

TEST(tick, markers_in_flight_move_on_a_tick_whose_gap_is_zero) {
  // Each process asks for a gap on every tick and gets 0.
  struct Case {
    const char *process;
    const char *rate;
    int draws; // taken by the one call
    Integer cantorPos;
  };
  const Case cases[] = {
      {"Pareto 0.5", "2.0", 1, 0}, // the scale equals the mean gap
      {"Pareto 0.1", "10", 1, 0},
      {"Pare", "2.0", 0, 0},       // a name half typed
      {"Cantor", "2.0", 0, 20000}, // past the end of the table
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.process);
    Rig<> rig(c.process, c.rate);
    rig.state.cantorPos = c.cantorPos;
    rig.state.countdownMs = -50; // an arrival is due
    rig.window.markers[7] = {true, 5000, kPacketTrackTop, kRed};
    for (int d = 0; d < c.draws; ++d)
      rig.random.Push({0.5});
    rig.sim.tmrMain_Timer();
    EXPECT_EQ(rig.random.taken, c.draws);
    EXPECT_EQ(rig.state.packetCount, 0);
    EXPECT_EQ(rig.window.markers[7].left, 5000 + 250);
    EXPECT_TRUE(rig.window.markers[7].visible);
  }
}

TEST(tick, gaps_fall_into_quarter_second_bins) {
  struct Case {
    Long gap;
    int bin; // -1: not binned
  };
  const Case cases[] = {{1, 0},     {249, 0},   {250, 1},   {499, 1},
                        {500, 2},   {1000, 4},  {3249, 12}, {3250, 13},
                        {3499, 13}, {3500, -1}, {3749, -1}, {3750, -1},
                        {8000, -1}, {19999, -1}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.gap);
    // Uniform at 0.1 per second: the gap is 20000 times the draw.
    Rig<> rig("Uniform", "0.1");
    rig.random.Push({c.gap / 20000.0});
    rig.state.countdownMs = -1;
    rig.sim.tmrMain_Timer();
    ASSERT_EQ(rig.state.countdownMs, c.gap - 1 - 50);
    EXPECT_EQ(rig.state.packetCount, 1); // launched and counted either way
    EXPECT_EQ(rig.state.countSecond, 1);
    EXPECT_EQ(HistGapTotal(rig.state), c.bin < 0 ? 0 : 1);
    if (c.bin >= 0) {
      EXPECT_EQ(rig.state.histGap[static_cast<std::size_t>(c.bin)], 1);
    }
  }
}

TEST(tick, the_rate_text_is_read_as_its_leading_number_at_each_launch) {
  struct Case {
    const char *text;
    Long gap;
  };
  const Case cases[] = {{" 2", 500},     {"4", 250},       {"3.2", 312},
                        {" .5", 2000},   {"abc", 1000000}, {"", 1000000},
                        {"-5", 1000000}, {"10 pps", 100},  {"1e1", 100}};
  Rig<> rig("Regular", "");
  for (const Case &c : cases) {
    rig.window.data = c.text;
    rig.state.countdownMs = -1;
    const Long before = rig.state.packetCount;
    rig.sim.tmrMain_Timer();
    EXPECT_EQ(rig.state.packetCount, before + 1) << '"' << c.text << '"';
    EXPECT_EQ(rig.state.countdownMs, c.gap - 1 - 50) << '"' << c.text << '"';
  }
}

TEST(tick, short_gaps_launch_one_packet_every_tick) {
  // Uniform at 10 per second with draws of 0.1: 20 ms gaps, shorter than
  // the 50 ms tick, so the clock falls 30 ms further behind with each one.
  Rig<> rig("Uniform", "10");
  rig.random.queue.assign(400, 0.1);
  rig.sim.tmrMain_Timer();
  ASSERT_EQ(rig.state.countdownMs, -50);
  std::vector<bool> used(51, false);
  for (int t = 2; t <= 400; ++t) {
    const Long countdown = rig.state.countdownMs;
    rig.sim.tmrMain_Timer();
    ASSERT_EQ(rig.state.packetCount, t - 1);
    ASSERT_EQ(rig.state.countdownMs, countdown - 30);
    ASSERT_EQ(rig.window.serviced, " " + std::to_string(t - 1));
    ASSERT_LE(rig.window.VisibleCount(), 34);
    for (std::size_t i = 0; i < used.size(); ++i)
      used[i] = used[i] || rig.window.markers[i].visible;
  }
  EXPECT_TRUE(rig.window.messages.empty());
  // 34 markers in flight at each search, so markers 0 to 34 take turns.
  for (std::size_t i = 0; i < used.size(); ++i)
    EXPECT_EQ(used[i], i <= 34) << "marker " << i;
}

TEST(tick, a_marker_is_shown_first_one_step_past_the_source) {
  Rig<> rig("Regular", "0.1"); // one launch, the next 10 s later
  for (FakeMarker &m : rig.window.markers) {
    m.top = 999;
    m.fill = 7;
    m.left = 1;
  }
  rig.Ticks(2);
  const FakeMarker &m = rig.window.markers[0];
  ASSERT_TRUE(m.visible);
  EXPECT_EQ(m.left, 3720 + 250);
  EXPECT_EQ(m.top, 60);
  EXPECT_EQ(m.fill, kRed);

  int ticksInView = 1;
  for (int move = 2; move <= 40; ++move) {
    rig.sim.tmrMain_Timer();
    if (m.visible) {
      ++ticksInView;
      EXPECT_EQ(m.left, static_cast<Single>(3720 + 250 * move));
    }
  }
  EXPECT_EQ(ticksInView, 34);
  EXPECT_EQ(m.left, 3720 + 34 * 250); // hidden where it stood
  EXPECT_EQ(rig.state.packetCount, 1);
  EXPECT_EQ(rig.window.VisibleCount(), 0);
}

TEST(tick, move_packets_hides_markers_at_the_right_hand_limit) {
  struct Case {
    bool visible;
    Single left;
    bool visibleAfter;
    Single leftAfter;
  };
  const Case cases[] = {
      {true, 12000, false, 12000},      {true, 12220, false, 12220},
      {true, 11999.5f, true, 12249.5f}, {true, 11750, true, 12000},
      {true, 3970, true, 4220},         {false, 5000, false, 5000},
      {true, -300, true, -50},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.left);
    Rig<> rig;
    for (std::size_t i : {std::size_t{0}, std::size_t{17}, std::size_t{50}}) {
      rig.window.markers[i].visible = c.visible;
      rig.window.markers[i].left = c.left;
    }
    rig.sim.MovePackets();
    for (std::size_t i : {std::size_t{0}, std::size_t{17}, std::size_t{50}}) {
      EXPECT_EQ(rig.window.markers[i].visible, c.visibleAfter) << i;
      EXPECT_EQ(rig.window.markers[i].left, c.leftAfter) << i;
    }
    EXPECT_EQ(rig.window.VisibleCount(), c.visibleAfter ? 3 : 0);
  }
}

TEST(tick, the_first_free_marker_is_taken) {
  Rig<> rig("Regular", "1");
  for (std::size_t i = 0; i < 50; ++i) {
    rig.window.markers[i].visible = i != 37;
    rig.window.markers[i].left = 5000;
  }
  rig.state.countdownMs = -1;
  rig.sim.tmrMain_Timer();
  EXPECT_TRUE(rig.window.messages.empty());
  EXPECT_EQ(rig.window.markers[37].left, 3970);
  EXPECT_EQ(rig.window.markers[0].left, 5250);
  EXPECT_FALSE(rig.window.markers[50].visible);
}

TEST(tick, running_out_of_markers_takes_marker_zero_back_after_the_box) {
  Rig<> rig("Regular", "1");
  for (std::size_t i = 0; i < 50; ++i) {
    rig.window.markers[i].visible = true;
    rig.window.markers[i].left = 5000;
    rig.window.markers[i].fill = 3;
  }
  Single leftDuringBox = 0;
  Long countDuringBox = -1;
  rig.window.onMessage = [&] {
    leftDuringBox = rig.window.markers[0].left;
    countDuringBox = rig.state.packetCount;
  };
  rig.state.countdownMs = -1;
  rig.sim.tmrMain_Timer();

  ASSERT_EQ(rig.window.messages, std::vector<std::string>{kOutOfMarkers});
  EXPECT_EQ(leftDuringBox, 5000);
  EXPECT_EQ(countDuringBox, 0);
  const FakeMarker &m = rig.window.markers[0];
  EXPECT_TRUE(m.visible);
  EXPECT_EQ(m.left, 3970);
  EXPECT_EQ(m.top, 60);
  EXPECT_EQ(m.fill, kRed);
  EXPECT_FALSE(rig.window.markers[50].visible); // never launched
  EXPECT_EQ(rig.state.packetCount, 1);          // counted all the same
  EXPECT_EQ(rig.state.countSecond, 1);
  EXPECT_EQ(rig.window.serviced, " 1");
}

TEST(tick, a_packet_launched_as_a_second_closes_counts_in_the_next) {
  Rig<> rig("Regular", "0.1");
  rig.state.countdownMs = 900; // due after 19 ticks, launched at the 20th
  rig.Ticks(19);
  ASSERT_EQ(rig.state.packetCount, 0);
  rig.sim.tmrMain_Timer();
  ASSERT_EQ(rig.state.elapsedMs, 1000);
  EXPECT_EQ(rig.state.packetCount, 1);
  EXPECT_EQ(rig.state.secondCount, 1);
  EXPECT_EQ(rig.state.histSecond[0], 1); // the closed second had none
  EXPECT_EQ(rig.state.countSecond, 1);
  EXPECT_EQ(rig.state.count3s, 1);
  EXPECT_EQ(rig.state.count10s, 1);
  rig.Ticks(20);
  EXPECT_EQ(rig.state.histSecond[0], 1);
  EXPECT_EQ(rig.state.histSecond[1], 1);
}

TEST(tick, a_stopped_run_only_moves_its_markers_and_time) {
  const Long countdowns[] = {120, 0, -30};
  for (Long countdown : countdowns) {
    SCOPED_TRACE(countdown);
    Rig<> rig("Uniform", "4");
    rig.random.Push({0.5, 0.5, 0.5});
    rig.Ticks(12); // launches at ticks 2, 7 and 12
    ASSERT_EQ(rig.window.VisibleCount(), 3);
    rig.state.countdownMs = countdown;
    rig.state.stopped = true;
    RunState expected = rig.state;
    const int redraws = rig.window.redraws;
    const std::string caption = rig.window.serviced;

    Single lastLeft = rig.window.markers[2].left;
    rig.sim.tmrMain_Timer();
    EXPECT_EQ(rig.window.markers[2].left, lastLeft + 250);
    rig.Ticks(39);

    expected.elapsedMs += 40 * 50;
    expected.secondCount = rig.state.secondCount;
    EXPECT_EQ(RunFields(rig.state), RunFields(expected));
    EXPECT_EQ(rig.state.secondCount, 2);
    EXPECT_EQ(rig.window.VisibleCount(), 0); // all finished their trip
    EXPECT_EQ(rig.random.taken, 3);
    EXPECT_EQ(rig.window.redraws, redraws);
    EXPECT_EQ(rig.window.serviced, caption);
  }
}

TEST(tick, a_later_run_launches_at_once_when_the_countdown_is_negative) {
  Rig<> rig("Regular", "1");
  rig.state.countdownMs = -10;
  EXPECT_EQ(rig.TicksToLaunch(1), 1);
  EXPECT_EQ(rig.state.countdownMs, 1000 - 10 - 50);
}

TEST(tick, the_process_name_is_read_at_each_launch) {
  Rig<> rig("Regular", "1");
  rig.state.countdownMs = -1;
  rig.sim.tmrMain_Timer();
  EXPECT_EQ(rig.state.countdownMs, 1000 - 1 - 50);
  rig.window.experiment = "Cantor";
  rig.state.countdownMs = -1;
  rig.sim.tmrMain_Timer();
  EXPECT_EQ(rig.state.countdownMs, 200 - 1 - 50);
  EXPECT_EQ(rig.state.cantorPos, 1);
}

} // namespace
} // namespace arrivals
