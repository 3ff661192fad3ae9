// The seconds of "this run" in a recording: those closed since the last
// Start or change of process, whatever ran before.

#include <string>

#include <gtest/gtest.h>

#include "script/last_run.h"

namespace arrivals {
namespace {

struct Case {
  const char *script;
  std::size_t seconds; // 20 timer events of 50 ms to a second
  std::uint64_t firstMs;
};

TEST(last_run, keeps_the_seconds_since_the_last_start_or_change_of_process) {
  const Case cases[] = {
      {"seed 1\nload\nclick start\ntick 200\n", 10, 1000},
      // A Stop ends the run but keeps it; a later Start begins another.
      {"seed 1\nload\nclick start\ntick 200\nclick start\ntick 100\n", 10,
       1000},
      {"seed 1\nload\nclick start\ntick 200\nclick start\ntick 100\n"
       "click start\ntick 60\n",
       3, 11000}, // no program time passes while stopped
      // A new process, picked or typed, clears the run as the form does.
      {"seed 1\nload\nclick start\ntick 200\npick process 3\ntick 40\n", 2,
       11000},
      {"seed 1\nload\nclick start\ntick 200\ntype process Uniform\ntick 20\n",
       1, 11000},
      // A change of rate or view goes on with the same run.
      {"seed 1\nload\nclick start\ntick 100\npick rate 5\nclick view 1\n"
       "tick 100\n",
       10, 1000},
      {"seed 1\nload\n", 0, 0},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.script);
    LastRunReplay replay(c.script);
    while (replay.Step(7)) {
    }
    EXPECT_EQ(replay.status(), 0) << replay.message();
    EXPECT_EQ(replay.seconds().counts.size(), c.seconds);
    EXPECT_EQ(replay.seconds().firstMs, c.firstMs);
  }
}

TEST(last_run, reads_the_rows_of_a_seconds_trace) {
  RunSeconds run;
  EXPECT_TRUE(AddSecondsRow("time_ms,second,count_1s,count_3s,count_10s", run));
  EXPECT_TRUE(AddSecondsRow("3000,3,2,5,", run));
  EXPECT_TRUE(AddSecondsRow("4000,4,32767,,", run));
  EXPECT_FALSE(AddSecondsRow("5000,5", run));
  EXPECT_FALSE(AddSecondsRow("x,5,1,,", run));
  ASSERT_EQ(run.counts.size(), 2U);
  EXPECT_EQ(run.counts[1], 32767);
  EXPECT_EQ(run.firstMs, 3000U);
  EXPECT_EQ(run.lastMs, 4000U);
}

} // namespace
} // namespace arrivals
