#pragma once

#include <array>

#include "model/types.h"

namespace arrivals {

// The last index of the Cantor table: the Cantor process runs dry there.
inline constexpr Integer kCantorBound = 20000;

// Every variable of a run. One instance lives as long as the main form; all
// elements start at 0 and nothing is allocated while the program runs.
struct RunState {
  Long elapsedMs = 0;   // simulated ms since the last reset
  Long countdownMs = 0; // ms until the next arrival; negative means one is due
  bool stopped = false; // true while no run is in progress
  Long packetCount = 0; // packets launched since the last reset
  Integer lastPacket = 0; // highest marker index in use (50 after start-up)
  Integer packetStep = 0; // twips a marker moves per tick (250 after start-up)
  double lastRate = 0;    // last rate accepted from the rate box

  std::array<Long, kCantorBound + 1> cantorGaps{}; // 1 .. 2^14 - 1 filled
  Integer cantorPos = 0; // index of the last Cantor entry used

  Integer countSecond = 0; // packets in the current second
  Integer count3s = 0;     // packets in the current 3-second window
  Integer count10s = 0;    // packets in the current 10-second window

  std::array<Integer, 9> histSecond{}; // seconds with exactly k packets, k < 8
  std::array<Integer, 15> histGap{};   // gaps in quarter-second bins, k < 14
  std::array<Integer, 23>
      series3s{}; // last 23 three-second counts, newest last
  std::array<Integer, 23> series10s{}; // last 23 ten-second counts, newest last
  std::array<Integer, 23> hist3s{};    // three-second windows with exactly k
  std::array<Integer, 23> hist10s{};   // ten-second windows with 2k or 2k+1

  bool skipGraphOne = false;
  bool skipGraphTwo = false;
  bool skipGraphThree = false;

  Integer secondCount = 0; // whole seconds rolled since the form was created
};

} // namespace arrivals
