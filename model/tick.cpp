#include <cmath>
#include <cstdint>

#include "model/numbers.h"
#include "model/run_trace.h"
#include "model/simulation.h"
#include "model/window_port.h"

namespace arrivals {

namespace {

// elapsedMs goes on past the largest Long by dropping this many whole
// seconds, so the seconds keep falling where they fell.
constexpr std::int64_t kElapsedWrap = 2147483000;

constexpr int kBinsCounted = 14;

Long ClampToLong(std::int64_t v) {
  if (v > kLongMax)
    return kLongMax;
  if (v < kLongMin)
    return kLongMin;
  return static_cast<Long>(v);
}

} // namespace

void Simulation::tmrMain_Timer() {
  RunState &s = state;

  std::int64_t elapsed =
      std::int64_t{window_.TimerInterval()} + std::int64_t{s.elapsedMs};
  if (elapsed > kLongMax)
    elapsed -= kElapsedWrap;
  s.elapsedMs = static_cast<Long>(elapsed);
  if (s.elapsedMs % 1000 == 0)
    RollSecond();

  if (s.countdownMs >= 0) {
    if (!s.stopped)
      s.countdownMs -= window_.TimerInterval();
    MovePackets();
    return;
  }
  if (s.stopped) {
    MovePackets();
    return;
  }

  const Long gap = NextInterArrival(window_.ExperimentText(),
                                    LeadingNumber(window_.DataText()));

  // Quarter-second bins; the product is taken in 64 bits so that no gap
  // can overflow it, and a bin outside the histogram is not counted.
  const double bin =
      std::floor(static_cast<double>(std::int64_t{gap} * 4) / 1000);
  if (bin >= 0 && bin < kBinsCounted) {
    Integer &cell = s.histGap[static_cast<std::size_t>(bin)];
    cell = SaturatingIncrement(cell);
  }

  if (gap == 0) {
    MovePackets();
    return;
  }

  s.countdownMs =
      ClampToLong(std::int64_t{gap} + s.countdownMs - window_.TimerInterval());

  Integer i = 0;
  while (i < s.lastPacket && window_.PacketVisible(i))
    ++i;
  if (i == s.lastPacket) {
    window_.ShowMessage("Silly Error: Ran Out of Data Packets");
    i = 0; // marker 0 is taken back to the source in mid-flight
  }
  window_.SetPacketFillColor(i, kRed);
  window_.SetPacketTop(i, kPacketTrackTop);
  window_.SetPacketLeft(i, kPacketSourceLeft);
  window_.SetPacketVisible(i, true);

  s.packetCount = SaturatingIncrement(s.packetCount);
  window_.SetServicedCaption(NumberText(s.packetCount));
  s.countSecond = SaturatingIncrement(s.countSecond);
  s.count3s = SaturatingIncrement(s.count3s);
  s.count10s = SaturatingIncrement(s.count10s);
  if (trace)
    trace->PacketLaunched(s.elapsedMs, s.packetCount, gap);

  MovePackets();
}

void Simulation::MovePackets() {
  const Integer n = state.lastPacket;
  const auto step = static_cast<Single>(state.packetStep);
  for (Integer i = 0; i <= n; ++i) {
    if (!window_.PacketVisible(i))
      continue;
    const Single left = window_.PacketLeft(i);
    if (left < kPacketRightLimit)
      window_.SetPacketLeft(i, left + step);
    else
      window_.SetPacketVisible(i, false);
  }
}

} // namespace arrivals
