#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "script/script_trace.h"
#include "ui/form.h"

namespace arrivals {

class ScriptRandom;

// Exit statuses of a script.
inline constexpr int kScriptOk = 0;
inline constexpr int kScriptMalformed = 2;  // a line it cannot understand
inline constexpr int kScriptOutOfDraws = 3; // a draw with none scripted

struct ScriptOptions {
  // CSV traces of the run (see CsvTrace), or null for none.
  std::ostream *packets = nullptr;
  std::ostream *seconds = nullptr;
  // The most timer events the whole script delivers: `tick` lines past it
  // run no more events and still succeed. It keeps a script of huge ticks
  // quick where only the language is under test; the tool never sets it.
  std::uint64_t maxTicks = UINT64_MAX;
};

// Runs script lines on a form it does not own: the script tool's form, or
// the window's own. `random` must be the source the form was built with
// (`MainForm form(random)`), so that `seed` and `draws` reach its draws.
// While the session lives, the form's message boxes are recorded for the
// next dump: a form with no observer reports them to the session itself,
// and a window that has an observer passes them on to ShowMessage below
// while it plays a script.
class ScriptSession final : public MessageSink {
public:
  ScriptSession(MainForm &form, ScriptRandom &random, std::ostream &out,
                const ScriptOptions &options = {});
  ~ScriptSession() override;

  ScriptSession(const ScriptSession &) = delete;
  ScriptSession &operator=(const ScriptSession &) = delete;

  // Runs one line (without its line end) and counts it. Returns kScriptOk,
  // or kScriptMalformed / kScriptOutOfDraws with the reason in why(); the
  // dumps written before stay written.
  int Run(std::string_view line);

  // Why the last failing line failed, without the "line N: " that
  // PlayScript puts before it.
  const std::string &why() const { return why_; }
  // Lines run so far: after a failure, the number of the failing line.
  std::uint64_t line() const { return line_; }
  // Whether `load` has run.
  bool loaded() const { return loaded_; }
  // Timer events delivered since the session began.
  std::uint64_t ticks() const { return ticks_; }

  // A long `tick N` in slices, so that a page stays responsive: with a
  // budget, Run delivers at most that many of the line's events and leaves
  // the rest pending; ResumeTicks delivers up to `budget` more and returns
  // as Run does. Without a budget (the default) a `tick` line runs whole.
  void SetTickBudget(std::uint64_t budget) { tickBudget_ = budget; }
  std::uint64_t pendingTicks() const { return pendingTicks_; }
  int ResumeTicks(std::uint64_t budget);

  // A message box of the form: recorded, and closed with OK at once.
  void ShowMessage(std::string_view text) override;

private:
  class Words;
  void Dispatch(std::string_view line);
  void Seed(Words &words);
  void Draws(Words &words);
  void Load(Words &words);
  void Click(Words &words);
  void Type(Words &words);
  void Pick(Words &words);
  void Tick(Words &words);
  void DeliverTicks(std::uint64_t budget);
  static int Index(Words &words, const std::string &what);
  void Dump();

  MainForm &form_;
  ScriptRandom &random_;
  std::ostream &out_;
  ScriptOptions options_;
  std::optional<CsvTrace> trace_;
  std::vector<std::string> messages_; // since the previous dump
  std::vector<double> values_;        // scratch for `draws`
  std::string why_;
  std::uint64_t line_ = 0;
  std::uint64_t ticks_ = 0;
  std::uint64_t pendingTicks_ = 0;
  std::uint64_t tickBudget_ = UINT64_MAX;
  std::uint64_t timeMs_ = 0; // the timer's interval summed over the events
  bool loaded_ = false;
};

// Plays every line of `in` on `session`; a line may end in LF or CR LF (the
// CR is then no part of it). Stops at the first line that fails, with
// "line N: why" on `err`. Returns the status.
int PlayScript(std::istream &in, ScriptSession &session, std::ostream &err);

} // namespace arrivals
