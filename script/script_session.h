#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "script/byte_io.h"
#include "script/script_trace.h"
#include "ui/form.h"

namespace arrivals {

class ScriptRandom;

// Exit statuses of a script.
inline constexpr int kScriptOk = 0;
inline constexpr int kScriptMalformed = 2;  // a line it cannot understand
inline constexpr int kScriptOutOfDraws = 3; // a draw with none scripted
// A stop signal came: the outputs are flushed, and the program is to die of
// that signal (DieOfStopSignal) rather than exit with a status.
inline constexpr int kScriptStopped = -1;

struct ScriptOptions {
  // CSV traces of the run (see CsvTrace), or null for none.
  ByteSink *packets = nullptr;
  ByteSink *seconds = nullptr;
  // The most timer events the whole script delivers: `tick` lines past it
  // run no more events and still succeed. It keeps a script of huge ticks
  // quick where only the language is under test; the tool never sets it.
  std::uint64_t maxTicks = UINT64_MAX;
};

// Runs script lines on a form it does not own: the script tool's form, or
// the window's own. `random` must be the source the form was built with
// (`MainForm form(random)`), so that `seed` and `draws` reach its draws.
// While the session lives it is the form's observer, in place of any other,
// and records the form's message boxes for the next dump; the observer
// before it is attached again when it ends.
class ScriptSession final : private FormObserver {
public:
  ScriptSession(MainForm &form, ScriptRandom &random, ByteSink &out,
                const ScriptOptions &options = {});
  ~ScriptSession() override;

  ScriptSession(const ScriptSession &) = delete;
  ScriptSession &operator=(const ScriptSession &) = delete;

  // Runs one line (without its line end) and counts it. Returns kScriptOk,
  // or kScriptMalformed / kScriptOutOfDraws with the reason in why(); the
  // dumps written before stay written. A `tick N` delivers at most
  // `tickBudget` of its events and leaves the rest pending (see
  // ResumeTicks), so that a long one can be played in slices.
  int Run(std::string_view line, std::uint64_t tickBudget = UINT64_MAX);

  // Why the last failing line failed, without the "line N: " that
  // LineMessage puts before it.
  const std::string &why() const { return why_; }
  // Lines run so far: after a failure, the number of the failing line.
  std::uint64_t line() const { return line_; }
  // Whether `load` has run.
  bool loaded() const { return loaded_; }
  // Timer events delivered since the session began.
  std::uint64_t ticks() const { return ticks_; }

  // Pushes the dumps and the trace rows held back out to their files.
  // Returns null, or the first output that failed (now or before).
  const ByteSink *Flush();
  // Whether the run must stop: an output failed, or a stop signal came.
  // A `tick` stops delivering events as soon as it is.
  bool Interrupted() const;

  // A long `tick N` in slices. pendingTicks(): the events of the last line
  // not delivered yet (none once the timer is off, an output failed or a
  // stop came: the rest are dropped); lineTicks(): that line's N (0 for any
  // other line). ResumeTicks delivers up to `budget` more and returns as
  // Run does.
  std::uint64_t pendingTicks() const { return pendingTicks_; }
  std::uint64_t lineTicks() const { return lineTicks_; }
  int ResumeTicks(std::uint64_t budget);

private:
  // A message box of the form: recorded, and closed with OK at once.
  void ShowMessage(std::string_view text) override;

  class Words;
  void Dispatch(std::string_view line, std::uint64_t tickBudget);
  static std::uint64_t SeedNumber(Words &words, const std::string &what);
  void Seed(Words &words);
  void Clock(Words &words);
  void Draws(Words &words);
  void Load(Words &words);
  void Click(Words &words);
  void Type(Words &words);
  void Pick(Words &words);
  void Tick(Words &words, std::uint64_t budget);
  void DeliverTicks(std::uint64_t budget);
  static int Index(Words &words, const std::string &what);
  void Dump();

  MainForm &form_;
  FormObserver *const observerBefore_;
  ScriptRandom &random_;
  ByteSink &out_;
  ScriptOptions options_;
  std::optional<CsvTrace> trace_;
  std::vector<std::string> messages_; // since the previous dump
  std::vector<double> values_;        // scratch for `draws`
  std::string why_;
  std::uint64_t line_ = 0;
  std::uint64_t ticks_ = 0;
  std::uint64_t pendingTicks_ = 0;
  std::uint64_t lineTicks_ = 0;
  std::uint64_t timeMs_ = 0; // the timer's interval summed over the events
  bool loaded_ = false;
};

} // namespace arrivals
