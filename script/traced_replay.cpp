#include "script/traced_replay.h"

#include <optional>
#include <utility>

#include "script/byte_io.h"
#include "script/line_source.h"
#include "script/script_player.h"
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

} // namespace

struct TracedReplay::Player {
  Player(std::string script, ByteWriter packets, ByteWriter seconds)
      : hasPackets(static_cast<bool>(packets)),
        hasSeconds(static_cast<bool>(seconds)), packetsSink(std::move(packets)),
        secondsSink(std::move(seconds)), form(random),
        session(form, random, dumps, Options()), source(std::move(script)),
        player(source, session, "arrivals", "the recording") {}

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
  StringSource source;
  ScriptPlayer player;
};

TracedReplay::TracedReplay(std::string script, ByteWriter packets,
                           ByteWriter seconds) {
  {
    StringSource source(script);
    LineReader reader(source);
    std::string line;
    while (reader.Next(line) == LineReader::Status::Line)
      if (const auto n = TickCount(line))
        total_ = *n > UINT64_MAX - total_ ? UINT64_MAX : total_ + *n;
  }
  player_ = std::make_unique<Player>(std::move(script), std::move(packets),
                                     std::move(seconds));
}

TracedReplay::~TracedReplay() = default;

void TracedReplay::OnRunBegins(std::function<void()> begins) {
  Player &p = *player_;
  p.player.OnLineRan([&p, begins = std::move(begins)](std::string_view line) {
    const Words w = Split(line);
    const bool fresh =
        (w.count == 1 && w.word[0] == "load") ||
        (w.count == 2 && w.word[0] == "click" && w.word[1] == "start" &&
         !p.form.state().stopped) ||
        (w.count >= 2 && (w.word[0] == "pick" || w.word[0] == "type") &&
         w.word[1] == "process");
    if (fresh)
      begins();
  });
}

bool TracedReplay::Step(std::uint64_t events) {
  return player_->player.Step(events) != ScriptPlayer::State::Done;
}

std::uint64_t TracedReplay::done() const { return player_->player.ticksDone(); }
int TracedReplay::status() const { return player_->player.status(); }
const std::string &TracedReplay::message() const {
  return player_->player.message();
}

int ReplayTraces(
    std::string script, ByteWriter packets, ByteWriter seconds,
    const std::function<bool(std::uint64_t, std::uint64_t)> &progress,
    std::string *message) {
  TracedReplay replay(std::move(script), std::move(packets),
                      std::move(seconds));
  while (replay.Step()) {
    if (progress && !progress(replay.done(), replay.total()))
      return kScriptCancelled;
  }
  if (message)
    *message = replay.message();
  return replay.status();
}

} // namespace arrivals
