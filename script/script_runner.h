#pragma once

#include <iosfwd>

#include "script/script_session.h"

namespace arrivals {

// Runs the form script read from `in`: builds the main form in its creation
// state, feeds it the commands line by line and writes one JSON line to
// `out` for every `dump`. Stops at the first line it cannot run, with
// "line N: why" on `err`; what was written to `out` and to the traces
// before stays there. Returns the exit status.
int RunScript(std::istream &in, std::ostream &out, std::ostream &err,
              const ScriptOptions &options = {});

} // namespace arrivals
