#pragma once

#include <optional>

#include "model/types.h"

namespace arrivals {

// A roll-up that closed the tallies of a second.
struct ClosedSecond {
  Integer second;                  // secondCount after the roll-up moved it on
  Integer count1s;                 // countSecond as the second closes
  std::optional<Integer> count3s;  // count3s, when its window closes now
  std::optional<Integer> count10s; // count10s, when its window closes now
};

// Told what a run does, for a record of it (the script tool's CSV traces).
// The simulation calls it only when one is attached, so a run without one
// pays a null check per launch and per second.
class RunTrace {
public:
  virtual ~RunTrace() = default;
  // A packet went out: `runMs` is elapsedMs after this tick advanced it,
  // `packet` the packet count after the launch, `gapMs` the gap drawn.
  virtual void PacketLaunched(Long runMs, Long packet, Long gapMs) = 0;
  virtual void SecondClosed(const ClosedSecond &closed) = 0;
};

} // namespace arrivals
