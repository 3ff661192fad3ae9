#include <algorithm>

#include "model/simulation.h"
#include "model/window_port.h"

namespace arrivals {

void Simulation::ResetSimulation() {
  RunState &s = state;
  window_.SetServicedCaption("0");
  s.packetCount = 0;
  for (Integer i = 0; i <= s.lastPacket; ++i)
    window_.SetPacketVisible(i, false);
  s.elapsedMs = 0;
  s.cantorPos = 0;
  s.countSecond = 0;
  s.count3s = 0;
  s.count10s = 0;
  // Only the elements that are ever counted are cleared: histSecond(8) and
  // histGap(14) are never touched.
  std::fill_n(s.histSecond.begin(), 8, Integer{0});
  std::fill_n(s.histGap.begin(), 14, Integer{0});
  s.series3s.fill(0);
  s.series10s.fill(0);
  s.hist3s.fill(0);
  s.hist10s.fill(0);
}

} // namespace arrivals
