// RollSecond: closing the 1-, 3- and 10-second windows, the cut-offs of the
// histograms, the series and the redraw one second after a 3-second close.

#include <numeric>
#include <vector>

#include <gtest/gtest.h>

#include "fakes.h"

namespace arrivals {
namespace {

using testing::Rig;
using testing::RunFields;

template <std::size_t N> int Total(const std::array<Integer, N> &a) {
  return std::accumulate(a.begin(), a.end(), 0);
}

struct BinCase {
  Integer count;
  int element; // -1: the histogram is left unchanged
};

TEST(roll_up, a_second_enters_its_count_below_eight) {
  const BinCase cases[] = {{0, 0},  {1, 1},    {7, 7},     {8, -1},
                           {9, -1}, {100, -1}, {32767, -1}};
  for (const BinCase &c : cases) {
    SCOPED_TRACE(c.count);
    Rig<> rig;
    rig.state.secondCount = 1; // neither window closes at 2
    rig.state.countSecond = c.count;
    rig.sim.RollSecond();
    EXPECT_EQ(rig.state.countSecond, 0);
    EXPECT_EQ(Total(rig.state.histSecond), c.element < 0 ? 0 : 1);
    if (c.element >= 0) {
      EXPECT_EQ(rig.state.histSecond[static_cast<std::size_t>(c.element)], 1);
    }
    EXPECT_EQ(rig.state.histSecond[8], 0);
  }
}

TEST(roll_up, a_three_second_window_enters_its_count_below_twenty_three) {
  const BinCase cases[] = {{0, 0},   {1, 1},   {22, 22},
                           {23, -1}, {24, -1}, {32767, -1}};
  for (const BinCase &c : cases) {
    SCOPED_TRACE(c.count);
    Rig<> rig;
    for (std::size_t i = 0; i < 23; ++i)
      rig.state.series3s[i] = static_cast<Integer>(100 + i);
    rig.state.secondCount = 2;
    rig.state.count3s = c.count;
    rig.state.count10s = 5;
    rig.sim.RollSecond();
    EXPECT_EQ(rig.state.count3s, 0);
    EXPECT_EQ(rig.state.count10s, 5); // not a 10-second close
    for (std::size_t i = 0; i < 22; ++i)
      EXPECT_EQ(rig.state.series3s[i], 101 + static_cast<int>(i));
    EXPECT_EQ(rig.state.series3s[22], c.count); // taken in full
    EXPECT_EQ(Total(rig.state.hist3s), c.element < 0 ? 0 : 1);
    if (c.element >= 0) {
      EXPECT_EQ(rig.state.hist3s[static_cast<std::size_t>(c.element)], 1);
    }
    EXPECT_EQ(Total(rig.state.series10s), 0);
  }
}

TEST(roll_up, a_ten_second_window_enters_its_count_in_pairs_below_forty_four) {
  const BinCase cases[] = {{0, 0},   {1, 0},   {2, 1},     {3, 1},
                           {21, 10}, {42, 21}, {43, 21},   {44, -1},
                           {45, -1}, {46, -1}, {1000, -1}, {32767, -1}};
  for (const BinCase &c : cases) {
    SCOPED_TRACE(c.count);
    Rig<> rig;
    for (std::size_t i = 0; i < 23; ++i)
      rig.state.series10s[i] = static_cast<Integer>(200 + i);
    rig.state.secondCount = 9;
    rig.state.count10s = c.count;
    rig.state.count3s = 4;
    rig.sim.RollSecond();
    EXPECT_EQ(rig.state.count10s, 0);
    EXPECT_EQ(rig.state.count3s, 4); // not a 3-second close
    for (std::size_t i = 0; i < 22; ++i)
      EXPECT_EQ(rig.state.series10s[i], 201 + static_cast<int>(i));
    EXPECT_EQ(rig.state.series10s[22], c.count);
    EXPECT_EQ(Total(rig.state.hist10s), c.element < 0 ? 0 : 1);
    if (c.element >= 0) {
      EXPECT_EQ(rig.state.hist10s[static_cast<std::size_t>(c.element)], 1);
    }
    EXPECT_EQ(rig.state.hist10s[22], 0);
  }
}

TEST(roll_up, at_thirty_both_windows_close_and_the_redraw_follows_at_31) {
  Rig<> rig;
  rig.state.secondCount = 29;
  rig.state.count3s = 6;
  rig.state.count10s = 17;
  rig.sim.RollSecond();
  EXPECT_EQ(rig.state.secondCount, 30);
  EXPECT_EQ(rig.state.series3s[22], 6);
  EXPECT_EQ(rig.state.hist3s[6], 1);
  EXPECT_EQ(rig.state.series10s[22], 17);
  EXPECT_EQ(rig.state.hist10s[8], 1);
  EXPECT_EQ(rig.window.redraws, 0);
  rig.sim.RollSecond();
  EXPECT_EQ(rig.window.redraws, 1);
}

TEST(roll_up, the_redraw_comes_last_after_the_windows_are_closed) {
  Rig<> rig;
  rig.state.secondCount = 9; // the call at 10 closes 10 s and redraws
  rig.state.countSecond = 3;
  rig.state.count10s = 12;
  bool closedFirst = false;
  rig.window.onRedraw = [&] {
    closedFirst = rig.state.secondCount == 10 && rig.state.countSecond == 0 &&
                  rig.state.histSecond[3] == 1 && rig.state.count10s == 0 &&
                  rig.state.series10s[22] == 12 && rig.state.hist10s[6] == 1;
  };
  rig.sim.RollSecond();
  EXPECT_EQ(rig.window.redraws, 1);
  EXPECT_TRUE(closedFirst);
}

TEST(roll_up, a_stopped_call_only_counts_the_second) {
  const Integer before[] = {0, 2, 9, 29, 32000};
  for (Integer secondCount : before) {
    SCOPED_TRACE(secondCount);
    Rig<> rig;
    rig.state.stopped = true;
    rig.state.secondCount = secondCount;
    rig.state.countSecond = 3;
    rig.state.count3s = 7;
    rig.state.count10s = 20;
    rig.state.series3s[22] = 5;
    RunState expected = rig.state;
    rig.sim.RollSecond();
    ++expected.secondCount;
    EXPECT_EQ(RunFields(rig.state), RunFields(expected));
    EXPECT_EQ(rig.window.redraws, 0);
  }
}

TEST(roll_up, twenty_three_closes_push_every_older_count_out) {
  Rig<> rig;
  for (std::size_t i = 0; i < 23; ++i)
    rig.state.series3s[i] = 999;
  for (int close = 1; close <= 23; ++close) {
    rig.state.count3s = static_cast<Integer>(close);
    for (int s = 0; s < 3; ++s)
      rig.sim.RollSecond();
    if (close == 22) {
      EXPECT_EQ(rig.state.series3s[0], 999);
    }
  }
  for (std::size_t i = 0; i < 23; ++i)
    EXPECT_EQ(rig.state.series3s[i], static_cast<Integer>(i + 1)) << i;

  // 23 ten-second closes.
  Rig<> ten;
  for (std::size_t i = 0; i < 23; ++i)
    ten.state.series10s[i] = 999;
  for (int close = 1; close <= 23; ++close) {
    ten.state.count10s = static_cast<Integer>(40 + close);
    for (int s = 0; s < 10; ++s)
      ten.sim.RollSecond();
    if (close == 22) {
      EXPECT_EQ(ten.state.series10s[0], 999);
    }
  }
  for (std::size_t i = 0; i < 23; ++i)
    EXPECT_EQ(ten.state.series10s[i], static_cast<Integer>(41 + i)) << i;
}

struct Phase {
  std::vector<int> threeSecondCloses; // seconds of the run
  std::vector<int> tenSecondCloses;
  std::vector<int> redraws;
};

// Runs `seconds` whole seconds of ticks and notes at which second of the
// run each window closed and each redraw came.
Phase Observe(Rig<> &rig, int seconds) {
  Phase p;
  int second = 0;
  rig.window.onRedraw = [&] { p.redraws.push_back(second); };
  for (second = 1; second <= seconds; ++second) {
    const int h3 = Total(rig.state.hist3s);
    const int h10 = Total(rig.state.hist10s);
    rig.Ticks(20);
    if (Total(rig.state.hist3s) != h3)
      p.threeSecondCloses.push_back(second);
    if (Total(rig.state.hist10s) != h10)
      p.tenSecondCloses.push_back(second);
  }
  rig.window.onRedraw = nullptr;
  return p;
}

TEST(roll_up, the_first_run_closes_at_three_ten_and_redraws_at_one) {
  Rig<> rig("Regular", "0");
  const Phase p = Observe(rig, 30);
  EXPECT_EQ(p.threeSecondCloses,
            (std::vector<int>{3, 6, 9, 12, 15, 18, 21, 24, 27, 30}));
  EXPECT_EQ(p.tenSecondCloses, (std::vector<int>{10, 20, 30}));
  EXPECT_EQ(p.redraws, (std::vector<int>{1, 4, 7, 10, 13, 16, 19, 22, 25, 28}));
}

TEST(roll_up, a_later_run_keeps_the_phase_of_the_seconds_already_rolled) {
  struct Case {
    int rolledBefore;
    int firstThree; // second of the new run at which each window first closes
    int firstTen;
    int firstRedraw;
  };
  const Case cases[] = {{0, 3, 10, 1}, {7, 2, 3, 3}, {1, 2, 9, 3},
                        {2, 1, 8, 2},  {9, 3, 1, 1}, {30, 3, 10, 1},
                        {31, 2, 9, 3}, {35, 1, 5, 2}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.rolledBefore);
    Rig<> rig("Regular", "0");
    rig.state.stopped = true; // seconds tick by without a run
    rig.Ticks(20 * c.rolledBefore);
    ASSERT_EQ(rig.state.secondCount, c.rolledBefore);
    rig.sim.ResetSimulation();
    rig.state.stopped = false;
    const Phase p = Observe(rig, 12);
    ASSERT_FALSE(p.threeSecondCloses.empty());
    ASSERT_FALSE(p.tenSecondCloses.empty());
    ASSERT_FALSE(p.redraws.empty());
    EXPECT_EQ(p.threeSecondCloses.front(), c.firstThree);
    EXPECT_EQ(p.tenSecondCloses.front(), c.firstTen);
    EXPECT_EQ(p.redraws.front(), c.firstRedraw);
  }
}

} // namespace
} // namespace arrivals
