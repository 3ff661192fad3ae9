#include "script/script_random.h"

#include <chrono>

namespace arrivals {

double ScriptRandom::Draw() {
  if (mode_ != Mode::Mersenne) {
    if (next_ < queue_.size()) {
      ++count_;
      return queue_[next_++];
    }
    if (!clock_)
      throw OutOfDraws();
    // The queue is spent (or was never given): the clock seed takes over.
    Seed(*clock_);
    queue_.clear();
    next_ = 0;
  }
  ++count_;
  return mersenne_.Draw();
}

void ScriptRandom::Seed(std::uint64_t seed) {
  mersenne_.Seed(seed);
  mode_ = Mode::Mersenne;
  clock_.reset();
}

void ScriptRandom::Append(const std::vector<double> &values) {
  // Values already taken are dropped so that a long script of many `draws`
  // lines does not keep them all.
  if (next_ == queue_.size()) {
    queue_.clear();
    next_ = 0;
  }
  queue_.insert(queue_.end(), values.begin(), values.end());
  mode_ = Mode::Queue;
}

void ScriptRandom::Clock(std::uint64_t seed) {
  if (mode_ != Mode::Mersenne)
    clock_ = seed;
}

std::uint64_t ClockSeed() {
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  return static_cast<std::uint64_t>(
      std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
}

} // namespace arrivals
