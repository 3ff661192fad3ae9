#pragma once

// The random source of the tests: it hands out the draws it was given, in
// order, and counts them and the seedings.

#include <deque>
#include <functional>
#include <initializer_list>

#include "model/random_source.h"

namespace arrivals::testing {

class ScriptedDraws final : public RandomSource {
public:
  std::deque<double> queue;
  // Handed out once the queue is empty; with no queue, every draw is this.
  double fallback = 0.5;
  int taken = 0;  // draws handed out
  int seeded = 0; // calls of Randomize
  // Called with the draw's number when a draw finds the queue empty, for
  // tests in which every draw must have been scripted.
  std::function<void(int draw)> onRunDry;

  void Push(std::initializer_list<double> draws) {
    queue.insert(queue.end(), draws);
  }
  void Randomize() override { ++seeded; }
  double Draw() override {
    ++taken;
    if (queue.empty()) {
      if (onRunDry)
        onRunDry(taken);
      return fallback;
    }
    const double u = queue.front();
    queue.pop_front();
    return u;
  }
};

} // namespace arrivals::testing
