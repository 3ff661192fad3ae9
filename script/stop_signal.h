#pragma once

// SIGINT and SIGTERM stop a run promptly with nothing lost: the handler only
// notes the signal and wakes whoever waits (a read from a slow pipe, the
// event loop); the run stops at the next timer event or read, flushes every
// output up to its last whole line or row, and then dies of the same signal,
// so that the shell sees status 130 or 143.

namespace arrivals {

// Catches SIGINT and SIGTERM (unless they are ignored, as in a background
// job), without restarting interrupted reads. Call once, early.
void CatchStopSignals();

// Whether a stop signal has come.
bool StopRequested();

// A descriptor that becomes readable once a stop signal has come (for poll
// or an event loop), or -1 when the signals are not caught.
int StopWakeDescriptor();

// Restores the default action of the signal that came and raises it again.
// Returns only when no stop signal has come.
void DieOfStopSignal();

} // namespace arrivals
