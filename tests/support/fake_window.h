#pragma once

// The window as the model sees it, as plain data, for the model's tests and
// benchmarks: 51 markers, the two box texts, the colour of the process box,
// the serviced caption, the timer interval, the message boxes shown and the
// redraws asked for. A marker index outside 0..50 throws, which fails the
// test that caused it.

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

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
    serviced.assign(caption);
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

} // namespace arrivals::testing
