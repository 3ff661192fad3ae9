#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace arrivals {

// Takes the bytes of an output file as they are made.
using ByteWriter = std::function<void(std::string_view bytes)>;

// Plays a script (a session's recording) on a form of its own with the
// trace hook attached, writing the packets and seconds CSV files as
// `arrivals-script --packets --seconds` would, rows as they come, so that a
// session of hours is never held in memory. It runs in slices, so that a
// front end can show its progress and stay responsive.
class TracedReplay {
public:
  // Either writer may be empty, for no such file.
  TracedReplay(std::string script, ByteWriter packets, ByteWriter seconds);
  ~TracedReplay();

  TracedReplay(const TracedReplay &) = delete;
  TracedReplay &operator=(const TracedReplay &) = delete;

  // Runs lines until about `events` lines and timer events have been played
  // (see ScriptPlayer::Step) or the script ends. Returns whether anything
  // may be left to run.
  bool Step(std::uint64_t events = 20000);

  // Told after each line that begins a fresh run, whose seconds the trace
  // then writes from the first: `load`, a Start (not a Stop) and every
  // change of the process, each of which clears the run's tallies.
  void OnRunBegins(std::function<void()> begins);

  // Timer events the script's `tick` lines ask for so far and in all (those
  // the form drops while its timer is off count as done), for a progress
  // bar.
  std::uint64_t done() const;
  std::uint64_t total() const { return total_; }

  // kScriptOk, or the status of the line that failed, with "line N: why".
  int status() const;
  const std::string &message() const;

private:
  struct Player;

  std::uint64_t total_ = 0;
  std::unique_ptr<Player> player_;
};

// Plays the whole script as TracedReplay does. `progress` (optional) is
// told done and total after every slice; when it returns false the replay
// stops with kScriptCancelled. Returns the status; `message` (optional)
// takes the "line N: why" of a failure.
int ReplayTraces(
    std::string script, ByteWriter packets, ByteWriter seconds,
    const std::function<bool(std::uint64_t, std::uint64_t)> &progress = {},
    std::string *message = nullptr);

} // namespace arrivals
