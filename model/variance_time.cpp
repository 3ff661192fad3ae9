#include "model/variance_time.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace arrivals {

namespace {

// 128 bits hold n * (sum of squared block sums) for any run the counter
// can time: 500 hours of 32767 packets a second.
__extension__ using Wide = unsigned __int128;

std::string Printed(const char *format, double value) {
  char buf[48];
  std::snprintf(buf, sizeof buf, format, value);
  return buf;
}

std::string Decimal(std::uint64_t value) { return std::to_string(value); }

} // namespace

void RunSeconds::Add(std::uint64_t timeMs, Integer count) {
  if (counts.empty())
    firstMs = timeMs;
  lastMs = timeMs;
  counts.push_back(count);
}

VarianceTime ComputeVarianceTime(const RunSeconds &seconds) {
  VarianceTime plot;
  plot.seconds.firstMs = seconds.firstMs;
  plot.seconds.lastMs = seconds.lastMs;
  const std::vector<Integer> &counts = seconds.counts;
  plot.secondsUsed = counts.size();

  for (const int k : kVarianceBlocks) {
    const auto size = static_cast<std::size_t>(k);
    const std::size_t n = counts.size() / size;
    if (n < kVarianceMinBlocks)
      break;
    Wide total = 0;
    Wide squares = 0;
    for (std::size_t b = 0; b < n; ++b) {
      Wide sum = 0;
      for (std::size_t i = b * size; i < (b + 1) * size; ++i)
        sum += static_cast<Wide>(std::max<Integer>(counts[i], 0));
      total += sum;
      squares += sum * sum;
    }
    const Wide wn = n;
    const Wide wk = size;
    plot.points.push_back({k, n,
                           static_cast<double>(wn * squares - total * total) /
                               static_cast<double>(wn * wn * wk * wk)});
  }

  std::vector<double> xs;
  std::vector<double> ys;
  for (const VariancePoint &p : plot.points) {
    if (p.variance > 0) {
      xs.push_back(std::log10(static_cast<double>(p.blockSeconds)));
      ys.push_back(std::log10(p.variance));
      if (plot.fitFrom == 0)
        plot.fitFrom = p.blockSeconds;
      plot.fitTo = p.blockSeconds;
    }
  }
  if (plot.points.size() < kVarianceMinPoints) {
    const std::size_t needed =
        static_cast<std::size_t>(kVarianceBlocks[kVarianceMinPoints - 1]) *
        kVarianceMinBlocks;
    plot.verdict = "too short: " + Decimal(counts.size()) +
                   " seconds, at least " + Decimal(needed) + " needed";
  } else if (std::all_of(counts.begin(), counts.end(),
                         [&](Integer c) { return c == counts.front(); })) {
    plot.verdict = "no variation: every second holds the same count";
  } else if (xs.size() < kVarianceMinPoints) {
    plot.verdict = "too little variation: fewer than " +
                   Decimal(kVarianceMinPoints) +
                   " block sizes have block means that differ";
  }
  if (!plot.hasFit()) {
    plot.fitFrom = plot.fitTo = 0;
    return plot;
  }

  // Plain sums in order, as docs/variance_time.py makes them.
  double mx = 0;
  double my = 0;
  for (std::size_t i = 0; i < xs.size(); ++i) {
    mx += xs[i];
    my += ys[i];
  }
  mx /= static_cast<double>(xs.size());
  my /= static_cast<double>(ys.size());
  double sxy = 0;
  double sxx = 0;
  for (std::size_t i = 0; i < xs.size(); ++i) {
    sxy += (xs[i] - mx) * (ys[i] - my);
    sxx += (xs[i] - mx) * (xs[i] - mx);
  }
  plot.slope = sxy / sxx;
  plot.intercept = my - plot.slope * mx;
  plot.hurst = 1 + plot.slope / 2;
  plot.fitted = xs.size();
  return plot;
}

std::string VarianceTimeCsv(const VarianceTime &plot) {
  std::string csv = "# " + Decimal(plot.secondsUsed) + " seconds";
  if (plot.secondsUsed > 0)
    csv += ", closed at time_ms " + Decimal(plot.seconds.firstMs) + " to " +
           Decimal(plot.seconds.lastMs);
  csv += "\nblock_s,blocks,variance\n";
  for (const VariancePoint &p : plot.points)
    csv += Decimal(static_cast<std::uint64_t>(p.blockSeconds)) + ',' +
           Decimal(p.blocks) + ',' + Printed("%.6g", p.variance) + '\n';
  if (!plot.hasFit())
    return csv + "# " + plot.verdict + '\n';
  return csv + "# slope " + Printed("%.6g", plot.slope) + ", H " +
         Printed("%.3f", plot.hurst) + ", fit over block sizes " +
         Decimal(static_cast<std::uint64_t>(plot.fitFrom)) + " to " +
         Decimal(static_cast<std::uint64_t>(plot.fitTo)) + " s (" +
         Decimal(plot.fitted) + " points)\n";
}

std::string ClockText(std::uint64_t ms) {
  const std::uint64_t s = ms / 1000;
  char buf[40];
  std::snprintf(buf, sizeof buf, "%llu:%02llu:%02llu",
                static_cast<unsigned long long>(s / 3600),
                static_cast<unsigned long long>(s / 60 % 60),
                static_cast<unsigned long long>(s % 60));
  return buf;
}

} // namespace arrivals
