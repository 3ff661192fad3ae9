// The session recorder and the traced replay: a session driven through the
// form and recorded plays back to the same dump, and a replay in slices
// writes the traces the script tool writes.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "script/byte_io.h"
#include "script/script_dump.h"
#include "script/script_player.h"
#include "script/script_random.h"
#include "script/script_runner.h"
#include "script/script_session.h"
#include "script/session_recorder.h"
#include "script/traced_replay.h"
#include "tests/support/form_probe.h"

namespace arrivals {
namespace {

// A dump without its `messages`, which a recording cannot carry.
std::string WithoutMessages(std::string dump) {
  const std::string tag = "\"messages\":[";
  const std::size_t at = dump.find(tag);
  if (at == std::string::npos)
    return dump;
  // The form's only message holds no bracket.
  const std::size_t end = dump.find(']', at);
  return dump.erase(at + tag.size(), end - at - tag.size());
}

// What a sink was told.
struct Sink final : RecordSink {
  void Append(std::string_view line) override { text += line; }
  void Rewrite(std::string_view whole) override {
    text = whole;
    ++rewrites;
  }
  std::string text;
  int rewrites = 0;
};

// Texts a person might type, keystroke by keystroke.
const char *const kTexts[] = {"3.5",    "12",         "abc",     "0",
                              "",       "10",         "Poisson", "Pareto 0.1",
                              "Cantor", "\xc3\xa9 4", " 2 ",     "Uniform"};

// Types `text` into a box one character at a time, as a person would, now
// and then taking a character back.
void TypeSlowly(SessionRecorder &rec, ComboId which, const std::string &text,
                std::mt19937_64 &rng) {
  std::string shown;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t n = 1; // one UTF-8 character
    while (i + n < text.size() && (text[i + n] & 0xc0) == 0x80)
      ++n;
    shown.append(text, i, n);
    i += n;
    rec.Type(which, shown);
    if (rng() % 7 == 0) {
      rec.Type(which, shown.substr(0, shown.size() - n));
      rec.Type(which, shown);
    }
  }
}

// A script played before the window, as `arrivals --script` plays it: its
// draws run out in the session after it, which then turns to the clock.
const char *const kPreScripts[] = {
    "draws 0.5 0.25\nload\n",
    ("draws 0.1\n# a comment stays\nload\npick process 1\nclick start\n"
     "tick 7\ndump\n"),
    "draws 0.9 0.3 0.7\n",
    "seed 77\ndraws 0.5\n",
    "draws 0.5\nseed 9\nload\nclick start\ntick 40\n", // the generator
};

struct Session {
  std::string live;   // the live form's dump at the end
  std::string script; // what the recorder wrote
  std::string sunk;   // what its sink was told
};

Session RandomSession(std::uint64_t seed) {
  std::mt19937_64 rng(seed);
  const auto pick = [&rng](int n) {
    return static_cast<int>(rng() % static_cast<std::uint64_t>(n));
  };
  ScriptRandom random;
  MainForm form(random);
  Sink sink;
  SessionRecorder rec(form, &sink);

  const int begin = pick(static_cast<int>(std::size(kPreScripts)) + 1);
  if (begin == 0) {
    // The window on its own: seeded as `seed N` with N from the clock.
    const std::uint64_t n = rng();
    random.Seed(n);
    rec.Seed(n);
    form.Form_Load();
  } else {
    StringSource in(kPreScripts[begin - 1]);
    StringSink out, err;
    bool loaded = false;
    {
      ScriptSession session(form, random, out);
      EXPECT_EQ(PlayScript(in, session, err, "arrivals", "the script",
                           [&rec](std::string_view l) { rec.ScriptLine(l); }),
                kScriptOk)
          << err.str();
      loaded = session.loaded();
    }
    const std::uint64_t clock = rng();
    if (!random.seeded())
      rec.Clock(clock);
    random.Clock(clock);
    if (!loaded)
      form.Form_Load();
  }
  rec.Loaded();

  const int actions = 10 + pick(40);
  for (int a = 0; a < actions; ++a) {
    switch (pick(10)) {
    case 0:
      rec.ClickStart();
      break;
    case 1:
      rec.ClickPause();
      break;
    case 2:
      rec.ClickView(pick(2));
      break;
    case 3:
      rec.Pick(ComboId::Data, pick(11)); // 9 and 10 are no items
      break;
    case 4:
      rec.Pick(ComboId::Experiment, pick(9));
      break;
    case 5:
      TypeSlowly(rec, pick(2) ? ComboId::Data : ComboId::Experiment,
                 kTexts[pick(static_cast<int>(std::size(kTexts)))], rng);
      break;
    default:
      for (int t = pick(300); t > 0; --t)
        rec.TimerEvent();
      break;
    }
  }
  Session s;
  s.live = DumpForm(form, {}, random.count());
  s.script = rec.Script();
  rec.Finish();
  s.sunk = sink.text;
  EXPECT_EQ(sink.rewrites, 0);
  return s;
}

TEST(recorder, a_recorded_session_plays_back_to_the_same_dump) {
  for (std::uint64_t seed = 1; seed <= 150; ++seed) {
    const Session s = RandomSession(seed);
    SCOPED_TRACE("session " + std::to_string(seed) + ":\n" + s.script);
    EXPECT_EQ(s.sunk, s.script); // Finish wrote the last tick
    EXPECT_EQ(s.script.find("tick 0\n"), std::string::npos);
    EXPECT_EQ(s.script.find("dump"), std::string::npos);
    StringSource in(s.script + "dump\n");
    StringSink out, err;
    ASSERT_EQ(RunScript(in, out, err), kScriptOk) << err.str();
    EXPECT_EQ(WithoutMessages(out.str()), s.live + "\n");
    if (HasFailure())
      break;
  }
}

// The lines themselves, for the cases a random session rarely meets.
TEST(recorder, writes_the_lines_the_language_reads) {
  ScriptRandom random;
  MainForm form(random);
  Sink sink;
  SessionRecorder rec(form, &sink);
  rec.Seed(18446744073709551615u);
  random.Seed(5);
  form.Form_Load();
  rec.Loaded();
  rec.Loaded();     // once
  rec.ClickView(0); // selected already: nothing happens, nothing recorded
  EXPECT_FALSE(rec.Pick(ComboId::Data, 9));
  EXPECT_FALSE(rec.TimerEvent()); // the timer is off: dropped
  rec.Type(ComboId::Data, "");
  rec.Type(ComboId::Data, " 2 ");
  rec.ClickStart();
  for (int i = 0; i < 5; ++i)
    rec.TimerEvent();
  EXPECT_TRUE(rec.exact());
  const std::string exact = "seed 18446744073709551615\nload\ntype rate\n"
                            "type rate  2 \nclick start\n";
  EXPECT_EQ(sink.text, exact);
  EXPECT_EQ(rec.Script(), exact + "tick 5\n");

  // A text a line cannot carry: recorded without its line feeds and its
  // final CRs, the recording gaining a first line that says so.
  rec.Type(ComboId::Experiment, "Poi\nsson\r\r");
  rec.Type(ComboId::Experiment, "a\rb");
  EXPECT_FALSE(rec.exact());
  rec.Finish();
  const std::string inexact = std::string(kInexactComment) + "\n" + exact +
                              "tick 5\ntype process Poisson\n"
                              "type process a\rb\n";
  EXPECT_EQ(sink.rewrites, 1);
  EXPECT_EQ(sink.text, inexact);
  EXPECT_EQ(rec.Script(), inexact);
}

// Events that come while a message box is open are dropped by the form,
// so the recording does not count them.
TEST(recorder, counts_no_event_dropped_under_a_message_box) {
  struct SlowBox final : FormObserver {
    SlowBox() : FormObserver(Wants::MessagesOnly) {}
    void ShowMessage(std::string_view) override {
      for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(rec->TimerEvent());
    }
    SessionRecorder *rec = nullptr;
  } box;
  ScriptRandom random;
  random.Seed(1);
  MainForm form(random);
  SessionRecorder rec(form);
  box.rec = &rec;
  form.SetObserver(&box);
  form.Form_Load();
  rec.Loaded();
  rec.ClickStart();
  for (Integer i = 0; i < 50; ++i)
    testing::FormProbe::Port(form).SetPacketVisible(i, true);
  testing::FormProbe::State(form).countdownMs = -1;
  EXPECT_TRUE(rec.TimerEvent());
  EXPECT_EQ(rec.Script(), "load\nclick start\ntick 1\n");
}

// A script line by line: the lines of a played script as they stood, its
// dumps left out, and `load` only when it had none.
TEST(recorder, keeps_a_played_scripts_lines) {
  struct Case {
    std::vector<std::string> lines;
    std::string recorded;
  } const kCases[] = {
      {{"draws 0.5", "  dump", "# note", "", "load", "tick 3"},
       "draws 0.5\n# note\n\nload\ntick 3\n"},
      {{"seed 4", "dump now"}, "seed 4\nload\n"},
      {{"type rate 3\r"},
       std::string(kInexactComment) + "\ntype rate 3\nload\n"},
  };
  for (const Case &c : kCases) {
    ScriptRandom random;
    MainForm form(random);
    SessionRecorder rec(form);
    for (const std::string &l : c.lines)
      rec.ScriptLine(l);
    rec.Loaded();
    EXPECT_EQ(rec.Script(), c.recorded);
  }
}

// The traced replay, in slices of any size, writes what the script tool
// writes for the same script.
TEST(traced_replay, writes_the_script_tools_traces_in_slices) {
  const std::string script =
      "seed 3\nload\npick rate 8\nclick start\ntick 1000\nclick pause\n"
      "tick 50\nclick pause\ntick 333\npick process 6\ntick\ntick 2\n"
      "click start\ntick 10\n";
  StringSource in(script);
  StringSink out, err, packets, seconds;
  ScriptOptions options;
  options.packets = &packets;
  options.seconds = &seconds;
  ASSERT_EQ(RunScript(in, out, err, options), kScriptOk);
  ASSERT_GT(packets.str().size(), 1000u);

  for (const std::uint64_t slice : {1u, 7u, 400u, 100000u}) {
    std::string p, s;
    TracedReplay replay(
        script, [&p](std::string_view b) { p += b; },
        [&s](std::string_view b) { s += b; });
    EXPECT_EQ(replay.total(), 1000u + 50 + 333 + 1 + 2 + 10);
    std::uint64_t last = 0;
    while (replay.Step(slice)) {
      EXPECT_GE(replay.done(), last);
      last = replay.done();
    }
    EXPECT_EQ(replay.status(), kScriptOk);
    EXPECT_EQ(replay.done(), replay.total());
    EXPECT_EQ(p, packets.str()) << slice;
    EXPECT_EQ(s, seconds.str()) << slice;
  }
}

TEST(traced_replay, stops_on_a_failure_or_when_cancelled) {
  std::string message;
  std::string p;
  const auto none = ByteWriter();
  // A queue that runs out in the middle of a long tick line.
  EXPECT_EQ(ReplayTraces("draws 0.5\nload\nclick start\ntick 100000\n", none,
                         none, {}, &message),
            kScriptOutOfDraws);
  EXPECT_EQ(message, "line 4: out of scripted draws");
  EXPECT_EQ(ReplayTraces("load\nbogus\n", none, none, {}, &message),
            kScriptMalformed);
  EXPECT_EQ(message, "line 2: unknown command 'bogus'");

  int calls = 0;
  EXPECT_EQ(ReplayTraces(
                "seed 1\nload\nclick start\ntick 100000\n",
                [&p](std::string_view b) { p += b; }, none,
                [&calls](std::uint64_t done, std::uint64_t total) {
                  EXPECT_EQ(total, 100000u);
                  EXPECT_LT(done, total);
                  return ++calls < 2;
                }),
            kScriptCancelled);
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(p.back(), '\n'); // whole rows only
}

} // namespace
} // namespace arrivals
