#include "script/traced_replay.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "script/byte_io.h"
#include "script/script_random.h"
#include "script/script_session.h"
#include "script/script_text.h"

namespace arrivals {

namespace {

// Hands every row written to it to a writer at once, unbuffered: the
// trace writes whole rows.
class WriterSink final : public ByteSink {
public:
  explicit WriterSink(ByteWriter writer) : writer_(std::move(writer)) {}
  void Write(std::string_view bytes) override { writer_(bytes); }
  bool Flush() override { return true; }

private:
  ByteWriter writer_;
};

// A recording has no dumps; any are dropped.
class NullSink final : public ByteSink {
public:
  void Write(std::string_view) override {}
  bool Flush() override { return true; }
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The words of a line, at most three (enough to tell a plain `tick N`).
struct Words {
  std::string_view word[3];
  int count = 0;
};

Words Split(std::string_view line) {
  Words w;
  std::size_t i = 0;
  while (w.count < 3) {
    while (i < line.size() && IsBlank(line[i]))
      ++i;
    if (i == line.size())
      break;
    const std::size_t begin = i;
    while (i < line.size() && !IsBlank(line[i]))
      ++i;
    w.word[w.count++] = line.substr(begin, i - begin);
  }
  return w;
}

// The events of a well-formed `tick` line, or nothing for any other line.
std::optional<std::uint64_t> TickCount(std::string_view line) {
  const Words w = Split(line);
  if (w.count == 0 || w.word[0] != "tick" || w.count > 2)
    return std::nullopt;
  if (w.count == 1)
    return 1;
  return ParseUnsigned(w.word[1]);
}

// The next line of `text` from `pos` (moved past it), as PlayScript reads
// it: a CR right before the LF is no part of it.
std::string_view TakeLine(std::string_view text, std::size_t &pos) {
  const std::size_t end = std::min(text.find('\n', pos), text.size());
  std::string_view line = text.substr(pos, end - pos);
  const bool feed = end < text.size();
  pos = feed ? end + 1 : end;
  if (feed && !line.empty() && line.back() == '\r')
    line.remove_suffix(1);
  return line;
}

} // namespace

struct TracedReplay::Player {
  Player(ByteWriter packets, ByteWriter seconds)
      : hasPackets(static_cast<bool>(packets)),
        hasSeconds(static_cast<bool>(seconds)), packetsSink(std::move(packets)),
        secondsSink(std::move(seconds)), form(random),
        session(form, random, dumps, Options()) {}

  ScriptOptions Options() {
    ScriptOptions options;
    if (hasPackets)
      options.packets = &packetsSink;
    if (hasSeconds)
      options.seconds = &secondsSink;
    return options;
  }

  bool hasPackets;
  bool hasSeconds;
  WriterSink packetsSink;
  WriterSink secondsSink;
  NullSink dumps;
  ScriptRandom random;
  MainForm form;
  ScriptSession session;
};

TracedReplay::TracedReplay(std::string script, ByteWriter packets,
                           ByteWriter seconds)
    : script_(std::move(script)), player_(std::make_unique<Player>(
                                      std::move(packets), std::move(seconds))) {
  for (std::size_t pos = 0; pos < script_.size();) {
    const auto n = TickCount(TakeLine(script_, pos));
    if (n)
      total_ = *n > UINT64_MAX - total_ ? UINT64_MAX : total_ + *n;
  }
}

TracedReplay::~TracedReplay() = default;

bool TracedReplay::NextLine() {
  if (pos_ >= script_.size())
    return false;
  const std::string_view line = TakeLine(script_, pos_);
  ++line_;
  ScriptSession &session = player_->session;
  if (session.loaded())
    if (const auto n = TickCount(line)) {
      pending_ = *n; // delivered by Step, in slices
      return true;
    }
  status_ = session.Run(line);
  if (status_ != kScriptOk)
    message_ = "line " + std::to_string(line_) + ": " + session.why();
  return true;
}

bool TracedReplay::Step(std::uint64_t events) {
  ScriptSession &session = player_->session;
  std::uint64_t budget = std::max<std::uint64_t>(events, 1);
  while (status_ == kScriptOk && budget > 0) {
    if (pending_ == 0) {
      if (!NextLine())
        break;
      --budget; // a long script of other lines is sliced too
      continue;
    }
    const std::uint64_t k = std::min(pending_, budget);
    const std::uint64_t before = session.ticks();
    status_ = session.Run("tick " + std::to_string(k));
    if (status_ != kScriptOk) {
      message_ = "line " + std::to_string(line_) + ": " + session.why();
      break;
    }
    // An event of a timer that is off is dropped, and so is every one
    // after it on this line: no handler runs to switch it on.
    const bool dropped = session.ticks() - before < k;
    const std::uint64_t spent = dropped ? pending_ : k;
    pending_ -= spent;
    done_ += spent;
    budget -= k;
  }
  return status_ == kScriptOk && (pending_ > 0 || pos_ < script_.size());
}

int ReplayTraces(
    std::string script, ByteWriter packets, ByteWriter seconds,
    const std::function<bool(std::uint64_t, std::uint64_t)> &progress,
    std::string *message) {
  TracedReplay replay(std::move(script), std::move(packets),
                      std::move(seconds));
  while (replay.Step()) {
    if (progress && !progress(replay.done(), replay.total()))
      return kReplayCancelled;
  }
  if (message)
    *message = replay.message();
  return replay.status();
}

} // namespace arrivals
