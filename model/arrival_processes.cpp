#include "model/arrival_processes.h"

#include <cmath>

#include "model/numbers.h"
#include "model/random_source.h"
#include "model/simulation.h"
#include "model/window_port.h"

namespace arrivals {

namespace {

constexpr double kMeanGapWithoutRate = 1000000; // ms, for a rate <= 0
constexpr double kPoissonRedraw = 0.99999;

// Whole milliseconds of a gap. A gap that is not a number below the largest
// Long (an infinite gap, or the NaN of an infinite mean) is the largest Long.
Long WholeGap(double x) {
  if (!(x < static_cast<double>(kLongMax) + 0.5))
    return kLongMax;
  return RoundToLong(x);
}

} // namespace

void Simulation::BuildCantorTable() {
  auto &gaps = state.cantorGaps;
  gaps[1] = 2;
  gaps[2] = 4;
  gaps[3] = 2;
  std::size_t filled = 3;
  std::size_t i = 4;
  int k = 2;
  while (filled < 10000) {
    gaps[i++] = RoundToLong(std::pow(3.0, k) + 1);
    ++k;
    for (std::size_t j = 1; j <= filled; ++j)
      gaps[i++] = gaps[j];
    filled = 2 * filled + 1;
  }
}

Long Simulation::NextInterArrival(const std::string &name, double rate) {
  const double m = rate > 0 ? 1000 / rate : kMeanGapWithoutRate;

  if (window_.ExperimentColor() == kRed)
    window_.SetExperimentColor(kBlack);

  const ArrivalProcess *process = FindArrivalProcess(name);
  if (process == nullptr)
    return 0;

  double x = 0;
  switch (process->rule) {
  case GapRule::Exponential: {
    double u = random_.Draw();
    while (u >= kPoissonRedraw)
      u = random_.Draw();
    x = -std::log(1 - u) * m;
    break;
  }
  case GapRule::Constant:
    x = m;
    break;
  case GapRule::Uniform:
    x = random_.Draw() * m * 2;
    break;
  case GapRule::Pareto: {
    const double s = process->scale;
    const double u = random_.Draw(); // drawn even when the scale equals m
    if (m == s) {
      // The shape m / (m - s) does not exist: mark the process name red.
      window_.SetExperimentColor(kRed);
      return 0;
    }
    const double alpha = m / (m - s);
    const double e = 1 / alpha;
    x = s / std::pow(u, e);
    break;
  }
  case GapRule::Cantor:
    // The table ends at index kCantorBound; past its filled part every entry
    // is 0.
    if (state.cantorPos >= kCantorBound)
      return 0;
    ++state.cantorPos;
    x = static_cast<double>(
            state.cantorGaps[static_cast<std::size_t>(state.cantorPos)]) *
        m / 10;
    break;
  }
  return WholeGap(x);
}

} // namespace arrivals
