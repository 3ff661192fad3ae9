#include "tools/script_random.h"

namespace arrivals {

double ScriptRandom::Draw() {
  const bool empty =
      mode_ == Mode::None || (mode_ == Mode::Queue && next_ == queue_.size());
  if (empty) {
    if (!fallBack_)
      throw OutOfDraws();
    mersenne_.Randomize();
    mode_ = Mode::Mersenne;
    queue_.clear();
    next_ = 0;
  }
  double u = 0;
  if (mode_ == Mode::Mersenne)
    u = mersenne_.Draw();
  else
    u = queue_[next_++];
  ++count_;
  return u;
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
