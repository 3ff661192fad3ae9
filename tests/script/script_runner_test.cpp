// A script run whole, from its text to its status, output and messages:
// every way it fails, the forms it accepts and the values it dumps.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "script/script_runner.h"

namespace arrivals {
namespace {

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

Outcome RunText(const std::string &script) {
  StringSource in(script);
  StringSink out, err;
  const int status = RunScript(in, out, err);
  return {status, out.str(), err.str()};
}

std::size_t Lines(const std::string &text) {
  std::size_t n = 0;
  for (const char c : text)
    n += c == '\n';
  return n;
}

// The value of a key of the last dump, as it is written.
std::string Field(const std::string &out, const std::string &key) {
  const std::string lastLine =
      out.substr(out.rfind('\n', out.size() - 2) == std::string::npos
                     ? 0
                     : out.rfind('\n', out.size() - 2) + 1);
  const std::string tag = "\"" + key + "\":";
  const std::size_t at = lastLine.find(tag);
  if (at == std::string::npos)
    return "(no " + key + ")";
  const std::size_t from = at + tag.size();
  std::size_t to = from;
  int depth = 0;
  bool inString = false;
  for (; to < lastLine.size(); ++to) {
    const char c = lastLine[to];
    if (inString) {
      if (c == '\\')
        ++to;
      else if (c == '"')
        inString = false;
      continue;
    }
    if (c == '"')
      inString = true;
    else if (c == '[' || c == '{')
      ++depth;
    else if ((c == ']' || c == '}') && depth-- == 0)
      break;
    else if (c == ',' && depth == 0)
      break;
  }
  return lastLine.substr(from, to - from);
}

// Every way a script can fail, with the line it fails on and why. The
// output printed before the failure stays printed.
struct Failure {
  const char *script;
  int status;
  const char *err;
  std::size_t dumps; // lines printed before the failure
};

const Failure kFailures[] = {
    {"frobnicate\n", 2, "line 1: unknown command 'frobnicate'\n", 0},
    {"\n  # a comment\n\t\n  Dump\n", 2, "line 4: unknown command 'Dump'\n", 0},
    {"dump\nbogus 1\ndump\n", 2, "line 2: unknown command 'bogus'\n", 1},
    {"load # a comment here is not one\n", 2, "line 1: load: unexpected '#'\n",
     0},
    // seed: one unsigned 64-bit decimal
    {"seed\n", 2, "line 1: seed: missing number\n", 0},
    {"seed 18446744073709551616\n", 2,
     "line 1: seed: '18446744073709551616' is not an unsigned 64-bit "
     "decimal\n",
     0},
    {"seed -1\n", 2, "line 1: seed: '-1' is not an unsigned 64-bit decimal\n",
     0},
    {"seed +1\n", 2, "line 1: seed: '+1' is not an unsigned 64-bit decimal\n",
     0},
    {"seed 12x\n", 2, "line 1: seed: '12x' is not an unsigned 64-bit decimal\n",
     0},
    {"seed 1 2\n", 2, "line 1: seed: unexpected '2'\n", 0},
    {"clock\n", 2, "line 1: clock: missing number\n", 0},
    {"clock 1x\n", 2, "line 1: clock: '1x' is not an unsigned 64-bit decimal\n",
     0},
    {"clock 1 2\n", 2, "line 1: clock: unexpected '2'\n", 0},
    // draws: one or more decimals in [0, 1)
    {"draws\n", 2, "line 1: draws: missing value\n", 0},
    {"draws 1\n", 2, "line 1: draws: '1' is not a decimal in [0, 1)\n", 0},
    {"draws 0.5 -0.1\n", 2,
     "line 1: draws: '-0.1' is not a decimal in [0, 1)\n", 0},
    {"draws x\n", 2, "line 1: draws: 'x' is not a decimal in [0, 1)\n", 0},
    {"draws 0.99999999999999999\n", 2,
     "line 1: draws: '0.99999999999999999' is not a decimal in [0, 1)\n", 0},
    {"draws 0x0.8\n", 2, "line 1: draws: '0x0.8' is not a decimal in [0, 1)\n",
     0},
    {"draws nan\n", 2, "line 1: draws: 'nan' is not a decimal in [0, 1)\n", 0},
    {"draws 5e\n", 2, "line 1: draws: '5e' is not a decimal in [0, 1)\n", 0},
    {"draws .5e\n", 2, "line 1: draws: '.5e' is not a decimal in [0, 1)\n", 0},
    {"draws .\n", 2, "line 1: draws: '.' is not a decimal in [0, 1)\n", 0},
    // only seed, draws and dump before load; load once
    {"click start\n", 2, "line 1: 'click' before load\n", 0},
    {"dump\ntick\n", 2, "line 2: 'tick' before load\n", 1},
    {"type rate 3\n", 2, "line 1: 'type' before load\n", 0},
    {"pick rate 3\n", 2, "line 1: 'pick' before load\n", 0},
    {"load\ndump\nload\n", 2, "line 3: second load\n", 1},
    {"load now\n", 2, "line 1: load: unexpected 'now'\n", 0},
    // click
    {"load\nclick\n", 2, "line 2: click: missing button\n", 0},
    {"load\nclick stop\n", 2, "line 2: click: unknown button 'stop'\n", 0},
    {"load\nclick start now\n", 2, "line 2: click start: unexpected 'now'\n",
     0},
    {"load\nclick view\n", 2, "line 2: click view: missing index\n", 0},
    {"load\nclick view 2\n", 2, "line 2: click view: index 2 out of range\n",
     0},
    {"load\nclick view -1\n", 2, "line 2: click view: '-1' is not an index\n",
     0},
    // pick: rate items 0 to 8, process items 0 to 6
    {"load\npick rate 9\n", 2, "line 2: pick rate: index 9 out of range\n", 0},
    {"load\npick process 7\n", 2,
     "line 2: pick process: index 7 out of range\n", 0},
    {"load\npick process 99999999999\n", 2,
     "line 2: pick process: index 99999999999 out of range\n", 0},
    {"load\npick rate\n", 2, "line 2: pick rate: missing index\n", 0},
    {"load\npick rate x\n", 2, "line 2: pick rate: 'x' is not an index\n", 0},
    {"load\npick\n", 2, "line 2: pick: missing box\n", 0},
    {"load\npick speed 1\n", 2, "line 2: pick: unknown box 'speed'\n", 0},
    {"load\npick rate 1 2\n", 2, "line 2: pick rate: unexpected '2'\n", 0},
    // type
    {"load\ntype\n", 2, "line 2: type: missing box\n", 0},
    {"load\ntype speed 3\n", 2, "line 2: type: unknown box 'speed'\n", 0},
    {"load\ntype rate \xff\n", 2, "line 2: type: text is not UTF-8\n", 0},
    {"load\ntype process \xc0\xaf\n", 2, "line 2: type: text is not UTF-8\n",
     0},
    // tick
    {"load\ntick x\n", 2, "line 2: tick: 'x' is not an unsigned decimal\n", 0},
    {"load\ntick -1\n", 2, "line 2: tick: '-1' is not an unsigned decimal\n",
     0},
    {"load\ntick 1 2\n", 2, "line 2: tick: unexpected '2'\n", 0},
    {"load\ndump now\n", 2, "line 2: dump: unexpected 'now'\n", 0},
    // A quoted word is escaped and cut, so the message stays one line.
    {"\x1b[2Jzap\n", 2, "line 1: unknown command '\\x1b[2Jzap'\n", 0},
    {"seed 1234567890123456789012345678901234567890123456789012345678901234\n",
     2,
     "line 1: seed: "
     "'123456789012345678901234567890123456789012345678901234567890...' is "
     "not an unsigned 64-bit decimal\n",
     0},
    // CR LF ends a line; a CR elsewhere is part of it.
    {"load\r\n\r\nbogus\r\n", 2, "line 3: unknown command 'bogus'\n", 0},
    {"load\rdump\n", 2, "line 1: unknown command 'load\\x0ddump'\n", 0},
    {"load\nbogus\r", 2, "line 2: unknown command 'bogus\\x0d'\n", 0},
    // Out of draws: with neither seed nor draws, the first Poisson gap of a
    // run (second tick) needs one.
    {"load\nclick start\ntick\ndump\ntick\n", 3,
     "line 5: out of scripted draws\n", 1},
    // One draw of 0.5 gives a Poisson gap of 347 ms at 2 per second; after
    // the launch on tick 2 the countdown is 247 and goes negative on tick 7,
    // so tick 8 needs the next draw.
    {"draws 0.5\nload\nclick start\ntick 7\ndump\ntick\n", 3,
     "line 6: out of scripted draws\n", 1},
    // `seed` unsets the clock seed, so the queue after it runs out.
    {"clock 5\nseed 1\ndraws 0.5\nload\nclick start\ntick 7\ntick\n", 3,
     "line 7: out of scripted draws\n", 0},
};

TEST(script_runner, failures_stop_with_their_status_and_line) {
  for (const Failure &f : kFailures) {
    SCOPED_TRACE(f.script);
    const Outcome o = RunText(f.script);
    EXPECT_EQ(o.status, f.status);
    EXPECT_EQ(o.err, f.err);
    EXPECT_EQ(Lines(o.out), f.dumps);
  }
}

TEST(script_runner, accepted_forms) {
  const char *kGood[] = {
      "",
      "# nothing but a comment\n\n",
      "seed 18446744073709551615\ndump\n",
      "seed 0\nseed 007\n",
      "draws 0 .5 5e-1 0.999 -0 1e-400 9.99e-1 +0.25\n",
      "  \tload\t\n",
      "load\ntick 0\ntick\ntick 3\n",          // the timer is off: dropped
      "clock 5\nload\nclick start\ntick 99\n", // the clock seed draws
      "draws 0.5\nload\nclock 5\nclick start\ntick 99\n",
      "load\npick rate 8\npick process 6\n", // the last items
      "load\nclick view 1\nclick view 1\nclick view 0\n",
      "load\ntype rate\ntype process\n", // empty texts
      "load\ntype rate \xc3\xa9\xe2\x82\xac\xf0\x9f\x93\xa6\n",
      "dump", // no newline at the end
  };
  for (const char *script : kGood) {
    SCOPED_TRACE(script);
    const Outcome o = RunText(script);
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.err, "");
  }
}

// `type` takes the rest of the line after the one blank that follows the box
// name, byte for byte.
TEST(script_runner, typed_text_is_the_rest_of_the_line) {
  struct Case {
    const char *line;
    const char *json; // cmbData as dumped
  } const kCases[] = {
      {"type rate 3", R"({"text":"3"})"},
      {"type rate   3 ", R"({"text":"  3 "})"},
      {"  type \t rate\t4", R"({"text":"4"})"},
      {"type rate", R"({"text":""})"},
      {"type rate ", R"({"text":""})"},
      {"type rate 1 # not a comment", R"({"text":"1 # not a comment"})"},
      {"type rate 2\t\"x\"\\", R"({"text":"2\t\"x\"\\"})"},
      {"type rate 1\r", R"({"text":"1"})"}, // the CR of CR LF
      {"type rate 1\r2", R"({"text":"1\r2"})"},
  };
  for (const Case &c : kCases) {
    SCOPED_TRACE(c.line);
    const Outcome o = RunText(std::string("load\n") + c.line + "\ndump\n");
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(Field(o.out, "cmbData"), c.json);
  }
}

// Numbers are dumped with every digit it takes to read them back.
TEST(script_runner, dumps_exact_values) {
  struct Case {
    const char *script, *key, *value;
  } const kCases[] = {
      {"load\ntype rate 3.7\ndump\n", "lastRate", "3.7000000000000002"},
      {"load\ntype rate 0.1\ndump\n", "lastRate", "0.10000000000000001"},
      {"load\nclick view 1\ndump\n", "view", "1"},
  };
  for (const Case &c : kCases) {
    SCOPED_TRACE(c.script);
    const Outcome o = RunText(c.script);
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(Field(o.out, c.key), c.value);
  }
}

TEST(script_runner, draws_count_every_source) {
  // Uniform at 2 per second takes one draw per launch: a draw of 0.5 is a
  // gap of 500 ms, so launches come on ticks 2, 12 and 22, the third with a
  // draw from the generator.
  const Outcome o = RunText("draws 0.5 0.5\nload\npick process 2\nclick start\n"
                            "tick 12\ndump\nseed 5\ntick 10\ndump\n");
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(Lines(o.out), 2u);
  EXPECT_EQ(Field(o.out, "draws"), "3");
  EXPECT_EQ(Field(o.out, "packetCount"), "3");
}

// The tick budget stops delivering timer events, not the script.
TEST(script_runner, tick_budget_caps_the_events) {
  StringSource in("seed 1\nload\nclick start\ntick 100\ntick\ndump\n");
  StringSink out, err;
  ScriptOptions options;
  options.maxTicks = 30;
  ASSERT_EQ(RunScript(in, out, err, options), kScriptOk) << err.str();
  EXPECT_EQ(Field(out.str(), "elapsedMs"), "1500");
}

} // namespace
} // namespace arrivals
