#include "model/random_source.h"

#include <chrono>

namespace arrivals {

void MersenneSource::Randomize() {
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  const auto ticks =
      std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
  engine_.seed(static_cast<std::uint64_t>(ticks));
}

} // namespace arrivals
