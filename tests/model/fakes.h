#pragma once

// Plain-data stand-ins for the window and the random generator, so that the
// model can be driven and observed without the form.

#include <array>
#include <cstddef>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "model/random_source.h"
#include "model/run_state.h"
#include "model/simulation.h"
#include "model/types.h"
#include "model/window_port.h"

namespace arrivals::testing {

struct FakeMarker {
  bool visible = false;
  Single left = 0;
  Single top = 0;
  Long fill = 0;
  bool operator==(const FakeMarker &) const = default;
};

// The window as the model sees it: 51 markers, the two box texts, the
// colour of the process box, the serviced caption, the timer interval, the
// message boxes shown and the redraws asked for. An index outside 0..50
// throws, which fails the test that caused it.
class FakeWindow final : public WindowPort {
public:
  std::array<FakeMarker, 51> markers{};
  std::string experiment = "Poisson";
  std::string data = " 2";
  Long experimentColor = 0;
  Long interval = 50;
  std::string serviced = "0000";
  std::vector<std::string> messages;
  int redraws = 0;
  // Run inside the call, to look at the run state at that moment.
  std::function<void()> onRedraw;
  std::function<void()> onMessage;

  int VisibleCount() const {
    int n = 0;
    for (const FakeMarker &m : markers)
      n += m.visible ? 1 : 0;
    return n;
  }

  Long TimerInterval() const override { return interval; }
  const std::string &ExperimentText() const override { return experiment; }
  const std::string &DataText() const override { return data; }
  Long ExperimentColor() const override { return experimentColor; }
  void SetExperimentColor(Long color) override { experimentColor = color; }
  bool PacketVisible(Integer i) const override { return At(i).visible; }
  void SetPacketVisible(Integer i, bool visible) override {
    At(i).visible = visible;
  }
  Single PacketLeft(Integer i) const override { return At(i).left; }
  void SetPacketLeft(Integer i, Single left) override { At(i).left = left; }
  void SetPacketTop(Integer i, Single top) override { At(i).top = top; }
  void SetPacketFillColor(Integer i, Long color) override {
    At(i).fill = color;
  }
  void SetServicedCaption(std::string_view caption) override {
    serviced = std::string(caption);
  }
  void ShowMessage(std::string_view text) override {
    messages.emplace_back(text);
    if (onMessage)
      onMessage();
  }
  void RequestRedraw() override {
    ++redraws;
    if (onRedraw)
      onRedraw();
  }

private:
  const FakeMarker &At(Integer i) const {
    return markers.at(static_cast<std::size_t>(i));
  }
  FakeMarker &At(Integer i) { return markers.at(static_cast<std::size_t>(i)); }
};

// Hands out the draws it was given, in order, and counts them. Running dry
// fails the test: the model took a draw that the test did not expect.
class ScriptedRandom final : public RandomSource {
public:
  std::deque<double> queue;
  int drawsTaken = 0;
  int randomizeCalls = 0;

  void Push(std::initializer_list<double> draws) {
    queue.insert(queue.end(), draws);
  }
  void Randomize() override { ++randomizeCalls; }
  double Draw() override {
    ++drawsTaken;
    if (queue.empty()) {
      ADD_FAILURE() << "the model took draw " << drawsTaken
                    << " but no more were scripted";
      return 0.5;
    }
    const double u = queue.front();
    queue.pop_front();
    return u;
  }
};

// A simulation after the program's start-up steps that concern the model:
// the Cantor table built, the run reset, 50 markers of 250-twip steps, and
// the run going (not stopped).
template <class Random = ScriptedRandom> struct Rig {
  FakeWindow window;
  Random random;
  Simulation sim{window, random};
  RunState &state = sim.state;

  explicit Rig(std::string process = "Poisson", std::string rate = " 2") {
    window.experiment = std::move(process);
    window.data = std::move(rate);
    sim.BuildCantorTable();
    state.lastPacket = 50;
    state.packetStep = 250;
    sim.ResetSimulation();
    state.stopped = false;
  }
  Rig(const Rig &) = delete;
  Rig &operator=(const Rig &) = delete;

  void Ticks(int n) {
    for (int i = 0; i < n; ++i)
      sim.tmrMain_Timer();
  }
  // Runs ticks until a packet is launched; returns how many it took, or -1
  // if none came within `limit` ticks.
  int TicksToLaunch(int limit) {
    const Long before = state.packetCount;
    for (int i = 1; i <= limit; ++i) {
      sim.tmrMain_Timer();
      if (state.packetCount != before)
        return i;
    }
    return -1;
  }
};

// Every run variable but the Cantor table, for whole-state comparisons.
inline auto RunFields(const RunState &s) {
  return std::tie(s.elapsedMs, s.countdownMs, s.stopped, s.packetCount,
                  s.lastPacket, s.packetStep, s.lastRate, s.cantorPos,
                  s.countSecond, s.count3s, s.count10s, s.histSecond, s.histGap,
                  s.series3s, s.series10s, s.hist3s, s.hist10s, s.skipGraphOne,
                  s.skipGraphTwo, s.skipGraphThree, s.secondCount);
}

} // namespace arrivals::testing
