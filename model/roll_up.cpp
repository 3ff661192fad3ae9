#include <cmath>

#include "model/numbers.h"
#include "model/run_trace.h"
#include "model/simulation.h"
#include "model/window_port.h"

namespace arrivals {

namespace {

// Past 32767 the second count goes on at 8, the same value modulo 30, so the
// 3-second and 10-second windows and the redraws keep their cadence.
constexpr Integer kSecondCountRestart = 8;

void Count(Integer &cell) { cell = SaturatingIncrement(cell); }

// The last 23 counts, oldest first: shift left and append.
void Append(std::array<Integer, 23> &series, Integer count) {
  for (std::size_t i = 0; i <= 21; ++i)
    series[i] = series[i + 1];
  series[22] = count;
}

} // namespace

void Simulation::RollSecond() {
  RunState &s = state;
  s.secondCount = s.secondCount < kIntegerMax
                      ? static_cast<Integer>(s.secondCount + 1)
                      : kSecondCountRestart;
  if (s.stopped)
    return;
  if (trace) {
    ClosedSecond closed{s.secondCount, s.countSecond, {}, {}};
    if (s.secondCount % 3 == 0)
      closed.count3s = s.count3s;
    if (s.secondCount % 10 == 0)
      closed.count10s = s.count10s;
    trace->SecondClosed(closed);
  }

  if (s.countSecond < 8)
    Count(s.histSecond[static_cast<std::size_t>(s.countSecond)]);
  s.countSecond = 0;

  if (s.secondCount % 3 == 0) {
    Append(s.series3s, s.count3s);
    if (s.count3s < 23)
      Count(s.hist3s[static_cast<std::size_t>(s.count3s)]);
    s.count3s = 0;
  }

  if (s.secondCount % 10 == 0) {
    Append(s.series10s, s.count10s);
    if (s.count10s < 44) {
      const auto k = static_cast<std::size_t>(
          std::floor((static_cast<double>(s.count10s) + 0.5) / 2));
      Count(s.hist10s[k]);
    }
    s.count10s = 0;
  }

  if (s.secondCount % 3 == 1)
    window_.RequestRedraw();
}

} // namespace arrivals
