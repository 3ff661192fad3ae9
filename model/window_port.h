#pragma once

#include <string>
#include <string_view>

#include "model/types.h"

namespace arrivals {

// What the simulation needs of the main window, and nothing more. The form
// implements it; tests and benchmarks may implement it with plain data.
class WindowPort {
public:
  virtual ~WindowPort() = default;

  // tmrMain
  virtual Long TimerInterval() const = 0;

  // cmbExperiment and cmbData
  virtual const std::string &ExperimentText() const = 0;
  virtual const std::string &DataText() const = 0;
  virtual Long ExperimentColor() const = 0;
  virtual void SetExperimentColor(Long color) = 0;

  // sPacket(i), i from 0 to 50
  virtual bool PacketVisible(Integer i) const = 0;
  virtual void SetPacketVisible(Integer i, bool visible) = 0;
  virtual Single PacketLeft(Integer i) const = 0;
  virtual void SetPacketLeft(Integer i, Single left) = 0;
  virtual void SetPacketTop(Integer i, Single top) = 0;
  virtual void SetPacketFillColor(Integer i, Long color) = 0;

  // lblServiced
  virtual void SetServicedCaption(std::string_view caption) = 0;

  // A modal box with an OK button; returns once it has been closed.
  virtual void ShowMessage(std::string_view text) = 0;

  // Asked once a second after each 3-second close: the window answers with
  // DrawGraphs before the tick goes on.
  virtual void RequestRedraw() = 0;
};

} // namespace arrivals
