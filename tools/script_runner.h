#pragma once

#include <iosfwd>

namespace arrivals {

// Exit statuses of a script.
inline constexpr int kScriptOk = 0;
inline constexpr int kScriptMalformed = 2;  // a line it cannot understand
inline constexpr int kScriptOutOfDraws = 3; // a draw with none scripted

// Runs the form script read from `in`: builds the main form in its creation
// state, feeds it the commands line by line and writes one JSON line to
// `out` for every `dump`. Stops at the first line it cannot run, with
// "line N: why" on `err`; what was written to `out` before stays there.
// Returns the exit status.
int RunScript(std::istream &in, std::ostream &out, std::ostream &err);

} // namespace arrivals
