// The one player: a script played in slices of any size, or as its lines
// arrive, does what the script tool does playing it whole.

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "script/byte_io.h"
#include "script/script_player.h"
#include "script/script_random.h"
#include "script/script_runner.h"
#include "ui/form.h"

namespace arrivals {
namespace {

// A fresh form with a script session on it, its dumps kept.
struct Stage {
  ScriptRandom random;
  MainForm form{random};
  StringSink dumps;
  ScriptSession session{form, random, dumps};
};

struct Played {
  int status;
  std::string dumps;
  std::string message;
  std::vector<std::string> ran;
};

// `script` played in steps of `budget` on a fresh form.
Played PlayInSlices(const std::string &script, std::uint64_t budget) {
  Stage stage;
  StringSource source(script);
  ScriptPlayer player(source, stage.session, "arrivals", "the script");
  Played played;
  player.OnLineRan(
      [&played](std::string_view l) { played.ran.emplace_back(l); });
  while (player.Step(budget) == ScriptPlayer::State::Playing) {
  }
  EXPECT_EQ(player.state(), ScriptPlayer::State::Done);
  played.status = player.status();
  played.dumps = stage.dumps.str();
  played.message = player.message();
  return played;
}

TEST(script_player, slices_of_any_size_play_as_the_whole) {
  const std::string mib(LineReader::kMaxLineBytes + 1, '#');
  struct Case {
    std::string script;
    int status;
    std::string message;
  };
  const Case cases[] = {
      {"seed 3\nload\npick rate 8\nclick start\ntick 1000\ndump\nclick "
       "pause\ntick 50\ndump\nclick pause\ntick 333\ntick\ndump\n",
       kScriptOk, ""},
      // The timer switched off: the rest of the line is dropped.
      {"seed 1\nload\nclick start\ntick 10\nclick start\ntick 5000\ndump\n",
       kScriptOk, ""},
      {"draws 0.5\nload\nclick start\ntick 100000\ndump\n", kScriptOutOfDraws,
       "line 4: out of scripted draws"},
      {"seed 1\nload\ndump\nbogus\ndump\n", kScriptMalformed,
       "line 4: unknown command 'bogus'"},
      {"seed 1\nload\ndump\n" + mib + "\ndump\n", kScriptMalformed,
       "line 4: longer than 1 MiB"},
  };
  for (const Case &c : cases) {
    StringSource in(c.script);
    StringSink out, err;
    ASSERT_EQ(RunScript(in, out, err), c.status);
    ASSERT_EQ(err.str(), c.message.empty() ? "" : c.message + "\n");
    for (const std::uint64_t budget : {1u, 7u, 4096u, 100000000u}) {
      SCOPED_TRACE(c.script.substr(0, 40) + ", budget " +
                   std::to_string(budget));
      const Played p = PlayInSlices(c.script, budget);
      EXPECT_EQ(p.status, c.status);
      EXPECT_EQ(p.message, c.message);
      EXPECT_EQ(p.dumps, out.str());
    }
  }
}

// Progress in lines, bytes and the events of the current `tick` line; a
// slice ends inside a long tick.
TEST(script_player, reports_progress_inside_a_long_tick) {
  const std::string script = "seed 1\nload\nclick start\ntick 100\ndump\n";
  Stage stage;
  StringSource source(script);
  ScriptPlayer player(source, stage.session, "arrivals", "the script");
  struct Row {
    ScriptPlayer::State state;
    std::uint64_t line, bytes, lineBytes, lineTicks, lineTicksDone, ticksDone;
  };
  const Row rows[] = {
      // Three lines cost three of the 30, the tick line gets 27 events.
      {ScriptPlayer::State::Playing, 4, 33, 9, 100, 27, 27},
      {ScriptPlayer::State::Playing, 4, 33, 9, 100, 57, 57},
      {ScriptPlayer::State::Playing, 4, 33, 9, 100, 87, 87},
      {ScriptPlayer::State::Done, 6, 38, 5, 0, 0, 100},
  };
  for (const Row &r : rows) {
    EXPECT_EQ(player.Step(30), r.state);
    EXPECT_EQ(player.line(), r.line);
    EXPECT_EQ(player.bytesDone(), r.bytes);
    EXPECT_EQ(player.lineBytes(), r.lineBytes);
    EXPECT_EQ(player.lineTicks(), r.lineTicks);
    EXPECT_EQ(player.lineTicksDone(), r.lineTicksDone);
    EXPECT_EQ(player.ticksDone(), r.ticksDone);
  }
  EXPECT_EQ(stage.session.ticks(), 100u);
  EXPECT_EQ(player.status(), kScriptOk);
}

TEST(script_player, cancel_names_the_line_being_played) {
  struct Case {
    std::uint64_t budget; // of the one step before Cancel
    std::string message;
  };
  const Case cases[] = {
      {2, "line 3: cancelled"},  // between lines: the next one
      {10, "line 4: cancelled"}, // inside the long tick
  };
  for (const Case &c : cases) {
    Stage stage;
    StringSource source("seed 1\nload\nclick start\ntick 100000\ndump\n");
    ScriptPlayer player(source, stage.session, "arrivals", "the script");
    ASSERT_EQ(player.Step(c.budget), ScriptPlayer::State::Playing);
    player.Cancel();
    EXPECT_EQ(player.state(), ScriptPlayer::State::Done);
    EXPECT_EQ(player.status(), kScriptCancelled);
    EXPECT_EQ(player.message(), c.message);
    EXPECT_EQ(player.Step(), ScriptPlayer::State::Done);
    EXPECT_EQ(stage.dumps.str(), "");
  }
}

// Each line plays as soon as it is whole: a dump is there before the next
// line has come.
TEST(script_player, plays_each_line_as_it_arrives) {
  Stage stage;
  PieceSource source;
  ScriptPlayer player(source, stage.session, "arrivals-script",
                      "standard input");
  const struct {
    const char *piece;
    std::size_t dumps;
  } rows[] = {{"seed 1\nlo", 0}, {"ad\ndu", 0},
              {"mp\n", 1},       {"click start\ntick 3\ndump\nd", 2},
              {"ump", 2},        {"\n", 3}};
  for (const auto &r : rows) {
    source.Append(r.piece);
    EXPECT_EQ(player.Step(), ScriptPlayer::State::Waiting) << r.piece;
    std::size_t n = 0;
    for (const char ch : stage.dumps.str())
      n += ch == '\n';
    EXPECT_EQ(n, r.dumps) << r.piece;
  }
  source.Close();
  EXPECT_EQ(player.Step(), ScriptPlayer::State::Done);
  EXPECT_EQ(player.status(), kScriptOk);
  EXPECT_EQ(stage.session.ticks(), 3u);
}

} // namespace
} // namespace arrivals
