#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <vector>

#include "model/random_source.h"

namespace arrivals {

// Thrown by ScriptRandom::Draw when a draw is needed and none is at hand.
class OutOfDraws : public std::runtime_error {
public:
  OutOfDraws() : std::runtime_error("out of scripted draws") {}
};

// The uniform source of a script. The draws have a source: the program's own
// Mersenne generator (after `seed`) or a queue of given values (after
// `draws`), neither at first; and a clock seed, unset at first, that a
// window sets when its script ends (`clock`). A draw with the queue as the
// source and the queue empty (or with no source) seeds the generator with
// the clock seed, which it then unsets, and goes on with the generator; with
// no clock seed either it throws OutOfDraws. The script alone decides the
// draws, so Randomize (start-up's seeding from the clock) leaves the source
// as it is.
class ScriptRandom final : public RandomSource {
public:
  void Randomize() override {}
  double Draw() override;

  // Switches to the Mersenne generator, seeded with `seed`; unsets the clock
  // seed.
  void Seed(std::uint64_t seed);
  // Appends to the queue and switches to it; values left in it stay in
  // front.
  void Append(const std::vector<double> &values);
  // Sets the clock seed, unless the generator is the source.
  void Clock(std::uint64_t seed);

  // Whether the generator is the source of the draws.
  bool seeded() const { return mode_ == Mode::Mersenne; }
  // Draws taken since the source was made.
  std::uint64_t count() const { return count_; }
  // Scripted values not taken yet.
  std::size_t queued() const { return queue_.size() - next_; }

private:
  enum class Mode { None, Mersenne, Queue };
  Mode mode_ = Mode::None;
  MersenneSource mersenne_;
  std::vector<double> queue_;
  std::size_t next_ = 0;
  std::optional<std::uint64_t> clock_;
  std::uint64_t count_ = 0;
};

// A seed for the generator chosen from the system clock: what the window
// uses where no seed is given, so that it can say which one it took.
std::uint64_t ClockSeed();

} // namespace arrivals
