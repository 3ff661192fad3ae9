#include "script/script_random.h"

namespace arrivals {

double ScriptRandom::Draw() {
  double u = 0;
  switch (mode_) {
  case Mode::Mersenne:
    u = mersenne_.Draw();
    break;
  case Mode::Queue:
    if (next_ == queue_.size())
      return DrawFromClock();
    u = queue_[next_++];
    break;
  case Mode::None:
    return DrawFromClock();
  }
  ++count_;
  return u;
}

double ScriptRandom::DrawFromClock() {
  if (!fallBack_)
    throw OutOfDraws();
  mersenne_.Randomize();
  mode_ = Mode::Mersenne;
  queue_.clear();
  next_ = 0;
  return Draw();
}

void ScriptRandom::Seed(std::uint64_t seed) {
  mersenne_.Seed(seed);
  mode_ = Mode::Mersenne;
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

} // namespace arrivals
