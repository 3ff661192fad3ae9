#pragma once

// SIGINT, SIGTERM and SIGHUP stop a run promptly with nothing lost: the
// handler only notes the signal and wakes whoever waits (a read from a slow
// pipe, the event loop); the run stops at the next timer event or read,
// flushes every output up to its last whole line or row, and then dies of the
// same signal, so that the shell sees status 130, 143 or 129.
//
// SIGPIPE is held off the same way: when it has its default action, a write
// to a pipe whose reader has gone (reported by NoteBrokenPipe) stops the run
// like a stop signal, so that every other output is flushed before the
// program dies of SIGPIPE. When it is ignored, the broken pipe is only the
// write error it is.

namespace arrivals {

// Catches SIGINT, SIGTERM and SIGHUP (unless they are ignored, as in a
// background job), without restarting interrupted reads, and holds off
// SIGPIPE. Call once, early.
void CatchStopSignals();

// A write failed with EPIPE: when SIGPIPE has its default action (and the
// program still lets it end the run), the run stops as on a stop signal and
// the program dies of SIGPIPE in DieOfStopSignal.
void NoteBrokenPipe();

// From now on a broken pipe never ends the program: it is a write error
// only (a window once shown outlives its outputs).
void OutliveBrokenPipes();

// Whether a stop signal has come.
bool StopRequested();

// A descriptor that becomes readable once a stop signal has come (for poll
// or an event loop), or -1 when the signals are not caught.
int StopWakeDescriptor();

// Restores the default action of the signal that came and raises it again.
// Returns only when no stop signal has come.
void DieOfStopSignal();

} // namespace arrivals
