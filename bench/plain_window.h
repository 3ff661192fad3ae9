#pragma once

// The window as plain data, for timing the model without the form.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "model/arrival_processes.h"
#include "model/types.h"
#include "model/window_port.h"

namespace arrivals::bench {

class PlainWindow final : public WindowPort {
public:
  struct Marker {
    bool visible = false;
    Single left = 0;
    Single top = 0;
    Long fill = 0;
  };
  std::array<Marker, 51> markers{};
  std::string experiment{kStartProcess};
  std::string data = "4";
  Long color = 0;
  Long interval = 50;
  std::string serviced;
  int messages = 0;
  int redraws = 0;

  int InFlight() const {
    int n = 0;
    for (const Marker &m : markers)
      n += m.visible ? 1 : 0;
    return n;
  }

  Long TimerInterval() const override { return interval; }
  const std::string &ExperimentText() const override { return experiment; }
  const std::string &DataText() const override { return data; }
  Long ExperimentColor() const override { return color; }
  void SetExperimentColor(Long c) override { color = c; }
  bool PacketVisible(Integer i) const override { return At(i).visible; }
  void SetPacketVisible(Integer i, bool v) override { At(i).visible = v; }
  Single PacketLeft(Integer i) const override { return At(i).left; }
  void SetPacketLeft(Integer i, Single left) override { At(i).left = left; }
  void SetPacketTop(Integer i, Single top) override { At(i).top = top; }
  void SetPacketFillColor(Integer i, Long c) override { At(i).fill = c; }
  void SetServicedCaption(std::string_view caption) override {
    serviced.assign(caption);
  }
  void ShowMessage(std::string_view) override { ++messages; }
  void RequestRedraw() override { ++redraws; }

private:
  const Marker &At(Integer i) const {
    return markers[static_cast<std::size_t>(i)];
  }
  Marker &At(Integer i) { return markers[static_cast<std::size_t>(i)]; }
};

} // namespace arrivals::bench
