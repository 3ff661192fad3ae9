#pragma once

// The one player of scripts: every front end (the script tool, the window's
// --script, the traced replay of a recording, the page) plays its lines
// through it, whole or in slices.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "script/byte_io.h"
#include "script/line_source.h"
#include "script/script_session.h"

namespace arrivals {

// Status of a script cancelled before its end (as SIGINT's, 128 + 2).
inline constexpr int kScriptCancelled = 130;

// "line N: why": how every front end names a line that failed or was
// cancelled.
std::string LineMessage(std::uint64_t line, std::string_view why);

// Plays the lines of `in` (see LineReader) on `session`, in slices of a
// budget of lines and timer events, so that a front end can show progress
// and stay responsive; a slice may end inside a long `tick N`. Stops at the
// first line that fails, with LineMessage's text; at a read error, with
// "PROGRAM: cannot read INPUT: REASON"; when an output fails, with
// "PROGRAM: cannot write NAME: REASON" and kScriptMalformed; at a stop
// signal, with kScriptStopped and no message. Every output is flushed when
// it ends. `program` names the program and `input` the script ("standard
// input", a file name) in those messages.
class ScriptPlayer {
public:
  enum class State {
    Playing, // the budget is spent: Step again
    Waiting, // the source has no whole line yet: Step again when it has
    Done,    // status() and message() say how it ended
  };

  ScriptPlayer(ByteSource &in, ScriptSession &session, std::string_view program,
               std::string_view input);

  // Told of every line that ran, as the reader gave it (a recording keeps
  // them); a `tick N` as soon as it begins.
  void OnLineRan(std::function<void(std::string_view)> ran) {
    ran_ = std::move(ran);
  }

  // Plays until `budget` lines and timer events are spent (each line costs
  // one, a `tick N` one per event), the source waits, or the script ends.
  State Step(std::uint64_t budget = UINT64_MAX);
  // Ends the play at once, as a user's Cancel: kScriptCancelled with
  // "line N: cancelled" for the line being played.
  void Cancel();

  State state() const { return state_; }
  int status() const { return status_; }
  // Empty, or the one line (without a line end) saying why it stopped.
  const std::string &message() const { return message_; }

  // Progress: the line being played (the next to read between lines), the
  // bytes of the script taken so far (the current line's included), the
  // current line's own bytes, and its timer events asked for and done
  // (those the form drops count as done).
  std::uint64_t line() const;
  std::uint64_t bytesDone() const { return reader_.taken(); }
  std::uint64_t lineBytes() const { return lineBytes_; }
  std::uint64_t lineTicks() const { return session_.lineTicks(); }
  std::uint64_t lineTicksDone() const {
    return session_.lineTicks() - session_.pendingTicks();
  }
  // The timer events of every `tick` line so far, the current one's done.
  std::uint64_t ticksDone() const;

private:
  bool PlayLine(std::uint64_t budget); // false when there is none to play
  void Fail(int status, std::string message);
  void Finish();

  ScriptSession &session_;
  LineReader reader_;
  std::string program_;
  std::string input_;
  std::function<void(std::string_view)> ran_;
  std::string line_; // the line read
  std::uint64_t lineBytes_ = 0;
  std::uint64_t ticksBefore_ = 0; // of the `tick` lines before this one
  State state_ = State::Playing;
  int status_ = kScriptOk;
  std::string message_;
};

// Plays every line of `in` on `session` at once (see ScriptPlayer), then
// writes the message, if any, as one line on `err`. Returns the status.
// For a source that blocks until bytes come (a descriptor, a string), never
// for one that says Waiting.
int PlayScript(ByteSource &in, ScriptSession &session, ByteSink &err,
               std::string_view program, std::string_view input,
               const std::function<void(std::string_view)> &ran = {});

} // namespace arrivals
