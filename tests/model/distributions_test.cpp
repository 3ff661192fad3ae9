// The arrival processes against the distributions they are meant to have,
// from the program's own generator with one fixed seed, and the Cantor gaps
// against their closed form.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fakes.h"
#include "model/numbers.h"
#include "tests/support/row_name.h"

namespace arrivals {
namespace {

using testing::Rig;

// The one seed of these tests. It was fixed before the tests were written
// and is not to be changed to make a test pass.
constexpr std::uint64_t kSeed = 1;
constexpr int kSamples = 20000;

// Kolmogorov–Smirnov distance between whole-number samples and a
// continuous distribution function F of the gap before rounding. A sample k
// stands for the gaps in [k - 0.5, k + 0.5), so the reference distribution
// of the rounded gap is G(k) = F(k + 0.5); the largest gap a Long holds
// stands for every longer one. The empirical and the reference functions
// are both steps at whole numbers, so the distance is taken at each sample
// value and just below the next one.
double KsDistance(std::vector<Long> xs,
                  const std::function<double(double)> &F) {
  std::sort(xs.begin(), xs.end());
  const auto G = [&](std::int64_t k) {
    return k >= kLongMax ? 1.0 : F(static_cast<double>(k) + 0.5);
  };
  const double n = static_cast<double>(xs.size());
  double d = G(std::int64_t{xs.front()} - 1);
  std::size_t i = 0;
  while (i < xs.size()) {
    std::size_t j = i;
    while (j < xs.size() && xs[j] == xs[i])
      ++j;
    const double empirical = static_cast<double>(j) / n;
    d = std::max(d, std::abs(empirical - G(xs[i])));
    if (j < xs.size())
      d = std::max(d, std::abs(empirical - G(std::int64_t{xs[j]} - 1)));
    i = j;
  }
  return d;
}

// The distance that a sample of n from the right distribution exceeds with
// probability 1 in 10000 (asymptotic two-sided bound, conservative for
// whole-number samples).
double KsLimit(int n) {
  return std::sqrt(std::log(2 / 1e-4) / 2) / std::sqrt(static_cast<double>(n));
}

struct DistributionCase {
  const char *name;
  double rate;
  std::function<double(double)> F;
  const char *about;
};

void PrintTo(const DistributionCase &c, std::ostream *os) {
  *os << '"' << c.name << "\" at " << c.rate << " (" << c.about << ')';
}

// Exponential with mean m, drawn from u < 0.99999 only.
std::function<double(double)> Exponential(double m) {
  return [m](double x) {
    if (x <= 0)
      return 0.0;
    return std::min(1.0, -std::expm1(-x / m) / 0.99999);
  };
}

std::function<double(double)> UniformUpTo(double top) {
  return [top](double x) { return std::clamp(x / top, 0.0, 1.0); };
}

// The Pareto process with scale s and mean m: for m above the scale, the
// Pareto distribution with minimum s and shape a = m / (m - s); below it,
// s * u^(-1/a) on (0, s], so that P(x <= y) = (y / s)^(-a).
std::function<double(double)> ParetoGaps(double s, double rate) {
  const double m = 1000 / rate;
  const double a = m / (m - s);
  if (m > s)
    return [s, a](double x) { return x < s ? 0.0 : 1 - std::pow(s / x, a); };
  return [s, a](double x) {
    if (x <= 0)
      return 0.0;
    return x >= s ? 1.0 : std::pow(x / s, -a);
  };
}

class distributions : public ::testing::TestWithParam<DistributionCase> {};

TEST_P(distributions, gaps_follow_the_distribution_function) {
  const DistributionCase &c = GetParam();
  Rig<MersenneSource> rig;
  rig.random.Seed(kSeed);
  std::vector<Long> gaps;
  gaps.reserve(kSamples);
  for (int i = 0; i < kSamples; ++i)
    gaps.push_back(rig.sim.NextInterArrival(c.name, c.rate));
  EXPECT_LT(KsDistance(gaps, c.F), KsLimit(kSamples));
  EXPECT_EQ(rig.window.experimentColor, kBlack);
}

INSTANTIATE_TEST_SUITE_P(
    arrival_processes, distributions,
    ::testing::Values(
        DistributionCase{"Poisson", 0.01, Exponential(100000), "mean 100 s"},
        DistributionCase{"Poisson", 4, Exponential(250), "mean 250 ms"},
        DistributionCase{"Poisson", 10, Exponential(100), "mean 100 ms"},
        DistributionCase{"Uniform", 0.01, UniformUpTo(200000), "0 to 200 s"},
        DistributionCase{"Uniform", 4, UniformUpTo(500), "0 to 500 ms"},
        // Above the scale: heavy tails, shapes 1.01 to 4.
        DistributionCase{"Pareto 0.1", 0.1, ParetoGaps(100, 0.1), "shape 1.01"},
        DistributionCase{"Pareto 0.1", 1, ParetoGaps(100, 1), "shape 1.11"},
        DistributionCase{"Pareto 0.1", 4, ParetoGaps(100, 4), "shape 1.67"},
        DistributionCase{"Pareto 0.2", 2, ParetoGaps(200, 2), "shape 1.67"},
        DistributionCase{"Pareto 0.2", 4.5, ParetoGaps(200, 4.5), "shape 10"},
        DistributionCase{"Pareto 0.5", 0.5, ParetoGaps(500, 0.5), "shape 1.33"},
        DistributionCase{"Pareto 0.5", 1.5, ParetoGaps(500, 1.5), "shape 4"},
        // Below the scale: bounded by it.
        DistributionCase{"Pareto 0.5", 4, ParetoGaps(500, 4), "uniform"},
        DistributionCase{"Pareto 0.5", 3, ParetoGaps(500, 3), "(x/s)^2"},
        DistributionCase{"Pareto 0.5", 10, ParetoGaps(500, 10), "(x/s)^0.25"},
        DistributionCase{"Pareto 0.2", 8, ParetoGaps(200, 8), "(x/s)^1.67"},
        DistributionCase{"Pareto 0.1", 12, ParetoGaps(100, 12), "(x/s)^5"}),
    [](const ::testing::TestParamInfo<DistributionCase> &row) {
      return testing::RowName(row.index, ::testing::PrintToString(row.param));
    });

// The check itself must tell a wrong distribution apart: the Pareto gaps
// read as if their shape were the exponent, and exponential gaps of the
// wrong mean, are far outside the limit.
TEST(arrival_processes, distribution_check_rejects_a_wrong_distribution) {
  Rig<MersenneSource> rig;
  rig.random.Seed(kSeed);
  std::vector<Long> pareto, poisson;
  for (int i = 0; i < kSamples; ++i) {
    pareto.push_back(rig.sim.NextInterArrival("Pareto 0.2", 2));
    poisson.push_back(rig.sim.NextInterArrival("Poisson", 4));
  }
  const double m = 500, s = 200;
  const double shape = m / (m - s);
  const auto wrongShape = [&](double x) {
    return x < s ? 0.0 : 1 - std::pow(s / x, 1 / shape);
  };
  EXPECT_GT(KsDistance(pareto, wrongShape), 10 * KsLimit(kSamples));
  EXPECT_GT(KsDistance(poisson, Exponential(300)), 2 * KsLimit(kSamples));
}

// Poisson and Uniform gaps have finite variance, so their means must come
// out close to 1000 / rate; so must Pareto gaps of shape above 2, and those
// below the scale, which are bounded.
TEST(arrival_processes, finite_variance_gaps_average_the_mean_gap) {
  struct Case {
    const char *name;
    double rate;
    double sd; // standard deviation of one gap
  };
  const Case cases[] = {
      {"Poisson", 1, 1000},
      {"Uniform", 1, 1000 / std::sqrt(3.0)},
      {"Pareto 0.2", 4.5, 24.9}, // shape 10
      {"Pareto 0.5", 4, 500 / std::sqrt(12.0)},
      {"Pareto 0.5", 3, 117.9}, // (x/s)^2 on (0, 500]
  };
  for (const Case &c : cases) {
    Rig<MersenneSource> rig;
    rig.random.Seed(kSeed);
    double sum = 0;
    for (int i = 0; i < kSamples; ++i)
      sum += rig.sim.NextInterArrival(c.name, c.rate);
    const double mean = sum / kSamples;
    // Five standard errors, plus the bias rounding may add.
    EXPECT_NEAR(mean, 1000 / c.rate, 5 * c.sd / std::sqrt(kSamples) + 0.5)
        << c.name << " at " << c.rate;
  }
}

// Twice the number whose base-2 digits are the base-3 digits of the result:
// the n-th positive whole number written with base-3 digits 0 and 2 only.
std::int64_t TernaryWithTwos(int n) {
  std::int64_t value = 0, place = 1;
  for (; n > 0; n /= 2, place *= 3)
    value += (n % 2) * 2 * place;
  return value;
}

// 3^v + 1, v the number of times 2 divides n.
std::int64_t CantorEntry(int n) {
  std::int64_t e = 2;
  for (std::int64_t p = 1; n % 2 == 0; n /= 2) {
    p *= 3;
    e = p + 1;
  }
  return e;
}

TEST(arrival_processes, cantor_gaps_follow_ternary_sums) {
  // Rates at which a tenth of the mean gap is a whole number of ms, so
  // every gap and every sum is exact.
  const struct {
    double rate;
    std::int64_t tenth; // m / 10
  } cases[] = {{1, 100}, {10, 10}, {0.5, 200}, {2.5, 40}, {4, 25}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.rate);
    Rig<> rig; // any draw fails the test
    std::int64_t sum = 0;
    for (int n = 1; n < 16384; ++n) {
      const Long gap = rig.sim.NextInterArrival("Cantor", c.rate);
      ASSERT_EQ(gap, CantorEntry(n) * c.tenth) << "gap " << n;
      sum += gap;
      ASSERT_EQ(sum, TernaryWithTwos(n) * c.tenth) << "after gap " << n;
    }
    EXPECT_EQ(sum, (4782969 - 1) * c.tenth); // (3^14 - 1) tenths of m
  }
}

TEST(arrival_processes, cantor_gaps_round_to_the_nearest_millisecond) {
  // At rate p / q the gap n is (3^v + 1) * 100 q / p ms, never a half for
  // these rates: rounded in whole numbers as floor((2 e 100 q + p) / 2p).
  const struct {
    std::int64_t p, q;
    const char *text;
  } cases[] = {{3, 1, "3"}, {7, 1, "7"}, {3, 2, "1.5"}, {9, 10, ".9"}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.text);
    Rig<> rig;
    const double rate = LeadingNumber(c.text);
    for (int n = 1; n < 16384; ++n) {
      const std::int64_t e = CantorEntry(n);
      const std::int64_t expected = (2 * e * 100 * c.q + c.p) / (2 * c.p);
      ASSERT_EQ(rig.sim.NextInterArrival("Cantor", rate), expected)
          << "gap " << n;
    }
  }
}

} // namespace
} // namespace arrivals
