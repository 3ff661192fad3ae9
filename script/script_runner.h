#pragma once

#include <string_view>

#include "script/byte_io.h"
#include "script/script_player.h"

namespace arrivals {

// Runs the form script read from `in`: builds the main form in its creation
// state, feeds it the commands line by line and writes one JSON line to
// `out` for every `dump`. Stops at the first line it cannot run, with
// "line N: why" on `err`; what was written to `out` and to the traces
// before stays there. Returns the exit status (see ScriptPlayer, whose
// messages name `program` and `input`).
int RunScript(ByteSource &in, ByteSink &out, ByteSink &err,
              const ScriptOptions &options = {},
              std::string_view program = "arrivals-script",
              std::string_view input = "standard input");

} // namespace arrivals
