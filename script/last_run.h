#pragma once

#include <cstdint>
#include <string>

#include "model/variance_time.h"
#include "script/traced_replay.h"

namespace arrivals {

// Reads rows of a seconds trace (`time_ms,second,count_1s,...`, the header
// passed over) into the seconds of a run. Returns false for a row that is
// not one.
bool AddSecondsRow(std::string_view row, RunSeconds &seconds);

// Plays a session's recording through the traced replay, in slices, keeping
// the count of every second of its last run: the seconds closed since the
// last Start or change of process. What the variance-time plot of "this
// run" is made from.
class LastRunReplay {
public:
  explicit LastRunReplay(std::string script);
  LastRunReplay(const LastRunReplay &) = delete;
  LastRunReplay &operator=(const LastRunReplay &) = delete;

  // As TracedReplay's.
  bool Step(std::uint64_t events = 20000) { return replay_.Step(events); }
  std::uint64_t done() const { return replay_.done(); }
  std::uint64_t total() const { return replay_.total(); }
  int status() const;
  const std::string &message() const { return replay_.message(); }

  const RunSeconds &seconds() const { return seconds_; }

private:
  RunSeconds seconds_;
  bool badRow_ = false;
  TracedReplay replay_;
};

} // namespace arrivals
