#pragma once

#include <string>

#include "model/run_state.h"
#include "model/types.h"

namespace arrivals {

class RandomSource;
class RunTrace;
class WindowPort;

// Marker constants of the packet track, in twips.
inline constexpr Single kPacketSourceLeft = 3720;
inline constexpr Single kPacketTrackTop = 60;
inline constexpr Single kPacketRightLimit = 12000;

// The logic of a run: reset, arrival processes, tick and roll-up. It acts on
// `state` and reaches the window only through the WindowPort.
class Simulation {
public:
  Simulation(WindowPort &window, RandomSource &random)
      : window_(window), random_(random) {}

  RunState state;
  // Told of every launch and every closed second when set; not owned.
  RunTrace *trace = nullptr;

  // Returns the run to its empty state (counter, markers, tallies, series
  // and histograms); leaves the countdown, flags, rate and second count.
  void ResetSimulation();

  // Fills cantorGaps once: entry n is 3^v + 1, v the number of times 2
  // divides n, for n from 1 to 2^14 - 1.
  void BuildCantorTable();

  // The gap in whole milliseconds from the packet launched now to the next
  // one, for the process `name` at `rate` packets per second; 0 means no
  // packet now. Never more than 2147483647.
  Long NextInterArrival(const std::string &name, double rate);

  // One timer event: advance simulated time, roll whole seconds, run the
  // arrival clock, move the markers.
  void tmrMain_Timer();

  // Slides every visible marker one step right, hiding those at the limit.
  void MovePackets();

  // Closes the 1-, 3- and 10-second windows that end now and asks for a
  // redraw one second after each 3-second close.
  void RollSecond();

private:
  WindowPort &window_;
  RandomSource &random_;
};

} // namespace arrivals
