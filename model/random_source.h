#pragma once

#include <cstdint>
#include <random>

namespace arrivals {

// The uniform generator behind the arrival processes, swappable so that
// tests can script the draws.
class RandomSource {
public:
  virtual ~RandomSource() = default;
  // Seeds from the system clock; called once, at start-up.
  virtual void Randomize() = 0;
  // A uniform draw in [0, 1).
  virtual double Draw() = 0;
};

// The program's own generator: a 64-bit Mersenne twister, each draw made of
// the top 53 bits of one output.
class MersenneSource final : public RandomSource {
public:
  MersenneSource() = default;
  explicit MersenneSource(std::uint64_t seed) : engine_(seed) {}

  void Seed(std::uint64_t seed) { engine_.seed(seed); }
  void Randomize() override;
  double Draw() override {
    return static_cast<double>(engine_() >> 11) * 0x1.0p-53;
  }

private:
  std::mt19937_64 engine_;
};

} // namespace arrivals
