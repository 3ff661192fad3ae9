// The variance-time plot of a run's seconds: which block sizes are used,
// the exact variances, the fit, and the sentences that replace a fit.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/variance_time.h"

namespace arrivals {
namespace {

RunSeconds Repeat(std::vector<Integer> pattern, std::size_t seconds) {
  RunSeconds run;
  for (std::size_t i = 0; i < seconds; ++i)
    run.Add(1000 * (i + 1), pattern[i % pattern.size()]);
  return run;
}

// A period that no block size is a multiple of, so every size varies.
const std::vector<Integer> kEleven = {1, 4, 0, 2, 0, 0, 3, 1, 0, 0, 5};

struct Case {
  const char *name;
  RunSeconds run;
  std::size_t points;  // block sizes with at least 10 blocks
  const char *verdict; // "" when fitted
  std::size_t fitted;  // points with a variance above 0
};

TEST(variance_time, sizes_used_and_the_sentence_that_replaces_a_fit) {
  const Case cases[] = {
      {"empty", Repeat({0}, 0), 0, "too short: 0 seconds, at least 30 needed",
       0},
      {"29 s", Repeat({0, 3}, 29), 2,
       "too short: 29 seconds, at least 30 needed", 0},
      {"30 s", Repeat({0, 3, 1, 1, 5}, 30), 3, "", 3},
      {"flat", Repeat({2}, 1000), 18,
       "no variation: every second holds the same count", 0},
      // Pairs average out: only blocks of odd length vary.
      {"alternating", Repeat({0, 2}, 40), 4,
       "too little variation: fewer than 3 block sizes have block means that "
       "differ",
       2},
      {"one hour", Repeat(kEleven, 3600), 18, "", 18},
      {"ten at 100 s", Repeat(kEleven, 999), 17, "", 17},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    const VarianceTime plot = ComputeVarianceTime(c.run);
    EXPECT_EQ(plot.points.size(), c.points);
    EXPECT_EQ(plot.verdict, c.verdict);
    for (const VariancePoint &p : plot.points)
      EXPECT_GE(p.blocks, kVarianceMinBlocks);
    if (plot.hasFit()) {
      EXPECT_EQ(plot.fitted, c.fitted);
      EXPECT_NEAR(plot.hurst, 1 + plot.slope / 2, 1e-12);
    }
  }
}

// Counts 0, 3, 1 again and again: blocks of 3 all hold 4, so their variance
// is 0 and the fit passes over them, leaving too few; 1 s blocks vary by
// 14/9, 2 s blocks (sums 3, 1, 4) by 350/900.
TEST(variance_time, exact_variances_and_the_saved_text) {
  const VarianceTime plot = ComputeVarianceTime(Repeat({0, 3, 1}, 30));
  ASSERT_EQ(plot.points.size(), 3U);
  EXPECT_DOUBLE_EQ(plot.points[0].variance, 14.0 / 9);
  EXPECT_EQ(plot.points[2].variance, 0);
  EXPECT_EQ(plot.verdict, "too little variation: fewer than 3 block sizes "
                          "have block means that differ");
  EXPECT_EQ(VarianceTimeCsv(plot),
            "# 30 seconds, closed at time_ms 1000 to 30000\n"
            "block_s,blocks,variance\n"
            "1,30,1.55556\n"
            "2,15,0.388889\n"
            "3,10,0\n"
            "# too little variation: fewer than 3 block sizes have block "
            "means that differ\n");
}

// A stream whose block means vary as 1/m falls on Poisson's slope, -1.
TEST(variance_time, independent_seconds_give_h_near_one_half) {
  RunSeconds run;
  std::uint32_t x = 12345;
  for (int i = 0; i < 20000; ++i) {
    x = x * 1664525U + 1013904223U;
    run.Add(static_cast<std::uint64_t>(i) * 1000,
            static_cast<Integer>(x >> 29));
  }
  const VarianceTime plot = ComputeVarianceTime(run);
  ASSERT_TRUE(plot.hasFit());
  EXPECT_NEAR(plot.hurst, 0.5, 0.05);
  EXPECT_EQ(plot.fitFrom, 1);
  EXPECT_EQ(plot.fitTo, 100);
  EXPECT_EQ(ClockText(3600000), "1:00:00");
  EXPECT_EQ(ClockText(61999), "0:01:01");
}

} // namespace
} // namespace arrivals
