#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/script_tool.h"

namespace arrivals {
namespace {

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

Outcome RunTool(const std::vector<std::string> &args,
                const std::string &script = "") {
  std::istringstream in(script);
  std::ostringstream out, err;
  const int status = RunScriptTool(args, in, out, err);
  return {status, out.str(), err.str()};
}

std::string ReadFile(const std::string &name) {
  std::ifstream file(name, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

TEST(script_tool, command_line) {
  const std::string usage(ScriptUsage());
  const std::string file = testing::TempDir() + "arrivals_tool_trace.csv";
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string out;
    std::string err;
  } const kCases[] = {
      {{}, 0, "", ""},
      {{"--help"}, 0, usage, ""},
      {{"--help", "--bogus"}, 0, usage, ""}, // read in order
      {{"--version"}, 0, "arrivals-script " ARRIVALS_VERSION "\n", ""},
      {{"--packets", file}, 0, "", ""},
      {{"--seconds=" + file}, 0, "", ""},
      {{"--bogus", "--help"},
       2,
       "",
       "arrivals-script: unknown option '--bogus'\n" + usage},
      {{"--pack", file},
       2,
       "",
       "arrivals-script: unknown option '--pack'\n" + usage},
      {{"--version=2"},
       2,
       "",
       "arrivals-script: unknown option '--version=2'\n" + usage},
      {{"-"},
       2,
       "",
       "arrivals-script: unexpected argument '-': the script comes on "
       "standard input\n" +
           usage},
      {{"--packets"},
       2,
       "",
       "arrivals-script: option '--packets' needs a file name\n" + usage},
      {{"--packets", file, "--seconds"},
       2,
       "",
       "arrivals-script: option '--seconds' needs a file name\n" + usage},
      {{"--seconds", "/nonexistent/s.csv"},
       2,
       "",
       "arrivals-script: cannot write /nonexistent/s.csv: No such file or "
       "directory\n"},
      // Opened, but the rows cannot be written.
      {{"--packets", "/dev/full"},
       2,
       "",
       "arrivals-script: cannot write /dev/full: No space left on device\n"},
      {{"--seconds=/dev/full"},
       2,
       "",
       "arrivals-script: cannot write /dev/full: No space left on device\n"},
  };
  for (const Case &c : kCases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    const Outcome o = RunTool(c.args);
    EXPECT_EQ(o.status, c.status);
    EXPECT_EQ(o.out, c.out);
    EXPECT_EQ(o.err, c.err);
  }
  // The last run that wrote `file` was --seconds=FILE alone.
  EXPECT_EQ(ReadFile(file), "time_ms,second,count_1s,count_3s,count_10s\n");
}

// "Regular" at 2.0: a gap of 500 ms, launched on the second timer event of
// a run and on every tenth after it; each timer event is 50 ms.
TEST(script_tool, traces_hold_every_row_of_the_run) {
  const std::string packets = testing::TempDir() + "arrivals_packets.csv";
  const std::string seconds = testing::TempDir() + "arrivals_seconds.csv";
  const Outcome o = RunTool({"--packets", packets, "--seconds", seconds},
                            "load\n"
                            "pick process 1\n"
                            // Idle with the timer on: 8 seconds roll while
                            // stopped and write nothing; time_ms 8000.
                            "click pause\nclick pause\ntick 160\n"
                            // Events 161-180: launches on 162 and 172, and
                            // second 9 closes its 3-second window.
                            "click start\ntick 20\n"
                            // Dropped while paused: time_ms stands still.
                            "click pause\ntick 5\nclick pause\n"
                            // 181-200: launches on 182 and 192; second 10
                            // closes the 10-second window.
                            "tick 20\n"
                            // A process that matches no name: event 202
                            // draws a gap of 0 and writes nothing.
                            "type process x\ntick 2\n"
                            // The reset of the change restarts run_ms.
                            "type process Regular\ntick\n"
                            // Stopped with the timer off: nothing.
                            "click start\ntick 40\n"
                            // A failing line keeps what was written.
                            "bogus\n");
  EXPECT_EQ(o.status, 2);
  EXPECT_EQ(o.err, "line 18: unknown command 'bogus'\n");
  EXPECT_EQ(ReadFile(packets), "time_ms,run_ms,packet,gap_ms\n"
                               "8100,100,1,500\n"
                               "8600,600,2,500\n"
                               "9100,1100,3,500\n"
                               "9600,1600,4,500\n"
                               "10150,50,1,500\n");
  EXPECT_EQ(ReadFile(seconds), "time_ms,second,count_1s,count_3s,count_10s\n"
                               "9000,9,2,2,\n"
                               "10000,10,2,,4\n");
}

} // namespace
} // namespace arrivals
