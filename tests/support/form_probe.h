#pragma once

// The tests' way into the form: its run state and its window port, to set
// up states that would take long to reach by events.

#include "model/run_state.h"
#include "model/window_port.h"
#include "ui/form.h"

namespace arrivals::testing {

struct FormProbe {
  static RunState &State(MainForm &form) { return form.sim_.state; }
  static WindowPort &Port(MainForm &form) { return form; }
};

} // namespace arrivals::testing
