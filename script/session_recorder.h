#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "ui/form.h"

namespace arrivals {

// Where a recording goes as it is made.
class RecordSink {
public:
  virtual ~RecordSink() = default;
  // One complete line, its line feed included, after those before it.
  virtual void Append(std::string_view line) = 0;
  // The whole recording so far, in place of everything appended before: it
  // has gained a first line.
  virtual void Rewrite(std::string_view whole) = 0;
};

// Records a session on the form as a script that plays back to the same
// state. A front end hands every user event and every timer event to the
// recorder instead of to the form; the recorder runs it on the form and
// writes its line. The lines begin with how the draws begin (Seed, or the
// lines of a played script and Clock), then `load`, then one line per user
// action, with `tick N` for the timer events the form ran between them.
class SessionRecorder {
public:
  // `sink` (not owned) is told of every line as it is completed; the
  // recorder also keeps the lines, for Script().
  explicit SessionRecorder(MainForm &form, RecordSink *sink = nullptr);

  // From now on lines go to `sink` (not owned; null for none) as well.
  void SetSink(RecordSink *sink) { sink_ = sink; }

  SessionRecorder(const SessionRecorder &) = delete;
  SessionRecorder &operator=(const SessionRecorder &) = delete;

  // --- How the draws begin -----------------------------------------------
  // The generator is seeded with `seed` (given, or chosen from the clock).
  void Seed(std::uint64_t seed);
  // A line of a script that ran before the window, as it stood; a `dump`
  // line is left out.
  void ScriptLine(std::string_view line);
  // The clock seed the window turns to when the script's draws run out.
  void Clock(std::uint64_t seed);
  // The form has run its start-up sequence: `load`, unless a script line
  // was `load`.
  void Loaded();

  // --- Events, run on the form -------------------------------------------
  void ClickStart();
  void ClickPause();
  // Nothing is recorded when the button is already selected: nothing
  // happens then.
  void ClickView(int index);
  // False, and nothing recorded, for an index out of range.
  bool Pick(ComboId which, int index);
  // The user changed the whole text of a box.
  void Type(ComboId which, std::string text);
  // One timer event; counted when the form runs it (not while the timer is
  // off or a message box is open). Returns whether it ran.
  bool TimerEvent();

  // Writes the `tick N` of the timer events since the last line, if any:
  // the session is over.
  void Finish();

  // The recording from its first line up to now, the timer events since the
  // last line as a final `tick N`.
  std::string Script() const;
  // False once a typed text held what a line cannot carry (a line feed, or a
  // CR at its end): it was recorded without it, after a first `#` line
  // saying so.
  bool exact() const { return exact_; }

  MainForm &form() { return form_; }

private:
  // Writes the pending `tick N`, then `line`.
  void Action(std::string_view line);
  void Write(std::string_view line);
  // `text` as a script line can carry it.
  std::string Carried(std::string_view text);

  MainForm &form_;
  RecordSink *sink_;
  std::string lines_; // every line written, line feeds included
  std::uint64_t ticks_ = 0;
  bool loaded_ = false;
  bool exact_ = true;
};

// The first line of a recording that is not exact.
inline constexpr std::string_view kInexactComment =
    "# Not exact: a typed text held a line break or ended in CR; its line "
    "carries it without them.";

} // namespace arrivals
