// The program's generator: seeded from the clock, every start plays other
// packets.

#include <chrono>

#include <gtest/gtest.h>

#include "model/random_source.h"

namespace arrivals {
namespace {

TEST(random_source, clock_seeded_sources_draw_differently) {
  MersenneSource first;
  first.Randomize();
  const double u = first.Draw();

  // Two seedings within one tick of a coarse clock may agree, so keep
  // seeding afresh until the clock has moved on; a second is far longer
  // than any clock's resolution and is reached only when seeding is broken.
  const auto giveUp =
      std::chrono::steady_clock::now() + std::chrono::seconds(1);
  int tries = 0;
  for (;;) {
    MersenneSource later;
    later.Randomize();
    ++tries;
    if (later.Draw() != u)
      break;
    ASSERT_LT(std::chrono::steady_clock::now(), giveUp)
        << "every clock seeding gave the first draw " << u << " (" << tries
        << " tries)";
  }
}

} // namespace
} // namespace arrivals
