#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/types.h"

namespace arrivals {

// The variance-time plot of one run: the packets of every second averaged
// over blocks of 1 to 100 seconds, and the least-squares line of
// log10(variance of the block means) against log10(block size). Its slope b
// gives the Hurst parameter H = 1 + b / 2: 0.5 for a stream with no memory,
// nearer 1 the burstier the stream stays as the blocks grow.

// Block sizes in seconds, about ten to a decade.
inline constexpr std::array<int, 18> kVarianceBlocks = {
    1, 2, 3, 4, 5, 6, 8, 10, 13, 16, 20, 25, 32, 40, 50, 63, 79, 100};
// A block size is used only when the run holds at least this many blocks;
// a fit needs at least this many sizes whose variance is above 0.
inline constexpr std::size_t kVarianceMinBlocks = 10;
inline constexpr std::size_t kVarianceMinPoints = 3;

// The seconds of one run as the seconds trace gives them: the program time
// (time_ms) at which the first and the last closed, and the count of each.
struct RunSeconds {
  std::uint64_t firstMs = 0;
  std::uint64_t lastMs = 0;
  std::vector<Integer> counts;

  void Add(std::uint64_t timeMs, Integer count);
  void Clear() { *this = RunSeconds{}; }
};

struct VariancePoint {
  int blockSeconds = 0;
  std::size_t blocks = 0;
  double variance = 0; // of the block means
};

struct VarianceTime {
  RunSeconds seconds; // the counts are left out: only their number is kept
  std::size_t secondsUsed = 0;
  std::vector<VariancePoint> points;
  // Empty when the line is fitted; otherwise the plain sentence that takes
  // its place ("too short: ...", "no variation: ...").
  std::string verdict;
  // The fit over the points whose variance is above 0: log10(variance) =
  // intercept + slope log10(block size), from block size fitFrom to fitTo.
  double slope = 0;
  double intercept = 0;
  double hurst = 0;
  int fitFrom = 0;
  int fitTo = 0;
  std::size_t fitted = 0;

  bool hasFit() const { return verdict.empty(); }
};

// The plot of the counts of one run. The variance of each block size is
// computed exactly from the integer block sums and rounded once, so that
// any program doing the same (docs/variance_time.py) prints the same.
VarianceTime ComputeVarianceTime(const RunSeconds &seconds);

// The points as CSV, as "Save points..." writes them: a comment naming the
// seconds used, the header `block_s,blocks,variance`, a row per point (6
// significant digits), and a comment with the slope, H (3 decimals) and the
// fit range, or with the sentence that takes their place.
std::string VarianceTimeCsv(const VarianceTime &plot);

// "1:00:00": a program time in whole seconds as hours, minutes, seconds.
std::string ClockText(std::uint64_t ms);

} // namespace arrivals
