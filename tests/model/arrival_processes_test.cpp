// NextInterArrival for each process with scripted draws, the red mark of a
// Pareto process that cannot run, and the Cantor table.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fakes.h"
#include "tests/support/row_name.h"

namespace arrivals {
namespace {

using testing::Rig;

struct GapCase {
  const char *name;
  double rate;
  std::vector<double> draws; // all of them must be taken
  Long gap;
};

void PrintTo(const GapCase &c, std::ostream *os) {
  *os << '"' << c.name << "\" at " << c.rate << ", draws";
  for (double u : c.draws)
    *os << ' ' << u;
  *os << " gives " << c.gap;
}

class gaps : public ::testing::TestWithParam<GapCase> {};

TEST_P(gaps, follow_the_process_formula) {
  const GapCase &c = GetParam();
  Rig<> rig;
  rig.random.queue.assign(c.draws.begin(), c.draws.end());
  EXPECT_EQ(rig.sim.NextInterArrival(c.name, c.rate), c.gap);
  EXPECT_EQ(rig.random.taken, static_cast<int>(c.draws.size()));
  EXPECT_EQ(rig.window.experimentColor, kBlack);
}

const double kLastDraw = std::nextafter(1.0, 0.0);

INSTANTIATE_TEST_SUITE_P(
    arrival_processes, gaps,
    ::testing::Values(
        // Rate 0, and a negative rate like it: the mean gap is 1000000 ms.
        GapCase{"Regular", 0, {}, 1000000}, GapCase{"Regular", -3, {}, 1000000},
        GapCase{"Uniform", 0, {0.5}, 1000000}, GapCase{"Uniform", 0, {0.0}, 0},
        GapCase{"Uniform", 0, {kLastDraw}, 2000000},
        GapCase{"Uniform", -0.5, {0.25}, 500000},
        GapCase{"Poisson", 0, {0.5}, 693147},
        // Rate 10.
        GapCase{"Regular", 10, {}, 100}, GapCase{"Poisson", 10, {0.0}, 0},
        GapCase{"Poisson", 10, {std::nextafter(0.99999, 0.0)}, 1151},
        GapCase{"Pareto 0.2", 10, {0.5}, 100}, // 200 * u
        // Rate 2: Pareto 0.1 has shape 1.25.
        GapCase{"Pareto 0.1", 2, {0.5}, 174},
        // Pareto 0.5 at rate 4 is 500 * u, at rate 1 500 / sqrt(u).
        GapCase{"Pareto 0.5", 4, {0.5}, 250},
        GapCase{"Pareto 0.5", 1, {0.25}, 1000},
        GapCase{"Pareto 0.5", 1, {0.999999}, 500}, // never below the scale
        GapCase{"Pareto 0.2", 8, {0.5}, 132},      // 200 * u^0.6
        GapCase{"Pareto 0.5", 2.5, {0.5}, 420},    // 500 * u^0.25
        // Halves go to the even neighbour.
        GapCase{"Regular", 3.2, {}, 312}, GapCase{"Regular", 1.5, {}, 667},
        GapCase{"Regular", 3, {}, 333}, GapCase{"Regular", 8, {}, 125},
        // Uniform at 0.1 packets per second: 0 to 20000 inclusive.
        GapCase{"Uniform", 0.1, {0.5}, 10000},
        GapCase{"Uniform", 0.1, {0.0}, 0},
        GapCase{"Uniform", 0.1, {kLastDraw}, 20000},
        // One packet per second, a draw of one half.
        GapCase{"Poisson", 1, {0.5}, 693},
        GapCase{"Pareto 0.1", 1, {0.5}, 187}, // 186.6
        // Poisson draws again at and above 0.99999.
        GapCase{"Poisson", 1, {0.99999, 0.999995, kLastDraw, 0.5}, 693}),
    [](const ::testing::TestParamInfo<GapCase> &row) {
      std::ostringstream about;
      about << row.param.name << " at " << row.param.rate;
      return testing::RowName(row.index, about.str());
    });

struct RedCase {
  const char *name;
  double rate;
};

TEST(arrival_processes, pareto_at_its_scale_marks_the_name_red_and_sends_none) {
  const RedCase cases[] = {
      {"Pareto 0.1", 10}, {"Pareto 0.2", 5}, {"Pareto 0.5", 2}};
  for (const RedCase &c : cases) {
    SCOPED_TRACE(c.name);
    Rig<> rig;
    rig.random.Push({0.5, 0.5});
    // The draw is taken although it is not used.
    EXPECT_EQ(rig.sim.NextInterArrival(c.name, c.rate), 0);
    EXPECT_EQ(rig.random.taken, 1);
    EXPECT_EQ(rig.window.experimentColor, kRed);
    // Every call clears the mark first and sets it again.
    EXPECT_EQ(rig.sim.NextInterArrival(c.name, c.rate), 0);
    EXPECT_EQ(rig.window.experimentColor, kRed);
    EXPECT_EQ(rig.random.taken, 2);
  }
}

TEST(arrival_processes, next_call_clears_the_red_mark) {
  Rig<> rig;
  rig.random.Push({0.5, 0.5});
  EXPECT_EQ(rig.sim.NextInterArrival("Pareto 0.5", 2), 0);
  ASSERT_EQ(rig.window.experimentColor, kRed);
  EXPECT_EQ(rig.sim.NextInterArrival("Pareto 0.5", 2.5), 420);
  EXPECT_EQ(rig.window.experimentColor, kBlack);

  // Any process clears it, the Cantor process and unknown names included.
  const char *others[] = {"Regular", "Cantor", "cantor", ""};
  for (const char *name : others) {
    rig.window.experimentColor = kRed;
    rig.sim.NextInterArrival(name, 1);
    EXPECT_EQ(rig.window.experimentColor, kBlack) << '"' << name << '"';
  }
}

TEST(arrival_processes, colour_reset_touches_only_red) {
  const Long colours[] = {0,      254,        256,         0x0000FF00,
                          0xFF00, 0x00FFFFFF, -2147483640, 0x000100FF};
  for (Long colour : colours) {
    Rig<> rig;
    rig.window.experimentColor = colour;
    EXPECT_EQ(rig.sim.NextInterArrival("Regular", 1), 1000);
    EXPECT_EQ(rig.window.experimentColor, colour);
  }
}

TEST(arrival_processes, unknown_names_give_no_packet_and_take_no_draw) {
  const char *names[] = {"poisson",    "REGULAR",     "cantor",
                         "Pareto 0.3", "Pareto 0.10", "Pareto  0.1",
                         "Pareto",     " Regular",    "Regular ",
                         "",           "Uniform\n",   "Poisson\t"};
  for (const char *name : names) {
    Rig<> rig;
    rig.state.cantorPos = 5;
    rig.window.experimentColor = kRed;
    EXPECT_EQ(rig.sim.NextInterArrival(name, 2), 0) << '"' << name << '"';
    EXPECT_EQ(rig.random.taken, 0) << '"' << name << '"';
    EXPECT_EQ(rig.state.cantorPos, 5) << '"' << name << '"';
    EXPECT_EQ(rig.window.experimentColor, kBlack) << '"' << name << '"';
  }
}

TEST(arrival_processes, only_cantor_moves_the_cantor_position) {
  const char *names[] = {"Poisson",    "Regular",    "Uniform",
                         "Pareto 0.1", "Pareto 0.2", "Pareto 0.5"};
  for (const char *name : names) {
    Rig<> rig;
    rig.random.Push({0.5});
    rig.sim.NextInterArrival(name, 1);
    EXPECT_EQ(rig.state.cantorPos, 0) << name;
  }
}

TEST(arrival_processes, cantor_at_three_per_second_starts_over_after_a_reset) {
  Rig<> rig;
  const Long first[] = {67, 133, 67, 333, 67, 133, 67, 933};
  for (Long gap : first)
    EXPECT_EQ(rig.sim.NextInterArrival("Cantor", 3), gap);
  EXPECT_EQ(rig.state.cantorPos, 8);
  rig.sim.ResetSimulation();
  EXPECT_EQ(rig.state.cantorPos, 0);
  EXPECT_EQ(rig.sim.NextInterArrival("Cantor", 3), 67);
  EXPECT_EQ(rig.random.taken, 0);
}

TEST(arrival_processes, cantor_at_rate_zero_starts_with_two_hundred_seconds) {
  const double rates[] = {0, -1, -1e300};
  for (double rate : rates) {
    Rig<> rig;
    EXPECT_EQ(rig.sim.NextInterArrival("Cantor", rate), 200000) << rate;
    EXPECT_EQ(rig.sim.NextInterArrival("Cantor", rate), 400000) << rate;
  }
}

TEST(arrival_processes, cantor_runs_dry_after_the_filled_table) {
  Rig<> rig;
  rig.state.cantorPos = 16382;
  EXPECT_EQ(rig.sim.NextInterArrival("Cantor", 3), 67); // entry 2^14 - 1 is 2
  EXPECT_EQ(rig.state.cantorPos, 16383);
  for (int call = 16384; call <= 20000; ++call) {
    ASSERT_EQ(rig.sim.NextInterArrival("Cantor", 3), 0) << "call " << call;
    ASSERT_EQ(rig.state.cantorPos, call);
  }
}

// The number of times 2 divides n.
int TwoAdicOrder(int n) {
  int v = 0;
  for (; n % 2 == 0; n /= 2)
    ++v;
  return v;
}

TEST(arrival_processes, cantor_table_holds_powers_of_three) {
  Rig<> rig;
  const auto &table = rig.state.cantorGaps;
  const Long firstSixteen[] = {2, 4, 2, 10, 2, 4, 2, 28,
                               2, 4, 2, 10, 2, 4, 2, 82};
  for (int n = 1; n <= 16; ++n)
    EXPECT_EQ(table[static_cast<std::size_t>(n)], firstSixteen[n - 1]) << n;

  EXPECT_EQ(table[0], 0);
  Long largest = 0;
  for (int n = 1; n < 16384; ++n) {
    const auto entry = table[static_cast<std::size_t>(n)];
    const double closed = std::pow(3.0, TwoAdicOrder(n)) + 1;
    ASSERT_EQ(entry, static_cast<Long>(closed)) << "entry " << n;
    largest = std::max(largest, entry);
  }
  EXPECT_EQ(largest, 1594324); // 3^13 + 1, at 2^13
  EXPECT_EQ(table[8192], 1594324);
  for (std::size_t n = 16384; n <= 20000; ++n)
    ASSERT_EQ(table[n], 0) << "entry " << n;
}

TEST(arrival_processes, cantor_table_prefixes_add_up_to_powers_of_three) {
  Rig<> rig;
  std::int64_t sum = 0;
  std::int64_t power = 1; // 3^k
  for (int n = 1; n < 16384; ++n) {
    sum += rig.state.cantorGaps[static_cast<std::size_t>(n)];
    if (((n + 1) & n) == 0) { // n = 2^k - 1
      power *= 3;
      EXPECT_EQ(sum, power - 1) << "first " << n << " entries";
    }
  }
  EXPECT_EQ(sum, 4782968); // 3^14 - 1
}

} // namespace
} // namespace arrivals
