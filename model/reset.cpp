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
  for (std::size_t k = 0; k <= 7; ++k)
    s.histSecond[k] = 0;
  for (std::size_t k = 0; k <= 13; ++k)
    s.histGap[k] = 0;
  for (std::size_t k = 0; k <= 22; ++k) {
    s.series3s[k] = 0;
    s.series10s[k] = 0;
    s.hist3s[k] = 0;
    s.hist10s[k] = 0;
  }
}

} // namespace arrivals
