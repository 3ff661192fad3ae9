#include "script/script_player.h"

#include <algorithm>
#include <utility>

#include "script/output_files.h"
#include "script/stop_signal.h"

namespace arrivals {

std::string LineMessage(std::uint64_t line, std::string_view why) {
  return "line " + std::to_string(line) + ": " + std::string(why);
}

ScriptPlayer::ScriptPlayer(ByteSource &in, ScriptSession &session,
                           std::string_view program, std::string_view input)
    : session_(session), reader_(in), program_(program), input_(input) {}

std::uint64_t ScriptPlayer::line() const {
  return session_.line() + (session_.pendingTicks() > 0 ? 0 : 1);
}

std::uint64_t ScriptPlayer::ticksDone() const {
  const std::uint64_t now = lineTicksDone();
  return now > UINT64_MAX - ticksBefore_ ? UINT64_MAX : ticksBefore_ + now;
}

ScriptPlayer::State ScriptPlayer::Step(std::uint64_t budget) {
  if (state_ == State::Done)
    return state_;
  state_ = State::Playing;
  budget = std::max<std::uint64_t>(budget, 1);
  while (state_ == State::Playing && budget > 0) {
    std::uint64_t spent = 1;
    if (session_.pendingTicks() > 0) {
      const std::uint64_t before = session_.pendingTicks();
      const int status = session_.ResumeTicks(budget);
      if (status != kScriptOk) {
        Fail(status, LineMessage(session_.line(), session_.why()));
        break;
      }
      spent = before - session_.pendingTicks();
    } else {
      const std::uint64_t ticks = session_.ticks();
      if (!PlayLine(budget))
        return state_;
      spent = std::max<std::uint64_t>(session_.ticks() - ticks, 1);
    }
    if (state_ == State::Playing && session_.Interrupted())
      Finish();
    budget -= std::min(budget, spent);
  }
  return state_;
}

bool ScriptPlayer::PlayLine(std::uint64_t budget) {
  const std::uint64_t before = reader_.taken();
  switch (reader_.Next(line_)) {
  case LineReader::Status::Line:
    break;
  case LineReader::Status::TooLong:
    Fail(kScriptMalformed,
         LineMessage(session_.line() + 1, "longer than 1 MiB"));
    return false;
  case LineReader::Status::Error:
    Fail(kScriptMalformed, program_ + ": cannot read " + MessageName(input_) +
                               ": " + reader_.ErrorText());
    return false;
  case LineReader::Status::Waiting:
    state_ = State::Waiting;
    return false;
  case LineReader::Status::End:
  case LineReader::Status::Stopped:
    Finish();
    return false;
  }
  lineBytes_ = reader_.taken() - before;
  ticksBefore_ = ticksDone(); // the line before is done
  const int status = session_.Run(line_, budget);
  if (status != kScriptOk) {
    Fail(status, LineMessage(session_.line(), session_.why()));
    return false;
  }
  if (ran_)
    ran_(line_);
  return true;
}

void ScriptPlayer::Cancel() {
  if (state_ != State::Done)
    Fail(kScriptCancelled, LineMessage(line(), "cancelled"));
}

void ScriptPlayer::Fail(int status, std::string message) {
  status_ = status;
  message_ = std::move(message);
  Finish();
}

void ScriptPlayer::Finish() {
  // The dumps and rows before a failure come before its message.
  if (const ByteSink *failed = session_.Flush()) {
    status_ = kScriptMalformed;
    message_ = program_ + ": " + failed->ErrorText();
  }
  if (StopRequested()) {
    status_ = kScriptStopped;
    message_.clear();
  }
  state_ = State::Done;
}

int PlayScript(ByteSource &in, ScriptSession &session, ByteSink &err,
               std::string_view program, std::string_view input,
               const std::function<void(std::string_view)> &ran) {
  ScriptPlayer player(in, session, program, input);
  player.OnLineRan(ran);
  while (player.Step() != ScriptPlayer::State::Done) {
  }
  if (!player.message().empty()) {
    err.Write(player.message() + "\n");
    err.Flush();
  }
  return player.status();
}

} // namespace arrivals
