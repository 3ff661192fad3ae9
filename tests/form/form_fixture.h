#pragma once

// A loaded form driven with scripted draws, and an observer that records
// what the program changed.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/form_probe.h"
#include "tests/support/scripted_draws.h"
#include "ui/form.h"

namespace arrivals::testing {

class RecordingObserver final : public FormObserver {
public:
  std::vector<std::string> messages;
  std::vector<ComboId> combos;
  int shapes = 0;
  int timers = 0;
  std::function<void()> duringMessage;

  void ShapeChanged(ShapeGroup, int, const Shape &) override { ++shapes; }
  void ComboChanged(ComboId which) override { combos.push_back(which); }
  void TimerChanged() override { ++timers; }
  void ShowMessage(std::string_view text) override {
    messages.emplace_back(text);
    if (duringMessage)
      duringMessage();
  }
};

class LoadedForm : public ::testing::Test {
protected:
  LoadedForm() {
    form.SetObserver(&observer);
    form.Form_Load();
  }

  const Controls &c() const { return form.controls(); }
  const RunState &s() const { return form.state(); }
  RunState &mutableState() { return FormProbe::State(form); }
  void Tick(int n = 1) {
    for (int i = 0; i < n; ++i)
      form.TimerEvent();
  }
  int VisibleMarkers() const {
    int n = 0;
    for (const Shape &p : c().sPacket)
      n += p.visible ? 1 : 0;
    return n;
  }

  ScriptedDraws draws;
  RecordingObserver observer;
  MainForm form{draws};
};

} // namespace arrivals::testing
