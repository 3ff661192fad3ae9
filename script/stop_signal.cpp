#include "script/stop_signal.h"

#include <csignal>

#include <fcntl.h>
#include <unistd.h>

namespace arrivals {

namespace {

volatile std::sig_atomic_t g_signal = 0;
int g_wake[2] = {-1, -1};
// Whether SIGPIPE had its default action when the program started.
bool g_pipeKills = false;

void OnStopSignal(int signal) {
  g_signal = signal;
  const char byte = 1;
  [[maybe_unused]] const auto n = ::write(g_wake[1], &byte, 1);
}

void Catch(int signal) {
  struct sigaction old = {};
  if (::sigaction(signal, nullptr, &old) == 0 && old.sa_handler == SIG_IGN)
    return;
  struct sigaction action = {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0; // an interrupted read returns, so that it is heard
  ::sigaction(signal, &action, nullptr);
}

} // namespace

void CatchStopSignals() {
  if (g_wake[0] < 0 && ::pipe2(g_wake, O_CLOEXEC | O_NONBLOCK) != 0)
    return;
  Catch(SIGINT);
  Catch(SIGTERM);
  Catch(SIGHUP);
  // A write to a broken pipe fails with EPIPE instead, so that the other
  // outputs can be flushed first (see NoteBrokenPipe).
  struct sigaction old = {};
  if (::sigaction(SIGPIPE, nullptr, &old) == 0 && old.sa_handler == SIG_DFL) {
    g_pipeKills = true;
    ::signal(SIGPIPE, SIG_IGN);
  }
}

void NoteBrokenPipe() {
  if (!g_pipeKills || g_signal != 0)
    return;
  g_signal = SIGPIPE;
  const char byte = 1;
  [[maybe_unused]] const auto n = ::write(g_wake[1], &byte, 1);
}

void OutliveBrokenPipes() { g_pipeKills = false; }

bool StopRequested() { return g_signal != 0; }

int StopWakeDescriptor() { return g_wake[0]; }

void DieOfStopSignal() {
  const int signal = g_signal;
  if (signal == 0)
    return;
  ::signal(signal, SIG_DFL);
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, signal);
  ::sigprocmask(SIG_UNBLOCK, &set, nullptr);
  ::raise(signal);
  ::_exit(128 + signal); // only if the signal did not end the program
}

} // namespace arrivals
