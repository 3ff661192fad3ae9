#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "model/random_source.h"

namespace arrivals {

// Thrown by ScriptRandom::Draw when a draw is needed and none is at hand.
class OutOfDraws : public std::runtime_error {
public:
  OutOfDraws() : std::runtime_error("out of scripted draws") {}
};

// The uniform source of a script: after `seed` the program's own Mersenne
// generator, after `draws` a queue of given values, before either nothing.
// The script alone decides the draws, so Randomize (start-up's seeding from
// the clock) leaves the source as it is. A draw with no value at hand throws
// OutOfDraws, until FallBackToClock: a window that goes on running after its
// script then seeds the generator from the clock instead.
class ScriptRandom final : public RandomSource {
public:
  void Randomize() override {}
  double Draw() override;

  // Switches to the Mersenne generator, seeded with `seed`.
  void Seed(std::uint64_t seed);
  // Appends to the queue and switches to it.
  void Append(const std::vector<double> &values);
  // From now on a draw with the queue empty, or with neither `seed` nor
  // `draws` given, seeds the generator from the clock and goes on with it.
  void FallBackToClock() { fallBack_ = true; }

  // Draws taken since the source was made.
  std::uint64_t count() const { return count_; }
  // Scripted values not taken yet.
  std::size_t queued() const { return queue_.size() - next_; }

private:
  // A draw with nothing at hand: from the clock, or OutOfDraws.
  double DrawFromClock();

  enum class Mode { None, Mersenne, Queue };
  Mode mode_ = Mode::None;
  MersenneSource mersenne_;
  std::vector<double> queue_;
  std::size_t next_ = 0;
  std::uint64_t count_ = 0;
  bool fallBack_ = false;
};

} // namespace arrivals
